#pragma once
// The 16-bit numbers that name the dynamic object classes and the game
// messages that carry no object. One number space serves both: a receiver
// dispatches a message by its code, whether it creates an object or not.
// The wire form of a message id is kMessageIdBase + code (the network layer
// adds kGuaranteedBit when its own acknowledgements must carry the message).
#include <cstdint>

inline constexpr uint32_t kMessageIdBase = 0x32100000u;
inline constexpr uint32_t kGuaranteedBit = 0x10000u;

enum ObjectTypeCode : uint16_t {
  kTypeBulletMark = 0x4D01,
  kTypeMissile = 0x4D02,  // rockets and homing missiles alike (the target key tells them apart)
  kTypeSmallExplosion = 0x4D03,
  kTypeFallingPart = 0x4D04,
  kTypeForceField = 0x4D07,
  kTypeMicroMissile = 0x4D08,
  kTypeBomb = 0x4D09,  // CGenBomb and CBomb
  kTypeFireWave = 0x4D0A,
  kTypeBullet = 0x4D0B,
  kTypeLaserMark = 0x4D0C,
  kTypeSupplyFirst = 0x4D0D,  // the pick-up kinds run from here to kTypeSupplyLast
  kTypeGroupState = 0x4D13,
  kTypeHitscanShot = 0x4D15,
  kTypeBulletShot = 0x4D16,
  kTypeExplosion = 0x4D18,
  kTypeFireSphere = 0x4D19,
  kTypeTracer = 0x4D1C,
  kTypeFreeMoving = 0x4D1D,
  kTypeEnergyPulse = 0x4D1E,
  kTypeDust = 0x4D1F,
  kTypeFlashLight = 0x4D27,
  kTypeRespawnLight = 0x4D28,
  kTypeGroupActivation = 0x4D29,
  kTypeTextMessage = 0x4D2A,
  kTypeSensorState = 0x4D2C,
  kTypeDoorState = 0x4D2D,
  kTypeKillReport = 0x4D2E,
  kTypeFireBall = 0x4D2F,
  kTypeArcShot = 0x4D30,
  kTypeSlugShot = 0x4D32,
  kTypeSentry = 0x4D33,
  kTypeMessage34 = 0x4D34,
  kTypeVortexShield = 0x4D37,
  kTypeSupplyLast = 0x4D3B,
  kTypeRubberBall = 0x4D3C,
  kTypeStaticSmoke = 0x4D3D,
  kTypeSmoke = 0x4D3E,
  kTypeBackPack = 0x4D3F,
  kTypeStaticShield = 0x4D40,
  kTypeSphere = 0x4D41,
};
