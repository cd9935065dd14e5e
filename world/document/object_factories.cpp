// Object factories: every dynamic object is born here, for local play, the
// enemies, the script and the network alike (owner 0 is the local player).
#include "game/net_doc.h"

// Will make a small explosion.
void CNetDoc::SpawnSmallExplosion(DPID /*owner*/, float /*x*/, float /*y*/, float /*z*/) {}

// Will make an explosion, blast at once when asked and play its sound
// unless silent.
void CNetDoc::SpawnExplosion(DPID /*owner*/, float /*x*/, float /*y*/, float /*z*/, float /*size*/, float /*damage*/,
                             bool /*immediateBlast*/, bool /*silent*/, uint8_t /*variant*/, uint32_t /*delay*/) {}

// Will make a bomb and play its launch sound.
void CNetDoc::SpawnBomb(DPID /*owner*/, float /*x*/, float /*y*/, float /*z*/, float /*vx*/, float /*vy*/,
                        float /*vz*/, uint8_t /*sticky*/) {}

// Will make a fireball and play its sound.
void CNetDoc::SpawnFireBall(DPID /*owner*/, Instance* /*ship*/, float /*x*/, float /*y*/, float /*z*/, float /*dx*/,
                            float /*dy*/, float /*dz*/, uint8_t /*kind*/, float /*speed*/) {}

// Will make a rubber ball and play its sound.
void CNetDoc::SpawnRubberBall(DPID /*owner*/, Instance* /*ship*/, float /*x*/, float /*y*/, float /*z*/,
                              float /*dx*/, float /*dy*/, float /*dz*/, float /*speed*/) {}

// Will make a smoke puff when the smoke option is on.
void CNetDoc::SpawnSmoke(DPID /*owner*/, int /*noSend*/, float /*x*/, float /*y*/, float /*z*/, float /*size*/) {}

// Will make an energy pulse and play the satellite sound.
void CNetDoc::SpawnEnergyPulse(DPID /*owner*/, float /*x*/, float /*y*/, float /*z*/, float /*radius*/,
                               float /*damage*/) {}

// Will make a fading light.
void CNetDoc::SpawnFlashLight(DPID /*owner*/, float /*x*/, float /*y*/, float /*z*/, float /*intensity*/,
                              float /*fadeRate*/) {}

// Will make the light of a respawn, which other programs check for
// telefrags.
void CNetDoc::SpawnRespawnLight(DPID /*owner*/, float /*x*/, float /*y*/, float /*z*/) {}

// Will make a vortex shield round that player.
void CNetDoc::SpawnPlayerVortexShield(DPID /*owner*/) {}

// Will make the static shield unless one is up.
void CNetDoc::SpawnStaticShield(DPID /*owner*/) {}

// Will drop falling parts of the named model.
void CNetDoc::SpawnDebris(DPID /*owner*/, float /*x*/, float /*y*/, float /*z*/, const char* /*modelName*/,
                          Instance* /*ship*/, int /*count*/) {}

// Will drop a back pack with the dead player's goods.
void CNetDoc::SpawnBackPack(DPID /*owner*/, float /*x*/, float /*y*/, float /*z*/) {}
