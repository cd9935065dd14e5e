#include "world/paths/path_point.h"

// Will read the follower as an archive object reference.
CArchive& operator>>(CArchive& archive, CPathPoint*& point) {
  point = nullptr;
  return archive;
}
