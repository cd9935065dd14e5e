// A DirectPlay object that the network layer's tests drive by hand: it
// records every send, answers each with the result set for its recipient,
// lists the sessions it is told of and hands over queued messages.
#pragma once

#include <cstring>
#include <deque>
#include <map>
#include <string>
#include <vector>

#include "game/network_layer.h"
#include "platform/direct_play.h"

struct FakeSend {
  DPID from, to;
  DWORD flags;
  std::vector<uint8_t> bytes;
};

class FakeDirectPlay : public IDirectPlay3A {
 public:
  DPCAPS caps{};
  std::vector<std::string> sessions;  // what EnumSessions reports
  std::string created, joined;        // the session opened, by name or instance
  std::vector<FakeSend>* sends;       // kept by the test, outliving the object
  std::map<DPID, HRESULT> failFor;    // a recipient's send result
  HRESULT broadcastResult = DP_OK;
  std::deque<std::pair<DPID, std::vector<uint8_t>>> inbox;
  DPID nextPlayer = 0x100;
  std::vector<std::vector<uint8_t>> playerData;
  std::vector<std::string> players;  // what EnumPlayers reports, by short name

  explicit FakeDirectPlay(std::vector<FakeSend>* record) : sends(record) { caps.dwTimeout = 500; }

  HRESULT InitializeConnection(const DPADDRESS*, DWORD) override { return DP_OK; }
  HRESULT GetCaps(DPCAPS* out, DWORD) override {
    *out = caps;
    return DP_OK;
  }
  HRESULT EnumSessions(const DPSESSIONDESC2*, DWORD, LPDPENUMSESSIONSCALLBACK2 callback, void* context,
                       DWORD) override {
    for (size_t i = 0; i < sessions.size(); ++i) {
      DPSESSIONDESC2 desc{};
      desc.guidInstance.Data1 = static_cast<uint32_t>(i + 1);
      desc.lpszSessionNameA = sessions[i].c_str();
      DWORD timeout = 0;
      if (!callback(&desc, &timeout, 0, context)) return DP_OK;
    }
    DWORD timeout = 0;
    callback(nullptr, &timeout, DPESC_TIMEDOUT, context);
    return DP_OK;
  }
  HRESULT Open(const DPSESSIONDESC2* desc, DWORD flags) override {
    if (flags & DPOPEN_CREATE) {
      created = desc->lpszSessionNameA;
    } else {
      const uint32_t index = desc->guidInstance.Data1;
      if (index == 0 || index > sessions.size()) return DPERR_NOSESSIONS;
      joined = sessions[index - 1];
    }
    return DP_OK;
  }
  HRESULT Close() override { return DP_OK; }
  HRESULT CreatePlayer(DPID* id, const DPNAME*, void*, const void* data, DWORD size, DWORD) override {
    *id = nextPlayer++;
    const auto* bytes = static_cast<const uint8_t*>(data);
    playerData.emplace_back(bytes, bytes + size);
    return DP_OK;
  }
  HRESULT DestroyPlayer(DPID) override { return DP_OK; }
  HRESULT EnumPlayers(const GUID*, LPDPENUMPLAYERSCALLBACK2 callback, void* context, DWORD) override {
    for (size_t i = 0; i < players.size(); ++i) {
      DPNAME name{};
      name.lpszShortNameA = players[i].c_str();
      name.lpszLongNameA = players[i].c_str();
      if (!callback(static_cast<DPID>(0x200 + i), DPPLAYERTYPE_PLAYER, &name, 0, context)) break;
    }
    return DP_OK;
  }
  HRESULT GetPlayerName(DPID, void*, DWORD*) override { return DPERR_INVALIDPLAYER; }
  HRESULT SetPlayerData(DPID, const void* data, DWORD size, DWORD) override {
    const auto* bytes = static_cast<const uint8_t*>(data);
    playerData.emplace_back(bytes, bytes + size);
    return DP_OK;
  }
  HRESULT Send(DPID from, DPID to, DWORD flags, const void* data, DWORD size) override {
    const auto* bytes = static_cast<const uint8_t*>(data);
    sends->push_back({from, to, flags, std::vector<uint8_t>(bytes, bytes + size)});
    if (to == DPID_ALLPLAYERS) return broadcastResult;
    auto fail = failFor.find(to);
    return fail == failFor.end() ? DP_OK : fail->second;
  }
  HRESULT Receive(DPID* from, DPID* to, DWORD, void* buffer, DWORD* size) override {
    if (inbox.empty()) return DPERR_NOMESSAGES;
    const auto& [sender, bytes] = inbox.front();
    if (*size < bytes.size()) {
      *size = static_cast<DWORD>(bytes.size());
      return DPERR_BUFFERTOOSMALL;
    }
    *from = sender;
    *to = 0;
    std::memcpy(buffer, bytes.data(), bytes.size());
    *size = static_cast<DWORD>(bytes.size());
    inbox.pop_front();
    return DP_OK;
  }
};

// The network layer's view of a game: players by hand, counters, reports.
class FakeNetHost : public NetLayerHost {
 public:
  DPID local = 0x10;
  std::vector<DPID> others;
  bool rendering = false;
  int64_t queued = 0;
  uint32_t sent = 0;
  std::vector<DPID> unreachable;
  std::vector<std::string> shown;
  std::vector<std::string> created;

  DPID LocalPlayerId() override { return local; }
  void OtherPlayerIds(std::vector<DPID>* ids) override { *ids = others; }
  bool IsRenderInProgress() override { return rendering; }
  void CountBytesSent(uint32_t bytes) override { sent += bytes; }
  void CountBytesQueued(int64_t delta) override { queued += delta; }
  void ResetBytesQueued() override { queued = 0; }
  void ReceiveMessages() override {}
  void PeerUnreachable(DPID id) override { unreachable.push_back(id); }
  void ShowMessage(const char* text) override { shown.emplace_back(text); }
  bool CreatePlayerRecord(const CString& name, const CString& code) override {
    created.push_back(std::string(name) + "/" + std::string(code));
    return true;
  }
};
