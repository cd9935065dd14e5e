#include "platform/framework/serial_archive.h"

#include <algorithm>
#include <cstring>

namespace {
constexpr WORD kNullTag = 0x0000;
constexpr WORD kNewClassTag = 0xFFFF;
constexpr WORD kClassTag = 0x8000;
constexpr DWORD kBigClassTag = 0x80000000u;
constexpr WORD kBigObjectTag = 0x7FFF;
constexpr DWORD kMaxMapCount = 0x3FFFFFFEu;
// The longest class name an archive may name (the library read names into a
// 64-byte buffer).
constexpr WORD kMaxClassNameLength = 63;
// Strings are read in pieces of this size, so a length read from a damaged
// file can't make us allocate more than the data that is really there.
constexpr size_t kStringChunk = 64 * 1024;
// Objects nested in objects are read by recursion (ReadObject, Serialize,
// ReadObject, ...), so a damaged file could nest them until the stack runs
// out; no saved game nests them more than a few deep.
constexpr int kMaxObjectNesting = 256;
}  // namespace

const char* CArchiveException::what() const noexcept {
  switch (m_cause) {
    case endOfFile:
      return "archive: unexpected end of file";
    case badIndex:
      return "archive: bad object or class index";
    case badClass:
      return "archive: unknown or unexpected class";
    case badSchema:
      return "archive: wrong schema";
    case readOnly:
      return "archive: writing to a loading archive";
    case writeOnly:
      return "archive: reading from a storing archive";
    default:
      return "archive: bad data";
  }
}

CArchive::CArchive(CFile* file, UINT mode, int bufferSize)
    : file_(file),
      loading_((mode & load) != 0),
      noFlushOnDelete_((mode & bNoFlushOnDelete) != 0),
      buffer_(static_cast<size_t>(std::max(bufferSize, 128))) {}

CArchive::~CArchive() {
  if (!file_) return;
  if (loading_ || noFlushOnDelete_) {
    Abort();
    return;
  }
  try {
    Close();
  } catch (const CException&) {
    // A destructor can't report it; callers that care call Close themselves.
    file_ = nullptr;
  }
}

UINT CArchive::GetObjectSchema() {
  const UINT schema = objectSchema_;
  objectSchema_ = static_cast<UINT>(-1);
  return schema;
}

void CArchive::CheckLoading() const {
  if (!loading_) throw CArchiveException(CArchiveException::writeOnly);
  if (!file_) throw CArchiveException(CArchiveException::generic);
}

void CArchive::CheckStoring() const {
  if (loading_) throw CArchiveException(CArchiveException::readOnly);
  if (!file_) throw CArchiveException(CArchiveException::generic);
}

void CArchive::Need(UINT count) {
  CheckLoading();
  if (bufferEnd_ - bufferPos_ >= count) return;
  // Keep what is left and fill the rest of the buffer from the file.
  const size_t left = bufferEnd_ - bufferPos_;
  std::memmove(buffer_.data(), buffer_.data() + bufferPos_, left);
  bufferPos_ = 0;
  bufferEnd_ = left;
  while (bufferEnd_ < count) {
    const UINT got = file_->Read(buffer_.data() + bufferEnd_, static_cast<UINT>(buffer_.size() - bufferEnd_));
    if (got == 0) throw CArchiveException(CArchiveException::endOfFile);
    bufferEnd_ += got;
  }
}

uint64_t CArchive::BytesLeftToLoad() const {
  if (!loading_ || !file_) return 0;
  const uint64_t length = file_->GetLength();
  const uint64_t position = file_->GetPosition();
  return (bufferEnd_ - bufferPos_) + (length > position ? length - position : 0);
}

UINT CArchive::Read(void* buffer, UINT count) {
  CheckLoading();
  auto* out = static_cast<uint8_t*>(buffer);
  UINT done = 0;
  while (done < count) {
    if (bufferPos_ == bufferEnd_) {
      bufferPos_ = bufferEnd_ = 0;
      const UINT got = file_->Read(buffer_.data(), static_cast<UINT>(buffer_.size()));
      if (got == 0) break;
      bufferEnd_ = got;
    }
    const size_t n = std::min<size_t>(count - done, bufferEnd_ - bufferPos_);
    std::memcpy(out + done, buffer_.data() + bufferPos_, n);
    bufferPos_ += n;
    done += static_cast<UINT>(n);
  }
  return done;
}

void CArchive::Put(const uint8_t* bytes, UINT count) {
  CheckStoring();
  while (count > 0) {
    if (bufferPos_ == buffer_.size()) Flush();
    const size_t n = std::min<size_t>(count, buffer_.size() - bufferPos_);
    std::memcpy(buffer_.data() + bufferPos_, bytes, n);
    bufferPos_ += n;
    bytes += n;
    count -= static_cast<UINT>(n);
  }
}

void CArchive::Write(const void* buffer, UINT count) {
  if (count == 0) return;
  Put(static_cast<const uint8_t*>(buffer), count);
}

void CArchive::Flush() {
  if (loading_ || !file_) return;
  if (bufferPos_ > 0) {
    const size_t n = bufferPos_;
    bufferPos_ = 0;
    file_->Write(buffer_.data(), static_cast<UINT>(n));
  }
}

void CArchive::Close() {
  if (!file_) return;
  if (!loading_) Flush();
  file_ = nullptr;
}

void CArchive::Abort() { file_ = nullptr; }

CArchive& CArchive::operator<<(uint8_t v) {
  Put(&v, 1);
  return *this;
}

CArchive& CArchive::operator<<(uint16_t v) {
  const uint8_t b[2] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8)};
  Put(b, 2);
  return *this;
}

CArchive& CArchive::operator<<(uint32_t v) {
  const uint8_t b[4] = {static_cast<uint8_t>(v), static_cast<uint8_t>(v >> 8), static_cast<uint8_t>(v >> 16),
                        static_cast<uint8_t>(v >> 24)};
  Put(b, 4);
  return *this;
}

CArchive& CArchive::operator<<(uint64_t v) {
  *this << static_cast<uint32_t>(v);
  return *this << static_cast<uint32_t>(v >> 32);
}

CArchive& CArchive::operator>>(uint8_t& v) {
  Need(1);
  v = buffer_[bufferPos_++];
  return *this;
}

CArchive& CArchive::operator>>(uint16_t& v) {
  Need(2);
  v = static_cast<uint16_t>(buffer_[bufferPos_] | (buffer_[bufferPos_ + 1] << 8));
  bufferPos_ += 2;
  return *this;
}

CArchive& CArchive::operator>>(uint32_t& v) {
  Need(4);
  const uint8_t* b = buffer_.data() + bufferPos_;
  v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) | (static_cast<uint32_t>(b[2]) << 16) |
      (static_cast<uint32_t>(b[3]) << 24);
  bufferPos_ += 4;
  return *this;
}

CArchive& CArchive::operator>>(uint64_t& v) {
  uint32_t low, high;
  *this >> low >> high;
  v = static_cast<uint64_t>(low) | (static_cast<uint64_t>(high) << 32);
  return *this;
}

void CArchive::WriteCount(DWORD count) {
  if (count < 0xFFFF) {
    *this << static_cast<WORD>(count);
  } else {
    *this << static_cast<WORD>(0xFFFF) << count;
  }
}

DWORD CArchive::ReadCount() {
  WORD w;
  *this >> w;
  if (w != 0xFFFF) return w;
  DWORD d;
  *this >> d;
  return d;
}

void CArchive::WriteString(const char* text, size_t length) {
  if (length > 0xFFFFFFFFu) throw CArchiveException(CArchiveException::generic);
  if (length < 255) {
    *this << static_cast<uint8_t>(length);
  } else if (length < 0xFFFE) {
    *this << static_cast<uint8_t>(0xFF) << static_cast<WORD>(length);
  } else {
    *this << static_cast<uint8_t>(0xFF) << static_cast<WORD>(0xFFFF) << static_cast<DWORD>(length);
  }
  Write(text, static_cast<UINT>(length));
}

CString CArchive::ReadStringValue() {
  uint8_t shortLength;
  *this >> shortLength;
  size_t length = shortLength;
  if (shortLength == 0xFF) {
    WORD wordLength;
    *this >> wordLength;
    // 0xFFFE announced a wide-character string, which this game never wrote.
    if (wordLength == 0xFFFE) throw CArchiveException(CArchiveException::generic);
    length = wordLength;
    if (wordLength == 0xFFFF) {
      DWORD longLength;
      *this >> longLength;
      length = longLength;
    }
  }
  std::string text;
  while (text.size() < length) {
    const size_t piece = std::min(kStringChunk, length - text.size());
    const size_t at = text.size();
    text.resize(at + piece);
    if (Read(text.data() + at, static_cast<UINT>(piece)) != piece)
      throw CArchiveException(CArchiveException::endOfFile);
  }
  // A NUL inside the bytes ends the string, as it did for the library's users.
  text.resize(std::strlen(text.c_str()));
  return CString(text);
}

void CArchive::CheckCount() const {
  if (mapCount_ >= kMaxMapCount) throw CArchiveException(CArchiveException::badIndex);
}

void CArchive::WriteClass(const CRuntimeClass* runtimeClass) {
  CheckStoring();
  if (!runtimeClass || runtimeClass->m_wSchema == kNoSchema) throw CArchiveException(CArchiveException::generic);
  auto found = storeMap_.find(runtimeClass);
  if (found != storeMap_.end()) {
    const DWORD index = found->second;
    if (index < kBigObjectTag) {
      *this << static_cast<WORD>(kClassTag | index);
    } else {
      *this << kBigObjectTag << static_cast<DWORD>(kBigClassTag | index);
    }
    return;
  }
  const size_t nameLength = std::strlen(runtimeClass->m_lpszClassName);
  if (nameLength > kMaxClassNameLength) throw CArchiveException(CArchiveException::generic);
  *this << kNewClassTag << static_cast<WORD>(runtimeClass->m_wSchema) << static_cast<WORD>(nameLength);
  Write(runtimeClass->m_lpszClassName, static_cast<UINT>(nameLength));
  CheckCount();
  storeMap_[runtimeClass] = mapCount_++;
}

void CArchive::WriteObject(const CObject* object) {
  CheckStoring();
  if (!object) {
    *this << kNullTag;
    return;
  }
  auto found = storeMap_.find(object);
  if (found != storeMap_.end()) {
    const DWORD index = found->second;
    if (index < kBigObjectTag) {
      *this << static_cast<WORD>(index);
    } else {
      *this << kBigObjectTag << index;
    }
    return;
  }
  WriteClass(object->GetRuntimeClass());
  CheckCount();
  storeMap_[object] = mapCount_++;
  const_cast<CObject*>(object)->Serialize(*this);
}

const CRuntimeClass* CArchive::ReadClass(const CRuntimeClass* requested, UINT* schemaOut, DWORD* objectTag) {
  CheckLoading();
  WORD tag;
  *this >> tag;
  DWORD fullTag;
  if (tag == kBigObjectTag) {
    *this >> fullTag;
  } else {
    fullTag = (static_cast<DWORD>(tag & kClassTag) << 16) | (tag & ~kClassTag);
  }
  if (!(fullTag & kBigClassTag)) {
    if (!objectTag) throw CArchiveException(CArchiveException::badIndex);
    *objectTag = fullTag;
    return nullptr;
  }

  const CRuntimeClass* runtimeClass = nullptr;
  UINT schema = 0;
  if (tag == kNewClassTag) {
    WORD storedSchema, nameLength;
    *this >> storedSchema >> nameLength;
    if (nameLength > kMaxClassNameLength) throw CArchiveException(CArchiveException::badClass);
    char name[kMaxClassNameLength + 1] = {};
    if (Read(name, nameLength) != nameLength) throw CArchiveException(CArchiveException::endOfFile);
    name[nameLength] = '\0';
    runtimeClass = CRuntimeClass::FromName(name);
    if (!runtimeClass || !runtimeClass->m_pfnCreateObject) throw CArchiveException(CArchiveException::badClass);
    // The library let a versionable class read other schemas; no class of
    // this game can read any schema but its own, so every mismatch fails.
    if (runtimeClass->Schema() != storedSchema) throw CArchiveException(CArchiveException::badSchema);
    schema = storedSchema;
    CheckCount();
    loadArray_.push_back(LoadEntry{LoadEntry::Class, runtimeClass});
    loadSchemas_[runtimeClass] = schema;
    ++mapCount_;
  } else {
    const DWORD index = fullTag & ~kBigClassTag;
    if (index == 0 || index >= loadArray_.size() || loadArray_[index].kind != LoadEntry::Class)
      throw CArchiveException(CArchiveException::badIndex);
    runtimeClass = static_cast<const CRuntimeClass*>(loadArray_[index].pointer);
    schema = loadSchemas_[runtimeClass];
  }

  if (requested && !runtimeClass->IsDerivedFrom(requested)) throw CArchiveException(CArchiveException::badClass);
  if (schemaOut) {
    *schemaOut = schema;
  } else {
    objectSchema_ = schema;
  }
  if (objectTag) *objectTag = fullTag;
  return runtimeClass;
}

CObject* CArchive::ReadObject(const CRuntimeClass* requested) {
  UINT schema = 0;
  DWORD tag = 0;
  const CRuntimeClass* runtimeClass = ReadClass(requested, &schema, &tag);
  if (!runtimeClass) {
    // A reference to an object read before (or null).
    if (tag >= loadArray_.size()) throw CArchiveException(CArchiveException::badIndex);
    const LoadEntry& entry = loadArray_[tag];
    if (entry.kind == LoadEntry::Null) return nullptr;
    // The library handed out a class record as an object here.
    if (entry.kind != LoadEntry::Object) throw CArchiveException(CArchiveException::badIndex);
    auto* object = static_cast<CObject*>(const_cast<void*>(entry.pointer));
    if (requested && !object->IsKindOf(requested)) throw CArchiveException(CArchiveException::badClass);
    return object;
  }
  CObject* object = runtimeClass->CreateObject();
  if (!object) throw CArchiveException(CArchiveException::badClass);
  loadedObjects_.push_back(object);
  CheckCount();
  // Entered before its data is read, so that its own members may refer back.
  loadArray_.push_back(LoadEntry{LoadEntry::Object, object});
  ++mapCount_;
  if (nesting_ >= kMaxObjectNesting) throw CArchiveException(CArchiveException::generic);
  const UINT savedSchema = objectSchema_;
  objectSchema_ = schema;
  ++nesting_;
  try {
    object->Serialize(*this);
  } catch (...) {
    --nesting_;
    throw;
  }
  --nesting_;
  objectSchema_ = savedSchema;
  return object;
}

CObject* ArchiveReadObject(CArchive& ar, const CRuntimeClass* requested) { return ar.ReadObject(requested); }

CArchive& operator<<(CArchive& ar, const CObject* object) {
  ar.WriteObject(object);
  return ar;
}

CArchive& operator>>(CArchive& ar, CObject*& object) {
  object = ar.ReadObject(nullptr);
  return ar;
}

CArchive& operator<<(CArchive& ar, const CString& text) {
  ar.WriteString(text.GetString(), static_cast<size_t>(text.GetLength()));
  return ar;
}

CArchive& operator>>(CArchive& ar, CString& text) {
  text = ar.ReadStringValue();
  return ar;
}
