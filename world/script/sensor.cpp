#include "world/script/sensor.h"

#include "engine/name_hash.h"
#include "engine/properties.h"
#include "game/app_services.h"
#include "game/direct_player.h"
#include "game/net_wire.h"
#include "platform/framework/serial_archive.h"
#include "world/script/event_manager.h"
#include "world/script/script_keywords.h"

CSensor::CSensor(Instance* instance) {
  if (!instance) return;
  name_ = instance->name;
  // A placement not yet built into the matrix still has its position.
  position = instance->dirty ? Vec3{instance->x, instance->y, instance->z}
                             : Vec3{instance->matrix[12], instance->matrix[13], instance->matrix[14]};
  radius = ParseFloatDefault(InstanceGetProperty(instance, "radius"), 20.0f);
  if (const char* filter = InstanceGetProperty(instance, "object")) objectFilter = filter;
  if (const char* text = InstanceGetProperty(instance, "event")) event = text;
  continuous = InstanceGetProperty(instance, "continuous") != nullptr;
}

int CSensor::GetNameHash() const { return NameHash(name_); }

void CSensor::Test(const char* actor, const Vec3& at, float actorRadius) {
  if (disabled) return;
  const float dx = at.x - position.x, dy = at.y - position.y, dz = at.z - position.z;
  const float reach = radius + actorRadius;
  if (dx * dx + dy * dy + dz * dz > reach * reach) return;
  const char* name = actor ? actor : "";
  if (!objectFilter.IsEmpty() && objectFilter != name && !MatchFileMask(objectFilter, CString(name))) return;
  Trigger(name);
}

void CSensor::Trigger(const char* actor) {
  // The event may disable or resize this sensor; the state change comes
  // after it as the sensor's own rule.
  if (g_pEventManager) {
    CString source;
    source.Format("sensor %s by %s", name_.GetString(), actor ? actor : "");
    g_pEventManager->RaiseEvent(event, source);
  }
  if (!continuous) disabled = true;
}

void CSensor::RestoreState(const uint8_t* message, size_t length) {
  if (!message || length < kSensorStateSize) return;
  radius = NetReadF32(message + 20);
  disabled = (message[17] & 1) != 0;
  continuous = (message[17] & 2) != 0;
}

void CSensor::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    ar << position.x << position.y << position.z << radius << objectFilter << event << name_;
    ArchiveStoreBool(ar, disabled);
    ArchiveStoreBool(ar, continuous);
  } else {
    ar >> position.x >> position.y >> position.z >> radius >> objectFilter >> event >> name_;
    ArchiveLoadBool(ar, disabled);
    ArchiveLoadBool(ar, continuous);
  }
}
