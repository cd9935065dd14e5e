#include "platform/framework/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/ascii.h"
#include "platform/process_services.h"

namespace {

// Larger files are not settings; they are neither read nor replaced.
constexpr size_t kMaxProfileBytes = 16 << 20;

// One line of the file as it stands. Lines that hold no entry (blank lines,
// comments, lines that do not parse) are kept as they are, so that a write
// gives back everything it did not change.
struct Line {
  std::string text;  // without its '\n'
  bool entry = false;
  std::string key, value;
};
// A "[name]" line and the lines up to the next one. The lines before the
// first header, and those under a header that does not parse, are in a
// section nobody can name (named false).
struct Section {
  std::string name;
  bool named = false;
  std::vector<Line> lines;
};
using Profile = std::vector<Section>;

std::string Trim(const std::string& text) {
  size_t begin = 0;
  size_t end = text.size();
  while (begin < end && (text[begin] == ' ' || text[begin] == '\t')) ++begin;
  while (end > begin && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  return text.substr(begin, end - begin);
}

bool ValidName(const std::string& name) {
  if (name.empty() || Trim(name) != name) return false;
  for (char c : name)
    if (c == '=' || c == '[' || c == ']' || c == '\r' || c == '\n' || c == '\0') return false;
  return name[0] != ';' && name[0] != '#';
}

std::string Escape(const std::string& value) {
  std::string out;
  for (char c : value) {
    if (c == '\\') {
      out += "\\\\";
    } else if (c == '\n') {
      out += "\\n";
    } else if (c == '\r') {
      out += "\\r";
    } else {
      out += c;
    }
  }
  return out;
}

bool Unescape(const std::string& text, std::string* out) {
  out->clear();
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\\') {
      *out += text[i];
      continue;
    }
    if (++i == text.size()) return false;
    switch (text[i]) {
      case '\\':
        *out += '\\';
        break;
      case 'n':
        *out += '\n';
        break;
      case 'r':
        *out += '\r';
        break;
      default:
        return false;
    }
  }
  return true;
}

// The whole file, or false when it can't be read or is too large.
bool ReadWhole(const std::string& path, std::string* text) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  text->clear();
  char buffer[4096];
  size_t got;
  bool ok = true;
  while ((got = std::fread(buffer, 1, sizeof(buffer), file)) > 0) {
    text->append(buffer, got);
    if (text->size() > kMaxProfileBytes) {
      ok = false;
      break;
    }
  }
  if (std::ferror(file)) ok = false;
  std::fclose(file);
  return ok;
}

// The entry on a line of a named section; false when the line holds none.
bool ParseEntry(const std::string& line, std::string* key, std::string* value) {
  const size_t equals = line.find('=');
  if (equals == std::string::npos || line.find('\0') != std::string::npos) return false;
  *key = Trim(line.substr(0, equals));
  return ValidName(*key) && Unescape(line.substr(equals + 1), value);
}

Profile Parse(const std::string& text) {
  Profile profile(1);  // the lines before the first header
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    Line line{text.substr(at, end - at)};
    at = end + 1;
    std::string content = line.text;
    if (!content.empty() && content.back() == '\r') content.pop_back();
    const std::string trimmed = Trim(content);
    if (!trimmed.empty() && trimmed[0] == '[') {
      Section section;
      section.name = trimmed.size() >= 2 && trimmed.back() == ']' ? trimmed.substr(1, trimmed.size() - 2) : "";
      section.named = ValidName(section.name);
      section.lines.push_back(std::move(line));
      profile.push_back(std::move(section));
      continue;
    }
    const bool comment = trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#';
    if (!comment && profile.back().named) line.entry = ParseEntry(content, &line.key, &line.value);
    profile.back().lines.push_back(std::move(line));
  }
  return profile;
}

std::string Render(const Profile& profile) {
  std::string text;
  for (const Section& section : profile) {
    for (const Line& line : section.lines) text += line.text + '\n';
  }
  return text;
}

const Line* LastLine(const Profile& profile) {
  for (auto s = profile.rbegin(); s != profile.rend(); ++s) {
    if (!s->lines.empty()) return &s->lines.back();
  }
  return nullptr;
}

std::string EntryLine(const std::string& key, const std::string& value) { return key + '=' + Escape(value); }

bool WriteAtomically(const std::string& path, const std::string& text) {
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && slash > 0 && !FolderCreate(path.substr(0, slash), true)) return false;
  return FileWriteAtomically(path, text.data(), text.size(), true);
}

// The last file parsed, kept while the file on disk is the same one (same
// inode, size and modification time), so that reading many settings in a row
// parses it once. A write replaces the file (new inode), which drops it.
struct ParsedProfile {
  std::string path;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = -1;
  timespec modified{};
  bool ok = false;  // read whole; else too large or unreadable
  Profile profile;
};

bool SameFile(const ParsedProfile& cached, const std::string& path, const struct stat& st) {
  return cached.size >= 0 && cached.path == path && cached.device == st.st_dev && cached.inode == st.st_ino &&
         cached.size == st.st_size && cached.modified.tv_sec == st.st_mtim.tv_sec &&
         cached.modified.tv_nsec == st.st_mtim.tv_nsec;
}

enum class Stored { Missing, Unreadable, Read };

// The parsed file at path in *profile (valid until the next call) when it
// could be read.
Stored LoadProfile(const std::string& path, const Profile** profile) {
  static ParsedProfile cached;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return errno == ENOENT ? Stored::Missing : Stored::Unreadable;
  if (!SameFile(cached, path, st)) {
    std::string text;
    cached = ParsedProfile{};
    cached.ok = ReadWhole(path, &text);
    if (cached.ok) cached.profile = Parse(text);
    cached.path = path;
    cached.device = st.st_dev;
    cached.inode = st.st_ino;
    cached.size = st.st_size;
    cached.modified = st.st_mtim;
  }
  *profile = &cached.profile;
  return cached.ok ? Stored::Read : Stored::Unreadable;
}

std::string SafeComponent(const std::string& name) {
  std::string out = name;
  for (char& c : out)
    if (c == '/' || c == '\0') c = '_';
  if (out == "." || out == "..") out = "_";
  return out;
}

}  // namespace

std::string ProfileConfigFolder() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg && xdg[0] == '/') return xdg;  // relative values are to be ignored
  const char* home = std::getenv("HOME");
  if (home && *home) return std::string(home) + "/.config";
  return std::string();
}

std::string ProfileFilePath(const std::string& registryKey, const std::string& appName) {
  const std::string folder = ProfileConfigFolder();
  if (folder.empty() || appName.empty()) return std::string();
  std::string path = folder;
  if (!registryKey.empty()) path += '/' + SafeComponent(registryKey);
  return path + '/' + SafeComponent(appName) + ".ini";
}

bool ProfileRead(const std::string& path, const std::string& section, const std::string& entry, std::string* value) {
  const Profile* profile = nullptr;
  if (path.empty() || LoadProfile(path, &profile) != Stored::Read) return false;
  bool found = false;
  // A later line wins, as it would have overwritten the earlier one.
  for (const Section& s : *profile) {
    if (!s.named || !AsciiEqualNoCase(s.name, section)) continue;
    for (const Line& line : s.lines) {
      if (line.entry && AsciiEqualNoCase(line.key, entry)) {
        *value = line.value;
        found = true;
      }
    }
  }
  return found;
}

bool ProfileWrite(const std::string& path, const std::string& section, const std::string& entry,
                  const std::string& value) {
  if (path.empty() || !ValidName(section) || !ValidName(entry)) return false;
  // A file that is there but cannot be read whole is not replaced: that
  // would lose whatever it holds.
  const Profile* stored = nullptr;
  const Stored state = LoadProfile(path, &stored);
  if (state == Stored::Unreadable) return false;
  Profile profile = state == Stored::Read ? *stored : Profile(1);
  // Every copy of the entry gets the value (a file may repeat a section or
  // an entry), so that the reader's last one is the new one too.
  bool replaced = false;
  Section* first = nullptr;
  for (Section& s : profile) {
    if (!s.named || !AsciiEqualNoCase(s.name, section)) continue;
    if (!first) first = &s;
    for (Line& line : s.lines) {
      if (line.entry && AsciiEqualNoCase(line.key, entry)) {
        line = Line{EntryLine(line.key, value), true, line.key, value};
        replaced = true;
      }
    }
  }
  if (!replaced) {
    if (!first) {
      // A blank line between sections, as a person would write it.
      const Line* last = LastLine(profile);
      if (last && !Trim(last->text).empty()) profile.back().lines.push_back(Line{});
      profile.push_back(Section{section, true, {Line{'[' + section + ']'}}});
      first = &profile.back();
    }
    // After the section's last entry (or its header), before the blank
    // lines and comments that lead to the next one.
    size_t after = 0;
    for (size_t i = 0; i < first->lines.size(); ++i) {
      if (first->lines[i].entry) after = i;
    }
    first->lines.insert(first->lines.begin() + static_cast<std::ptrdiff_t>(after) + 1,
                        Line{EntryLine(entry, value), true, entry, value});
  }
  return WriteAtomically(path, Render(profile));
}

bool ProfileParseInt(const std::string& text, int* value) {
  const std::string t = Trim(text);
  if (t.empty()) return false;
  size_t i = 0;
  const bool negative = t[0] == '-';
  if (t[0] == '-' || t[0] == '+') ++i;
  if (i == t.size()) return false;
  uint64_t magnitude = 0;
  for (; i < t.size(); ++i) {
    if (t[i] < '0' || t[i] > '9') return false;
    magnitude = magnitude * 10 + static_cast<uint64_t>(t[i] - '0');
    if (magnitude > 0xFFFFFFFFull) return false;
  }
  if (negative && magnitude > 0x80000000ull) return false;
  const uint32_t bits =
      negative ? static_cast<uint32_t>(0u - static_cast<uint32_t>(magnitude)) : static_cast<uint32_t>(magnitude);
  *value = static_cast<int>(bits);
  return true;
}
