#!/bin/sh
# Checks the include rules of the tree (docs/HACKING.md, "Folders and what
# they may include"):
#  1. No product code outside platform/ includes a system or library header:
#     its angle includes are the C++ standard library's (no ".h") and the
#     sanitizer interface; everything else goes through platform/.
#  2. tests/, bench/ and fuzz/ include no operating-system or windowing header
#     outside tests/support/, which makes the system calls they need.
#  3. A folder includes only the folders below it (platform, engine, render,
#     media, game and world, softbuild, apps; tools beside them), engine/
#     reaches the rasteriser only through its named headers, and render/
#     never includes engine/'s frame passes.
# Prints each broken rule as file:line: reason, and fails if there is one.
#   ./scripts/check-includes.sh
set -eu
cd "$(dirname "$0")/.."

folders=""
for dir in platform engine render media game world softbuild apps tools tests bench fuzz; do
  [ -d "$dir" ] && folders="$folders $dir"  # folders come with their first file
done

# Every include as file:line:text, read by one awk program that knows the
# rules.
# shellcheck disable=SC2086
grep -rnE --include='*.h' --include='*.cpp' --include='*.c' '^[[:space:]]*#[[:space:]]*include' $folders |
  awk '
BEGIN {
  # Folders and the folders each may include.
  may["platform"] = "platform"
  may["engine"] = "platform engine render"  # render/: only the named set below
  may["render"] = "platform engine render"
  may["media"] = "platform engine render media"
  may["game"] = may["world"] = "platform engine render media game world"
  may["softbuild"] = "platform engine render media game world softbuild"
  may["apps"] = "platform engine render media game world softbuild apps"
  may["tools"] = "platform engine render tools"
  # The rasteriser headers the engine draws through, and the engine frame
  # passes that call into the rasteriser.
  rasteriser = "^render/(coverage_buffer|polygon_setup|raster_state|render_stats|row_doubling|screen_lines)\\.h$"
  passes = "^engine/(render_world|render_software|render_hardware|bsp_visit|instance_render)\\.h$"
  standard = "^([a-z_]+|sanitizer/[a-z_]+\\.h)$"
  os = "^((unistd|signal|dirent|fcntl|malloc|pthread|dlfcn|poll|termios|sched|netdb|spawn|syslog|pwd|grp)\\.h" \
       "|(sys|netinet|arpa|linux|SDL|SDL2|AL|enet|EGL|GL|GLES[0-9]*|X11|wayland)[/.].*|SDL\\.h)$"
  failed = 0
}
function fail(reason) {
  print file ":" line ": " reason
  failed = 1
}
{
  # file:line:#include <name> or "name"
  first = index($0, ":"); file = substr($0, 1, first - 1)
  rest = substr($0, first + 1); second = index(rest, ":"); line = substr(rest, 1, second - 1)
  text = substr(rest, second + 1)
  folder = file; sub(/\/.*/, "", folder)
  angle = match(text, /<[^>]*>/)
  if (angle) {
    name = substr(text, RSTART + 1, RLENGTH - 2)
  } else if (match(text, /"[^"]*"/)) {
    name = substr(text, RSTART + 1, RLENGTH - 2)
  } else {
    next
  }
  if (folder == "tests" || folder == "bench" || folder == "fuzz") {
    if (angle && name ~ os && file !~ /^tests\/support\//) fail("an operating-system header outside tests/support/")
    next
  }
  if (angle) {
    if (folder != "platform" && name !~ standard) fail("a system or library header outside platform/")
    next
  }
  target = name; sub(/\/.*/, "", target)
  if (index(" " may[folder] " ", " " target " ") == 0) {
    allowed = may[folder]; gsub(/ /, ", ", allowed)
    fail(folder "/ may include only " allowed)
  } else if (folder == "engine" && target == "render" && name !~ rasteriser) {
    fail("engine/ reaches render/ only through coverage_buffer, polygon_setup, raster_state, render_stats, row_doubling, screen_lines")
  } else if (folder == "render" && name ~ passes) {
    fail("render/ includes one of engine/\047s frame passes")
  }
}
END {
  if (failed) {
    print "check-includes: the include rules are broken (see docs/HACKING.md)" > "/dev/stderr"
    exit 1
  }
  print "check-includes: include rules kept"
}'
