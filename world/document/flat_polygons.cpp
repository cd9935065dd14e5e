#include "world/document/flat_polygons.h"

// Will make the disc in the document's world.
WorldPolygon* CreateRoundMarkPolygon(float /*x*/, float /*y*/, float /*z*/, float /*nx*/, float /*ny*/, float /*nz*/,
                                     float /*size*/, int /*colour*/) {
  return nullptr;
}
