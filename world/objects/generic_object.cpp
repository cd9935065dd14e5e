#include "world/objects/generic_object.h"

#include <cstring>

#include "game/net_doc.h"
#include "game/net_wire.h"
#include "platform/clock.h"
#include "platform/framework/serial_archive.h"
#include "world/objects/object_type_codes.h"

IMPLEMENT_SERIAL_CLASS(CGenericObject, CObject, VERSIONABLE_SCHEMA | 1)

namespace {

void PutU32(uint8_t* at, uint32_t value) {
  for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(value >> (8 * i));
}

}  // namespace

DPID LocalPlayerId() { return g_pNetDoc ? g_pNetDoc->GetLocalPlayerId() : 0xFFFFFFFFu; }

CGenericObject::CGenericObject() : owner_(LocalPlayerId()) {}

CGenericObject::CGenericObject(DPID owner, uint32_t objectId)
    : owner_(owner == 0 ? LocalPlayerId() : owner), objectId_(objectId) {}

CGenericObject::~CGenericObject() { active_ = false; }

void CGenericObject::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << typeCode_ << up_[0] << up_[1] << up_[2] << objectId_;
  } else {
    ar >> typeCode_ >> up_[0] >> up_[1] >> up_[2] >> objectId_;
    // Whoever saved it, a loaded object is the local player's and waits for
    // its class to start it.
    owner_ = LocalPlayerId();
    active_ = false;
    dead_ = false;
  }
}

BOOL CGenericObject::Update(uint32_t /*elapsedMs*/) { return FALSE; }
void CGenericObject::GetPosition(float& /*x*/, float& /*y*/, float& /*z*/) {}
void CGenericObject::SendCreate(DPID /*to*/) {}
bool CGenericObject::OwnsMesh(Instance* /*instance*/) { return false; }

bool CGenericObject::IsLocal() const { return owner_ == LocalPlayerId(); }

void CGenericObject::WriteCreatePrefix(uint8_t out[kCreatePrefixBytes]) const {
  PutU32(out, kMessageIdBase + typeCode_);
  PutU32(out + 4, owner_);
  PutU32(out + 8, timeGetTime());
  PutU32(out + 12, objectId_);
  out[16] = kCreateAction;
}

void CGenericObject::WriteShotCreateMessage(uint8_t out[kShotCreateBytes], const float position[3],
                                            const float velocity[3], float damage) const {
  std::memset(out, 0, kShotCreateBytes);
  WriteCreatePrefix(out);
  for (int k = 0; k < 3; ++k) {
    NetWriteF32(out + 20 + 4 * k, position[k]);
    NetWriteF32(out + 32 + 4 * k, velocity[k]);
  }
  NetWriteF32(out + 44, damage);
}
