#include "platform/framework/runtime_class.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace {
// Leaked on purpose: registrations run from static initialisers in any order
// and lookups may run from static destructors.
std::vector<const CRuntimeClass*>& Registry() {
  static auto* registry = new std::vector<const CRuntimeClass*>();
  return *registry;
}
}  // namespace

const CRuntimeClass CObject::classCObject = {"CObject", static_cast<int>(sizeof(CObject)), kNoSchema, nullptr, nullptr};

const CRuntimeClass* CObject::GetRuntimeClass() const { return &classCObject; }

void CObject::Serialize(CArchive& /*ar*/) {}

bool CObject::IsKindOf(const CRuntimeClass* runtimeClass) const {
  return GetRuntimeClass()->IsDerivedFrom(runtimeClass);
}

CObject* CRuntimeClass::CreateObject() const { return m_pfnCreateObject ? m_pfnCreateObject() : nullptr; }

CObject* CRuntimeClass::CreateObjectOfKind(const CRuntimeClass* base) const {
  return IsDerivedFrom(base) ? CreateObject() : nullptr;
}

bool CRuntimeClass::IsDerivedFrom(const CRuntimeClass* base) const {
  if (!base) return false;
  for (const CRuntimeClass* c = this; c; c = c->m_pBaseClass)
    if (c == base) return true;
  return false;
}

const CRuntimeClass* CRuntimeClass::FromName(const char* name) {
  if (!name) return nullptr;
  for (const CRuntimeClass* c : Registry())
    if (std::strcmp(c->m_lpszClassName, name) == 0) return c;
  return nullptr;
}

bool RuntimeClassRegister(const CRuntimeClass* runtimeClass) {
  if (!runtimeClass || !runtimeClass->m_lpszClassName) return false;
  const CRuntimeClass* existing = CRuntimeClass::FromName(runtimeClass->m_lpszClassName);
  if (existing == runtimeClass) return true;
  if (existing) {
    std::fprintf(stderr, "korvane: two classes named %s; the second is not registered\n",
                 runtimeClass->m_lpszClassName);
    return false;
  }
  Registry().push_back(runtimeClass);
  return true;
}
