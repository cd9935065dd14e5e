#pragma once
// What every received user message must be before a handler reads a field:
// long enough for its type (and action), no longer than its form, texts
// terminated and bounded, the scoreboard's count and names in range. The
// checks read only inside [data, data + size).
#include <cstddef>
#include <cstdint>

// Which handler a message type goes to (the dispatch table's entries).
enum class NetHandler : uint8_t {
  kIgnored,  // bullet and laser marks: nothing to do
  kDefault,  // unknown or unused types: logged and dropped
  kMissile,
  kExplosion,
  kBomb,
  kProjectile,
  kShot,
  kArc,
  kSmoke,
  kPulse,
  kLight,
  kSupply,
  kBackPack,
  kGameState,
  kGroupState,
  kScriptEvent,
  kSensorState,
  kDoorState,
  kKill,
  kChat,
  kShield,
};

// The handler of a message code: its low 16 bits select one of the 64
// entries for 0x4D01..0x4D40; everything else is kDefault.
NetHandler NetHandlerFor(uint32_t code);

enum class NetCheck : uint8_t { kOk, kShort, kLong, kMalformed };
inline constexpr int kNetCheckKinds = 4;

// The largest user message the game reads; sensor and door states carry
// their own records and stay below it.
inline constexpr size_t kNetMaxUserMessage = 1024;

// Whether a user message of size bytes may be dispatched. Codes whose upper
// half is not the game's are malformed.
NetCheck NetCheckUserMessage(const uint8_t* data, size_t size);
