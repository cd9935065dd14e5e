#include "game/net_message_check.h"

#include <array>

#include "game/net_wire.h"

namespace {

using H = NetHandler;

// 0x4D01..0x4D40 in order.
constexpr std::array<NetHandler, kNetDispatchEntries> kTable = {
    H::kIgnored,     H::kMissile,     H::kExplosion,   H::kDefault,     H::kDefault,      // 01-05
    H::kDefault,     H::kDefault,     H::kMissile,     H::kBomb,        H::kDefault,      // 06-0A
    H::kProjectile,  H::kIgnored,     H::kSupply,      H::kSupply,      H::kSupply,       // 0B-0F
    H::kSupply,      H::kSupply,      H::kSupply,      H::kGameState,   H::kDefault,      // 10-14
    H::kShot,        H::kShot,        H::kDefault,     H::kExplosion,   H::kDefault,      // 15-19
    H::kSupply,      H::kSupply,      H::kDefault,     H::kDefault,     H::kPulse,        // 1A-1E
    H::kDefault,     H::kSupply,      H::kSupply,      H::kSupply,      H::kSupply,       // 1F-23
    H::kSupply,      H::kSupply,      H::kSupply,      H::kLight,       H::kLight,        // 24-28
    H::kGroupState,  H::kScriptEvent, H::kDefault,     H::kSensorState, H::kDoorState,    // 29-2D
    H::kKill,        H::kProjectile,  H::kArc,         H::kDefault,     H::kShot,         // 2E-32
    H::kBomb,        H::kChat,        H::kSupply,      H::kSupply,      H::kShield,       // 33-37
    H::kSupply,      H::kSupply,      H::kSupply,      H::kSupply,      H::kProjectile,   // 38-3C
    H::kDefault,     H::kSmoke,       H::kBackPack,    H::kShield,                        // 3D-40
};

// The one size of the fixed forms; 0 for forms checked otherwise.
size_t FixedSize(NetHandler handler) {
  switch (handler) {
    case H::kMissile: return 72;
    case H::kExplosion:
    case H::kBomb: return 48;
    case H::kProjectile:
    case H::kShot: return 52;
    case H::kArc: return 68;
    case H::kSmoke: return 36;
    case H::kPulse:
    case H::kLight: return 40;
    case H::kGameState: return kNetGameStateSize;
    case H::kGroupState: return kNetGroupStateSize;
    case H::kKill:
    case H::kShield: return kNetKillSize;
    default: return 0;
  }
}

NetCheck Exactly(size_t size, size_t want) {
  if (size < want) return NetCheck::kShort;
  return size > want ? NetCheck::kLong : NetCheck::kOk;
}

NetCheck CheckText(const uint8_t* data, size_t size) {
  if (size < kNetTextOffset + 1) return NetCheck::kShort;
  if (size > kNetMaxText + kNetTextOverhead) return NetCheck::kLong;
  for (size_t i = kNetTextOffset; i < size; ++i) {
    if (data[i] == 0) return NetCheck::kOk;
  }
  return NetCheck::kMalformed;
}

NetCheck CheckGameState(const uint8_t* data) {
  const uint32_t slots = NetReadU32(data + 20);
  if (slots > static_cast<uint32_t>(kNetScoreSlots)) return NetCheck::kMalformed;
  for (int slot = 0; slot < kNetScoreSlots; ++slot) {
    const uint8_t* name = data + kNetScoreNamesOffset + slot * kNetScoreNameBytes;
    bool terminated = false;
    for (size_t i = 0; i < kNetScoreNameBytes && !terminated; ++i) terminated = name[i] == 0;
    if (!terminated) return NetCheck::kMalformed;
  }
  return NetCheck::kOk;
}

}  // namespace

NetHandler NetHandlerFor(uint32_t code) {
  const uint32_t index = (code & 0xFFFFu) - kNetTypeFirst;
  return index < kTable.size() ? kTable[index] : NetHandler::kDefault;
}

NetCheck NetCheckUserMessage(const uint8_t* data, size_t size) {
  if (size < kNetHeaderSize) return NetCheck::kShort;
  if (size > kNetMaxUserMessage) return NetCheck::kLong;
  const uint32_t code = NetReadU32(data);
  if ((code & ~(kNetAckRequested | 0xFFFFu)) != kNetCodeBase) return NetCheck::kMalformed;
  if ((code & 0xFFFFu) == kNetTypeAck) return Exactly(size, kNetAckSize);
  const NetHandler handler = NetHandlerFor(code);
  if (const size_t fixed = FixedSize(handler)) {
    const NetCheck check = Exactly(size, fixed);
    if (check == NetCheck::kOk && handler == H::kGameState) return CheckGameState(data);
    return check;
  }
  switch (handler) {
    case H::kIgnored:
    case H::kDefault: return NetCheck::kOk;
    case H::kScriptEvent:
    case H::kChat: return CheckText(data, size);
    // Pick-ups: a creation is 84 bytes whose kind (offset 80) names a row of
    // the 33-row pick-up table; a back pack's creation is 116; the other
    // actions are the 20-byte header.
    case H::kSupply: {
      if (size < 20) return NetCheck::kShort;
      if (data[16] != 1) return Exactly(size, 20);
      const NetCheck check = Exactly(size, 84);
      if (check != NetCheck::kOk) return check;
      return NetReadU32(data + 80) < 33u ? NetCheck::kOk : NetCheck::kMalformed;
    }
    case H::kBackPack:
      if (size < 20) return NetCheck::kShort;
      return Exactly(size, data[16] == 1 ? 116 : 20);
    // The state records are read up to their last field.
    case H::kSensorState: return size < 24 ? NetCheck::kShort : NetCheck::kOk;
    case H::kDoorState: return size < 40 ? NetCheck::kShort : NetCheck::kOk;
    default: return NetCheck::kMalformed;
  }
}
