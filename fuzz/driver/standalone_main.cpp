// The fuzz harnesses' main when libFuzzer is not there (a gcc build): each
// file named on the command line, and each file in a folder named there, is
// given to the harness once, in name order, so that the test command can run
// every seed and every kept crasher as a quick regression run. A file whose
// name starts with '.' is skipped (a folder keeps itself in git with one).
// Exit status 0 after them all; a harness that finds a fault aborts the run.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

namespace {

bool Collect(const std::filesystem::path& path, std::vector<std::filesystem::path>* files) {
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) {
    files->push_back(path);
    return true;
  }
  if (!std::filesystem::is_directory(path, error)) return false;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(path, error)) {
    if (entry.is_regular_file() && entry.path().filename().string().rfind('.', 0) != 0) files->push_back(entry.path());
  }
  return !error;
}

}  // namespace

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    if (!Collect(argv[i], &files)) {
      std::fprintf(stderr, "%s: no such file or folder: %s\n", argv[0], argv[i]);
      return 1;
    }
  }
  if (files.empty()) {
    std::fprintf(stderr, "%s: no inputs (give files or folders of them)\n", argv[0]);
    return 1;
  }
  std::sort(files.begin(), files.end());
  for (const auto& file : files) {
    std::ifstream in(file, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in.good() && !in.eof()) {
      std::fprintf(stderr, "%s: cannot read %s\n", argv[0], file.c_str());
      return 1;
    }
    // A copy of exactly the file's size, so that a read past its end is
    // caught by the address sanitizer as libFuzzer's own copies are.
    std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    std::unique_ptr<std::uint8_t[]> exact(new std::uint8_t[input.size() ? input.size() : 1]);
    std::copy(input.begin(), input.end(), exact.get());
    LLVMFuzzerTestOneInput(exact.get(), input.size());
  }
  std::printf("%s: %zu inputs ran\n", argv[0], files.size());
  return 0;
}
