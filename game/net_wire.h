#pragma once
// The game's network messages on the wire: codes, sizes and little-endian
// field access. Messages are read and written field by field at their
// offsets, never as structs, and every read is inside the message's length
// (the checks in net_message_check.h run before any handler reads).
#include <cstddef>
#include <cstdint>
#include <cstring>

// code = kNetCodeBase + type, plus kNetAckRequested when the own delivery
// layer must acknowledge it.
inline constexpr uint32_t kNetCodeBase = 0x32100000u;
inline constexpr uint32_t kNetAckRequested = 0x10000u;
inline constexpr uint32_t kNetTypeAck = 0x4B00u;
inline constexpr uint32_t kNetTypeFirst = 0x4D01u;  // the dispatch table's first code
inline constexpr int kNetDispatchEntries = 64;     // 0x4D01..0x4D40

// The message types the game itself builds and reads.
inline constexpr uint32_t kNetTypeGameState = 0x4D13u;
inline constexpr uint32_t kNetTypeGroupState = 0x4D29u;
inline constexpr uint32_t kNetTypeScriptEvent = 0x4D2Au;
inline constexpr uint32_t kNetTypeKill = 0x4D2Eu;
inline constexpr uint32_t kNetTypeChat = 0x4D34u;

// Every user message starts with code, sender's player id and send time.
inline constexpr size_t kNetHeaderSize = 12;
inline constexpr size_t kNetAckSize = 12;
inline constexpr size_t kNetKillSize = 20;
inline constexpr size_t kNetGroupStateSize = 28;
inline constexpr size_t kNetGameStateSize = 736;
// A text message: header, a zero word, the action byte, then the text with
// its NUL at 17 and two spare bytes: strlen + 20.
inline constexpr size_t kNetTextOffset = 17;
inline constexpr size_t kNetTextOverhead = 20;
// The longest text a message may carry (chat lines are at most 60 typed
// characters plus the sender's name; script event texts are short).
inline constexpr size_t kNetMaxText = 255;
// The scoreboard in a game-state message: ten names of 31 bytes.
inline constexpr int kNetScoreSlots = 10;
inline constexpr size_t kNetScoreNameBytes = 31;
inline constexpr size_t kNetScoreNamesOffset = 24;
inline constexpr size_t kNetKillMatrixOffset = 336;

inline uint32_t NetReadU32(const uint8_t* at) {
  return static_cast<uint32_t>(at[0]) | static_cast<uint32_t>(at[1]) << 8 | static_cast<uint32_t>(at[2]) << 16 |
         static_cast<uint32_t>(at[3]) << 24;
}
inline float NetReadF32(const uint8_t* at) {
  const uint32_t bits = NetReadU32(at);
  float value;
  std::memcpy(&value, &bits, 4);
  return value;
}
inline void NetWriteU32(uint8_t* at, uint32_t value) {
  at[0] = static_cast<uint8_t>(value);
  at[1] = static_cast<uint8_t>(value >> 8);
  at[2] = static_cast<uint8_t>(value >> 16);
  at[3] = static_cast<uint8_t>(value >> 24);
}
inline void NetWriteF32(uint8_t* at, float value) {
  uint32_t bits;
  std::memcpy(&bits, &value, 4);
  NetWriteU32(at, bits);
}
// The header: code, sender, send time.
inline void NetWriteHeader(uint8_t* at, uint32_t type, uint32_t sender, uint32_t time) {
  NetWriteU32(at, kNetCodeBase + type);
  NetWriteU32(at + 4, sender);
  NetWriteU32(at + 8, time);
}
