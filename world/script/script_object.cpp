#include "world/script/script_object.h"

#include "engine/polygon_group.h"
#include <string>

#include "engine/properties.h"
#include "game/net_doc.h"
#include "platform/framework/serial_archive.h"
#include "world/script/event_manager.h"

namespace {
World* g_LoadWorld = nullptr;
}  // namespace

void CScriptNodeObject::SetLoadWorld(World* world) { g_LoadWorld = world; }

void CScriptNodeObject::WriteGroupName(CArchive& ar) const {
  ar << static_cast<uint8_t>(group_ ? 1 : 0);
  if (group_) ar << CString(group_->name ? group_->name : "");
}

void CScriptNodeObject::ReadGroupName(CArchive& ar) {
  uint8_t has = 0;
  ar >> has;
  if (!has) return;
  CString name;
  ar >> name;
  World* world = g_LoadWorld ? g_LoadWorld : (g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr);
  Bind(world ? GroupFindByName(world, name) : nullptr);
}

bool RaiseScriptObjectEvent(PolygonGroup* group, const char* name) {
  if (!group || !name) return false;
  const char* text = GroupGetProperty(group, name);
  if (!text) {
    std::string underscored(name);
    const size_t at = underscored.rfind("event");
    if (at == std::string::npos) return false;
    underscored.insert(at, "_");
    text = GroupGetProperty(group, underscored.c_str());
  }
  if (!text) return false;
  if (g_pEventManager) g_pEventManager->RaiseEvent(CString(text), group->name ? group->name : "");
  return true;
}

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
