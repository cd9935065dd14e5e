// Saved games: the running demo mission saved and loaded into a fresh
// document, files written by the data builder, damaged files, and a save
// that fails or is cut off before its file takes the slot's place.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "apps/korvanesw/software_variant.h"
#include "engine/polygon_group.h"
#include "game/direct_player.h"
#include "game/game_app.h"
#include "game/game_clock.h"
#include "game/interface_manager.h"
#include "game/interface_window.h"
#include "game/net_doc.h"
#include "game/net_view.h"
#include "game/saved_game.h"
#include "game/saved_game_header.h"
#include "media/sound_manager.h"
#include "platform/clock.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "tests/game/document_fixture.h"
#include "tests/game/game_fixture.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/saved_game_writer.h"
#include "world/script/event_manager.h"
#include "world/script/script_manager.h"

extern void (*g_SaveGameBeforeReplace)(const char* path);

namespace {

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

// The demo level's groups: the sign moves on a slide and runs.
constexpr const char* kMovedGroup = kDemoBlinkingSignGroup;

class SavedGameTest : public DocumentTest {
 protected:
  void TearDown() override {
    g_SaveGameBeforeReplace = nullptr;
    DeleteView();
    DocumentTest::TearDown();
  }
  void DeleteView() {
    delete view_;
    view_ = nullptr;
  }
  // korvanesw's view over the demo mission started at difficulty 2, its
  // level script running.
  void StartMission() {
    BuildVariantInstall(&software_);
    MakeInterface(2);
    ASSERT_TRUE(interface_->EnterFullScreen(-1));
    MakeDocument();
    events_->runs = true;
    ASSERT_TRUE(doc_->StartLevel());
    view_ = new CNetView;
  }
  // A fresh document with its own view, as the application makes one for a
  // load.
  void FreshDocument() {
    DeleteView();
    DeleteDocument();
    MakeDocument();
    view_ = new CNetView;
  }
  std::string Path(const char* name) const { return folder_.Join(name); }

  SoftwareVariant software_;
  CNetView* view_ = nullptr;
};

// Looping sounds into the sound manager, as a load would put them there.
void AddLoopingSounds(const std::vector<std::string>& names) {
  ASSERT_NE(g_pSoundManager, nullptr);
  CMemFile memory;
  {
    CArchive out(&memory, CArchive::store);
    out << static_cast<uint32_t>(names.size());
    float x = 1.0f;
    for (const std::string& name : names) {
      CSoundInstance sound;
      sound.name = name.c_str();
      sound.loop = 1;
      sound.positional = 1;
      sound.x = x;
      sound.y = 2.0f * x;
      sound.z = -x;
      sound.volume = -300;
      sound.Serialize(out);
      x += 1.0f;
    }
    out.Close();
  }
  CMemFile in(memory.Data());
  CArchive archive(&in, CArchive::load);
  g_pSoundManager->Serialize(archive);
}

TEST(SavedGameFormatTest, TheInventoryAmmunitionSwapsSlugsAndNukesBothWays) {
  const int32_t document[10] = {100, 101, 102, 103, 104, 105, 106, 107, 108, 109};
  int32_t file[10];
  InventoryAmmoSwapOrder(document, file);
  const int32_t expected[10] = {100, 101, 103, 102, 104, 105, 106, 107, 108, 109};
  for (int i = 0; i < 10; ++i) EXPECT_EQ(file[i], expected[i]) << i;
  int32_t back[10];
  InventoryAmmoSwapOrder(file, back);
  for (int i = 0; i < 10; ++i) EXPECT_EQ(back[i], document[i]) << i;
}

TEST(SavedGameFormatTest, OnlyPlainMissionNamesAreMissions) {
  const struct {
    const char* name;
    bool mission;
  } cases[] = {{"M1.CAN", true},      {"M24.CAN", true}, {"M99.CAN", true}, {"M0.CAN", false},
               {"M100.CAN", false},   {"M1.can", false}, {"m1.CAN", false}, {"M1.CANX", false},
               {"../M1.CAN", false}, {"M01.CAN", false}, {"", false},       {"M.CAN", false}};
  for (const auto& c : cases) EXPECT_EQ(SavedGameIsMissionName(c.name), c.mission) << c.name;
}

TEST_F(SavedGameTest, ARunningMissionLoadsBackEqualAnHourLaterAndSavesAgainTheSameBytes) {
  StartMission();
  World* world = doc_->GetWorld();
  PolygonGroup* moved = GroupFindByName(world, kMovedGroup);
  ASSERT_NE(moved, nullptr);
  // A moved ship, a changed inventory, a group half-way along a running
  // slide, looping sounds, and the start event's timers and flag.
  CDirectPlayer* player = doc_->GetLocalPlayer();
  ASSERT_NE(player, nullptr);
  player->GetOrientation()[12] += 3.5f;
  player->GetOrientation()[14] -= 1.25f;
  player->SetShields(77.0f);
  doc_->SetAmmo(0, 33);
  doc_->SetAmmo(2, 4);
  doc_->SetAmmo(3, 9);
  doc_->SetFreon(42.5f);
  doc_->SetGunHeat(0.25f);
  doc_->SetHomingToggle(0);
  doc_->SetSteering(7);
  doc_->RaiseShake(640);
  doc_->Tuning().rocketSpeed = 1234;
  g_ShipInventory.ammo[2] = 5;
  g_ShipInventory.ammo[3] = 6;
  g_ShipInventory.shields = 99.0f;
  GroupSetSlideMover(moved, 0.0f, 2.0f, 0.0f, 0.5f, 1.0f);
  GroupSetMoverState(moved, 0.375f, 0.5f);
  GroupStartMover(moved);
  AddLoopingSounds({"HUM", "DRIP"});
  ASSERT_GT(events_->GetTimedEventCount(), 0);
  const int timedEvents = events_->GetTimedEventCount();
  const int flags = events_->GetFlagCount();
  g_SaveDescription = "HANGAR";

  const std::string first = Path("first.sav");
  ASSERT_TRUE(doc_->SaveGame(first.c_str()));
  bool announced = false;
  for (int line = 0; line < CNetDoc::kMessageLines; ++line) {
    announced = announced || doc_->GetMessageText(line) == CString(kGameSavedText);
  }
  EXPECT_TRUE(announced);
  const std::vector<uint8_t> saved = ReadBytes(first);
  ASSERT_GT(saved.size(), 100u);
  ASSERT_EQ(std::memcmp(saved.data(), "KRVX", 4), 0);

  // Loaded an hour of game time later, into a fresh document.
  const float shipX = player->GetOrientation()[12];
  const float shipZ = player->GetOrientation()[14];
  FreshDocument();
  g_ShipInventory = ShipInventory{};
  g_SaveDescription.Empty();
  ClockSetTime(timeGetTime() + 3600000);
  UpdateGameTime();
  interface_->SetDifficulty(1);
  ASSERT_TRUE(doc_->OnOpenDocument(first.c_str()));

  EXPECT_TRUE(doc_->IsGameRunning());
  EXPECT_FALSE(doc_->IsLoading());
  EXPECT_EQ(g_SaveDescription, CString("HANGAR"));
  EXPECT_EQ(interface_->GetDifficulty(), 2);
  CDirectPlayer* loaded = doc_->GetLocalPlayer();
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(doc_->FindPlayer(loaded->GetId()), loaded);
  ASSERT_NE(doc_->GetPlayerShip(), nullptr);
  EXPECT_FLOAT_EQ(loaded->GetOrientation()[12], shipX);
  EXPECT_FLOAT_EQ(loaded->GetOrientation()[14], shipZ);
  EXPECT_FLOAT_EQ(loaded->GetShields(), 77.0f);
  EXPECT_FLOAT_EQ(loaded->GetRadius(), doc_->GetPlayerShip()->radius * 0.95f);
  EXPECT_EQ(doc_->GetAmmo(0), 33);
  EXPECT_EQ(doc_->GetAmmo(2), 4);
  EXPECT_EQ(doc_->GetAmmo(3), 9);
  EXPECT_FLOAT_EQ(doc_->GetFreon(), 42.5f);
  EXPECT_FLOAT_EQ(doc_->GetGunHeat(), 0.25f);
  EXPECT_EQ(doc_->GetHomingToggle(), 0);
  EXPECT_EQ(doc_->GetSteering(), 7);
  EXPECT_EQ(doc_->GetShakeLevel(), 640);
  EXPECT_EQ(doc_->GetTuning().rocketSpeed, 1234);
  EXPECT_EQ(g_ShipInventory.ammo[2], 5);
  EXPECT_EQ(g_ShipInventory.ammo[3], 6);
  EXPECT_FLOAT_EQ(g_ShipInventory.shields, 99.0f);
  PolygonGroup* group = GroupFindByName(doc_->GetWorld(), kMovedGroup);
  ASSERT_NE(group, nullptr);
  EXPECT_TRUE(GroupIsMoving(group));
  EXPECT_EQ(group->moverType, 1);
  EXPECT_FLOAT_EQ(group->position, 0.375f);
  EXPECT_FLOAT_EQ(group->speed, 0.5f);
  EXPECT_FLOAT_EQ(group->axis.y, 2.0f);
  ASSERT_EQ(g_pSoundManager->Instances().size(), 2u);
  EXPECT_EQ(g_pSoundManager->Instances()[0]->name, CString("HUM"));
  EXPECT_EQ(g_pSoundManager->Instances()[1]->name, CString("DRIP"));
  EXPECT_FLOAT_EQ(g_pSoundManager->Instances()[1]->y, 4.0f);
  EXPECT_EQ(events_->GetTimedEventCount(), timedEvents);
  EXPECT_EQ(events_->GetFlagCount(), flags);
  ASSERT_NE(events_->FindFlag("lamp_off"), nullptr);
  EXPECT_NE(g_pScriptManager, nullptr);

  // Saved again: the same bytes but for the HUD's redraw counters, which
  // the load sets (16 bytes at most).
  const std::string second = Path("second.sav");
  ASSERT_TRUE(doc_->SaveGame(second.c_str()));
  const std::vector<uint8_t> again = ReadBytes(second);
  ASSERT_EQ(again.size(), saved.size());
  size_t firstDiff = saved.size(), lastDiff = 0;
  for (size_t i = 0; i < saved.size(); ++i) {
    if (saved[i] != again[i]) {
      firstDiff = std::min(firstDiff, i);
      lastDiff = i;
    }
  }
  if (firstDiff < saved.size()) {
    EXPECT_LT(lastDiff - firstDiff, 16u) << "from " << firstDiff << " to " << lastDiff;
  }
}

TEST_F(SavedGameTest, AFileOfTheDataBuilderLoadsIntoAFreshDocument) {
  MakeInterface(1);
  MakeDocument();
  SavedGameDescription game;
  game.description = "BUILT";
  game.nextMission = "M2.CAN";
  SavedGroupRecord sign;
  sign.name = kMovedGroup;
  sign.moverType = -1;
  sign.values[1] = 0.25f;  // position
  sign.values[2] = 1.0f;   // speed
  sign.values[4] = 3.0f;   // axis y
  sign.visible = 0;
  sign.running = 1;
  game.groups.push_back(sign);
  game.state.player.block[6 + 12] = 11.0f;  // matrix x
  game.state.ammo[2] = 7;
  game.state.difficulty = 3;
  game.state.flags[3] = 1;  // a display switch that ran while it was saved
  game.state.countdownMs = 12000;
  game.state.countdownEvent = "boom";
  game.state.inventoryAmmo[2] = 21;  // slugs, in the file's order
  game.state.inventoryAmmo[3] = 22;  // nukes
  game.timedEvents = {{"hide exit_sign", 300}};
  game.damageable = {{"nowhere", 5.0f, 2}};
  game.sounds = {{"HUM", 1, 2, 3, -100, kMovedGroup}};
  const std::string path = Path("built.sav");
  WriteBytes(path, WriteSavedGame(game));

  ASSERT_TRUE(doc_->OnOpenDocument(path.c_str()));
  EXPECT_EQ(g_NextMissionArchive, CString("M2.CAN"));
  EXPECT_EQ(interface_->GetDifficulty(), 3);
  EXPECT_FALSE(doc_->IsPaused());  // that byte belongs to the running display
  EXPECT_EQ(doc_->GetAmmo(2), 7);
  EXPECT_EQ(doc_->GetCountdownMs(), 12000);
  EXPECT_EQ(doc_->GetCountdownEvent(), CString("boom"));
  EXPECT_EQ(g_ShipInventory.ammo[3], 21);  // the document's order
  EXPECT_EQ(g_ShipInventory.ammo[2], 22);
  ASSERT_NE(doc_->GetLocalPlayer(), nullptr);
  EXPECT_FLOAT_EQ(doc_->GetLocalPlayer()->GetX(), 11.0f);
  PolygonGroup* group = GroupFindByName(doc_->GetWorld(), kMovedGroup);
  ASSERT_NE(group, nullptr);
  EXPECT_FALSE(GroupIsVisible(group));
  EXPECT_TRUE(GroupIsMoving(group));
  EXPECT_FLOAT_EQ(group->position, 0.25f);
  EXPECT_EQ(events_->GetTimedEventCount(), 1);
  ASSERT_EQ(g_pSoundManager->Instances().size(), 1u);
  EXPECT_EQ(g_pSoundManager->Instances()[0]->mover, group);

  // The slot list reads the same header.
  ScopedEnv slotData("XDG_DATA_HOME", folder_.Path().c_str());
  std::filesystem::create_directories(std::string(SaveGamePath(4).GetString()).substr(
      0, std::string(SaveGamePath(4).GetString()).rfind('/')));
  WriteBytes(SaveGamePath(4).GetString(), WriteSavedGame(game));
  CString mission = "x", description = "y", third = "z";
  ASSERT_TRUE(CNetDoc::LoadTaggedFile(4, &mission, &description, &third));
  EXPECT_EQ(mission, CString("M1.CAN"));
  EXPECT_EQ(description, CString("BUILT"));
  EXPECT_EQ(third, CString(""));
  mission = "unchanged";
  EXPECT_FALSE(CNetDoc::LoadTaggedFile(5, &mission, &description, &third));
  WriteBytes(SaveGamePath(5).GetString(), {'K', 'R', 'V', 'Y', 0x13, 0x1A, 1, 0});
  EXPECT_FALSE(CNetDoc::LoadTaggedFile(5, &mission, &description, &third));
  EXPECT_EQ(mission, CString("unchanged"));
}

// What a damaged file is, and where the loader finds it.
struct DamagedFile {
  const char* what;
  std::function<void(SavedGameDescription&)> describe;
  std::function<void(std::vector<uint8_t>&, const SavedGameLayout&)> damage;
  bool header;  // refused by the header check, before anything is loaded
};

TEST_F(SavedGameTest, DamagedFilesAreRefusedAndLeaveAnEmptyDocument) {
  auto none = [](SavedGameDescription&) {};
  auto keep = [](std::vector<uint8_t>&, const SavedGameLayout&) {};
  auto cutAt = [](size_t SavedGameLayout::*item, int extra) {
    return [item, extra](std::vector<uint8_t>& b, const SavedGameLayout& l) { b.resize(l.*item + extra); };
  };
  auto u32At = [](size_t SavedGameLayout::*item, int extra, uint32_t value) {
    return [item, extra, value](std::vector<uint8_t>& b, const SavedGameLayout& l) { PutU32(b, l.*item + extra, value); };
  };
  auto withGroup = [](const char* name) {
    return [name](SavedGameDescription& g) {
      SavedGroupRecord record;
      record.name = name;
      g.groups.push_back(record);
    };
  };
  const std::vector<DamagedFile> cases = {
      {"foreign tag", [](SavedGameDescription& g) { g.tag[3] = 'Y'; }, keep, true},
      {"other version", [](SavedGameDescription& g) { g.version = 72210; }, keep, true},
      {"cut in the version", none, cutAt(&SavedGameLayout::version, 2), true},
      {"cut in the header strings", none, cutAt(&SavedGameLayout::mission, 3), true},
      {"a mission of another form", [](SavedGameDescription& g) { g.mission = "../M1.CAN"; }, keep, true},
      {"a mission that isn't there", [](SavedGameDescription& g) { g.mission = "M7.CAN"; }, keep, true},
      {"a 2 GiB mission name",
       none,
       [](std::vector<uint8_t>& b, const SavedGameLayout& l) {
         const uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80};
         b.insert(b.begin() + static_cast<long>(l.mission), std::begin(huge), std::end(huge));
       },
       true},
      {"cut before the groups", none, cutAt(&SavedGameLayout::groupCount, 0), false},
      {"cut in a group", withGroup(kMovedGroup), cutAt(&SavedGameLayout::firstGroup, 40), false},
      {"a group count of 2^31 - 1", none, u32At(&SavedGameLayout::groupCount, 0, 0x7FFFFFFF), false},
      {"a negative group count", none, u32At(&SavedGameLayout::groupCount, 0, 0xFFFFFFFF), false},
      {"a group the level doesn't have", withGroup("no_such_group"), keep, false},
      {"a group with a NaN matrix",
       [](SavedGameDescription& g) {
         SavedGroupRecord record;
         record.name = kMovedGroup;
         record.world[3] = std::nanf("");
         g.groups.push_back(record);
       },
       keep, false},
      {"cut in the state", none, cutAt(&SavedGameLayout::state, 9), false},
      {"cut in the player", none, cutAt(&SavedGameLayout::playerClass, 30), false},
      {"no player", [](SavedGameDescription& g) { g.state.writePlayer = false; }, keep, false},
      {"a player of an unknown class",
       none, [](std::vector<uint8_t>& b, const SavedGameLayout& l) { b[l.playerClass + 12] = 'X'; }, false},
      {"a player of another class",
       none,
       [](std::vector<uint8_t>& b, const SavedGameLayout& l) {
         // "CDirectPlayer" becomes "CObjectList  " in a name of 13.
         std::memcpy(&b[l.playerClass - 2], "\x0b\x00" "CObjectList", 13);
       },
       false},
      {"a player with a NaN position",
       [](SavedGameDescription& g) { g.state.player.block[6 + 13] = std::nanf(""); }, keep, false},
      {"a difficulty of 7", [](SavedGameDescription& g) { g.state.difficulty = 7; }, keep, false},
      {"a countdown event of 2 GiB",
       none,
       [](std::vector<uint8_t>& b, const SavedGameLayout& l) {
         const uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80};
         b.erase(b.begin() + static_cast<long>(l.countdownEvent));
         b.insert(b.begin() + static_cast<long>(l.countdownEvent), std::begin(huge), std::end(huge));
       },
       false},
      {"cut in the events", none, cutAt(&SavedGameLayout::events, 1), false},
      {"an object list of an unknown class",
       none, [](std::vector<uint8_t>& b, const SavedGameLayout& l) { b[l.objectList + 6] = 'X'; }, false},
      {"a damageable count of 2^31 - 1", none, u32At(&SavedGameLayout::damageableCount, 0, 0x7FFFFFFF), false},
      {"cut in the sounds", [](SavedGameDescription& g) { g.sounds = {{"HUM", 1, 2, 3, 0, ""}}; },
       cutAt(&SavedGameLayout::sounds, 8), false},
      {"a sound count of 2^32 - 1", none, u32At(&SavedGameLayout::sounds, 0, 0xFFFFFFFF), false},
  };
  MakeInterface(1);
  for (const DamagedFile& c : cases) {
    SCOPED_TRACE(c.what);
    SavedGameDescription game;
    c.describe(game);
    SavedGameLayout layout;
    std::vector<uint8_t> bytes = WriteSavedGame(game, &layout);
    c.damage(bytes, layout);
    const std::string path = Path("damaged.sav");
    WriteBytes(path, bytes);

    SavedGameHeader header;
    CString message;
    EXPECT_EQ(SavedGameCheckFile(path.c_str(), &header, &message), !c.header);
    if (c.header) {
      EXPECT_FALSE(message.IsEmpty());
    }

    MakeDocument();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(doc_->OnOpenDocument(path.c_str()));
    const std::string shown = testing::internal::GetCapturedStderr();
    if (!c.header) {
      EXPECT_NE(shown.find(kDamagedSavedGameText), std::string::npos) << shown;
    }
    EXPECT_FALSE(doc_->IsGameRunning());
    EXPECT_FALSE(doc_->IsLoading());
    EXPECT_EQ(doc_->GetWorld(), nullptr);
    EXPECT_EQ(doc_->GetLocalPlayer(), nullptr);
    EXPECT_EQ(g_pScriptManager, nullptr);
    EXPECT_FALSE(interface_->GetWindow() && interface_->GetWindow()->IsShowingPicture());
    DeleteDocument();
  }
  // The good file of the same builder loads.
  MakeDocument();
  const std::string good = Path("good.sav");
  WriteBytes(good, WriteSavedGame(SavedGameDescription{}));
  EXPECT_TRUE(doc_->OnOpenDocument(good.c_str()));
}

TEST_F(SavedGameTest, ASaveThatFailsOrIsCutOffBeforeTheRenameLeavesTheOldSlot) {
  MakeDocument();
  const std::string slot = Path("slot.sav");
  // No game runs: nothing is written.
  EXPECT_FALSE(doc_->SaveGame(slot.c_str()));
  EXPECT_FALSE(std::filesystem::exists(slot));
  DeleteDocument();

  StartMission();
  ASSERT_TRUE(doc_->SaveGame(slot.c_str()));
  const std::vector<uint8_t> old = ReadBytes(slot);
  doc_->SetFreon(3.0f);

  // The disk fills up after the data: the slot keeps its file, and no
  // temporary file stays behind.
  g_SaveGameBeforeReplace = [](const char*) { throw CFileException(CFileException::diskFull); };
  EXPECT_FALSE(doc_->SaveGame(slot.c_str()));
  EXPECT_EQ(ReadBytes(slot), old);
  int files = 0;
  for (const auto& entry : std::filesystem::directory_iterator(folder_.Path())) {
    if (entry.path().filename().string().rfind("slot.sav", 0) == 0) ++files;
  }
  EXPECT_EQ(files, 1);

  // The process ends between the complete temporary file and the rename.
  g_SaveGameBeforeReplace = [](const char*) { std::_Exit(3); };
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(doc_->SaveGame(slot.c_str()), ::testing::ExitedWithCode(3), "");
  g_SaveGameBeforeReplace = nullptr;
  EXPECT_EQ(ReadBytes(slot), old);
  // The old slot still loads.
  FreshDocument();
  EXPECT_TRUE(doc_->OnOpenDocument(slot.c_str()));
}

class SavedGameAppTest : public AppTest {};

// Through the application, as the load screen opens a slot: a file that is
// no saved game leaves the running game alone; one damaged deeper ends in an
// empty document under the menus; a good one runs.
TEST_F(SavedGameAppTest, AHeaderRefusalKeepsTheGameAndDeeperDamageBringsTheMenus) {
  Start();
  Sleep(2000);
  Pump();
  app_->RequestNewGame(false);
  app_->OnIdle(0);
  ASSERT_NE(g_pNetDoc, nullptr);
  ASSERT_TRUE(g_pNetDoc->IsGameRunning());
  const std::string good = folder_.Join("good.sav");
  ASSERT_TRUE(g_pNetDoc->SaveGame(good.c_str()));

  const std::string foreign = folder_.Join("foreign.sav");
  WriteBytes(foreign, {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'});
  CNetDoc* running = g_pNetDoc;
  testing::internal::CaptureStderr();
  app_->OpenSavedGame(foreign.c_str());
  EXPECT_NE(testing::internal::GetCapturedStderr().find(kNotSavedGameText), std::string::npos);
  EXPECT_EQ(g_pNetDoc, running);
  EXPECT_TRUE(g_pNetDoc->IsGameRunning());

  SavedGameDescription game;
  SavedGroupRecord missing;
  missing.name = "no_such_group";
  game.groups.push_back(missing);
  const std::string damaged = folder_.Join("damaged.sav");
  WriteBytes(damaged, WriteSavedGame(game));
  testing::internal::CaptureStderr();
  app_->OpenSavedGame(damaged.c_str());
  EXPECT_NE(testing::internal::GetCapturedStderr().find(kDamagedSavedGameText), std::string::npos);
  ASSERT_NE(g_pNetDoc, nullptr);
  EXPECT_FALSE(g_pNetDoc->IsGameRunning());
  EXPECT_EQ(g_pNetDoc->GetWorld(), nullptr);
  EXPECT_TRUE(g_pInterface->IsMenuActive());
  EXPECT_FALSE(g_pInterface->GetWindow()->IsShowingPicture());

  app_->OpenSavedGame(good.c_str());
  ASSERT_NE(g_pNetDoc, nullptr);
  EXPECT_TRUE(g_pNetDoc->IsGameRunning());
  EXPECT_NE(g_pNetDoc->GetLocalPlayer(), nullptr);
  EXPECT_FALSE(g_pInterface->GetWindow()->IsShowingPicture());
}

}  // namespace
