#pragma once
// The object manager's list of dynamic objects, saved by class name as
// "CObjectList": the count, then each object as an object reference of its
// own class. The list holds the objects; whoever holds the list deletes
// them (it never deletes them itself).
#include "platform/framework/ob_list.h"
#include "world/objects/generic_object.h"

class CObjectList : public CTypedPtrList<CObList, CGenericObject*> {
  DECLARE_SERIAL_CLASS(CObjectList)
 public:
  CObjectList() : CTypedPtrList<CObList, CGenericObject*>(10) {}
};
