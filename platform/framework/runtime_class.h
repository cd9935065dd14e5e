#pragma once
// CObject and its runtime-class records. A serialisable class carries a record
// with its name, schema and a create function, and is registered by name when
// the program starts, so that an archive can create it from the name it reads.
// The registered name is the class's name as the source spells it (the macros
// stringise it), never a compiler's type name: saved games store it.
//
// A class that is only ever found through a saved game must be linked into
// the program; a static library drops a file that nothing references, and its
// registration with it. Keep such classes next to code that uses them.
#include "platform/types.h"

class CObject;
class CArchive;

// Schema bit of a class that accepts being read at its own schema only but is
// marked as versionable in its record (the saved-game classes are).
inline constexpr UINT VERSIONABLE_SCHEMA = 0x80000000u;
// Schema of a class that can't be written to an archive (dynamic-only).
inline constexpr UINT kNoSchema = 0xFFFF;

struct CRuntimeClass {
  const char* m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;
  CObject* (*m_pfnCreateObject)();
  const CRuntimeClass* m_pBaseClass;

  // A new default-constructed object; null when the class has no create
  // function.
  CObject* CreateObject() const;
  // As CreateObject, but null unless the class derives from base.
  CObject* CreateObjectOfKind(const CRuntimeClass* base) const;
  bool IsDerivedFrom(const CRuntimeClass* base) const;
  // The schema written to and expected from archives (without the
  // versionable bit).
  UINT Schema() const { return m_wSchema & ~VERSIONABLE_SCHEMA; }

  // The registered class of that exact name, null when none.
  static const CRuntimeClass* FromName(const char* name);
};

// Adds a class to the registry that archives read names against. A second
// class under a name already taken is refused (reported on stderr), since a
// saved game could not tell the two apart.
bool RuntimeClassRegister(const CRuntimeClass* runtimeClass);

struct RuntimeClassRegistrar {
  explicit RuntimeClassRegistrar(const CRuntimeClass* runtimeClass) { RuntimeClassRegister(runtimeClass); }
};

class CObject {
 public:
  static const CRuntimeClass classCObject;
  static const CRuntimeClass* GetThisClass() { return &classCObject; }

  virtual const CRuntimeClass* GetRuntimeClass() const;
  virtual ~CObject() = default;
  // Writes or reads the object's own data; the base has none.
  virtual void Serialize(CArchive& ar);

  bool IsKindOf(const CRuntimeClass* runtimeClass) const;

 protected:
  CObject() = default;
  CObject(const CObject&) = default;
  CObject& operator=(const CObject&) = default;
};

#define RUNTIME_CLASS(class_name) (&class_name::class##class_name)

// In the class body (public section follows).
#define DECLARE_DYNAMIC_CLASS(class_name)                                   \
 public:                                                                    \
  static const CRuntimeClass class##class_name;                             \
  static const CRuntimeClass* GetThisClass() { return &class##class_name; } \
  const CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE_CLASS(class_name) \
  DECLARE_DYNAMIC_CLASS(class_name)         \
  static CObject* CreateObject();

#define DECLARE_SERIAL_CLASS(class_name) \
  DECLARE_DYNCREATE_CLASS(class_name)    \
  friend CArchive& operator>>(CArchive& ar, class_name*& pOb);

#define KV_RUNTIME_CLASS_BODY_(class_name, base_class_name, schema, create)                                       \
  const CRuntimeClass class_name::class##class_name = {#class_name, static_cast<int>(sizeof(class_name)), schema, \
                                                       create, RUNTIME_CLASS(base_class_name)};                   \
  const CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

// In one source file.
#define IMPLEMENT_DYNAMIC_CLASS(class_name, base_class_name) \
  KV_RUNTIME_CLASS_BODY_(class_name, base_class_name, kNoSchema, nullptr)

#define IMPLEMENT_DYNCREATE_CLASS(class_name, base_class_name)                             \
  CObject* class_name::CreateObject() { return new class_name; }                           \
  KV_RUNTIME_CLASS_BODY_(class_name, base_class_name, kNoSchema, class_name::CreateObject) \
  static const RuntimeClassRegistrar kv_registrar_##class_name(RUNTIME_CLASS(class_name));

#define IMPLEMENT_SERIAL_CLASS(class_name, base_class_name, schema)                        \
  CObject* class_name::CreateObject() { return new class_name; }                           \
  KV_RUNTIME_CLASS_BODY_(class_name, base_class_name, schema, class_name::CreateObject)    \
  static const RuntimeClassRegistrar kv_registrar_##class_name(RUNTIME_CLASS(class_name)); \
  CArchive& operator>>(CArchive& ar, class_name*& pOb) {                                   \
    pOb = static_cast<class_name*>(ArchiveReadObject(ar, RUNTIME_CLASS(class_name)));      \
    return ar;                                                                             \
  }

// Defined with the archive; declared here so that the serial macro needs no
// archive header.
CObject* ArchiveReadObject(CArchive& ar, const CRuntimeClass* requested);
