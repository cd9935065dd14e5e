#include "world/document/group_activation.h"

#include "engine/polygon_group.h"
#include "platform/debug_output.h"
#include "platform/framework/cstring.h"

bool SetObjectActive(PolygonGroup* group, bool show) {
  if (!group || (GroupIsVisible(group) != 0) == show) return false;
  if (show) {
    GroupShow(group, 1);
  } else {
    GroupHide(group, 1);
  }
  CString line;
  line.Format("korvane: group %s %s\n", group->name ? group->name : "", show ? "shown" : "hidden");
  OutputDebugString(line);
  return true;
}
