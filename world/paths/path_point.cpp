#include "world/paths/path_point.h"

#include "platform/framework/serial_archive.h"

// Until the followers are archive objects of their own, a follower is
// written as the null reference, and a reference that is not null names an
// object of another class: the file is refused (the caller drops what the
// archive made for it).
CArchive& operator<<(CArchive& archive, const CPathPoint* /*point*/) {
  archive.WriteObject(nullptr);
  return archive;
}

CArchive& operator>>(CArchive& archive, CPathPoint*& point) {
  point = nullptr;
  if (archive.ReadObject(nullptr)) throw CArchiveException(CArchiveException::badClass);
  return archive;
}
