#pragma once
// What every object of the level script shares: a reference count
// (CScriptObject, deleted when its last reference goes), the pointer that
// holds a reference (RefPtr), and the variant bound to one polygon group
// (CScriptNodeObject), which the group's mover end reaches through the
// group's script-object slot. Script objects are saved by their manager,
// not by class name. Game thread only.
#include "engine/records.h"
#include "platform/framework/runtime_class.h"

class CScriptObject : public CObject {
 public:
  CScriptObject() = default;
  ~CScriptObject() override = default;
  CScriptObject(const CScriptObject&) = delete;
  CScriptObject& operator=(const CScriptObject&) = delete;

  void AddRef() { ++refCount_; }
  // One reference less; the object deletes itself at 0.
  void Release() {
    if (--refCount_ <= 0) delete this;
  }
  int GetRefCount() const { return refCount_; }

 private:
  int refCount_ = 0;
};

// Holds one reference to a script object (or nothing). Assignment takes the
// new reference before it lets the old one go.
template <class T>
class RefPtr {
 public:
  RefPtr() = default;
  RefPtr(T* object) : object_(object) {  // NOLINT: a raw pointer converts, taking a reference
    if (object_) object_->AddRef();
  }
  RefPtr(const RefPtr& other) : RefPtr(other.object_) {}
  template <class U>
  RefPtr(const RefPtr<U>& other) : RefPtr(other.Get()) {}  // NOLINT
  ~RefPtr() { Reset(); }
  RefPtr& operator=(const RefPtr& other) {
    if (other.object_) other.object_->AddRef();
    T* old = object_;
    object_ = other.object_;
    if (old) old->Release();
    return *this;
  }
  void Reset() {
    T* old = object_;
    object_ = nullptr;
    if (old) old->Release();
  }
  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  T& operator*() const { return *object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

class CScriptNodeObject : public CScriptObject {
 public:
  // Bound to group (may be null for an object restored from a saved game
  // whose group is gone): the document's group handler becomes the group's
  // callback and the object goes into the group's script-object slot.
  explicit CScriptNodeObject(PolygonGroup* group);
  // The group's slot is emptied when it still names this object.
  ~CScriptNodeObject() override;

  PolygonGroup* GetGroup() const { return group_; }
  // The group's mover reached an end.
  virtual void OnMoverFinished() = 0;

  // The world in which loading records find their groups by name (null:
  // the document's). The script manager sets it around a load.
  static void SetLoadWorld(World* world);

 protected:
  // Binds to another group (a restored object finding its group by name).
  void Bind(PolygonGroup* group);
  // A saved record's start: a byte 1 and the group's name, or a byte 0
  // without a group. Reading binds the group of that name (none when the
  // world has no such group).
  void WriteGroupName(CArchive& ar) const;
  void ReadGroupName(CArchive& ar);

  PolygonGroup* group_ = nullptr;
};

// Raises the group's event property through the event manager with the
// group's name as source: the name as given ("openevent"), else with an
// underscore before "event" ("open_event"); nothing when neither exists.
// TRUE when a text was raised.
bool RaiseScriptObjectEvent(PolygonGroup* group, const char* name);

// Calls OnMoverFinished of the object in the group's script-object slot;
// nothing when the slot is empty.
void ForwardMoverFinished(PolygonGroup* group);
