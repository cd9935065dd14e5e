// Gun fire: the selected gun while fire is held, the shots other players
// repeat, and the one-frame effect polygons.
#include "game/net_doc.h"

// Will delete the polygons queued for removal.
void CNetDoc::FlushDeferredDeletes() {}

// Will fire the selected gun by the tuning block's intervals, heat and
// ammunition.
void CNetDoc::FireGun() {}

// Will fire a hitscan shot as its owner did.
void CNetDoc::FireHitscan(DPID /*owner*/, Instance* /*ship*/, float /*x*/, float /*y*/, float /*z*/, float /*dx*/,
                          float /*dy*/, float /*dz*/, float /*damage*/) {}

// Will fire a bullet; the local player's own shot also sends its message.
void CNetDoc::FireBullet(DPID /*owner*/, Instance* /*ship*/, float /*x*/, float /*y*/, float /*z*/, float /*dx*/,
                         float /*dy*/, float /*dz*/, float /*speed*/, uint8_t /*kind*/) {}

// Will fire a core-accelerator slug.
void CNetDoc::FireAcceleratorSlug(DPID /*owner*/, Instance* /*ship*/, float /*x*/, float /*y*/, float /*z*/,
                                  float /*dx*/, float /*dy*/, float /*dz*/, float /*speed*/) {}

// Will repeat a molnia-arc discharge.
void CNetDoc::DischargeArc(DPID /*owner*/, Instance* /*ship*/, const float /*words*/[11], uint8_t /*first*/,
                           uint8_t /*second*/) {}

// Will place the target marker and mark it shown.
void CNetDoc::SetTargetMarker(int /*x*/, int /*y*/) {}

bool CNetDoc::IsPulseLaserUpgraded() { return pulseLaserUpgraded_ != 0; }
