#!/bin/sh
# Checks the include rules of the tree (docs/HACKING.md, "Includes"):
#  1. No product code outside platform/ includes a system or library header:
#     its angle includes are the C++ standard library's (no ".h") and the
#     sanitizer interface; everything else goes through platform/.
#  2. tests/ and bench/ include no operating-system or windowing header
#     outside tests/support/, which makes the system calls they need.
#  3. A folder includes only the folders below it (platform, engine, render,
#     media, game and world, softbuild, apps; tools beside them), engine/
#     reaches the rasteriser only through its named headers, and render/
#     never includes engine/'s frame passes.
# Prints each broken rule as file:line: reason, and fails if there is one.
# Run from anywhere: ./scripts/check-includes.sh
set -u
cd "$(dirname "$0")/.."

product="engine render media game world softbuild apps tools"
failed=0
scratch=$(mktemp)

# Every include of the tree's sources, once, as file:line:#include ...
# (folders that do not exist yet are skipped).
all=$(mktemp)
trap 'rm -f "$scratch" "$all"' EXIT
for dir in platform $product tests bench; do
  [ -d "$dir" ] && grep -rnE --include='*.h' --include='*.cpp' --include='*.c' '^[[:space:]]*#[[:space:]]*include' "$dir"
done > "$all"

# The includes of the files under the given folders.
includes() {
  for dir in "$@"; do
    grep "^$dir/" "$all"
  done
}

report() {  # reason, then the offending lines on stdin
  while IFS= read -r line; do
    echo "${line%%:#*}: $1"
    failed=1
  done
}

# 1. Angle includes in product code: the standard library (no extension) or
#    <sanitizer/...>.
includes $product | grep -E '#[[:space:]]*include[[:space:]]*<' |
  grep -vE '<[a-z_]+>|<sanitizer/[a-z_]+\.h>' > "$scratch"
report "a system or library header outside platform/" < "$scratch"

# 2. Operating-system and windowing headers in tests and benchmarks.
os='<(unistd|signal|dirent|fcntl|malloc|pthread|dlfcn|poll|termios|sched|netdb|spawn|syslog|pwd|grp)\.h>|<(sys|netinet|arpa|linux|SDL2?|AL|enet|EGL|GL|GLES[0-9]*|X11|wayland)[/>._a-z0-9-]'
includes tests bench | grep -v '^tests/support/' | grep -E "$os" > "$scratch"
report "an operating-system header outside tests/support/" < "$scratch"

# 3. Folders and the folders they may include ("name/"), by folder.
allowed() {
  case "$1" in
    platform) echo "platform" ;;
    engine) echo "platform engine render" ;;  # render/: only the named set below
    render) echo "platform engine render" ;;
    media) echo "platform engine render media" ;;
    game | world) echo "platform engine render media game world" ;;
    softbuild) echo "platform engine render media game world softbuild" ;;
    apps) echo "platform engine render media game world softbuild apps" ;;
    tools) echo "platform engine render tools" ;;
  esac
}
for dir in platform $product; do
  pattern=$(allowed "$dir" | sed 's/ /|/g')
  includes "$dir" | grep -E '#[[:space:]]*include[[:space:]]*"' |
    grep -vE "#[[:space:]]*include[[:space:]]*\"($pattern)/" > "$scratch"
  report "$dir/ may include only $(allowed "$dir" | sed 's/ /, /g')" < "$scratch"
done

# The rasteriser headers the engine draws through.
rasteriser='coverage_buffer|polygon_setup|raster_state|render_stats|row_doubling|screen_lines'
includes engine | grep -E '#[[:space:]]*include[[:space:]]*"render/' |
  grep -vE "\"render/($rasteriser)\.h\"" > "$scratch"
report "engine/ reaches render/ only through $(echo "$rasteriser" | sed 's/|/, /g')" < "$scratch"

# The engine's frame passes, which call into the rasteriser.
passes='render_world|render_software|render_hardware|bsp_visit|instance_render'
includes render | grep -E "\"engine/($passes)\.h\"" > "$scratch"
report "render/ includes one of engine/'s frame passes" < "$scratch"

if [ "$failed" -ne 0 ]; then
  echo "check-includes: the include rules are broken (see docs/HACKING.md)" >&2
  exit 1
fi
echo "check-includes: include rules kept"
