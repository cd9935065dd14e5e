#pragma once
// The class library's archive: a buffered little-endian stream over a CFile in
// the library's binary format, which saved games are written in.
//
//   primitives   little-endian at their own size (int and unsigned: 4 bytes)
//   string       length < 255: one byte; else 0xFF and a u16 (< 0xFFFE);
//                else 0xFF, 0xFFFF and a u32; then the bytes, no terminator
//   count        u16, or 0xFFFF followed by a u32 (collections)
//   object       0x0000 null; a known object as its index (u16 below 0x7FFF,
//                else 0x7FFF and a u32); an object of a new class as 0xFFFF,
//                the schema (u16), the name's length (u16) and the name, then
//                the object's data; an object of a known class as
//                0x8000 | class index (or 0x7FFF and 0x80000000 | index),
//                then its data.
// Classes and objects share one index space for the whole archive, starting
// at 1 (0 is null), so several sections of one file can refer to each other.
//
// Reading bad data throws CArchiveException (endOfFile, badIndex, badClass,
// badSchema, generic); nothing is read past the data, no allocation is sized
// by an unchecked count, and objects nested more than 256 deep inside the
// objects that hold them are refused (generic) before the stack runs out. The archive never deletes objects it created:
// whoever received them owns them; LoadedObjects() lists them all for a
// caller that wants to drop everything after a failure.
#include <bit>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "platform/framework/cstring.h"
#include "platform/framework/file.h"
#include "platform/framework/runtime_class.h"

class CDocument;

class CArchiveException : public CException {
 public:
  enum Cause { none = 0, generic, readOnly, endOfFile, writeOnly, badIndex, badClass, badSchema };
  explicit CArchiveException(int cause = none) : m_cause(cause) {}
  const char* what() const noexcept override;
  int m_cause;
};

class CArchive {
 public:
  enum Mode : UINT { store = 0, load = 1, bNoFlushOnDelete = 2 };
  static constexpr int kDefaultBufferSize = 4096;

  CArchive(CFile* file, UINT mode, int bufferSize = kDefaultBufferSize);
  ~CArchive();
  CArchive(const CArchive&) = delete;
  CArchive& operator=(const CArchive&) = delete;

  bool IsLoading() const { return loading_; }
  bool IsStoring() const { return !loading_; }
  CFile* GetFile() const { return file_; }

  // The schema of the object being read (for its Serialize); reading it
  // resets it to (UINT)-1 as the library does.
  UINT GetObjectSchema();
  void SetObjectSchema(UINT schema) { objectSchema_ = schema; }

  // Raw bytes. Read returns how many bytes there were (fewer at the end).
  UINT Read(void* buffer, UINT count);
  void Write(const void* buffer, UINT count);
  // Loading: the bytes not read yet, in the buffer and in the file, so that
  // a reader can refuse a length before allocating for it.
  uint64_t BytesLeftToLoad() const;
  // Writes the buffer to the file (storing).
  void Flush();
  // Flushes (storing) and detaches from the file; the file stays open.
  void Close();
  // Detaches without flushing.
  void Abort();

  CArchive& operator<<(uint8_t v);
  CArchive& operator<<(char v) { return *this << static_cast<uint8_t>(v); }
  CArchive& operator<<(int8_t v) { return *this << static_cast<uint8_t>(v); }
  CArchive& operator<<(uint16_t v);
  CArchive& operator<<(int16_t v) { return *this << static_cast<uint16_t>(v); }
  CArchive& operator<<(uint32_t v);
  CArchive& operator<<(int32_t v) { return *this << static_cast<uint32_t>(v); }
  CArchive& operator<<(uint64_t v);
  CArchive& operator<<(int64_t v) { return *this << static_cast<uint64_t>(v); }
  CArchive& operator<<(float v) { return *this << std::bit_cast<uint32_t>(v); }
  CArchive& operator<<(double v) { return *this << std::bit_cast<uint64_t>(v); }
  // Booleans have no archive form of their own; the game writes them as one
  // byte through its own helpers.
  CArchive& operator<<(bool) = delete;

  CArchive& operator>>(uint8_t& v);
  CArchive& operator>>(char& v) { return ReadAs<uint8_t>(v); }
  CArchive& operator>>(int8_t& v) { return ReadAs<uint8_t>(v); }
  CArchive& operator>>(uint16_t& v);
  CArchive& operator>>(int16_t& v) { return ReadAs<uint16_t>(v); }
  CArchive& operator>>(uint32_t& v);
  CArchive& operator>>(int32_t& v) { return ReadAs<uint32_t>(v); }
  CArchive& operator>>(uint64_t& v);
  CArchive& operator>>(int64_t& v) { return ReadAs<uint64_t>(v); }
  CArchive& operator>>(float& v) { return ReadAs<uint32_t>(v); }
  CArchive& operator>>(double& v) { return ReadAs<uint64_t>(v); }
  CArchive& operator>>(bool&) = delete;

  void WriteObject(const CObject* object);
  // The object (null for the null reference); throws badClass when it is not
  // of the requested class (null: any class).
  CObject* ReadObject(const CRuntimeClass* requested);
  void WriteClass(const CRuntimeClass* runtimeClass);
  // A class reference. When it is an object reference instead, returns null
  // with its index in *objectTag, or throws badIndex when objectTag is null.
  const CRuntimeClass* ReadClass(const CRuntimeClass* requested = nullptr, UINT* schema = nullptr,
                                 DWORD* objectTag = nullptr);

  void WriteCount(DWORD count);
  DWORD ReadCount();

  // Strings in the library's length-prefixed form.
  void WriteString(const char* text, size_t length);
  CString ReadStringValue();

  // Every object this archive created while reading, in creation order.
  const std::vector<CObject*>& LoadedObjects() const { return loadedObjects_; }

  CDocument* m_pDocument = nullptr;

 private:
  struct LoadEntry {
    enum Kind : uint8_t { Null, Class, Object } kind;
    const void* pointer;
  };

  // Reads the unsigned value of the same size and takes over its bits.
  template <typename Raw, typename T>
  CArchive& ReadAs(T& v) {
    Raw raw;
    *this >> raw;
    v = std::bit_cast<T>(raw);
    return *this;
  }
  void CheckLoading() const;
  void CheckStoring() const;
  // Makes at least count bytes available in the load buffer or throws
  // endOfFile.
  void Need(UINT count);
  void Put(const uint8_t* bytes, UINT count);
  void CheckCount() const;

  CFile* file_;
  bool loading_;
  bool noFlushOnDelete_;
  std::vector<uint8_t> buffer_;
  size_t bufferPos_ = 0;  // next byte to read / write
  size_t bufferEnd_ = 0;  // end of valid bytes when loading
  UINT objectSchema_ = static_cast<UINT>(-1);
  DWORD mapCount_ = 1;
  std::unordered_map<const void*, DWORD> storeMap_;
  std::vector<LoadEntry> loadArray_{LoadEntry{LoadEntry::Null, nullptr}};
  std::unordered_map<const CRuntimeClass*, UINT> loadSchemas_;
  std::vector<CObject*> loadedObjects_;
  int nesting_ = 0;  // objects being read inside one another
};

CArchive& operator<<(CArchive& ar, const CObject* object);
CArchive& operator>>(CArchive& ar, CObject*& object);
CArchive& operator<<(CArchive& ar, const CString& text);
CArchive& operator>>(CArchive& ar, CString& text);
