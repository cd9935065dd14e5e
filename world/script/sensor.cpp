#include "world/script/sensor.h"

#include "engine/name_hash.h"

CSensor::CSensor(Instance* instance) : name_(instance ? instance->name : "") {}

int CSensor::GetNameHash() const { return NameHash(name_); }

// Will raise the sensor's event when the actor is admitted and near.
void CSensor::TestActor(const Vec3& /*position*/, float /*radius*/, const char* /*actor*/) {}

// Will write or read the sensor's record.
void CSensor::Serialize(CArchive& /*ar*/) {}

// Will take the radius and the two flags from the message.
void CSensor::RestoreState(const uint8_t* /*message*/) {}
