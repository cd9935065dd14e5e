// The document's side of network play: the receive loop, the network
// layer's view of the document, and the chat line.
#include <cstdio>
#include <memory>
#include <new>

#include "game/direct_player.h"
#include "game/interface_manager.h"
#include "game/menu_widgets.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "platform/clock.h"
#include "platform/debug_output.h"

namespace {

// The largest message the loop will make room for: the provider's largest
// message or player data with its system record around it.
constexpr DWORD kReceiveCeiling = kDirectPlayMaxMessage + 4096;

// The network layer's view of the game: the document when there is one.
class DocumentHost : public NetLayerHost {
 public:
  DPID LocalPlayerId() override { return g_pNetDoc ? g_pNetDoc->GetLocalPlayerId() : 0xFFFFFFFFu; }
  void OtherPlayerIds(std::vector<DPID>* ids) override {
    ids->clear();
    if (!g_pNetDoc) return;
    const DPID self = g_pNetDoc->GetLocalPlayerId();
    const PlayerMap& players = g_pNetDoc->GetPlayers();
    for (POSITION at = players.GetStartPosition(); at;) {
      DPID id = 0;
      CDirectPlayer* player = nullptr;
      players.GetNextAssoc(at, id, player);
      if (id != self) ids->push_back(id);
    }
  }
  bool IsRenderInProgress() override { return g_pNetDoc && g_pNetDoc->IsRenderInProgress(); }
  void CountBytesSent(uint32_t bytes) override {
    if (g_pNetDoc) g_pNetDoc->CountBytesSent(bytes);
  }
  void CountBytesQueued(int64_t delta) override {
    if (g_pNetDoc) g_pNetDoc->CountBytesQueued(delta);
  }
  void ResetBytesQueued() override {
    if (g_pNetDoc) g_pNetDoc->ResetBytesQueued();
  }
  void ReceiveMessages() override {
    if (g_pNetDoc) g_pNetDoc->ReceiveMessages();
  }
  void PeerUnreachable(DPID id) override {
    char line[96];
    std::snprintf(line, sizeof line, "korvane: network: player %08X does not answer; no more resends to it\n",
                  static_cast<unsigned>(id));
    OutputDebugString(line);
    if (g_pNetDoc) {
      if (CDirectPlayer* player = g_pNetDoc->FindPlayer(id)) {
        g_pNetDoc->AddMessage(CString("no answer from ") + player->GetName(), -1, FALSE);
      }
    }
  }
  void ShowMessage(const char* text) override {
    if (g_pNetDoc) g_pNetDoc->AddMessage(text, NearestPaletteIndex(0, 200, 0), FALSE);
  }
  bool CreatePlayerRecord(const CString& name, const CString& shipCode) override {
    return g_pNetDoc && g_pNetDoc->CreatePlayerRecord(name, shipCode);
  }
};

// The receive path's results, carried out on the document.
class DocumentSink : public NetMessageSink {
 public:
  explicit DocumentSink(CNetDoc& doc) : doc_(doc) {}
  void OnUserMessage(const NetMessageView& message) override { doc_.DispatchUserMessage(message); }
  void OnAck(DPID from, uint32_t crc) override { g_Net.OnAck(from, crc); }
  void SendAck(DPID to, const uint8_t* ack, size_t size) override {
    uint8_t copy[kNetAckSize];
    std::memcpy(copy, ack, sizeof copy);
    g_Net.Send(to, copy, static_cast<int>(size), false);
  }
  void OnPlayerCreated(DPID id, const char* shortName, const char* longName, const uint8_t* data,
                       size_t size) override {
    if (id == 0 || id == doc_.GetLocalPlayerId()) return;
    // A record made from the player's data already (its data came first)
    // is kept.
    if (doc_.FindPlayer(id)) return;
    auto* player = new (std::nothrow) CDirectPlayer(shortName, longName, id);
    if (!player) return;
    player->ApplyRemoteState(data, size);
    doc_.PlayerJoined(player);
  }
  void OnPlayerDestroyed(DPID id) override { doc_.PlayerLeft(id); }
  void OnPlayerData(DPID id, const uint8_t* data, size_t size) override { doc_.OnPlayerData(id, data, size); }
  void OnSessionLost() override { doc_.AddMessage("WARNING: Connection lost!", -1, FALSE); }
  void OnBecameHost() override {
    g_Net.SetHost();
    doc_.AddMessage("We are now host of the game", -1, FALSE);
  }

 private:
  CNetDoc& doc_;
};

// Receives the waiting message of that size and throws it away; false when
// it could not be taken (no memory, or the provider refused).
bool DropMessage(IDirectPlay3A* dp, DWORD size) {
  std::unique_ptr<uint8_t[]> scratch(new (std::nothrow) uint8_t[size]);
  DPID from = 0, to = 0;
  DWORD got = size;
  const bool dropped = scratch && dp->Receive(&from, &to, DPRECEIVE_ALL, scratch.get(), &got) == DP_OK;
  char line[128];
  std::snprintf(line, sizeof line, "korvane: network: a message of %lu bytes is over the receive ceiling: %s\n",
                static_cast<unsigned long>(size), dropped ? "dropped" : "cannot be dropped; receiving stops");
  OutputDebugString(line);
  return dropped;
}

}  // namespace

NetLayerHost& DocumentNetHost() {
  // Never destroyed: g_Net reaches it until the very end of the program.
  static DocumentHost* host = new DocumentHost();
  return *host;
}

void CNetDoc::PollNetwork() {
  if (IsNetworkGame()) ReceiveMessages();
}

void CNetDoc::ReceiveMessages() {
  while (IDirectPlay3A* dp = g_Net.GetDirectPlay()) {
    DPID from = 0, to = 0;
    DWORD size = static_cast<DWORD>(receiveCapacity_);
    HRESULT result = dp->Receive(&from, &to, DPRECEIVE_ALL, receiveBuffer_, &size);
    if (result == DPERR_BUFFERTOOSMALL) {
      if (size > kReceiveCeiling) {
        // Left waiting it would stand before every later message for good:
        // take it into a scratch block that goes at once, so the kept
        // buffer stays within the ceiling, and go on with the next.
        if (!DropMessage(dp, size)) return;
        continue;
      }
      // Grown once to what was asked for, never shrunk.
      auto* bigger = new (std::nothrow) uint8_t[size];
      if (!bigger) return;
      delete[] receiveBuffer_;
      receiveBuffer_ = bigger;
      receiveCapacity_ = static_cast<int32_t>(size);
      continue;
    }
    if (result == DPERR_NOMESSAGES) return;
    if (result != DP_OK) {
      OutputDebugString("korvane: network: Error receiving data\n");
      return;
    }
    CountBytesReceived(size);
    HandleNetMessage(from, to, receiveBuffer_, size);
  }
}

void CNetDoc::HandleNetMessage(DPID from, DPID to, const void* data, size_t size) {
  DocumentSink sink(*this);
  NetReceiver receiver(sink, duplicates_, receiveStats_, !g_Net.IsDeliveryGuaranteed(), GetLocalPlayerId());
  receiver.Handle(from, to, data, size);
}

void CNetDoc::CountBytesQueued(int64_t delta) {
  const int64_t value = static_cast<int64_t>(bytesQueued_) + delta;
  bytesQueued_ = value < 0 ? 0 : static_cast<uint32_t>(value);
}

// ---------------------------------------------------------------------------
// The chat line
// ---------------------------------------------------------------------------

void CNetDoc::OpenConsole() {
  CloseConsole();
  // Over the cockpit of the 480-line screen the line sits in the cockpit's
  // message slot; otherwise at the foot of the screen.
  if (g_pInterface && g_pInterface->IsCockpitShown()) {
    console_ = new (std::nothrow) CEditLine(130, 315, 60, nullptr);
  } else {
    console_ = new (std::nothrow) CEditLine(10, 480 - 12, 50, nullptr);
  }
}

void CNetDoc::CloseConsole() {
  if (!console_) return;
  delete console_;
  console_ = nullptr;
  if (g_pInterface) g_pInterface->ClearKeys();
  InvalidateHudPanels();
  InvalidateMessageArea();
}

CString CNetDoc::GetConsoleText() const { return console_ ? console_->GetText() : CString(); }

void CNetDoc::OnConsoleKey(UINT character) {
  if (!console_) OpenConsole();
  if (console_) console_->OnChar(static_cast<int>(character));
}

void CNetDoc::OnConsoleChar(UINT virtualKey) {
  if (!console_) OpenConsole();
  if (!console_) return;
  if (virtualKey == 13) {
    const CString text = console_->GetText();
    CloseConsole();
    if (text.IsEmpty()) return;
    const CString line = (localPlayer_ ? localPlayer_->GetName() : CString("")) + "> " + text;
    AddMessage(line, NearestPaletteIndex(220, 220, 0), FALSE);
    if (line.GetLength() > static_cast<int>(kNetMaxText)) return;
    uint8_t message[kNetMaxText + kNetTextOverhead] = {};
    NetWriteHeader(message, kNetTypeChat, GetLocalPlayerId(), timeGetTime());
    std::memcpy(message + kNetTextOffset, static_cast<const char*>(line), line.GetLength() + 1);
    g_Net.Send(0, message, line.GetLength() + static_cast<int>(kNetTextOverhead), true);
  } else if (virtualKey == 27) {
    CloseConsole();
  } else {
    console_->OnBackspace(static_cast<int>(virtualKey));
  }
}
