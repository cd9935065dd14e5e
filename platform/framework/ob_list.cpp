#include "platform/framework/ob_list.h"

#include "platform/framework/serial_archive.h"

IMPLEMENT_SERIAL_CLASS(CObList, CObject, 0)
IMPLEMENT_DYNAMIC_CLASS(CPtrList, CObject)

void CObList::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar.WriteCount(static_cast<DWORD>(GetCount()));
    for (POSITION pos = GetHeadPosition(); pos;) ar << GetNext(pos);
    return;
  }
  // Each element costs at least two bytes, so a damaged count ends at the
  // end of the data instead of allocating ahead.
  for (DWORD left = ar.ReadCount(); left > 0; --left) AddTail(ar.ReadObject(elementClass_));
}
