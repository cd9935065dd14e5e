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

constexpr size_t kMaxProfileBytes = 1 << 20;

struct Section {
  std::string name;
  std::vector<std::pair<std::string, std::string>> entries;
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

bool Parse(const std::string& text, Profile* profile) {
  profile->clear();
  if (text.find('\0') != std::string::npos) return false;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(at, end - at);
    at = end + 1;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::string trimmed = Trim(line);
    if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
    if (trimmed[0] == '[') {
      if (trimmed.back() != ']') return false;
      const std::string name = trimmed.substr(1, trimmed.size() - 2);
      if (!ValidName(name)) return false;
      profile->push_back(Section{name, {}});
      continue;
    }
    const size_t equals = line.find('=');
    if (equals == std::string::npos || profile->empty()) return false;
    const std::string key = Trim(line.substr(0, equals));
    std::string value;
    if (!ValidName(key) || !Unescape(line.substr(equals + 1), &value)) return false;
    auto& entries = profile->back().entries;
    bool replaced = false;
    for (auto& [k, v] : entries) {
      if (AsciiEqualNoCase(k, key)) {
        v = value;
        replaced = true;
      }
    }
    if (!replaced) entries.emplace_back(key, value);
  }
  return true;
}

std::string Render(const Profile& profile) {
  std::string text;
  for (const Section& section : profile) {
    if (!text.empty()) text += '\n';
    text += '[' + section.name + "]\n";
    for (const auto& [key, value] : section.entries) text += key + '=' + Escape(value) + '\n';
  }
  return text;
}

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
  bool ok = false;
  Profile profile;
};

bool SameFile(const ParsedProfile& cached, const std::string& path, const struct stat& st) {
  return cached.size >= 0 && cached.path == path && cached.device == st.st_dev && cached.inode == st.st_ino &&
         cached.size == st.st_size && cached.modified.tv_sec == st.st_mtim.tv_sec &&
         cached.modified.tv_nsec == st.st_mtim.tv_nsec;
}

// The parsed file at path; null when it cannot be read or is malformed.
const Profile* LoadProfile(const std::string& path) {
  static ParsedProfile cached;
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return nullptr;
  if (!SameFile(cached, path, st)) {
    std::string text;
    cached = ParsedProfile{};
    cached.ok = ReadWhole(path, &text) && Parse(text, &cached.profile);
    cached.path = path;
    cached.device = st.st_dev;
    cached.inode = st.st_ino;
    cached.size = st.st_size;
    cached.modified = st.st_mtim;
  }
  return cached.ok ? &cached.profile : nullptr;
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
  const Profile* profile = path.empty() ? nullptr : LoadProfile(path);
  if (!profile) return false;
  bool found = false;
  // A later line wins, as it would have overwritten the earlier one.
  for (const Section& s : *profile) {
    if (!AsciiEqualNoCase(s.name, section)) continue;
    for (const auto& [k, v] : s.entries) {
      if (AsciiEqualNoCase(k, entry)) {
        *value = v;
        found = true;
      }
    }
  }
  return found;
}

bool ProfileWrite(const std::string& path, const std::string& section, const std::string& entry,
                  const std::string& value) {
  if (path.empty() || !ValidName(section) || !ValidName(entry)) return false;
  // A damaged file is replaced by what is written now.
  const Profile* stored = LoadProfile(path);
  Profile profile = stored ? *stored : Profile{};
  // Every copy of the entry gets the value (a damaged file may repeat a
  // section), so that the reader's last one is the new one too.
  bool replaced = false;
  Section* first = nullptr;
  for (Section& s : profile) {
    if (!AsciiEqualNoCase(s.name, section)) continue;
    if (!first) first = &s;
    for (auto& [k, v] : s.entries) {
      if (AsciiEqualNoCase(k, entry)) {
        v = value;
        replaced = true;
      }
    }
  }
  if (!replaced) {
    if (!first) {
      profile.push_back(Section{section, {}});
      first = &profile.back();
    }
    first->entries.emplace_back(entry, value);
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
