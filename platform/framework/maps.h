#pragma once
// The class library's hash maps, with its hashing and iteration order, which
// target cycling and other game rules depend on:
//   - a table of 17 buckets unless InitHashTable chose another size; it never
//     grows;
//   - bucket = HashKey(key) % size, where an integer or pointer key hashes as
//     its low 32 bits shifted right by 4 and a string as
//     h = h * 33 + c over its (signed) characters;
//   - a new key goes to the front of its bucket;
//   - iteration visits the buckets in ascending order and each bucket from
//     its front, so the newest key of a bucket comes first.
// Changing the value of an existing key keeps its place.
#include <cstdint>
#include <type_traits>

#include "platform/framework/cstring.h"
#include "platform/framework/position.h"
#include "platform/framework/runtime_class.h"

// Integer and pointer keys.
template <class ARG_KEY>
inline UINT HashKey(ARG_KEY key) {
  if constexpr (std::is_pointer_v<ARG_KEY>) {
    return static_cast<UINT>(static_cast<uint32_t>(reinterpret_cast<uintptr_t>(key))) >> 4;
  } else {
    static_assert(std::is_integral_v<ARG_KEY> || std::is_enum_v<ARG_KEY>, "no hash for this key type");
    return static_cast<UINT>(static_cast<uint32_t>(key)) >> 4;
  }
}

// String keys.
inline UINT HashKey(const char* key) {
  UINT hash = 0;
  if (key)
    while (*key) hash = (hash << 5) + hash + static_cast<UINT>(static_cast<int>(static_cast<signed char>(*key++)));
  return hash;
}
inline UINT HashKey(const CString& key) { return HashKey(key.GetString()); }

inline constexpr UINT kMapDefaultHashSize = 17;

template <class KEY, class ARG_KEY, class VALUE, class ARG_VALUE>
class CMap : public CObject {
  struct Assoc {
    Assoc* next;
    UINT hash;
    KEY key;
    VALUE value;
  };

 public:
  explicit CMap(int /*blockSize*/ = 10) {}
  ~CMap() override {
    RemoveAll();
    delete[] table_;
  }
  CMap(const CMap&) = delete;
  CMap& operator=(const CMap&) = delete;

  int GetCount() const { return count_; }
  int GetSize() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }
  UINT GetHashTableSize() const { return tableSize_; }

  bool Lookup(ARG_KEY key, VALUE& value) const {
    UINT hash;
    const Assoc* assoc = Find(key, &hash);
    if (!assoc) return false;
    value = assoc->value;
    return true;
  }
  // The value of key, made (value-initialised) when missing.
  VALUE& operator[](ARG_KEY key) {
    UINT hash;
    Assoc* assoc = Find(key, &hash);
    if (!assoc) {
      if (!table_) AllocateTable();
      assoc = new Assoc{table_[hash], hash, KEY(key), VALUE()};
      table_[hash] = assoc;
      ++count_;
    }
    return assoc->value;
  }
  void SetAt(ARG_KEY key, ARG_VALUE value) { (*this)[key] = value; }
  bool RemoveKey(ARG_KEY key) {
    if (!table_) return false;
    const UINT hash = HashKey(key) % tableSize_;
    for (Assoc** link = &table_[hash]; *link; link = &(*link)->next) {
      if ((*link)->key == key) {
        Assoc* gone = *link;
        *link = gone->next;
        delete gone;
        --count_;
        return true;
      }
    }
    return false;
  }
  void RemoveAll() {
    if (table_) {
      for (UINT i = 0; i < tableSize_; ++i) {
        for (Assoc* assoc = table_[i]; assoc;) {
          Assoc* next = assoc->next;
          delete assoc;
          assoc = next;
        }
        table_[i] = nullptr;
      }
    }
    count_ = 0;
  }

  POSITION GetStartPosition() const { return count_ == 0 ? nullptr : BEFORE_START_POSITION; }
  // The element at position and the position of the one after it (null at
  // the end). The element just returned may be removed before the next call.
  void GetNextAssoc(POSITION& position, KEY& key, VALUE& value) const {
    Assoc* assoc = reinterpret_cast<Assoc*>(position);
    if (position == BEFORE_START_POSITION) {
      assoc = nullptr;
      for (UINT i = 0; i < tableSize_ && !assoc; ++i) assoc = table_ ? table_[i] : nullptr;
    }
    if (!assoc) {
      position = nullptr;
      return;
    }
    Assoc* next = assoc->next;
    for (UINT i = assoc->hash + 1; !next && i < tableSize_; ++i) next = table_[i];
    position = reinterpret_cast<POSITION>(next);
    key = assoc->key;
    value = assoc->value;
  }

  // Chooses the table size; only while the map is empty (ignored otherwise).
  void InitHashTable(UINT size, bool allocateNow = true) {
    if (count_ != 0 || size == 0) return;
    delete[] table_;
    table_ = nullptr;
    tableSize_ = size;
    if (allocateNow) AllocateTable();
  }

 private:
  void AllocateTable() { table_ = new Assoc*[tableSize_](); }
  Assoc* Find(ARG_KEY key, UINT* hash) const {
    *hash = HashKey(key) % tableSize_;
    if (!table_) return nullptr;
    for (Assoc* assoc = table_[*hash]; assoc; assoc = assoc->next)
      if (assoc->key == key) return assoc;
    return nullptr;
  }

  Assoc** table_ = nullptr;
  UINT tableSize_ = kMapDefaultHashSize;
  int count_ = 0;
};

class CMapPtrToPtr : public CMap<void*, void*, void*, void*> {
 public:
  explicit CMapPtrToPtr(int blockSize = 10) : CMap(blockSize) {}
};

class CMapWordToPtr : public CMap<WORD, WORD, void*, void*> {
 public:
  explicit CMapWordToPtr(int blockSize = 10) : CMap(blockSize) {}
};

class CMapStringToPtr : public CMap<CString, const char*, void*, void*> {
 public:
  explicit CMapStringToPtr(int blockSize = 10) : CMap(blockSize) {}
};

class CMapStringToOb : public CMap<CString, const char*, CObject*, CObject*> {
 public:
  explicit CMapStringToOb(int blockSize = 10) : CMap(blockSize) {}
};

class CMapStringToString : public CMap<CString, const char*, CString, const char*> {
 public:
  explicit CMapStringToString(int blockSize = 10) : CMap(blockSize) {}
};
