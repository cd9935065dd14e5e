#include "platform/framework/file.h"

#include <cerrno>
#include <cstring>

#include "platform/paths.h"

CFile::~CFile() { Abort(); }

bool CFile::Open(const char* fileName, UINT openFlags, CFileException* error) {
  Close();
  if (!fileName || !*fileName) {
    if (error) *error = CFileException(CFileException::badPath, fileName);
    return false;
  }
  const UINT access = openFlags & 0x3;
  const bool create = (openFlags & modeCreate) != 0;
  const bool keep = (openFlags & modeNoTruncate) != 0;
  if ((openFlags & modeReplace) != 0) {
    std::string target;
    const bool ok = create && !keep && access == modeWrite &&
                    PathResolve(fileName, &target, PathMode::ForWriting) && FileReplaceOpen(target, &replacement_);
    if (!ok) {
      if (error) *error = CFileException(CFileException::accessDenied, fileName);
      return false;
    }
    file_ = replacement_.file;
    path_ = fileName;
    return true;
  }
  const char* mode = "rb";
  if (access == modeWrite) mode = (create && !keep) ? "wb" : "r+b";
  if (access == modeReadWrite) mode = (create && !keep) ? "w+b" : "r+b";
  FILE* file = PathOpenFile(fileName, mode);
  if (!file && create && keep) file = PathOpenFile(fileName, access == modeWrite ? "wb" : "w+b");
  if (!file) {
    if (error) {
      const int cause =
          (errno == EACCES || errno == EPERM) ? CFileException::accessDenied : CFileException::fileNotFound;
      *error = CFileException(cause, fileName);
    }
    return false;
  }
  file_ = file;
  path_ = fileName;
  return true;
}

UINT CFile::Read(void* buffer, UINT count) {
  if (!file_ || !buffer || count == 0) return 0;
  return static_cast<UINT>(std::fread(buffer, 1, count, file_));
}

void CFile::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  if (!file_ || !buffer || std::fwrite(buffer, 1, count, file_) != count)
    throw CFileException(CFileException::diskFull, path_);
}

void CFile::Flush() {
  if (file_ && std::fflush(file_) != 0) throw CFileException(CFileException::diskFull, path_);
}

void CFile::Close() {
  if (!file_) return;
  FILE* file = file_;
  file_ = nullptr;
  const bool ok = replacement_.file ? FileReplaceCommit(&replacement_) : std::fclose(file) == 0;
  if (!ok) throw CFileException(CFileException::diskFull, path_);
}

void CFile::Abort() {
  if (!file_) return;
  if (replacement_.file) {
    FileReplaceAbandon(&replacement_);
  } else {
    std::fclose(file_);
  }
  file_ = nullptr;
}

uint64_t CFile::GetLength() const {
  if (!file_) return 0;
  const long here = std::ftell(file_);
  if (here < 0 || std::fseek(file_, 0, SEEK_END) != 0) return 0;
  const long length = std::ftell(file_);
  std::fseek(file_, here, SEEK_SET);
  return length < 0 ? 0 : static_cast<uint64_t>(length);
}

uint64_t CFile::GetPosition() const {
  if (!file_) return 0;
  const long here = std::ftell(file_);
  return here < 0 ? 0 : static_cast<uint64_t>(here);
}

uint64_t CFile::Seek(int64_t offset, UINT from) {
  if (!file_) return 0;
  const int whence = from == end ? SEEK_END : from == current ? SEEK_CUR : SEEK_SET;
  if (std::fseek(file_, static_cast<long>(offset), whence) != 0) throw CFileException(CFileException::badPath, path_);
  return GetPosition();
}

UINT CMemFile::Read(void* buffer, UINT count) {
  if (!buffer || position_ >= data_.size()) return 0;
  const size_t n = std::min<size_t>(count, data_.size() - position_);
  std::memcpy(buffer, data_.data() + position_, n);
  position_ += n;
  return static_cast<UINT>(n);
}

void CMemFile::Write(const void* buffer, UINT count) {
  if (!buffer || count == 0) return;
  if (position_ + count > data_.size()) data_.resize(position_ + count);
  std::memcpy(data_.data() + position_, buffer, count);
  position_ += count;
}

uint64_t CMemFile::Seek(int64_t offset, UINT from) {
  int64_t base = 0;
  if (from == current) base = static_cast<int64_t>(position_);
  if (from == end) base = static_cast<int64_t>(data_.size());
  const int64_t target = base + offset;
  if (target < 0) throw CFileException(CFileException::badPath);
  position_ = static_cast<size_t>(target);
  return position_;
}
