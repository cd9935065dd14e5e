#pragma once
// The class library's files: CFile over a disk file (Windows-style names,
// resolved by the platform's path rules) and CMemFile over memory, plus the
// exceptions that archives and files throw. Errors are C++ exceptions caught
// by reference; nothing is thrown as a pointer.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <vector>

#include "platform/framework/cstring.h"
#include "platform/process_services.h"
#include "platform/types.h"

class CException : public std::exception {
 public:
  const char* what() const noexcept override { return "class-library exception"; }
};

class CFileException : public CException {
 public:
  enum Cause { none = 0, generic, fileNotFound, badPath, accessDenied, diskFull, endOfFile };
  explicit CFileException(int cause = none, const char* fileName = nullptr) : m_cause(cause), m_strFileName(fileName) {}
  const char* what() const noexcept override { return "file error"; }
  int m_cause;
  CString m_strFileName;
};

class CFile {
 public:
  enum OpenFlags : UINT {
    modeRead = 0x0000,
    modeWrite = 0x0001,
    modeReadWrite = 0x0002,
    shareDenyWrite = 0x0020,
    modeCreate = 0x1000,
    modeNoTruncate = 0x2000,
    typeText = 0x4000,
    typeBinary = 0x8000,
    // With modeCreate and modeWrite: the file is written in place of the
    // one there, which stays whole until Close has everything on disk (a
    // temporary file beside it is renamed over it). A save that fails
    // midway, or a file destroyed or aborted unclosed, changes nothing.
    modeReplace = 0x10000,
  };
  enum SeekPosition { begin = 0, current = 1, end = 2 };

  CFile() = default;
  virtual ~CFile();
  CFile(const CFile&) = delete;
  CFile& operator=(const CFile&) = delete;

  // Opens a disk file; false (with the cause in *error) when it can't.
  virtual bool Open(const char* fileName, UINT openFlags, CFileException* error = nullptr);
  // Bytes actually read; 0 at the end.
  virtual UINT Read(void* buffer, UINT count);
  // Throws CFileException when not everything could be written.
  virtual void Write(const void* buffer, UINT count);
  virtual void Flush();
  // Throws CFileException when the data could not all be stored (a
  // replacing file then leaves the old file as it was).
  virtual void Close();
  // Closes without throwing; a replacing file is thrown away unused.
  virtual void Abort();
  virtual uint64_t GetLength() const;
  virtual uint64_t GetPosition() const;
  virtual uint64_t Seek(int64_t offset, UINT from);
  void SeekToBegin() { Seek(0, begin); }
  const CString& GetFilePath() const { return path_; }
  bool IsOpen() const { return file_ != nullptr; }

 protected:
  CString path_;

 private:
  FILE* file_ = nullptr;
  FileReplacement replacement_;  // its file is file_ while replacing
};

// A file in memory: reading from given bytes or collecting written ones.
class CMemFile : public CFile {
 public:
  CMemFile() = default;
  explicit CMemFile(std::vector<uint8_t> bytes) : data_(std::move(bytes)) {}

  bool Open(const char*, UINT, CFileException* = nullptr) override { return true; }
  UINT Read(void* buffer, UINT count) override;
  void Write(const void* buffer, UINT count) override;
  void Flush() override {}
  void Close() override {}
  void Abort() override {}
  uint64_t GetLength() const override { return data_.size(); }
  uint64_t GetPosition() const override { return position_; }
  uint64_t Seek(int64_t offset, UINT from) override;

  const std::vector<uint8_t>& Data() const { return data_; }

 private:
  std::vector<uint8_t> data_;
  size_t position_ = 0;
};
