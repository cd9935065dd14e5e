// One program of a network game in miniature, for the eight-player loopback
// runs of the tests and the benchmark: its own network layer over an ENet
// DirectPlay object, the real receive path, and a small record of what
// arrived (players with their last state block's x, kills, chat lines).
// Several live in one process; each is pumped by hand.
#pragma once

#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/direct_player.h"
#include "game/net_duplicate_filter.h"
#include "game/net_receiver.h"
#include "game/net_wire.h"
#include "game/network_layer.h"
#include "platform/enet/enet_network.h"

class NetPeer : public NetLayerHost, public NetMessageSink {
 public:
  NetPeer(std::string name, std::string switches) : name_(std::move(name)), switches_(std::move(switches)) {
    net_.SetHostServices(this);
    net_.SetDirectPlayFactory([this] { return EnetDirectPlayCreate(NetTestSwitchesParse(switches_.c_str())); });
  }
  ~NetPeer() override { net_.Close(); }

  bool Start(const char* session, bool host) {
    NetMenuSettings menus;
    menus.address = "";
    menus.sessionName = session;
    menus.playerName = name_.c_str();
    menus.shipCode = "AA";
    menus.startNew = host;
    return net_.StartOrJoin(menus);
  }
  void Leave() { net_.Close(); }

  // Everything waiting, then the resends that are due.
  void Pump() {
    while (IDirectPlay3A* dp = net_.GetDirectPlay()) {
      DPID from = 0, to = 0;
      DWORD size = sizeof buffer_;
      if (dp->Receive(&from, &to, DPRECEIVE_ALL, buffer_, &size) != DP_OK) break;
      received += size;
      NetReceiver receiver(*this, duplicates_, stats, !net_.IsDeliveryGuaranteed(), id);
      receiver.Handle(from, to, buffer_, size);
    }
    net_.PumpResends(false);
  }
  // The compact block with x as its position, time stamped.
  void Publish(uint32_t time, float x) {
    uint8_t block[kPlayerStateCompactSize] = {};
    NetWriteU32(block, time);
    NetWriteU32(block + 4, kPlayerStateCompact | kPlayerStateShown);
    NetWriteF32(block + 8, x);
    if (IDirectPlay3A* dp = net_.GetDirectPlay()) {
      if (dp->SetPlayerData(id, block, sizeof block, 0) == DP_OK) sent += sizeof block;
    }
  }
  bool SendKill(DPID victim) {
    uint8_t message[kNetKillSize] = {};
    NetWriteHeader(message, kNetTypeKill, victim, 1);
    NetWriteU32(message + 12, id);
    message[16] = 1;
    return net_.Send(0, message, sizeof message, true);
  }
  bool SendChat(const std::string& text) {
    std::vector<uint8_t> message(text.size() + kNetTextOverhead, 0);
    NetWriteHeader(message.data(), kNetTypeChat, id, 1);
    std::memcpy(message.data() + kNetTextOffset, text.c_str(), text.size() + 1);
    return net_.Send(0, message.data(), static_cast<int>(message.size()), true);
  }
  CNet& Net() { return net_; }

  // NetLayerHost
  DPID LocalPlayerId() override { return id; }
  void OtherPlayerIds(std::vector<DPID>* ids) override {
    ids->clear();
    for (const auto& [other, x] : players) ids->push_back(other);
  }
  bool IsRenderInProgress() override { return false; }
  void CountBytesSent(uint32_t bytes) override { sent += bytes; }
  void CountBytesQueued(int64_t) override {}
  void ResetBytesQueued() override {}
  void ReceiveMessages() override { Pump(); }
  void PeerUnreachable(DPID other) override { unreachable.push_back(other); }
  void ShowMessage(const char*) override {}
  bool CreatePlayerRecord(const CString& name, const CString& code) override {
    DPNAME dpName{sizeof(DPNAME), 0, name, code};
    uint8_t block[kPlayerStateFullSize] = {};
    return net_.GetDirectPlay()->CreatePlayer(&id, &dpName, nullptr, block, sizeof block, 0) == DP_OK;
  }

  // NetMessageSink
  void OnUserMessage(const NetMessageView& m) override {
    if (m.handler == NetHandler::kKill) ++kills[m.Owner()];
    if (m.handler == NetHandler::kChat) chat.emplace_back(m.Text());
  }
  void OnAck(DPID from, uint32_t crc) override { net_.OnAck(from, crc); }
  void SendAck(DPID to, const uint8_t* ack, size_t size) override {
    uint8_t copy[kNetAckSize];
    std::memcpy(copy, ack, sizeof copy);
    net_.Send(to, copy, static_cast<int>(size), false);
  }
  void OnPlayerCreated(DPID other, const char*, const char*, const uint8_t*, size_t) override {
    if (other != id) players.emplace(other, 0.0f);
  }
  void OnPlayerDestroyed(DPID other) override {
    players.erase(other);
    net_.RemoveRecipient(other);
  }
  void OnPlayerData(DPID other, const uint8_t* data, size_t size) override {
    if (size >= kPlayerStateCompactSize) players[other] = NetReadF32(data + 8);
  }
  void OnSessionLost() override {}
  void OnBecameHost() override { net_.SetHost(); }

  DPID id = 0;
  std::map<DPID, float> players;  // the others, with their last x
  std::map<DPID, int> kills;      // kill reports by victim
  std::vector<std::string> chat;
  std::vector<DPID> unreachable;
  NetReceiveStats stats;
  uint64_t sent = 0, received = 0;

 private:
  std::string name_, switches_;
  CNet net_;
  NetDuplicateFilter duplicates_;
  alignas(8) uint8_t buffer_[kDirectPlayMaxMessage + 4096];
};
