// The DirectPlay stand-in on this machine's loopback: several objects in one
// process play the programs of one session.
#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "platform/direct_play.h"
#include "platform/enet/enet_network.h"
#include "platform/enet/wire.h"
#include "platform/network.h"
#include "tests/support/process_info.h"
#include "tests/support/temp_folder.h"

namespace {

constexpr GUID kApp = {0x11223344, 0x5566, 0x7788, {1, 2, 3, 4, 5, 6, 7, 8}};

// A port of this test process's own, so that parallel tests don't meet.
std::string TestPort() {
  static int next = 0;
  return std::to_string(20000 + (ProcessId() * 7 + next++) % 30000);
}

struct Received {
  DPID from = 0, to = 0;
  std::vector<uint8_t> bytes;
  DWORD type() const {
    DWORD t = 0;
    std::memcpy(&t, bytes.data(), 4);
    return t;
  }
  template <typename T>
  const T& as() const {
    return *reinterpret_cast<const T*>(bytes.data());
  }
};

class Program {
 public:
  explicit Program(const char* test = "") {
    dp_ = EnetDirectPlayCreate(NetTestSwitchesParse(test));
    DPADDRESS address{};
    address.serviceProvider = DPSPGUID_TCPIP;
    EXPECT_EQ(dp_->InitializeConnection(&address, 0), DP_OK);
  }
  IDirectPlay3A* operator->() { return dp_.get(); }

  HRESULT Create(const char* name, DWORD maxPlayers = 8, DWORD flags = DPSESSION_MIGRATEHOST | DPSESSION_KEEPALIVE) {
    DPSESSIONDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.guidApplication = kApp;
    desc.dwMaxPlayers = maxPlayers;
    desc.lpszSessionNameA = name;
    desc.dwUser1 = 12;
    return dp_->Open(&desc, DPOPEN_CREATE);
  }

  std::vector<std::pair<DPSESSIONDESC2, std::string>> Enumerate() {
    std::vector<std::pair<DPSESSIONDESC2, std::string>> found;
    DPSESSIONDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.guidApplication = kApp;
    auto callback = [](const DPSESSIONDESC2* d, DWORD*, DWORD flags, void* context) -> BOOL {
      if (flags & DPESC_TIMEDOUT) return FALSE;
      static_cast<decltype(found)*>(context)->push_back({*d, d->lpszSessionNameA});
      return TRUE;
    };
    EXPECT_EQ(dp_->EnumSessions(&desc, 200, callback, &found, DPENUMSESSIONS_AVAILABLE), DP_OK);
    return found;
  }

  HRESULT Join() {
    auto found = Enumerate();
    if (found.empty()) return DPERR_NOSESSIONS;
    DPSESSIONDESC2 desc{};
    desc.dwSize = sizeof desc;
    desc.guidInstance = found[0].first.guidInstance;
    return dp_->Open(&desc, DPOPEN_JOIN);
  }

  DPID AddPlayer(const char* shortName, const char* longName, const std::string& data = "") {
    DPNAME name{sizeof(DPNAME), 0, shortName, longName};
    DPID id = 0;
    EXPECT_EQ(dp_->CreatePlayer(&id, &name, nullptr, data.data(), static_cast<DWORD>(data.size()), 0), DP_OK);
    return id;
  }

  // Receives until a message satisfies want (or a second passes).
  template <typename Want>
  bool WaitFor(Want want, Received* out = nullptr) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < end) {
      Received r;
      if (Next(&r)) {
        if (want(r)) {
          if (out) *out = r;
          return true;
        }
        continue;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return false;
  }
  bool WaitForSystem(DWORD type, Received* out = nullptr) {
    return WaitFor([type](const Received& r) { return r.from == DPID_SYSMSG && r.type() == type; }, out);
  }

  // Every user message that arrives within ms.
  std::vector<Received> Drain(int ms) {
    std::vector<Received> all;
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (std::chrono::steady_clock::now() < end) {
      Received r;
      if (Next(&r)) {
        if (r.from != DPID_SYSMSG) all.push_back(r);
      } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
      }
    }
    return all;
  }

 private:
  bool Next(Received* r) {
    DWORD size = static_cast<DWORD>(buffer_.size());
    HRESULT hr = dp_->Receive(&r->from, &r->to, DPRECEIVE_ALL, buffer_.data(), &size);
    if (hr == DPERR_BUFFERTOOSMALL) {
      buffer_.resize((size + 7) / 8);
      size = static_cast<DWORD>(buffer_.size() * 8);
      hr = dp_->Receive(&r->from, &r->to, DPRECEIVE_ALL, buffer_.data(), &size);
    }
    if (hr != DP_OK) return false;
    const auto* bytes = reinterpret_cast<const uint8_t*>(buffer_.data());
    r->bytes.assign(bytes, bytes + size);
    // A system message's pointers point into the buffer: it is kept.
    if (r->from == DPID_SYSMSG) {
      kept_.push_back(std::move(buffer_));
      buffer_.assign(2, 0);
    }
    return true;
  }

  std::unique_ptr<IDirectPlay3A> dp_;
  std::vector<uint64_t> buffer_ = std::vector<uint64_t>(2);  // 16 bytes: small on purpose
  std::vector<std::vector<uint64_t>> kept_;
};

class DirectPlayLoopback : public ::testing::Test {
 protected:
  std::string port_ = TestPort();
  std::string hosts_ = "127.0.0.1:" + port_;
  ScopedEnv portEnv_{"KORVANE_NET_PORT", port_.c_str()};
  ScopedEnv hostsEnv_{"KORVANE_NET_HOSTS", hosts_.c_str()};
};

TEST_F(DirectPlayLoopback, SessionIsFoundJoinedAndCarriesPlayersDataAndMessages) {
  Program host, guest;
  ASSERT_EQ(host.Create("Duel"), DP_OK);
  const DPID a = host.AddPlayer("ACE", "AB", "state-of-ace");

  auto found = guest.Enumerate();
  ASSERT_EQ(found.size(), 1u);
  EXPECT_EQ(found[0].second, "Duel");
  EXPECT_EQ(found[0].first.dwMaxPlayers, 8u);
  EXPECT_EQ(found[0].first.dwCurrentPlayers, 1u);
  EXPECT_EQ(found[0].first.dwUser1, 12u);
  ASSERT_EQ(guest.Join(), DP_OK);

  // The joiner learns of the host's player through its data.
  Received r;
  ASSERT_TRUE(guest.WaitForSystem(DPSYS_SETPLAYERORGROUPDATA, &r));
  EXPECT_EQ(r.as<DPMSG_SETPLAYERORGROUPDATA>().dpId, a);
  EXPECT_EQ(std::string(static_cast<const char*>(r.as<DPMSG_SETPLAYERORGROUPDATA>().lpData),
                        r.as<DPMSG_SETPLAYERORGROUPDATA>().dwDataSize),
            "state-of-ace");

  const DPID b = guest.AddPlayer("Bob", "CD", "bob0");
  ASSERT_TRUE(host.WaitForSystem(DPSYS_CREATEPLAYERORGROUP, &r));
  const auto& created = r.as<DPMSG_CREATEPLAYERORGROUP>();
  EXPECT_EQ(created.dpId, b);
  EXPECT_STREQ(created.dpnName.lpszShortNameA, "Bob");
  EXPECT_STREQ(created.dpnName.lpszLongNameA, "CD");
  EXPECT_EQ(std::string(static_cast<const char*>(created.lpData), created.dwDataSize), "bob0");

  // Names, with the buffer-too-small answer first.
  DWORD size = 4;
  alignas(8) char names[64];
  EXPECT_EQ(host->GetPlayerName(b, names, &size), DPERR_BUFFERTOOSMALL);
  EXPECT_EQ(size, sizeof(DPNAME) + 4 + 3);
  ASSERT_EQ(host->GetPlayerName(b, names, &size), DP_OK);
  EXPECT_STREQ(reinterpret_cast<DPNAME*>(names)->lpszShortNameA, "Bob");

  ASSERT_EQ(guest->SetPlayerData(b, "bob1", 4, 0), DP_OK);
  ASSERT_TRUE(host.WaitForSystem(DPSYS_SETPLAYERORGROUPDATA, &r));
  EXPECT_EQ(std::string(static_cast<const char*>(r.as<DPMSG_SETPLAYERORGROUPDATA>().lpData), 4), "bob1");
  EXPECT_EQ(guest->SetPlayerData(a, "x", 1, 0), DPERR_INVALIDPLAYER);  // not its own player

  // A message longer than the receive buffer comes whole after the answer.
  const std::string text(100, 'z');
  ASSERT_EQ(host->Send(a, DPID_ALLPLAYERS, DPSEND_GUARANTEED, text.data(), 100), DP_OK);
  ASSERT_TRUE(guest.WaitFor([](const Received& m) { return m.from != DPID_SYSMSG; }, &r));
  EXPECT_EQ(r.from, a);
  EXPECT_EQ(r.to, b);
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), text);
  ASSERT_EQ(guest->Send(b, a, 0, "hi", 2), DP_OK);
  ASSERT_TRUE(host.WaitFor([](const Received& m) { return m.from != DPID_SYSMSG; }, &r));
  EXPECT_EQ(std::string(r.bytes.begin(), r.bytes.end()), "hi");

  std::vector<uint8_t> huge(kDirectPlayMaxMessage + 1);
  EXPECT_EQ(host->Send(a, b, 0, huge.data(), static_cast<DWORD>(huge.size())), DPERR_SENDTOOBIG);

  // Leaving: the other side sees the player go.
  ASSERT_EQ(guest->DestroyPlayer(b), DP_OK);
  ASSERT_TRUE(host.WaitForSystem(DPSYS_DESTROYPLAYERORGROUP, &r));
  EXPECT_EQ(r.as<DPMSG_DESTROYPLAYERORGROUP>().dpId, b);
}

TEST_F(DirectPlayLoopback, HostLeavingHandsTheSessionToTheOldestProgram) {
  Program host, second, third;
  ASSERT_EQ(host.Create("Migrate"), DP_OK);
  const DPID h = host.AddPlayer("H", "AA");
  ASSERT_EQ(second.Join(), DP_OK);
  const DPID s = second.AddPlayer("S", "AA");
  ASSERT_EQ(third.Join(), DP_OK);
  const DPID t = third.AddPlayer("T", "AA");
  ASSERT_TRUE(second.WaitForSystem(DPSYS_CREATEPLAYERORGROUP));

  ASSERT_EQ(host->Close(), DP_OK);
  Received r;
  ASSERT_TRUE(second.WaitForSystem(DPSYS_DESTROYPLAYERORGROUP, &r));
  EXPECT_EQ(r.as<DPMSG_DESTROYPLAYERORGROUP>().dpId, h);
  EXPECT_TRUE(second.WaitForSystem(DPSYS_HOST));
  EXPECT_TRUE(third.WaitForSystem(DPSYS_DESTROYPLAYERORGROUP));

  // The session goes on between the two, and the new host answers
  // enumeration and takes a new player.
  ASSERT_EQ(third->Send(t, s, DPSEND_GUARANTEED, "on", 2), DP_OK);
  ASSERT_TRUE(second.WaitFor([](const Received& m) { return m.from != DPID_SYSMSG; }, &r));
  EXPECT_EQ(r.from, t);
  DPCAPS caps{};
  caps.dwSize = sizeof caps;
  ASSERT_EQ(second->GetCaps(&caps, 0), DP_OK);
  EXPECT_TRUE(caps.dwFlags & DPCAPS_ISHOST);
}

TEST_F(DirectPlayLoopback, HostLeavingASessionWithoutMigrationLosesIt) {
  Program host, guest;
  ASSERT_EQ(host.Create("Fixed", 8, DPSESSION_KEEPALIVE), DP_OK);
  host.AddPlayer("H", "AA");
  ASSERT_EQ(guest.Join(), DP_OK);
  ASSERT_EQ(host->Close(), DP_OK);
  EXPECT_TRUE(guest.WaitForSystem(DPSYS_SESSIONLOST));
}

TEST_F(DirectPlayLoopback, FullSessionRefusesAJoin) {
  Program host, second, third;
  ASSERT_EQ(host.Create("Pair", 2), DP_OK);
  ASSERT_EQ(second.Join(), DP_OK);
  EXPECT_EQ(third.Join(), DPERR_ACCESSDENIED);
}

TEST_F(DirectPlayLoopback, NothingToFindOrJoinWithoutAHost) {
  Program lonely;
  EXPECT_TRUE(lonely.Enumerate().empty());
  DPSESSIONDESC2 desc{};
  desc.dwSize = sizeof desc;
  EXPECT_EQ(lonely->Open(&desc, DPOPEN_JOIN), DPERR_NOSESSIONS);
}

// The test switch: what the capabilities claim, and faults on unguaranteed
// messages (guaranteed ones are never touched).
TEST_F(DirectPlayLoopback, TestSwitchInjectsFaultsIntoUnguaranteedMessagesOnly) {
  struct Case {
    const char* test;
    bool guaranteedCaps;
    size_t unguaranteedArrivals;  // of 20 sent
  } cases[] = {{"", true, 20}, {"noguarantee,loss=100", false, 0}, {"noguarantee,dup=100", false, 40}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.test);
    Program host(c.test), guest;
    ASSERT_EQ(host.Create("Faults"), DP_OK);
    const DPID a = host.AddPlayer("A", "AA");
    ASSERT_EQ(guest.Join(), DP_OK);
    const DPID b = guest.AddPlayer("B", "AA");
    ASSERT_TRUE(host.WaitForSystem(DPSYS_CREATEPLAYERORGROUP));
    DPCAPS caps{};
    caps.dwSize = sizeof caps;
    ASSERT_EQ(host->GetCaps(&caps, DPGETCAPS_GUARANTEED), DP_OK);
    EXPECT_EQ((caps.dwFlags & (DPCAPS_GUARANTEEDOPTIMIZED | DPCAPS_GUARANTEEDSUPPORTED)) != 0, c.guaranteedCaps);
    EXPECT_GE(caps.dwTimeout, 1u);
    for (uint8_t i = 0; i < 20; ++i) ASSERT_EQ(host->Send(a, b, 0, &i, 1), DP_OK);
    ASSERT_EQ(host->Send(a, b, DPSEND_GUARANTEED, "G", 1), DP_OK);
    // Everything expected arrives however busy the machine is; then a short
    // while more shows that nothing beyond it comes.
    size_t guaranteed = 0, unguaranteed = 0;
    auto count = [&](const std::vector<Received>& arrived) {
      for (const Received& r : arrived) (r.bytes.size() == 1 && r.bytes[0] == 'G' ? guaranteed : unguaranteed)++;
    };
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while ((guaranteed < 1 || unguaranteed < c.unguaranteedArrivals) && std::chrono::steady_clock::now() < end) {
      count(guest.Drain(20));
    }
    count(guest.Drain(100));
    EXPECT_EQ(guaranteed, 1u);
    EXPECT_EQ(unguaranteed, c.unguaranteedArrivals);
  }
}

TEST(DirectPlay, OnlyTheInternetServiceProviderStandsHere) {
  auto dp = EnetDirectPlayCreate({});
  DPADDRESS address{};
  address.serviceProvider = DPSPGUID_IPX;
  EXPECT_EQ(dp->InitializeConnection(&address, 0), DPERR_UNAVAILABLE);
  address.serviceProvider = DPSPGUID_TCPIP;
  EXPECT_EQ(dp->InitializeConnection(&address, 0), DP_OK);
  EXPECT_EQ(dp->InitializeConnection(&address, 0), DPERR_ALREADYINITIALIZED);
}

// --- the stand-in's own packets, fed by hand from peers that never connected

using Fed = DirectPlayFedPacket;

void Guid(WireWriter& w, const GUID& g) {
  w.U32(g.Data1);
  w.U16(g.Data2);
  w.U16(g.Data3);
  w.Bytes(g.Data4, 8);
}
Fed Packet(uint8_t peer, const WireWriter& w) { return {Fed::kPacket, peer, w.bytes()}; }
Fed Join(uint8_t peer) {
  WireWriter w;
  w.U8('J');
  Guid(w, kDirectPlayFeedInstance);
  return Packet(peer, w);
}
Fed Hello(uint8_t peer, uint16_t node) {
  WireWriter w;
  w.U8('H');
  w.U16(node);
  Guid(w, kDirectPlayFeedInstance);
  return Packet(peer, w);
}
void Player(WireWriter& w, DPID id) {
  w.U32(id);
  w.Text("P");
  w.Text("PILOT");
  w.Blob({1, 2});
}
Fed PlayerMade(uint8_t peer, DPID id) {
  WireWriter w;
  w.U8('P');
  Player(w, id);
  return Packet(peer, w);
}
// The host's answer to a join: our node, the host's, the session, the
// other members and the players.
Fed Accepted(uint16_t node, uint32_t maxPlayers, std::vector<uint16_t> others, std::vector<DPID> players) {
  WireWriter w;
  w.U8('A');
  w.U16(node);
  w.U16(1);
  w.U32(DPSESSION_MIGRATEHOST);
  Guid(w, kDirectPlayFeedInstance);
  Guid(w, kDirectPlayFeedApplication);
  w.U32(maxPlayers);
  for (int user = 0; user < 4; ++user) w.U32(0);
  w.Text("FEED");
  w.U16(static_cast<uint16_t>(others.size()));
  for (uint16_t other : others) {
    w.U16(other);
    w.U32(0x0100007F);
    w.U16(47624);
  }
  w.U16(static_cast<uint16_t>(players.size()));
  for (DPID id : players) Player(w, id);
  return Packet(0, w);
}

DirectPlayFeedOutcome Feed(DirectPlayFeedState state, const std::vector<Fed>& packets, int* messages = nullptr) {
  int count = 0;
  DirectPlayFeedOutcome outcome = EnetDirectPlayFeed(state, packets, [&](DPID, DPID, const uint8_t*, DWORD) { ++count; });
  if (messages) *messages = count;
  return outcome;
}

// An empty name or player data is read without a copy into storage that an
// empty string or vector may not have (a null pointer, which the undefined-
// behaviour sanitizer stops on).
TEST(DirectPlayPackets, EmptyNamesAndDataAreReadWithoutACopy) {
  WireWriter w;
  w.Text("");
  w.Blob({});
  w.U8(7);
  WireReader r(w.bytes().data(), w.bytes().size());
  EXPECT_EQ(r.Text(), "");
  EXPECT_TRUE(r.Blob(16).empty());
  EXPECT_EQ(r.U8(), 7);
  EXPECT_TRUE(r.ok());
  EXPECT_TRUE(r.Blob(16).empty());  // past the end: failed, nothing written
  EXPECT_FALSE(r.ok());
}

// A host gives each program one node number: a member's repeated join or
// hello gets it no second one, and when the numbers run out a join is
// refused rather than given node 0 (which would make the newcomer the
// host in every program's eyes).
TEST(DirectPlayPackets, AProgramIsOneNodeAndNodeNumbersNeverWrapToZero) {
  const struct {
    const char* what;
    std::vector<Fed> packets;
    size_t nodes;
  } cases[] = {
      {"a join twice", {Join(0), Join(0)}, 1},
      {"a join, then a hello under another number", {Join(0), Hello(0, 7)}, 1},
      {"a hello, then a join", {Hello(0, 7), Join(0)}, 1},
      {"the last numbers", {Hello(1, 65534), Join(2), Join(3)}, 2},
  };
  for (const auto& c : cases) {
    const DirectPlayFeedOutcome outcome = Feed(DirectPlayFeedState::kHosting, c.packets);
    EXPECT_EQ(outcome.broken, "") << c.what;
    EXPECT_EQ(outcome.nodes, c.nodes) << c.what;
    EXPECT_TRUE(outcome.isHost) << c.what;
  }
}

TEST(DirectPlayPackets, MembersMakeNoMorePlayersThanTheSessionHolds) {
  std::vector<Fed> packets = {Join(0)};
  for (DPID n = 1; n <= 10; ++n) packets.push_back(PlayerMade(0, 2u << 16 | n));
  int messages = 0;
  const DirectPlayFeedOutcome outcome = Feed(DirectPlayFeedState::kHosting, packets, &messages);
  EXPECT_EQ(outcome.broken, "");
  EXPECT_EQ(outcome.players, 8u);  // the host's own and 7 of the member's
  EXPECT_EQ(messages, 7);
}

// A joiner takes only a session the host could have made: 1..8 players,
// and every player on the host's or another member's node, none on its own.
TEST(DirectPlayPackets, AJoinerRefusesAnAcceptanceNoHostCouldSend) {
  const DPID host = 1u << 16 | 1, third = 3u << 16 | 1;
  const struct {
    const char* what;
    Fed accepted;
    bool joins;
  } cases[] = {
      {"a sound one", Accepted(2, 8, {3}, {host, third}), true},
      {"a player on the joiner's own node", Accepted(2, 8, {3}, {host, 2u << 16 | 1}), false},
      {"a player of no member", Accepted(2, 8, {3}, {host, 5u << 16 | 1}), false},
      {"no players allowed", Accepted(2, 0, {}, {}), false},
      {"nine players allowed", Accepted(2, 9, {}, {host}), false},
      {"more players than allowed", Accepted(2, 2, {3}, {host, third, third + 1}), false},
      {"the joiner's node among the others", Accepted(2, 8, {2}, {host}), false},
  };
  for (const auto& c : cases) {
    int messages = 0;
    const DirectPlayFeedOutcome outcome = Feed(DirectPlayFeedState::kJoining, {c.accepted}, &messages);
    EXPECT_EQ(outcome.broken, "") << c.what;
    EXPECT_EQ(outcome.inSession, c.joins) << c.what;
    EXPECT_EQ(outcome.players, c.joins ? 2u : 0u) << c.what;
    EXPECT_EQ(messages, c.joins ? 2 : 0) << c.what;  // each player's data
  }
}

TEST(DirectPlayPackets, AnEnumerationTakesEachSessionOfItsApplicationOnce) {
  auto answer = [](const GUID& application, bool cut) {
    WireWriter w;
    w.Bytes("KVER", 4);
    w.U32(0);
    Guid(w, kDirectPlayFeedInstance);
    Guid(w, application);
    for (int field = 0; field < 6; ++field) w.U32(8);
    w.Text("FEED");
    if (!cut) {
      w.U32(0);
      w.U16(0);
    }
    return Fed{Fed::kDatagram, 0, w.bytes()};
  };
  const GUID other = {1, 2, 3, {4, 5, 6, 7, 8, 9, 10, 11}};
  const DirectPlayFeedOutcome outcome =
      Feed(DirectPlayFeedState::kEnumerating, {answer(kDirectPlayFeedApplication, true), answer(other, false),
                                               answer(kDirectPlayFeedApplication, false),
                                               answer(kDirectPlayFeedApplication, false)});
  EXPECT_EQ(outcome.sessionsFound, std::vector<std::string>{"FEED"});
}

}  // namespace
