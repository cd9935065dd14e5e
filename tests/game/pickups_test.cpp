// Pick-ups in the demo mission: collecting each kind and its effect on the
// inventory at and near its capacities, the refusal of a full inventory and
// its retry, respawns in a network game and the copies the hide and show
// messages steer, the back pack that carries a dead ship's inventory to
// another, the level's animated objects, pick-up placement and respawn
// points, and the spinning clocks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/instance.h"
#include "engine/model.h"
#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "game/direct_player.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "game/net_wire.h"
#include "game/network_game.h"
#include "game/network_layer.h"
#include "platform/crt_random.h"
#include "tests/game/document_fixture.h"
#include "tests/game/fake_direct_play.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/demo_models.h"
#include "world/document/level_objects.h"
#include "world/objects/back_pack.h"
#include "world/objects/object_list.h"
#include "world/objects/object_manager.h"
#include "world/objects/object_type_codes.h"
#include "world/objects/supply.h"

namespace {

std::vector<std::pair<int, bool>> g_Sounds;
void RecordSound(int id, bool positioned) { g_Sounds.emplace_back(id, positioned); }
int CountSound(int id) {
  return static_cast<int>(std::count_if(g_Sounds.begin(), g_Sounds.end(), [&](auto& s) { return s.first == id; }));
}

bool InWorld(const World* world, const Instance* instance) {
  for (const Instance* at = world->firstInstance; at; at = at->next) {
    if (at == instance) return true;
  }
  return false;
}

class PickupsTest : public DocumentTest {
 protected:
  void SetUp() override {
    DocumentTest::SetUp();
    g_GameTime = 50000;
    g_Sounds.clear();
    g_SupplySoundObserver = &RecordSound;
  }
  void TearDown() override {
    g_SupplySoundObserver = nullptr;
    g_LocalTimeSource = nullptr;
    items_.clear();
    g_Net.Close();
    DocumentTest::TearDown();
  }
  // The demo mission at a difficulty, its own level or an edited one.
  void Start(int difficulty = 2, const std::function<void(DemoLevel*)>& edit = {}) {
    if (edit) {
      ArchiveWriter mission = ArchiveWithout(DemoMissionArchive(), kDemoLevelMember);
      ASSERT_TRUE(mission.AddMember(kDemoLevelMember, DemoLevelMember(edit)));
      ASSERT_TRUE(mission.WriteFile(folder_.Join("M1.CAN")));
    }
    MakeInterface(difficulty);
    MakeDocument();
    ASSERT_TRUE(doc_->StartLevel());
    ship_ = doc_->GetLocalPlayer();
    ASSERT_NE(ship_, nullptr);
    doc_->SetInvulnerable(false);
  }
  void Advance(int ms) { g_GameTime = GameTimeAdd(g_GameTime, ms); }
  void JoinNetwork() {
    DPADDRESS address{};
    ASSERT_TRUE(g_Net.InitConnection(address, std::make_unique<FakeDirectPlay>(&sends_)));
    ASSERT_TRUE(IsNetworkGame());
    // Someone far away to whom the messages go.
    if (doc_) {
      auto* other = new CDirectPlayer("t", "TT", 0xF00);
      doc_->AddPlayer(other);
      Place(other, 5000, 5000, 5000);
    }
  }
  // The messages of a type with that action sent so far.
  std::vector<std::vector<uint8_t>> Sent(uint16_t type, uint8_t action) const {
    std::vector<std::vector<uint8_t>> found;
    for (const FakeSend& s : sends_) {
      if (s.bytes.size() > 16 && (NetReadU32(s.bytes.data()) & ~kNetAckRequested) == kNetCodeBase + type &&
          s.bytes[16] == action) {
        found.push_back(s.bytes);
      }
    }
    return found;
  }
  static void Place(CDirectPlayer* player, float x, float y, float z) {
    float* m = player->GetOrientation();
    m[12] = x, m[13] = y, m[14] = z;
  }
  void ClearInventory() {
    doc_->SetOwnedWeapons(0, 0);
    doc_->SetSelectedWeapons(0, 0);
    for (int counter = 0; counter < kAmmoCounters; ++counter) doc_->SetAmmo(counter, 0);
    doc_->SetCargoUnits(0);
    doc_->SetFreon(0.0f);
  }
  // An item of the kind lying where the ship is.
  CCommonSupply* Item(int kind) {
    Model* model = ModelFindByFileName(CNetDoc::GetPickupModelName(kind));
    EXPECT_NE(model, nullptr) << kind;
    Instance* instance = InstanceCreate(doc_->GetWorld(), model, ship_->GetX(), ship_->GetY(), ship_->GetZ(), 0, 0,
                                        0, 0);
    items_.push_back(std::make_unique<CCommonSupply>(0, doc_->NewObjectId(), instance, true));
    return items_.back().get();
  }
  // The ship stays on the item for 100 ms (too short), then 1 ms more:
  // what the update then answers.
  BOOL Touch(CSupply* item) {
    EXPECT_TRUE(item->Update(20));
    Advance(100);
    EXPECT_TRUE(item->Update(20)) << "100 ms are not enough";
    Advance(1);
    return item->Update(20);
  }
  // The newest line of the message log but back.
  CString Last(int back = 0) const {
    for (int line = CNetDoc::kMessageLines - 1; line >= 0; --line) {
      if (doc_->GetMessageText(line).IsEmpty()) continue;
      return line - back >= 0 ? doc_->GetMessageText(line - back) : CString();
    }
    return CString();
  }
  bool Logged(const std::string& text) const {
    for (int line = 0; line < CNetDoc::kMessageLines; ++line) {
      if (std::string(doc_->GetMessageText(line).GetString()) == text) return true;
    }
    return false;
  }
  template <class T>
  std::vector<T*> All() const {
    std::vector<T*> found;
    const CObjectList& list = g_pObjectManager->GetObjects();
    for (POSITION at = list.GetHeadPosition(); at;) {
      if (auto* object = dynamic_cast<T*>(list.GetNext(at))) found.push_back(object);
    }
    return found;
  }
  CCommonSupply* Named(const char* name) const {
    for (CCommonSupply* supply : All<CCommonSupply>()) {
      if (std::string(supply->GetName()) == name) return supply;
    }
    return nullptr;
  }
  int RecordsOf(const Instance* instance) const {
    int n = 0;
    for (POSITION at = doc_->AnimatedObjects().GetHeadPosition(); at;) {
      n += static_cast<AnimatedObject*>(doc_->AnimatedObjects().GetNext(at))->instance == instance;
    }
    return n;
  }
  // Every animation record points at an instance of the world.
  void ExpectRecordsInWorld() const {
    for (POSITION at = doc_->AnimatedObjects().GetHeadPosition(); at;) {
      auto* record = static_cast<AnimatedObject*>(doc_->AnimatedObjects().GetNext(at));
      EXPECT_TRUE(InWorld(doc_->GetWorld(), record->instance));
    }
  }
  Instance* InstanceNamed(const char* name) const {
    for (Instance* at = doc_->GetWorld()->firstInstance; at; at = at->next) {
      if (std::string(at->name) == name) return at;
    }
    return nullptr;
  }
  // A creation message of a pick-up of another program.
  static std::vector<uint8_t> CreationMessage(DPID owner, uint32_t id, int kind, float x, float y, float z) {
    std::vector<uint8_t> m(kSupplyCreateBytes, 0);
    NetWriteU32(m.data(), kNetCodeBase + PickupTypeCode(kind));
    NetWriteU32(m.data() + 4, owner);
    NetWriteU32(m.data() + 12, id);
    m[16] = 1;
    NetWriteF32(m.data() + 20, x);
    NetWriteF32(m.data() + 24, y);
    NetWriteF32(m.data() + 28, z);
    NetWriteF32(m.data() + 48, 0.5f);  // turned about y
    m[68] = 1;
    NetWriteU32(m.data() + 72, 15);
    NetWriteU32(m.data() + 76, 30);
    NetWriteU32(m.data() + 80, static_cast<uint32_t>(kind));
    return m;
  }
  static std::vector<uint8_t> ActionMessage(uint16_t type, DPID owner, uint32_t id, uint8_t action) {
    std::vector<uint8_t> m(kSupplyHeaderBytes, 0);
    NetWriteU32(m.data(), kNetCodeBase + type);
    NetWriteU32(m.data() + 4, owner);
    NetWriteU32(m.data() + 12, id);
    m[16] = action;
    return m;
  }
  void Receive(DPID from, const std::vector<uint8_t>& m) {
    doc_->HandleNetMessage(from, doc_->GetLocalPlayerId(), m.data(), m.size());
  }

  CDirectPlayer* ship_ = nullptr;
  std::vector<FakeSend> sends_;
  std::vector<std::unique_ptr<CCommonSupply>> items_;
};

// ---------------------------------------------------------------------------
// The inventory operations

TEST_F(PickupsTest, AmmunitionFillsToItsCapacityAndAFullCounterRefuses) {
  Start();
  ClearInventory();
  // Rockets 10 without cargo units (capacity 16) and an item of 10.
  doc_->SetAmmo(kAmmoRockets, 10);
  EXPECT_TRUE(doc_->AddRockets(10));
  EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), 16);
  EXPECT_TRUE(Logged("rockets (10)"));
  EXPECT_FALSE(doc_->AddRockets(10));
  // Without cargo units nukes, vortex shields and sentries never fit.
  EXPECT_FALSE(doc_->AddTacticalNukes(1));
  EXPECT_FALSE(doc_->AddVortexShields(1));
  EXPECT_FALSE(doc_->AddSentryMissiles(1));
  // Two cargo units: 4 nukes; the rocket capacity went 16 -> 32 -> 48.
  doc_->PickUpCargoExtension();
  EXPECT_TRUE(doc_->AddRockets(100));
  EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), 32);
  doc_->PickUpCargoExtension();
  EXPECT_TRUE(doc_->AddRockets(100));
  EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), 48);
  EXPECT_TRUE(doc_->AddTacticalNukes(9));
  EXPECT_EQ(doc_->GetAmmo(kAmmoNukes), 4);
  // A third unit shows nothing and changes nothing.
  doc_->AddMessage("marker", -1, FALSE);
  doc_->PickUpCargoExtension();
  EXPECT_EQ(doc_->GetCargoUnits(), 2);
  EXPECT_EQ(Last(), CString("marker"));
  // Freon: 95 + 20 ends at 100, the message shows 20.
  doc_->SetFreon(95.0f);
  doc_->AddFreon(20);
  EXPECT_FLOAT_EQ(doc_->GetFreon(), 100.0f);
  EXPECT_TRUE(Logged("Freon pack (20)"));
  // Gun ammunition lets the cycle take its gun.
  doc_->SetOwnedWeapons(32, 0);
  EXPECT_TRUE(doc_->AddCASlugs(5));
  EXPECT_EQ(doc_->GetSelectedGun(), 32);
}

TEST_F(PickupsTest, GunPickupsGiveUpgradeAndGiveAgain) {
  Start();
  ClearInventory();
  // Autocannon: given, then owned and loaded it is upgraded twice, then
  // silence; always FALSE while it was usable.
  EXPECT_TRUE(doc_->PickUpAutocannon());
  doc_->SetAmmo(kAmmoShells, 50);
  for (int upgrade = 1; upgrade <= 2; ++upgrade) {
    doc_->AddMessage("marker", -1, FALSE);
    EXPECT_FALSE(doc_->PickUpAutocannon());
    EXPECT_EQ(doc_->GetAutocannonUpgrade(), upgrade);
    EXPECT_EQ(Last(), CString("autocannon upgraded"));
  }
  doc_->AddMessage("marker", -1, FALSE);
  EXPECT_FALSE(doc_->PickUpAutocannon());
  EXPECT_EQ(doc_->GetAutocannonUpgrade(), 2);
  EXPECT_EQ(Last(), CString("marker"));
  // Owned without shells: given again, the upgrade back to 0.
  doc_->SetAmmo(kAmmoShells, 0);
  EXPECT_TRUE(doc_->PickUpAutocannon());
  EXPECT_EQ(doc_->GetAutocannonUpgrade(), 0);
  // The laser three times: taken, upgraded, taken.
  const char* expected[] = {"laser taken", "laser upgraded", "laser taken"};
  for (const char* text : expected) {
    doc_->PickUpLaser();
    EXPECT_EQ(Last(), CString(text));
  }
  EXPECT_TRUE(doc_->IsLaserUpgraded());
  // A pulse laser without cells is given again rather than upgraded.
  doc_->PickUpPulseLaser();
  doc_->PickUpPulseLaser();
  EXPECT_FALSE(doc_->IsPulseLaserUpgraded());
  doc_->SetAmmo(kAmmoEnergyCells, 10);
  doc_->PickUpPulseLaser();
  EXPECT_TRUE(doc_->IsPulseLaserUpgraded());
  // The plasma coil is selected only with bolts; the transmitter once.
  doc_->SetSelectedWeapons(0, 0);
  doc_->PickUpPlasmaCoil();
  EXPECT_EQ(doc_->GetSelectedGun() & 2, 0);
  doc_->PickUpSatelliteTransmitter();
  EXPECT_TRUE(Logged("satellite transmitter taken"));
  doc_->AddMessage("marker", -1, FALSE);
  doc_->PickUpSatelliteTransmitter();
  EXPECT_EQ(Last(), CString("marker"));
  EXPECT_EQ(doc_->GetOwnedGuns(), 1 | 2 | 4 | 8 | 64);
}

// ---------------------------------------------------------------------------
// Collecting each kind

TEST_F(PickupsTest, EachKindCollectedGivesItsEffectAtAndNearItsCapacity) {
  Start();
  struct Row {
    int kind;
    std::function<void()> before;
    std::function<void()> after;
    const char* message;  // the last line of the log afterwards
    bool ammoSound;
  };
  CNetDoc* d = doc_;
  auto ammo = [d](int counter, int value) { return [d, counter, value] { d->SetAmmo(counter, value); }; };
  auto expectAmmo = [d](int counter, int value) {
    return [d, counter, value] { EXPECT_EQ(d->GetAmmo(counter), value) << counter; };
  };
  auto cargo = [d](int units, int counter, int value) {
    return [d, units, counter, value] {
      d->SetCargoUnits(static_cast<uint8_t>(units));
      d->SetAmmo(counter, value);
    };
  };
  auto gun = [d](int bits) { return [d, bits] { EXPECT_EQ(d->GetOwnedGuns() & bits, bits); }; };
  const Row rows[] = {
      {0, [&] { ship_->SetShields(100); }, [&] { EXPECT_FLOAT_EQ(ship_->GetShields(), 115); }, "Shields recharged",
       false},
      {1, [&] { ship_->SetShields(150); }, [&] { EXPECT_FLOAT_EQ(ship_->GetShields(), 160); }, "Shields recharged",
       false},
      {2, [&] { ship_->SetHealth(30); }, [&] { EXPECT_FLOAT_EQ(ship_->GetHealth(), 40); }, "Health", false},
      {3, [&] { ship_->SetHealth(20); }, [&] { EXPECT_FLOAT_EQ(ship_->GetHealth(), 35); }, "Health", false},
      {4, ammo(kAmmoShells, 890), expectAmmo(kAmmoShells, 900), "cannon shells (15)", true},
      {5, ammo(kAmmoShells, 0), expectAmmo(kAmmoShells, 15), "cannon shells (15)", true},
      {6, ammo(kAmmoPlasmaBolts, 20), expectAmmo(kAmmoPlasmaBolts, 30), "plasma bolts pack (15)", true},
      {7, ammo(kAmmoPlasmaBolts, 0), expectAmmo(kAmmoPlasmaBolts, 15), "plasma bolts pack (15)", true},
      {8, ammo(kAmmoRockets, 10), expectAmmo(kAmmoRockets, 16), "rockets (15)", true},
      {9, cargo(1, kAmmoRockets, 16), expectAmmo(kAmmoRockets, 31), "rockets (15)", true},
      {10, ammo(kAmmoHoming, 0), expectAmmo(kAmmoHoming, 8), "homing missiles (15)", true},
      {11, cargo(2, kAmmoHoming, 20), expectAmmo(kAmmoHoming, 24), "homing missiles (15)", true},
      {12, ammo(kAmmoMicroMissiles, 5), expectAmmo(kAmmoMicroMissiles, 6), "micro missiles (15)", true},
      {13, cargo(2, kAmmoMicroMissiles, 0), expectAmmo(kAmmoMicroMissiles, 15), "micro missiles (15)", true},
      {14, cargo(1, kAmmoNukes, 0), expectAmmo(kAmmoNukes, 2), "tactical nukes (15)", true},
      {15, cargo(2, kAmmoNukes, 3), expectAmmo(kAmmoNukes, 4), "tactical nukes (15)", true},
      {16, cargo(1, kAmmoSentries, 0), expectAmmo(kAmmoSentries, 6), "sentry missiles (15)", true},
      {17, cargo(2, kAmmoSentries, 11), expectAmmo(kAmmoSentries, 12), "sentry missiles (15)", true},
      {18, ammo(kAmmoSlugs, 19), expectAmmo(kAmmoSlugs, 20), "c.a. slugs (15)", true},
      {19, ammo(kAmmoSlugs, 0), expectAmmo(kAmmoSlugs, 15), "c.a. slugs (15)", true},
      {20, cargo(1, kAmmoVortexShields, 0), expectAmmo(kAmmoVortexShields, 8), "vortex shields (15)", true},
      {21, cargo(2, kAmmoVortexShields, 15), expectAmmo(kAmmoVortexShields, 16), "vortex shields (15)", true},
      {22, ammo(kAmmoEnergyCells, 190), expectAmmo(kAmmoEnergyCells, 200), "energy cells (15)", true},
      {23, ammo(kAmmoEnergyCells, 0), expectAmmo(kAmmoEnergyCells, 15), "energy cells (15)", true},
      {24, [] {}, [&] { gun(1)(); EXPECT_TRUE(Logged("Machine gun taken")); expectAmmo(kAmmoShells, 15)(); },
       "cannon shells (15)", true},
      {25, [] {}, [&] { gun(2)(); expectAmmo(kAmmoPlasmaBolts, 15)(); }, "plasma bolts pack (15)", true},
      {26, [] {}, [&] { gun(4)(); EXPECT_TRUE(Logged("laser taken")); }, "energy cells (15)", true},
      {27, [] {}, [&] { gun(8)(); EXPECT_TRUE(Logged("pulse laser taken")); }, "energy cells (15)", true},
      {28, [] {}, [&] { gun(32)(); expectAmmo(kAmmoSlugs, 15)(); }, "c.a. slugs (15)", true},
      {29, [] {}, [&] { gun(16)(); expectAmmo(kAmmoEnergyCells, 15)(); }, "energy cells (15)", true},
      {30, [] {}, gun(64), "satellite transmitter taken", true},
      {31, [&] { d->SetFreon(95); }, [&] { EXPECT_FLOAT_EQ(d->GetFreon(), 100); }, "Freon pack (15)", true},
      {32, [&] { d->SetCargoUnits(1); }, [&] { EXPECT_EQ(d->GetCargoUnits(), 2); }, "Cargo extension unit taken",
       true},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.kind);
    ClearInventory();
    row.before();
    CCommonSupply* item = Item(row.kind);
    ASSERT_TRUE(item->IsActive());
    EXPECT_EQ(item->GetTypeCode(), PickupTypeCode(row.kind));
    EXPECT_EQ(item->GetAmount(), 15);
    EXPECT_EQ(item->GetRespawnSeconds(), 30);
    EXPECT_FLOAT_EQ(item->GetInstance()->radius, 0.0f) << "ships pass through items";
    EXPECT_EQ(RecordsOf(item->GetInstance()), 1);
    g_Sounds.clear();
    // Single play: taken for good, its animation record with it.
    EXPECT_FALSE(Touch(item));
    row.after();
    EXPECT_EQ(Last(), CString(row.message));
    EXPECT_EQ(CountSound(kSoundAmmo), row.ammoSound ? 1 : 0);
    EXPECT_EQ(RecordsOf(item->GetInstance()), 0);
  }
  // The second machine gun adds shells and says nothing of its own.
  ClearInventory();
  EXPECT_FALSE(Touch(Item(24)));
  EXPECT_FALSE(Touch(Item(24)));
  EXPECT_EQ(doc_->GetAmmo(kAmmoShells), 30);
  EXPECT_EQ(Last(1), CString("autocannon upgraded"));
}

TEST_F(PickupsTest, AFullInventoryRefusesWithABuzzAndTriesAgainAfterHalfASecond) {
  Start();
  const struct {
    int kind;
    int counter;
    int full;
    int cargo;
  } rows[] = {
      {5, kAmmoShells, 900, 0},          {7, kAmmoPlasmaBolts, 30, 0}, {9, kAmmoRockets, 16, 0},
      {11, kAmmoHoming, 8, 0},           {13, kAmmoMicroMissiles, 6, 0}, {14, kAmmoNukes, 0, 0},
      {16, kAmmoSentries, 0, 0},         {19, kAmmoSlugs, 20, 0},      {20, kAmmoVortexShields, 0, 0},
      {23, kAmmoEnergyCells, 200, 0},    {15, kAmmoNukes, 4, 2},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.kind);
    ClearInventory();
    doc_->SetCargoUnits(static_cast<uint8_t>(row.cargo));
    doc_->SetAmmo(row.counter, row.full);
    CCommonSupply* item = Item(row.kind);
    g_Sounds.clear();
    EXPECT_TRUE(Touch(item)) << "refused: the item stays";
    EXPECT_EQ(CountSound(kSoundBzzzt), 1);
    EXPECT_EQ(CountSound(kSoundAmmo), 0);
    EXPECT_EQ(doc_->GetAmmo(row.counter), row.full);
    // Still in reach: the next try comes more than 500 ms later.
    Advance(500);
    EXPECT_TRUE(item->Update(20));
    EXPECT_EQ(CountSound(kSoundBzzzt), 1);
    Advance(1);
    EXPECT_TRUE(item->Update(20));
    EXPECT_EQ(CountSound(kSoundBzzzt), 2);
    // Room made: the next try takes it.
    doc_->SetCargoUnits(2);
    doc_->SetAmmo(row.counter, 0);
    Advance(501);
    EXPECT_FALSE(item->Update(20));
    EXPECT_GT(doc_->GetAmmo(row.counter), 0);
  }
  // The retry stamp lies ahead of the clock as a signed difference, also
  // where the game time wraps.
  ClearInventory();
  g_GameTime = 0x7FFFFF00;
  doc_->SetAmmo(kAmmoShells, 900);
  CCommonSupply* item = Item(4);
  EXPECT_TRUE(Touch(item));
  EXPECT_EQ(GameTimeSince(item->GetLastOutOfReach()), -(kSupplyRetryMs - kSupplyTouchMs));
  Advance(400);
  doc_->SetAmmo(kAmmoShells, 0);
  EXPECT_TRUE(item->Update(20)) << "no new try across the wrap before its time";
  Advance(101);
  EXPECT_FALSE(item->Update(20));
}

TEST_F(PickupsTest, ItemsWaitForAShipThatNeedsThemAndStaysInReach) {
  Start();
  // Health at 40 and shields at their single-play 160 leave the items alone.
  ship_->SetHealth(40);
  ship_->SetShields(160);
  CCommonSupply* health = Item(2);
  CCommonSupply* shields = Item(0);
  Advance(1000);
  EXPECT_TRUE(health->Update(20));
  EXPECT_TRUE(shields->Update(20));
  EXPECT_EQ(health->GetLastOutOfReach(), GetGameTime());
  // Leaving the reach for one update starts the 100 ms again.
  CCommonSupply* shells = Item(4);
  EXPECT_TRUE(shells->Update(20));
  Advance(60);
  Place(ship_, ship_->GetX() + 500, ship_->GetY(), ship_->GetZ());
  EXPECT_TRUE(shells->Update(20));
  Place(ship_, ship_->GetX() - 500, ship_->GetY(), ship_->GetZ());
  Advance(60);
  EXPECT_TRUE(shells->Update(20)) << "60 ms since the ship came back";
  // A script-disabled item can't be taken; a dead ship takes nothing.
  shells->GetInstance()->collidable = 0;
  Advance(1000);
  EXPECT_TRUE(shells->Update(20));
  shells->GetInstance()->collidable = 1;
  ship_->Die();
  Advance(1000);
  EXPECT_TRUE(shells->Update(20));
}

TEST_F(PickupsTest, TheDemoMissionHoldsOneOfEachKind) {
  Start();
  std::set<int> kinds;
  for (CCommonSupply* supply : All<CCommonSupply>()) {
    kinds.insert(supply->GetKind());
    EXPECT_TRUE(supply->IsRespawning());
    EXPECT_EQ(RecordsOf(supply->GetInstance()), 1) << supply->GetName();
  }
  EXPECT_EQ(kinds.size(), static_cast<size_t>(kPickupKindCount));
  // The level script hides and shows them by name.
  ASSERT_NE(Named("pickup_MG.3DS"), nullptr);
  EXPECT_TRUE(g_pObjectManager->DisableSupply("PICKUP_mg.3ds"));
  EXPECT_EQ(Named("pickup_MG.3DS")->GetInstance()->collidable, 0);
  EXPECT_TRUE(g_pObjectManager->EnableSupply("pickup_MG.3DS"));
  EXPECT_EQ(Named("pickup_MG.3DS")->GetInstance()->collidable, 1);
  // Flown into through the object manager, the machine gun goes.
  Place(ship_, -kDemoPickupRowX, kDemoPickupRowY - 10, kDemoPickupRowFirstZ + 7 * kDemoPickupRowStep);
  ClearInventory();
  for (int tick = 0; tick < 10; ++tick) {
    g_pObjectManager->Update(20);
    Advance(20);
  }
  EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), 15) << "the row's eighth item is ROCKETS";
  EXPECT_EQ(Named("pickup_ROCKETS.3DS"), nullptr);
}

// ---------------------------------------------------------------------------
// Network: respawns, copies, hide and show

TEST_F(PickupsTest, ANetworkPickupHidesRespawnsAfterThirtySecondsAndTellsTheOthers) {
  Start();
  JoinNetwork();
  ClearInventory();
  CCommonSupply* item = Item(4);
  EXPECT_TRUE(Touch(item)) << "hidden, not deleted";
  EXPECT_EQ(doc_->GetAmmo(kAmmoShells), 15);
  EXPECT_TRUE(item->IsHidden());
  EXPECT_EQ(item->GetInstance()->collidable, 0);
  EXPECT_EQ(item->GetCountdown(), 30000);
  EXPECT_EQ(RecordsOf(item->GetInstance()), 1);
  EXPECT_EQ(Sent(PickupTypeCode(4), 1).size(), 1u) << "announced when made";
  auto hides = Sent(PickupTypeCode(4), kSupplyActionHide);
  ASSERT_EQ(hides.size(), 1u);
  ASSERT_EQ(hides[0].size(), 20u);
  EXPECT_EQ(hides[0][16], kSupplyActionHide);
  EXPECT_EQ(NetReadU32(hides[0].data() + 4), doc_->GetLocalPlayerId());
  EXPECT_EQ(NetReadU32(hides[0].data() + 12), item->GetObjectId());
  // While hidden the ship takes nothing; the countdown runs out after 30 s.
  g_Sounds.clear();
  EXPECT_TRUE(item->Update(29999));
  EXPECT_TRUE(item->IsHidden());
  EXPECT_TRUE(item->Update(2));
  EXPECT_FALSE(item->IsHidden());
  EXPECT_EQ(item->GetInstance()->collidable, 1);
  EXPECT_EQ(CountSound(kSoundRespawn), 1);
  EXPECT_EQ(g_Sounds.back().second, true) << "at the item";
  auto shows = Sent(PickupTypeCode(4), kSupplyActionShow);
  ASSERT_EQ(shows.size(), 1u);
  EXPECT_EQ(shows[0].size(), 20u);
  // The creation message of a hidden item says so, and the object manager
  // can bring every waiting item back at once.
  EXPECT_TRUE(Touch(item));
  uint8_t message[kBackPackCreateBytes];
  ASSERT_EQ(item->WriteCreateMessage(message), kSupplyCreateBytes);
  EXPECT_EQ(message[68], 1);
  EXPECT_EQ(message[69], 1);
  EXPECT_EQ(NetReadU32(message + 80), 4u);
  EXPECT_EQ(message[17] | message[18] | message[19] | message[70] | message[71], 0) << "zero padding";
  items_.back().release();
  g_pObjectManager->AddObject(item);
  g_pObjectManager->RespawnSupplies();
  EXPECT_FALSE(item->IsHidden());
}

TEST_F(PickupsTest, ACopyOfAnotherProgramsPickupIsHiddenAndShownByItsMessages) {
  Start();
  JoinNetwork();
  const DPID other = 0xB00;
  const int before = static_cast<int>(All<CCommonSupply>().size());
  Receive(other, CreationMessage(other, 77, 5, 100, 50, 0));
  ASSERT_EQ(static_cast<int>(All<CCommonSupply>().size()), before + 1);
  auto* copy = dynamic_cast<CCommonSupply*>(g_pObjectManager->FindObject(other, 77));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetTypeCode(), 0x4D0D);
  EXPECT_EQ(copy->GetKind(), 5);
  EXPECT_STREQ(copy->GetInstance()->model->name, "MGAMMOL.3DS");
  EXPECT_FLOAT_EQ(copy->GetInstance()->angleY, 0.5f);
  EXPECT_FLOAT_EQ(copy->GetInstance()->radius, 0.0f);
  EXPECT_EQ(RecordsOf(copy->GetInstance()), 1);
  EXPECT_TRUE(Sent(0x4D0D, 1).empty()) << "another program's item is not announced";
  // Hide: no countdown here, only the show message brings it back.
  Receive(other, ActionMessage(0x4D0D, other, 77, kSupplyActionHide));
  EXPECT_TRUE(copy->IsHidden());
  EXPECT_EQ(copy->GetCountdown(), -1);
  EXPECT_EQ(copy->GetInstance()->collidable, 0);
  EXPECT_TRUE(copy->Update(120000));
  EXPECT_TRUE(copy->IsHidden());
  Receive(other, ActionMessage(0x4D0D, other, 77, kSupplyActionShow));
  EXPECT_FALSE(copy->IsHidden());
  // Messages for items nobody has, and a kind outside the table, do nothing.
  Receive(other, ActionMessage(0x4D0D, other, 78, kSupplyActionHide));
  Receive(other, ActionMessage(0x4D0D, other, 78, kSupplyActionShow));
  std::vector<uint8_t> unknown = CreationMessage(other, 79, 5, 0, 0, 0);
  NetWriteU32(unknown.data() + 80, 33);
  Receive(other, unknown);
  EXPECT_EQ(g_pObjectManager->FindObject(other, 79), nullptr);
  EXPECT_EQ(static_cast<int>(All<CCommonSupply>().size()), before + 1);
  // A second creation replaces the copy (its mesh and record go with it).
  const int records = doc_->AnimatedObjects().GetCount();
  Receive(other, CreationMessage(other, 77, 31, 0, 0, 0));
  auto* replaced = dynamic_cast<CCommonSupply*>(g_pObjectManager->FindObject(other, 77));
  ASSERT_NE(replaced, nullptr);
  EXPECT_EQ(replaced->GetKind(), 31);
  EXPECT_EQ(doc_->AnimatedObjects().GetCount(), records);
  EXPECT_EQ(RecordsOf(replaced->GetInstance()), 1);
  ExpectRecordsInWorld();
  // Remove.
  Receive(other, ActionMessage(0x4D3A, other, 77, kSupplyActionRemove));
  EXPECT_EQ(g_pObjectManager->FindObject(other, 77), nullptr);
  EXPECT_EQ(doc_->AnimatedObjects().GetCount(), records - 1);
  ExpectRecordsInWorld();
  // Numbers no program sends: a negative amount gives nothing, huge respawn
  // seconds wait as long as a countdown can.
  std::vector<uint8_t> odd = CreationMessage(other, 80, 4, ship_->GetX(), ship_->GetY(), ship_->GetZ());
  NetWriteU32(odd.data() + 72, static_cast<uint32_t>(-500));
  NetWriteU32(odd.data() + 76, 0x7FFFFFFFu);
  Receive(other, odd);
  auto* hostile = dynamic_cast<CCommonSupply*>(g_pObjectManager->FindObject(other, 80));
  ASSERT_NE(hostile, nullptr);
  EXPECT_EQ(hostile->GetAmount(), 0);
  ClearInventory();
  doc_->SetAmmo(kAmmoShells, 10);
  EXPECT_TRUE(Touch(hostile));
  EXPECT_EQ(doc_->GetAmmo(kAmmoShells), 10);
  EXPECT_TRUE(hostile->IsHidden());
  EXPECT_EQ(hostile->GetCountdown(), INT32_MAX);
}

// ---------------------------------------------------------------------------
// The back pack

TEST_F(PickupsTest, ADeadShipsBackPackCarriesItsInventoryToAnotherShip) {
  Start();
  JoinNetwork();
  ClearInventory();
  doc_->SetOwnedWeapons(1 | 4 | 64, 0);
  doc_->SetSelectedWeapons(1 | 4 | 64, 0);
  const int counts[kAmmoCounters] = {100, 7, 3, 5, 12, 4, 2, 6, 8, 50};
  for (int c = 0; c < kAmmoCounters; ++c) doc_->SetAmmo(c, counts[c]);
  doc_->SetFreon(0.25f);
  const float at[3] = {ship_->GetX() + 300, ship_->GetY(), ship_->GetZ()};
  doc_->SpawnBackPack(0, at[0], at[1], at[2]);
  // The inventory went into the back pack.
  for (int c = 0; c < kAmmoCounters; ++c) EXPECT_EQ(doc_->GetAmmo(c), 0) << c;
  EXPECT_FLOAT_EQ(doc_->GetFreon(), 0.0f);
  auto packs = All<CBackPack>();
  ASSERT_EQ(packs.size(), 1u);
  CBackPack* own = packs[0];
  EXPECT_TRUE(own->IsActive());
  EXPECT_EQ(own->GetInstance()->model, doc_->GetCargoModel());
  EXPECT_EQ(own->GetRespawnSeconds(), 999999);
  EXPECT_EQ(own->GetCarriedFlags(), 1 | 4) << "the gun bits only";
  // Its 116-byte announcement.
  auto sent = Sent(kTypeBackPack, 1);
  ASSERT_EQ(sent.size(), 1u);
  std::vector<uint8_t> message = sent[0];
  ASSERT_EQ(message.size(), 116u);
  EXPECT_EQ(message[68], 1 | 4);
  for (int c = 0; c < kAmmoCounters; ++c) EXPECT_EQ(NetReadU32(message.data() + 72 + 4 * c), static_cast<uint32_t>(counts[c]));
  EXPECT_FLOAT_EQ(NetReadF32(message.data() + 112), 0.25f);
  EXPECT_FLOAT_EQ(NetReadF32(message.data() + 20), at[0]);
  // Another program's copy: the same message from its owner.
  g_pObjectManager->RemoveObject(own);
  const DPID dead = 0xB00;
  NetWriteU32(message.data() + 4, dead);
  Receive(dead, message);
  auto* copy = dynamic_cast<CBackPack*>(g_pObjectManager->FindObject(dead, NetReadU32(message.data() + 12)));
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy->GetCarriedCount(kAmmoEnergyCells), 50);
  Place(ship_, at[0], at[1], at[2]);
  ClearInventory();
  g_Sounds.clear();
  // Touched exactly 100 ms: nothing; then everything.
  EXPECT_TRUE(copy->Update(20));
  Advance(100);
  EXPECT_TRUE(copy->Update(20));
  EXPECT_EQ(doc_->GetOwnedGuns() & 4, 0);
  Advance(1);
  EXPECT_FALSE(copy->Update(20));
  EXPECT_EQ(doc_->GetOwnedGuns() & (1 | 4), 1 | 4);
  EXPECT_EQ(Last(1), CString("energy cells (50)"));
  EXPECT_EQ(Last(), CString("Freon pack (1)"));
  EXPECT_EQ(doc_->GetAmmo(kAmmoShells), 100);
  EXPECT_EQ(doc_->GetAmmo(kAmmoRockets), 12);
  EXPECT_EQ(doc_->GetAmmo(kAmmoHoming), 4);
  EXPECT_EQ(doc_->GetAmmo(kAmmoMicroMissiles), 2);
  EXPECT_EQ(doc_->GetAmmo(kAmmoNukes), 0) << "no cargo unit: no room for nukes";
  EXPECT_EQ(doc_->GetAmmo(kAmmoEnergyCells), 50);
  EXPECT_FLOAT_EQ(doc_->GetFreon(), 1.0f) << "0.25 rounds up to one unit";
  EXPECT_EQ(CountSound(kSoundAmmo), 1);
  auto hides = Sent(kTypeBackPack, kSupplyActionHide);
  ASSERT_EQ(hides.size(), 1u);
  EXPECT_EQ(hides[0].size(), 20u);
  EXPECT_EQ(NetReadU32(hides[0].data() + 4), dead);
  EXPECT_EQ(RecordsOf(copy->GetInstance()), 0);
  g_pObjectManager->RemoveObject(copy);
  // On a third program the hide message removes its copy (a new clock:
  // the same bytes again would be a duplicate).
  NetWriteU32(message.data() + 8, 4242);
  Receive(dead, message);
  ASSERT_EQ(All<CBackPack>().size(), 1u);
  Receive(dead, ActionMessage(kTypeBackPack, dead, NetReadU32(message.data() + 12), kSupplyActionHide));
  EXPECT_TRUE(All<CBackPack>().empty());
  ExpectRecordsInWorld();
}

TEST_F(PickupsTest, ABackPackWithoutTheCargoModelTakesNothingAndIsDropped) {
  Start();
  ClearInventory();
  const int counted = 40;
  doc_->SetAmmo(kAmmoShells, counted);
  doc_->SetFreon(3.0f);
  doc_->SetCargoModel(nullptr);
  doc_->SpawnBackPack(0, 0, 0, 0);
  EXPECT_EQ(doc_->GetAmmo(kAmmoShells), counted) << "the inventory stays";
  EXPECT_FLOAT_EQ(doc_->GetFreon(), 3.0f);
  auto packs = All<CBackPack>();
  ASSERT_EQ(packs.size(), 1u);
  EXPECT_FALSE(packs[0]->IsActive());
  // A copy from a message neither crashes.
  std::vector<uint8_t> message(kBackPackCreateBytes, 0);
  NetWriteU32(message.data(), kNetCodeBase + kTypeBackPack);
  NetWriteU32(message.data() + 4, 0xB00);
  NetWriteU32(message.data() + 12, 5);
  message[16] = 1;
  CBackPack copy(0xB00, message.data());
  EXPECT_FALSE(copy.IsActive());
  EXPECT_EQ(copy.GetInstance(), nullptr);
  // The manager drops the inactive one.
  g_pObjectManager->Update(20);
  g_pObjectManager->Update(20);
  EXPECT_TRUE(All<CBackPack>().empty());
}

TEST_F(PickupsTest, ABackPacksAutocannonIsTakenOnlyByAShipWithoutAUsableOne) {
  Start();
  const struct {
    int shellsAfterDeath;  // what the taker has when it touches the pack
    bool owned;
    const char* last;
  } rows[] = {{0, false, "Machine gun taken"}, {0, true, "Machine gun taken"}, {10, true, "autocannon upgraded"}};
  for (const auto& row : rows) {
    ClearInventory();
    doc_->SetOwnedWeapons(1, 0);
    doc_->SetSelectedWeapons(1, 0);
    doc_->SpawnBackPack(0, ship_->GetX(), ship_->GetY(), ship_->GetZ());
    CBackPack* pack = All<CBackPack>().back();
    ASSERT_EQ(pack->GetCarriedFlags(), 1);
    ClearInventory();
    if (row.owned) doc_->SetOwnedWeapons(1, 0);
    doc_->SetAmmo(kAmmoShells, row.shellsAfterDeath);
    EXPECT_FALSE(Touch(pack));
    EXPECT_EQ(Last(), CString(row.last));
    g_pObjectManager->RemoveObject(pack);
  }
}

TEST_F(PickupsTest, AnEmptyBackPackStillSoundsHidesAndGoes) {
  Start();
  ClearInventory();
  doc_->SpawnBackPack(0, ship_->GetX(), ship_->GetY(), ship_->GetZ());
  CBackPack* pack = All<CBackPack>().at(0);
  // A dead ship can't take it, whatever the distance.
  ship_->Die();
  Advance(1000);
  EXPECT_TRUE(pack->Update(20));
  EXPECT_TRUE(pack->IsActive());
  ship_->Respawn();
  ClearInventory();
  const float x = ship_->GetX();
  Place(ship_, x + 500, ship_->GetY(), ship_->GetZ());
  EXPECT_TRUE(pack->Update(20));
  Place(ship_, x, ship_->GetY(), ship_->GetZ());
  g_Sounds.clear();
  EXPECT_FALSE(Touch(pack));
  EXPECT_EQ(CountSound(kSoundAmmo), 1);
  EXPECT_TRUE(pack->IsHidden());
  for (int c = 0; c < kAmmoCounters; ++c) EXPECT_EQ(doc_->GetAmmo(c), 0) << c;
  EXPECT_FLOAT_EQ(doc_->GetFreon(), 0.0f);
}

// ---------------------------------------------------------------------------
// Level objects

TEST_F(PickupsTest, AnimatedObjectsLoopAtTheirRateAndAStallAdvancesHalfASecond) {
  Start();
  Instance* rig = InstanceCreate(doc_->GetWorld(), ModelFindByFileName(kDemoTestRigModel), 0, 0, 0, 0, 0, 0, 0);
  ASSERT_NE(rig, nullptr);
  PropSet(&rig->props, NameHash("animated_object"), "10");
  PropSet(&rig->props, NameHash("total_frames"), "10");
  doc_->AddLevelAnimation(rig);
  auto* record = static_cast<AnimatedObject*>(doc_->AnimatedObjects().GetTail());
  ASSERT_EQ(record->instance, rig);
  EXPECT_EQ(record->totalFrames, 10);
  // 10 frames a second over 10 frames: round once a second.
  for (int k = 1; k <= 9; ++k) {
    Advance(100);
    doc_->UpdateAnimatedObjects();
    EXPECT_NEAR(record->frame, static_cast<float>(k), 1e-4f) << k;
    EXPECT_NEAR(rig->animTime, static_cast<float>(k), 1e-4f) << k;
  }
  // 9.95 going to 10.2 starts again at 0, not 0.2.
  record->frame = 9.95f;
  Advance(25);
  doc_->UpdateAnimatedObjects();
  EXPECT_FLOAT_EQ(record->frame, 0.0f);
  // A stall of two seconds counts as half a second.
  Advance(2000);
  doc_->UpdateAnimatedObjects();
  EXPECT_NEAR(record->frame, 5.0f, 1e-4f);
  // Without "total_frames" 10; the pick-up table's rate for a pick-up mesh.
  Instance* plain = InstanceCreate(doc_->GetWorld(), ModelFindByFileName(kDemoTestRigModel), 0, 0, 0, 0, 0, 0, 0);
  PropSet(&plain->props, NameHash("animated_object"), "4");
  doc_->AddLevelAnimation(plain);
  EXPECT_EQ(static_cast<AnimatedObject*>(doc_->AnimatedObjects().GetTail())->totalFrames, 10);
  doc_->AddAnimatedObject(plain);
  auto* pickupRate = static_cast<AnimatedObject*>(doc_->AnimatedObjects().GetTail());
  EXPECT_FLOAT_EQ(pickupRate->framesPerSecond, 15.0f);
  EXPECT_EQ(pickupRate->totalFrames, 30);
  doc_->RemoveAnimatedObject(plain);
  EXPECT_EQ(RecordsOf(plain), 0);
  // An instance deleted behind the records' back is dropped, not written.
  doc_->AddLevelAnimation(plain);
  InstanceDelete(plain);
  doc_->UpdateAnimatedObjects();
  ExpectRecordsInWorld();
}

TEST_F(PickupsTest, PickupsFollowTheDifficultyAndRespawnPointsAreShuffled) {
  auto edit = [](DemoLevel* level) {
    for (BuilderInstance& instance : level->instances) {
      if (instance.name == "pickup_MG.3DS") instance.properties = {{"level", "23"}};
    }
    for (int k = 1; k <= 4; ++k) {
      level->instances.push_back({kDemoRespawnModel, {100.0f * k, 0, 0}, {0, 0, 0}, 0.0f, "respawn_more", {}});
    }
  };
  // One point: the demo's, the identity placement at the origin.
  Start();
  ASSERT_EQ(doc_->RespawnPoints().GetCount(), 1);
  const float* point = static_cast<float*>(doc_->RespawnPoints().GetHead());
  for (int i = 0; i < 16; ++i) EXPECT_FLOAT_EQ(point[i], i % 5 == 0 ? 1.0f : 0.0f) << i;
  DeleteDocument();
  for (int difficulty : {1, 2}) {
    SCOPED_TRACE(difficulty);
    Start(difficulty, edit);
    EXPECT_EQ(Named("pickup_MG.3DS") != nullptr, difficulty == 2);
    EXPECT_EQ(InstanceNamed("pickup_MG.3DS") != nullptr, difficulty == 2);
    // Five points (the demo's at the origin and four more), each once, and
    // no marker left in the level.
    std::set<float> xs;
    for (POSITION at = doc_->RespawnPoints().GetHeadPosition(); at;) {
      xs.insert(static_cast<float*>(doc_->RespawnPoints().GetNext(at))[12]);
    }
    EXPECT_EQ(xs, (std::set<float>{0, 100, 200, 300, 400}));
    EXPECT_EQ(InstanceNamed("respawn1"), nullptr);
    ExpectRecordsInWorld();
    DeleteDocument();
  }
}

TEST_F(PickupsTest, ANetworkClientMakesNoPickupsAndKeepsOnlyAnimatedStaticObjects) {
  JoinNetwork();
  Start();
  EXPECT_TRUE(All<CCommonSupply>().empty());
  EXPECT_EQ(InstanceNamed("pickup_MG.3DS"), nullptr) << "the host's creation messages bring them";
  Instance* rig = InstanceNamed(kDemoConsoleRigInstance);
  ASSERT_NE(rig, nullptr) << "an animated static object stays";
  EXPECT_EQ(RecordsOf(rig), 1);
  EXPECT_EQ(doc_->RespawnPoints().GetCount(), 1);
  ExpectRecordsInWorld();
  // The host makes them, at the network's difficulty 0: "level" 23 is none.
  DeleteDocument();  // which ends the session
  JoinNetwork();
  g_Net.SetHost();
  Start(2, [](DemoLevel* level) {
    for (BuilderInstance& instance : level->instances) {
      if (instance.name == "pickup_MG.3DS") instance.properties = {{"level", "23"}};
    }
  });
  EXPECT_EQ(All<CCommonSupply>().size(), static_cast<size_t>(kPickupKindCount + 3 - 1));
  EXPECT_EQ(Named("pickup_MG.3DS"), nullptr);
  ExpectRecordsInWorld();
}

TEST_F(PickupsTest, PickupsAndAnimatedObjectsComeBackFromASavedGame) {
  Start();
  ClearInventory();
  // One item taken, one moved in time: what the file must keep.
  CCommonSupply* taken = Named("pickup_MGAMMOS.3DS");
  ASSERT_NE(taken, nullptr);
  const int supplies = static_cast<int>(All<CCommonSupply>().size());
  Place(ship_, -kDemoPickupRowX, kDemoPickupRowY - 10, kDemoPickupRowFirstZ + 3 * kDemoPickupRowStep);
  for (int tick = 0; tick < 10; ++tick) {
    g_pObjectManager->Update(20);
    Advance(20);
  }
  ASSERT_EQ(doc_->GetAmmo(kAmmoShells), 15);
  ASSERT_EQ(static_cast<int>(All<CCommonSupply>().size()), supplies - 1);
  Instance* rig = InstanceNamed(kDemoConsoleRigInstance);
  ASSERT_NE(rig, nullptr);
  ASSERT_EQ(RecordsOf(rig), 1);
  const std::string path = folder_.Join("pickups.sav");
  ASSERT_TRUE(doc_->SaveGame(path.c_str()));

  DeleteDocument();
  MakeDocument();
  Advance(3600000);
  ASSERT_TRUE(doc_->OnOpenDocument(path.c_str()));
  ship_ = doc_->GetLocalPlayer();
  EXPECT_EQ(static_cast<int>(All<CCommonSupply>().size()), supplies - 1);
  EXPECT_EQ(Named("pickup_MGAMMOS.3DS"), nullptr);
  CCommonSupply* loaded = Named("pickup_MG.3DS");
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(loaded->GetKind(), 24);
  EXPECT_TRUE(loaded->IsActive());
  EXPECT_STREQ(loaded->GetInstance()->model->name, "MG.3DS");
  EXPECT_FLOAT_EQ(loaded->GetInstance()->radius, 0.0f);
  EXPECT_FLOAT_EQ(loaded->GetInstance()->x, kDemoPickupRowX) << "the right row's";
  EXPECT_EQ(RecordsOf(loaded->GetInstance()), 1);
  // Every pick-up mesh once, the console's rig once, nothing else; the
  // records point at what the load kept or made.
  rig = InstanceNamed(kDemoConsoleRigInstance);
  ASSERT_NE(rig, nullptr);
  EXPECT_EQ(RecordsOf(rig), 1);
  EXPECT_EQ(doc_->AnimatedObjects().GetCount(), supplies - 1 + 1);
  ExpectRecordsInWorld();
  Advance(100);
  doc_->UpdateAnimatedObjects();
  EXPECT_NEAR(rig->animTime, 1.0f, 1e-4f) << "10 frames a second";
  EXPECT_EQ(doc_->RespawnPoints().GetCount(), 1);
  // A loaded item is taken as any other.
  ClearInventory();
  Place(ship_, loaded->GetInstance()->x, loaded->GetInstance()->y, loaded->GetInstance()->z);
  for (int tick = 0; tick < 10; ++tick) {
    g_pObjectManager->Update(20);
    Advance(20);
  }
  EXPECT_EQ(doc_->GetOwnedGuns() & 1, 1);
}

TEST_F(PickupsTest, TheClockHandsShowTheLocalTime) {
  Start();
  doc_->FindSpinningClocks();
  EXPECT_EQ(doc_->GetClockHand(0), nullptr);
  doc_->UpdateSpinningClocks();  // without hands: nothing at all
  World* world = doc_->GetWorld();
  PolygonGroup* hands[3] = {GroupCreate(world, "Spinning_Clock_HH", nullptr),
                            GroupCreate(world, "SPINNING_CLOCK_MH", nullptr),
                            GroupCreate(world, "spinning_clock_sh", nullptr)};
  for (PolygonGroup* hand : hands) GroupSetRotateMover(hand, 0, 0, 0, 0, 0, 1, 1.0f, 0.5f, 0.0f);
  doc_->FindSpinningClocks();
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(doc_->GetClockHand(i), hands[i]);
    EXPECT_FLOAT_EQ(hands[i]->angle, 0.0f) << "a full turn";
  }
  g_LocalTimeSource = [](std::tm* out) {
    *out = std::tm{};
    out->tm_hour = 15;
    out->tm_min = 42;
    out->tm_sec = 7;
    return true;
  };
  doc_->UpdateSpinningClocks();
  const float expected[3] = {3.0f / 12.0f, 42.0f / 60.0f, 7.0f / 60.0f};
  for (int i = 0; i < 3; ++i) {
    float position = -1, speed = -1;
    ASSERT_EQ(GroupGetMoverState(hands[i], &position, &speed), 1);
    EXPECT_FLOAT_EQ(position, expected[i]) << i;
    EXPECT_FLOAT_EQ(speed, 0.0f);
    EXPECT_FALSE(GroupIsMoving(hands[i]));
  }
  // A time that can't be had changes nothing.
  g_LocalTimeSource = [](std::tm*) { return false; };
  GroupSetMoverState(hands[2], 0.9f, 0.0f);
  doc_->UpdateSpinningClocks();
  float position = 0;
  GroupGetMoverState(hands[2], &position, nullptr);
  EXPECT_FLOAT_EQ(position, 0.9f);
}

TEST(RandomBetween, OrdersItsBoundsAndStaysBetweenThem) {
  CrtSrand(7);
  for (int i = 0; i < 200; ++i) {
    const float a = RandomBetween(5.0f, -3.0f);
    EXPECT_GE(a, -3.0f);
    EXPECT_LE(a, 5.0f);
  }
  EXPECT_FLOAT_EQ(RandomBetween(2.0f, 2.0f), 2.0f);
  EXPECT_EQ(PickupTypeCode(-1), 0);
  EXPECT_EQ(PickupTypeCode(33), 0);
  EXPECT_EQ(PickupTypeCode(32), 0x4D3B);
}

}  // namespace
