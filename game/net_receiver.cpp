#include "game/net_receiver.h"

#include <cstring>

#include "game/net_crc32.h"
#include "game/net_duplicate_filter.h"
#include "game/net_wire.h"
#include "platform/direct_play.h"

uint32_t NetMessageView::Owner() const { return W(4); }

uint32_t NetMessageView::W(size_t offset) const { return offset + 4 <= size ? NetReadU32(data + offset) : 0; }

float NetMessageView::F(size_t offset) const { return offset + 4 <= size ? NetReadF32(data + offset) : 0.0f; }

namespace {

// A pointer of a system message is usable when it is null (with length 0)
// or [at, at + length) lies inside the message.
bool Inside(const uint8_t* base, size_t size, const void* at, size_t length) {
  if (!at) return length == 0;
  const auto* p = static_cast<const uint8_t*>(at);
  if (p < base || p > base + size) return false;
  return length <= static_cast<size_t>(base + size - p);
}

// A name of a system message: null, or a string terminated inside it.
bool NameInside(const uint8_t* base, size_t size, const char* name) {
  if (!name) return true;
  const auto* p = reinterpret_cast<const uint8_t*>(name);
  if (p < base || p >= base + size) return false;
  return std::memchr(p, 0, static_cast<size_t>(base + size - p)) != nullptr;
}

template <typename T>
bool ReadRecord(const uint8_t* data, size_t size, T* out) {
  if (size < sizeof(T)) return false;
  std::memcpy(out, data, sizeof(T));
  return true;
}

}  // namespace

void NetReceiver::Handle(DPID from, DPID to, const void* data, size_t size) {
  ++stats_.messages;
  if (!data) return Drop(NetCheck::kShort);
  const auto* bytes = static_cast<const uint8_t*>(data);
  if (from == DPID_SYSMSG) {
    HandleSystem(bytes, size);
  } else {
    HandleUser(from, to, bytes, size);
  }
}

void NetReceiver::HandleSystem(const uint8_t* data, size_t size) {
  if (size < 4) return Drop(NetCheck::kShort);
  switch (NetReadU32(data)) {
    case DPSYS_CREATEPLAYERORGROUP: {
      DPMSG_CREATEPLAYERORGROUP m;
      if (!ReadRecord(data, size, &m)) return Drop(NetCheck::kShort);
      if (m.dwPlayerType != DPPLAYERTYPE_PLAYER) return;
      if (!Inside(data, size, m.lpData, m.dwDataSize) || !NameInside(data, size, m.dpnName.lpszShortNameA) ||
          !NameInside(data, size, m.dpnName.lpszLongNameA)) {
        return Drop(NetCheck::kMalformed);
      }
      sink_.OnPlayerCreated(m.dpId, m.dpnName.lpszShortNameA ? m.dpnName.lpszShortNameA : "",
                            m.dpnName.lpszLongNameA ? m.dpnName.lpszLongNameA : "",
                            static_cast<const uint8_t*>(m.lpData), m.dwDataSize);
      return;
    }
    case DPSYS_DESTROYPLAYERORGROUP: {
      DPMSG_DESTROYPLAYERORGROUP m;
      if (!ReadRecord(data, size, &m)) return Drop(NetCheck::kShort);
      if (m.dwPlayerType == DPPLAYERTYPE_PLAYER) sink_.OnPlayerDestroyed(m.dpId);
      return;
    }
    case DPSYS_SETPLAYERORGROUPDATA: {
      DPMSG_SETPLAYERORGROUPDATA m;
      if (!ReadRecord(data, size, &m)) return Drop(NetCheck::kShort);
      if (m.dwPlayerType != DPPLAYERTYPE_PLAYER || m.dpId == localId_) return;
      if (!Inside(data, size, m.lpData, m.dwDataSize)) return Drop(NetCheck::kMalformed);
      sink_.OnPlayerData(m.dpId, static_cast<const uint8_t*>(m.lpData), m.dwDataSize);
      return;
    }
    case DPSYS_SESSIONLOST: sink_.OnSessionLost(); return;
    case DPSYS_HOST: sink_.OnBecameHost(); return;
    default: return;  // the others are only named in the log
  }
}

void NetReceiver::HandleUser(DPID from, DPID to, const uint8_t* data, size_t size) {
  if (size < kNetHeaderSize) return Drop(NetCheck::kShort);
  if (size > kNetMaxUserMessage) return Drop(NetCheck::kLong);
  const uint32_t code = NetReadU32(data);
  if ((code & 0xFFFFu) == kNetTypeAck) {
    const NetCheck check = NetCheckUserMessage(data, size);
    if (check != NetCheck::kOk) return Drop(check);
    sink_.OnAck(from, NetReadU32(data + 4));
    return;
  }
  if (ownDelivery_ && (code & kNetAckRequested)) {
    // Acknowledged before the repeat test, so that a lost acknowledgement is
    // made good by the next resend.
    const uint32_t crc = Crc32(data, size);
    uint8_t ack[kNetAckSize];
    NetWriteU32(ack, kNetCodeBase + kNetTypeAck);
    NetWriteU32(ack + 4, crc);
    NetWriteU32(ack + 8, code & 0xFFFFu);
    sink_.SendAck(from, ack, sizeof ack);
    if (duplicates_.SeenBefore(crc ^ from)) {
      ++stats_.duplicates;
      return;
    }
  }
  const NetCheck check = NetCheckUserMessage(data, size);
  if (check != NetCheck::kOk) return Drop(check);
  NetMessageView view;
  view.from = from;
  view.to = to;
  view.data = data;
  view.size = size;
  view.code = code;
  view.handler = NetHandlerFor(code);
  ++stats_.dispatched;
  sink_.OnUserMessage(view);
}
