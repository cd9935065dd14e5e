#include "engine/properties.h"

#include <cstring>
#include <initializer_list>

#include "engine/data_archive.h"
#include "engine/name_hash.h"
#include "engine/pool.h"

PropertyEntry* g_LibraryProperties = nullptr;

namespace {

int ValueBytes(const char* value) { return static_cast<int>(std::strlen(value)) + 1; }

void FreeEntry(PropertyEntry* entry) {
  if (entry->value) PoolFree(entry->value, ValueBytes(entry->value));
  PoolDelete(entry);
}

char* CopyValue(const char* value) {
  const int size = ValueBytes(value);
  char* copy = static_cast<char*>(PoolAlloc(size));
  if (copy) std::memcpy(copy, value, static_cast<size_t>(size));
  return copy;
}

// Searches the lists in order; null entries of the chain are skipped.
const char* FindInChain(int key, std::initializer_list<const PropertyEntry*> lists) {
  for (const PropertyEntry* list : lists) {
    if (const char* value = PropFind(list, key)) return value;
  }
  return PropFind(g_LibraryProperties, key);
}

}  // namespace

const char* PropFind(const PropertyEntry* list, int key) {
  for (const PropertyEntry* entry = list; entry; entry = entry->next) {
    if (entry->key == key) return entry->value;
  }
  return nullptr;
}

void PropSet(PropertyEntry** list, int key, const char* value) {
  PropertyEntry** link = list;
  while (*link && (*link)->key != key) link = &(*link)->next;
  PropertyEntry* entry = *link;
  if (!value) {
    if (entry) {
      *link = entry->next;
      FreeEntry(entry);
    }
    return;
  }
  // Copy before freeing: value may be the entry's own current value.
  char* copy = CopyValue(value);
  if (!copy) return;
  if (!entry) {
    entry = PoolNew<PropertyEntry>();
    if (!entry) {
      PoolFree(copy, ValueBytes(copy));
      return;
    }
    entry->key = key;
    entry->next = *list;
    *list = entry;
  } else if (entry->value) {
    PoolFree(entry->value, ValueBytes(entry->value));
  }
  entry->value = copy;
}

void PropFreeList(PropertyEntry** list) {
  PropertyEntry* entry = *list;
  while (entry) {
    PropertyEntry* next = entry->next;
    FreeEntry(entry);
    entry = next;
  }
  *list = nullptr;
}

int PropReadList(PropertyEntry** list) {
  *list = nullptr;
  int count;
  if (!ArchiveReadInt(&count)) return 0;
  PropertyEntry** tail = list;
  for (int i = 0; i < count; ++i) {
    PropertyEntry* entry = PoolNew<PropertyEntry>();
    if (!entry || !ArchiveReadInt(&entry->key) || !ArchiveReadString(&entry->value)) {
      if (entry) FreeEntry(entry);
      PropFreeList(list);
      return 0;
    }
    *tail = entry;
    tail = &entry->next;
  }
  return 1;
}

const char* InstanceGetProperty(const Instance* instance, const char* name) {
  return FindInChain(NameHash(name), {instance->props, instance->model ? instance->model->props : nullptr,
                                      instance->world ? instance->world->props : nullptr});
}

const char* PolygonGetProperty(const WorldPolygon* polygon, const char* name) {
  return FindInChain(NameHash(name), {polygon->props, polygon->group ? polygon->group->props : nullptr,
                                      polygon->world ? polygon->world->props : nullptr});
}

const char* GroupGetProperty(const PolygonGroup* group, const char* name) {
  return FindInChain(NameHash(name), {group->props, group->world ? group->world->props : nullptr});
}

const char* WorldGetProperty(const World* world, const char* name) {
  return FindInChain(NameHash(name), {world->props});
}
