#include "tests/support/temp_folder.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  std::string pattern = (fs::temp_directory_path() / "korvane-test-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempFolder::~TempFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

std::string TempFolder::Join(const std::string& relative) const { return path_ + "/" + relative; }

void TempFolder::WriteFile(const std::string& relative, const std::vector<uint8_t>& bytes) const {
  const fs::path path = Join(relative);
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

void TempFolder::WriteText(const std::string& relative, const std::string& text) const {
  WriteFile(relative, std::vector<uint8_t>(text.begin(), text.end()));
}

void TempFolder::MakeFolder(const std::string& relative) const { fs::create_directories(Join(relative)); }

ScopedEnv::ScopedEnv(const char* name, const char* value) : name_(name) {
  const char* old = std::getenv(name);
  hadOld_ = old != nullptr;
  if (old) old_ = old;
  if (value) ::setenv(name, value, 1);
  else ::unsetenv(name);
}

ScopedEnv::~ScopedEnv() {
  if (hadOld_) ::setenv(name_.c_str(), old_.c_str(), 1);
  else ::unsetenv(name_.c_str());
}

ScopedCurrentFolder::ScopedCurrentFolder(const std::string& path) : old_(fs::current_path().string()) {
  fs::current_path(path);
}

ScopedCurrentFolder::~ScopedCurrentFolder() {
  std::error_code ignored;
  fs::current_path(old_, ignored);
}

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
