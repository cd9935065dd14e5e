// Network play on the document: players arriving and leaving, kills and the
// scoreboard, the game-state message, the chat line, and the ship's state
// blocks.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_layer.h"
#include "tests/game/document_fixture.h"
#include "tests/game/fake_direct_play.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"

namespace {

class NetPlayers : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    MakeDocument();
    auto dp = std::make_unique<FakeDirectPlay>(&sends_);
    dp_ = dp.get();
    DPADDRESS address{};
    ASSERT_TRUE(g_Net.InitConnection(address, std::move(dp)));
    ASSERT_TRUE(doc_->CreatePlayerRecord("A", "AB"));
    local_ = doc_->GetLocalPlayerId();
  }
  void TearDown() override {
    g_Net.Close();
    DocumentTest::TearDown();
  }
  // A player of another program arrives through the provider's record.
  void Arrive(DPID id, const char* name) {
    alignas(8) uint8_t buffer[128] = {};
    DPMSG_CREATEPLAYERORGROUP m{};
    m.dwType = DPSYS_CREATEPLAYERORGROUP;
    m.dwPlayerType = DPPLAYERTYPE_PLAYER;
    m.dpId = id;
    char* at = reinterpret_cast<char*>(buffer + sizeof m);
    std::strcpy(at, name);
    m.dpnName.lpszShortNameA = at;
    std::memcpy(buffer, &m, sizeof m);
    doc_->HandleNetMessage(DPID_SYSMSG, local_, buffer, sizeof m + std::strlen(name) + 1);
  }
  void Kill(DPID victim, DPID killer) {
    uint8_t message[20] = {};
    NetWriteHeader(message, kNetTypeKill, victim, 1);
    NetWriteU32(message + 12, killer);
    message[16] = 1;
    doc_->HandleNetMessage(victim, local_, message, sizeof message);
  }
  std::vector<std::string> Lines() {
    CString lines[10];
    doc_->GetScoreLines(lines, 10);
    std::vector<std::string> out;
    for (int i = 0; i < doc_->GetScoreSlotCount(); ++i) out.emplace_back(lines[i]);
    return out;
  }
  std::vector<FakeSend> SentOfType(uint32_t type) const {
    std::vector<FakeSend> out;
    for (const FakeSend& s : sends_) {
      if ((NetReadU32(s.bytes.data()) & 0xFFFF) == type) out.push_back(s);
    }
    return out;
  }

  std::vector<FakeSend> sends_;
  FakeDirectPlay* dp_ = nullptr;
  DPID local_ = 0;
};

TEST_F(NetPlayers, KillsMakeTheScoreboardBestFirst) {
  Arrive(0x200, "B");
  ASSERT_NE(doc_->FindPlayer(0x200), nullptr);
  Kill(0x200, local_);
  Kill(0x200, local_);
  Kill(0x200, 0x200);
  EXPECT_EQ(Lines(), (std::vector<std::string>{" 2 A", "-1 B"}));
}

TEST_F(NetPlayers, AMessageOverTheReceiveCeilingIsDroppedAndTheNextOnesArrive) {
  Arrive(0x200, "B");
  std::vector<uint8_t> kill(20, 0);
  NetWriteHeader(kill.data(), kNetTypeKill, 0x200, 1);
  NetWriteU32(kill.data() + 12, local_);
  kill[16] = 1;
  // The provider's largest message with its system record fits; one byte
  // more does not.
  const size_t ceiling = kDirectPlayMaxMessage + 4096;
  dp_->inbox.push_back({0x200, std::vector<uint8_t>(ceiling + 1, 0)});
  dp_->inbox.push_back({0x200, kill});
  dp_->inbox.push_back({0x200, std::vector<uint8_t>(ceiling + 1000, 0)});
  dp_->inbox.push_back({0x200, kill});
  const uint32_t before = doc_->GetBytesReceived();
  doc_->ReceiveMessages();
  EXPECT_TRUE(dp_->inbox.empty());
  EXPECT_EQ(doc_->GetBytesReceived() - before, 2 * kill.size()) << "only the two kills count as received";
  EXPECT_EQ(Lines(), (std::vector<std::string>{" 2 A", " 0 B"}));
  // A message at the ceiling itself is taken whole (it is no game message:
  // checked and dropped by the receive path, but received).
  dp_->inbox.push_back({0x200, std::vector<uint8_t>(ceiling, 0)});
  doc_->ReceiveMessages();
  EXPECT_TRUE(dp_->inbox.empty());
  EXPECT_EQ(doc_->GetBytesReceived() - before, 2 * kill.size() + ceiling);
}

TEST_F(NetPlayers, ReportsAboutUnknownPlayersCountNothingOrADeathInAction) {
  Arrive(0x200, "B");
  Kill(0x999, 0x200);  // an unknown victim
  Kill(0x200, 0x999);  // an unknown killer: the level killed him
  EXPECT_EQ(doc_->GetKills(1, 1), 1);
  EXPECT_EQ(doc_->GetKills(1, 0), 0);
  EXPECT_EQ(doc_->GetScoreSlotCount(), 2);
}

TEST_F(NetPlayers, TheLocalVictimReportsItsDeathToEverybodyGuaranteed) {
  Arrive(0x200, "B");
  doc_->OnPlayerKilled(doc_->GetLocalPlayer(), doc_->FindPlayer(0x200));
  const auto kills = SentOfType(kNetTypeKill);
  ASSERT_EQ(kills.size(), 1u);
  EXPECT_EQ(kills[0].to, DPID_ALLPLAYERS);
  EXPECT_EQ(NetReadU32(kills[0].bytes.data()), kNetCodeBase + kNetAckRequested + kNetTypeKill);
  EXPECT_EQ(NetReadU32(kills[0].bytes.data() + 4), local_);
  EXPECT_EQ(NetReadU32(kills[0].bytes.data() + 12), 0x200u);
  EXPECT_EQ(kills[0].bytes[16], 1);
  EXPECT_EQ(doc_->GetKills(0, 1), 1);
}

TEST_F(NetPlayers, HostBringsANewcomerUpToDateWithTheScoreboard) {
  g_Net.SetHost();
  Arrive(0x200, "B");
  Kill(0x200, local_);
  Arrive(0x300, "C");
  const auto states = SentOfType(kNetTypeGameState);
  ASSERT_EQ(states.size(), 2u);
  EXPECT_EQ(states[1].to, 0x300u);
  ASSERT_EQ(states[1].bytes.size(), kNetGameStateSize);
  // The same bytes on another program (here: after the scoreboard changed)
  // bring back that scoreboard.
  Kill(0x300, 0x300);
  doc_->HandleNetMessage(local_, 0x300, states[1].bytes.data(), states[1].bytes.size());
  EXPECT_EQ(doc_->GetScoreSlotCount(), 3);
  EXPECT_EQ(std::string(doc_->GetScoreName(2)), "C");
  EXPECT_EQ(doc_->GetKills(1, 0), 1);
  EXPECT_EQ(doc_->GetKills(2, 2), 0);
}

TEST_F(NetPlayers, ScoreSlotsIgnoreCaseAndTheEleventhNameTakesTheWeakestAbsentSlot) {
  Arrive(0x200, "X");
  Arrive(0x300, "S");
  Kill(0x300, 0x200);
  Kill(0x300, 0x200);
  Kill(0x300, 0x300);  // X at 2, S at -1
  for (DPID id : {0x200u, 0x300u}) doc_->PlayerLeft(id);
  EXPECT_EQ(doc_->AllocScoreSlot("ACE"), 3);
  EXPECT_EQ(doc_->AllocScoreSlot("Ace"), 3);
  for (int i = 4; i < 10; ++i) doc_->AllocScoreSlot(("P" + std::to_string(i)).c_str());
  ASSERT_EQ(doc_->GetScoreSlotCount(), 10);
  EXPECT_EQ(doc_->AllocScoreSlot("NEW"), 2);
  EXPECT_EQ(std::string(doc_->GetScoreName(2)), "NEW");
  EXPECT_EQ(doc_->GetKills(2, 1), 0);  // the slot's row and column start again
  EXPECT_EQ(doc_->GetKills(2, 2), 0);
}

TEST_F(NetPlayers, ALeavingPlayerGoesButKeepsHisSlot) {
  Arrive(0x200, "B");
  DPMSG_DESTROYPLAYERORGROUP gone{DPSYS_DESTROYPLAYERORGROUP, DPPLAYERTYPE_PLAYER, 0x200, {}};
  doc_->HandleNetMessage(DPID_SYSMSG, local_, &gone, sizeof gone);
  EXPECT_EQ(doc_->FindPlayer(0x200), nullptr);
  EXPECT_EQ(doc_->GetScoreSlotCount(), 2);
  gone.dpId = 0x999;  // unknown: nothing
  doc_->HandleNetMessage(DPID_SYSMSG, local_, &gone, sizeof gone);
}

TEST_F(NetPlayers, ChatLineIsUpperCasedAndSentWithTheNameOnEnter) {
  Arrive(0x200, "B");
  doc_->OnConsoleChar(13);  // opens, then an empty line closes and sends nothing
  EXPECT_FALSE(doc_->IsConsoleOpen());
  for (char c : std::string("hi!")) doc_->OnConsoleKey(static_cast<UINT>(c));
  doc_->OnConsoleKey(200);  // out of range
  doc_->OnConsoleChar(8);   // backspace
  EXPECT_EQ(std::string(doc_->GetConsoleText()), "HI");
  doc_->OnConsoleChar(13);
  EXPECT_FALSE(doc_->IsConsoleOpen());
  const auto chats = SentOfType(kNetTypeChat);
  ASSERT_EQ(chats.size(), 1u);
  EXPECT_EQ(chats[0].bytes.size(), std::strlen("A> HI") + kNetTextOverhead);
  EXPECT_STREQ(reinterpret_cast<const char*>(chats[0].bytes.data() + kNetTextOffset), "A> HI");
}

TEST_F(NetPlayers, PlayerDataBeforeTheCreationMakesTheRecord) {
  uint8_t block[kPlayerStateCompactSize] = {};
  NetWriteU32(block, 500);
  NetWriteU32(block + 4, kPlayerStateCompact | kPlayerStateShown);
  NetWriteF32(block + 8, 42.0f);
  DPMSG_SETPLAYERORGROUPDATA m{DPSYS_SETPLAYERORGROUPDATA, DPPLAYERTYPE_PLAYER, 0x200, nullptr, sizeof block};
  alignas(8) uint8_t buffer[sizeof m + sizeof block];
  m.lpData = buffer + sizeof m;
  std::memcpy(buffer, &m, sizeof m);
  std::memcpy(buffer + sizeof m, block, sizeof block);
  doc_->HandleNetMessage(DPID_SYSMSG, local_, buffer, sizeof buffer);
  CDirectPlayer* player = doc_->FindPlayer(0x200);
  ASSERT_NE(player, nullptr);
  EXPECT_EQ(player->GetX(), 42.0f);
}

// ---------------------------------------------------------------------------
// State blocks

TEST(PlayerStateAngles, IdentityAndThePoleAndBack) {
  Matrix identity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  float a, b, c;
  PlayerStateAngles(identity, &a, &b, &c);
  EXPECT_EQ(a, 0.0f);
  EXPECT_EQ(b, 0.0f);
  EXPECT_EQ(c, 0.0f);
  // Heading straight up: h is 0, c is 0 and a comes from the y axis.
  Matrix pole = {0, 0, 1, 0, 0, 1, 0, 0, -1, 0, 0, 0, 0, 0, 0, 1};  // heading along -x
  PlayerStateAngles(pole, &a, &b, &c);
  EXPECT_EQ(c, 0.0f);
  Matrix rebuilt = {};
  PlayerStateMatrix(a, b, c, rebuilt);
  for (int i : {0, 1, 2, 4, 5, 6, 8, 9, 10}) EXPECT_NEAR(rebuilt[i], pole[i], 1e-5f) << i;
  // A general orientation comes back.
  Matrix turned = {};
  PlayerStateMatrix(0.3f, -0.7f, 1.1f, turned);
  PlayerStateAngles(turned, &a, &b, &c);
  EXPECT_NEAR(a, 0.3f, 1e-5f);
  EXPECT_NEAR(b, -0.7f, 1e-5f);
  EXPECT_NEAR(c, 1.1f, 1e-5f);
}

std::vector<uint8_t> Compact(uint32_t time, float x) {
  std::vector<uint8_t> block(kPlayerStateCompactSize, 0);
  NetWriteU32(block.data(), time);
  NetWriteU32(block.data() + 4, kPlayerStateCompact | kPlayerStateShown);
  NetWriteF32(block.data() + 8, x);
  return block;
}

std::vector<uint8_t> Full(uint32_t time, float radius) {
  PlayerStateBlock state{};
  state.time = time;
  state.flags = kPlayerStateShown | kPlayerStateDead;
  state.matrix[0] = state.matrix[5] = state.matrix[10] = state.matrix[15] = 1.0f;
  state.matrix[12] = 7.0f;
  state.radius = radius;
  std::vector<uint8_t> block(kPlayerStateFullSize);
  PlayerStateWriteFull(state, block.data());
  return block;
}

TEST(PlayerStateApply, BlocksAreTakenInOrderAndRefusedWhenShortOrUnsound) {
  CDirectPlayer player("B", "AA", 0x200);
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  EXPECT_TRUE(player.ApplyRemoteState(Compact(1200, 5.0f).data(), kPlayerStateCompactSize));
  EXPECT_EQ(player.GetX(), 5.0f);
  const struct {
    const char* what;
    std::vector<uint8_t> block;
    size_t size;
    bool applied;
    float x;
  } cases[] = {
      {"older", Compact(1000, 6.0f), kPlayerStateCompactSize, false, 5.0f},
      {"equal time", Compact(1200, 6.0f), kPlayerStateCompactSize, true, 6.0f},
      {"compact cut", Compact(1300, 7.0f), kPlayerStateCompactSize - 1, false, 6.0f},
      {"compact NaN", Compact(1300, nan), kPlayerStateCompactSize, false, 6.0f},
      {"compact infinite", Compact(1300, inf), kPlayerStateCompactSize, false, 6.0f},
      {"full cut", Full(1300, 9.0f), kPlayerStateFullSize - 1, false, 6.0f},
      {"full zero radius", Full(1300, 0.0f), kPlayerStateFullSize, false, 6.0f},
      {"full negative radius", Full(1300, -1.0f), kPlayerStateFullSize, false, 6.0f},
      {"full radius past 100 ships", Full(1300, 100.0f * kShipDefaultRadius + 1.0f), kPlayerStateFullSize, false, 6.0f},
      {"full NaN radius", Full(1300, nan), kPlayerStateFullSize, false, 6.0f},
      {"header only", Compact(1300, 1.0f), 7, false, 6.0f},
      {"full", Full(1300, 9.0f), kPlayerStateFullSize, true, 7.0f},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(player.ApplyRemoteState(c.block.data(), c.size), c.applied) << c.what;
    EXPECT_EQ(player.GetX(), c.x) << c.what;
  }
  EXPECT_EQ(player.GetRadius(), 9.0f);
  EXPECT_TRUE(player.IsDead());
}

TEST(PlayerStateArchive, TimesAreStoredRelativeToTheGameClockAndBooleansAsOneByte) {
  const int32_t saved = g_GameTime;
  g_GameTime = 50000;
  CDirectPlayer player("B", "CD", 0x200);
  ASSERT_TRUE(player.ApplyRemoteState(Compact(49990, 3.0f).data(), kPlayerStateCompactSize));
  CMemFile file;
  {
    CArchive archive(&file, CArchive::store);
    player.Serialize(archive);
    ArchiveStoreBool(archive, true);
    ArchiveStoreBool(archive, false);
    archive << static_cast<uint8_t>(7);
    archive.Close();
  }
  std::vector<uint8_t> bytes = file.Data();
  ASSERT_GE(bytes.size(), 3u);
  EXPECT_EQ(bytes[bytes.size() - 3], 1);
  EXPECT_EQ(bytes[bytes.size() - 2], 0);
  g_GameTime = 1000;
  CMemFile in(bytes);
  CArchive archive(&in, CArchive::load);
  CDirectPlayer loaded;
  loaded.Serialize(archive);
  bool first = false, second = true, third = false;
  ArchiveLoadBool(archive, first);
  ArchiveLoadBool(archive, second);
  ArchiveLoadBool(archive, third);
  EXPECT_EQ(loaded.GetId(), 0x200u);
  EXPECT_EQ(std::string(loaded.GetName()), "B");
  EXPECT_EQ(std::string(loaded.GetLongName()), "CD");
  EXPECT_EQ(loaded.GetLastRemoteTime(), 990u);  // -10 from the saving clock
  EXPECT_EQ(loaded.GetX(), 3.0f);
  EXPECT_TRUE(loaded.IsRemote());
  EXPECT_TRUE(first);
  EXPECT_FALSE(second);
  EXPECT_TRUE(third);  // any non-zero byte
  g_GameTime = saved;
}

}  // namespace
