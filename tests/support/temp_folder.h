#pragma once
// Temporary folders, the environment and the current folder for tests and
// benchmarks. With tests/support/process_info.h this is where the system
// calls they need are made, so that no test makes its own.
//
// TempFolder: a fresh folder under the system's temporary folder, removed
// with its contents when the test ends.
#include <string>
#include <vector>
#include <cstdint>

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& Path() const { return path_; }
  // path_ + "/" + relative ('/'-separated); folders are not created.
  std::string Join(const std::string& relative) const;
  // Writes a file (creating its folders).
  void WriteFile(const std::string& relative, const std::vector<uint8_t>& bytes) const;
  void WriteText(const std::string& relative, const std::string& text) const;
  void MakeFolder(const std::string& relative) const;

 private:
  std::string path_;
};

// Sets an environment variable for a scope, restoring the old value after.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value);
  ~ScopedEnv();
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  std::string name_;
  std::string old_;
  bool hadOld_;
};

// Changes the current folder for a scope.
class ScopedCurrentFolder {
 public:
  explicit ScopedCurrentFolder(const std::string& path);
  ~ScopedCurrentFolder();
  ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
  ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

 private:
  std::string old_;
};

// Reads a whole file; empty when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);
