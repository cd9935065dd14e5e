#include "world/script/script_object.h"

#include "engine/polygon_group.h"
#include "game/net_doc.h"

CScriptNodeObject::CScriptNodeObject(PolygonGroup* group) { Bind(group); }

CScriptNodeObject::~CScriptNodeObject() {
  if (group_ && group_->scriptObject == this) group_->scriptObject = nullptr;
}

void CScriptNodeObject::Bind(PolygonGroup* group) {
  if (group_ && group_->scriptObject == this) group_->scriptObject = nullptr;
  group_ = group;
  if (!group_) return;
  GroupSetCallback(group_, &CNetDoc::OnGroupEvent);
  group_->scriptObject = this;
}

void ForwardMoverFinished(PolygonGroup* group) {
  if (group && group->scriptObject) static_cast<CScriptNodeObject*>(group->scriptObject)->OnMoverFinished();
}
