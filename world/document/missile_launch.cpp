// Missile launch: the selected missile type, the copies of other players'
// missiles, sentries and the satellite strike.
#include "game/net_doc.h"

// Will fire the selected missile type when ammunition, lockout and life
// allow.
void CNetDoc::FireMissile() {}

// Will make a homing missile from a 0x4D02 message.
void CNetDoc::LaunchHomingMissile(DPID /*owner*/, Instance* /*ship*/, uint32_t /*targetLow*/,
                                  uint32_t /*targetHigh*/, const float /*values*/[6], uint32_t /*extra*/) {}

// Will make a plain rocket.
void CNetDoc::LaunchMissile(DPID /*owner*/, Instance* /*ship*/, const float /*values*/[6], uint32_t /*extra*/) {}

// Will make a sentry missile (0x4D08).
void CNetDoc::LaunchSentryMissile(DPID /*owner*/, Instance* /*ship*/, const float /*values*/[6],
                                  uint32_t /*extra*/) {}

// Will deploy a sentry through the enemy manager.
void CNetDoc::DeploySentry(DPID /*owner*/, float /*x*/, float /*y*/, float /*z*/) {}

// Will run the satellite strike of the Special key.
void CNetDoc::UpdateSatellite() {}
