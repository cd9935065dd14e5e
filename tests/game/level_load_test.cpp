// What a mission load binds by name, and the end of the program when a
// mission or the textures lack something a level needs: each missing piece
// has its own line in "ERROR.LOG".
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "engine/texture.h"
#include "game/net_doc.h"
#include "tests/game/document_fixture.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/demo_textures.h"
#include "tools/builder/model_writer.h"
#include "tools/builder/texture_writer.h"

namespace {

class LevelLoadTest;

// One way of spoiling the level's data and the line it must end with.
struct Spoiled {
  const char* what;
  int line;
  std::function<void(LevelLoadTest*, const std::string& folder)> spoil;
};

class LevelLoadTest : public DocumentTest {
 public:
  void ExpectEachEndsWithItsLine(const std::vector<Spoiled>& cases);

  // "TEXTURES.CAN" of the demo textures as edit leaves them.
  void WriteTextures(const std::function<void(std::vector<BuilderTexture>*)>& edit) {
    if (demoTextures_.empty()) demoTextures_ = MakeDemoTextures(palette_);
    std::vector<BuilderTexture> textures = demoTextures_;
    edit(&textures);
    ArchiveWriter archive;
    ASSERT_TRUE(AddTextureArchive(&archive, palette_, textures));
    ASSERT_TRUE(archive.WriteFile(folder_.Join("TEXTURES.CAN")));
  }

 private:
  const BuilderPalette palette_ = MakeDemoPalette();
  std::vector<BuilderTexture> demoTextures_;
};

void Drop(std::vector<BuilderTexture>* textures, const std::string& name) {
  std::erase_if(*textures, [&](const BuilderTexture& t) { return t.name == name; });
}

TEST_F(LevelLoadTest, SpecialTexturesAreBoundByNameIgnoringCaseWithTheirSlotsClamped) {
  WriteTextures([](std::vector<BuilderTexture>* textures) {
    for (BuilderTexture& texture : *textures) {
      if (texture.name == "BODY08.BMP") texture.name = "body09.bmp";  // beyond the eighth: the last slot
      if (texture.name == "!mpulse7.bmp") texture.name = "!MPULSE9.BMP";  // no frame 9: not bound
    }
    Drop(textures, "!mpulse3.bmp");
  });
  MakeDocument();
  doc_->LoadLevel();
  ASSERT_NE(doc_->GetBodySkin(7), nullptr);
  EXPECT_STREQ(doc_->GetBodySkin(7)->name, "body09.bmp");
  Texture* first = doc_->GetEnergyPulseFrame(0);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->name, "!mpulse0.bmp");
  EXPECT_STREQ(doc_->GetEnergyPulseFrame(2)->name, "!mpulse2.bmp");
  // Missing frames take the first one.
  EXPECT_EQ(doc_->GetEnergyPulseFrame(3), first);
  EXPECT_EQ(doc_->GetEnergyPulseFrame(7), first);
  EXPECT_NE(first->pixels, nullptr);
}

TEST_F(LevelLoadTest, AMissionWithoutADebrisModelCountsTheOthersWithoutAGap) {
  std::vector<BuilderModel> models = MakeDemoModels();
  std::erase_if(models, [](const BuilderModel& m) { return m.name == "debris02.3ds"; });
  ArchiveWriter mission = ArchiveWithout(DemoMissionArchive(), "OBJECTS");
  ASSERT_TRUE(AddObjectsMember(&mission, models));
  ASSERT_TRUE(mission.WriteFile(folder_.Join("M1.CAN")));
  MakeDocument();
  doc_->LoadLevel();
  ASSERT_EQ(doc_->GetDebrisCount(), kDemoDebrisCount - 1);
  EXPECT_STREQ(doc_->GetDebrisModel(1)->name, "debris01.3ds");
  EXPECT_STREQ(doc_->GetDebrisModel(2)->name, "debris03.3ds");
}

void WriteMission(const ArchiveWriter& mission, const std::string& folder) {
  ASSERT_TRUE(mission.WriteFile(folder + "/M1.CAN"));
}

// The mission without a member, or with the member replaced by bytes.
Spoiled MemberCase(const char* what, int line, const char* member, std::vector<uint8_t> bytes = {}, bool add = false) {
  return {what, line, [=](LevelLoadTest*, const std::string& folder) {
            ArchiveWriter mission = ArchiveWithout(DemoMissionArchive(), member);
            if (add) mission.AddMember(member, bytes);
            WriteMission(mission, folder);
          }};
}

// The mission without a model, and without the level's instances of it
// (which could not be read without their model).
Spoiled ModelCase(const char* model, int line) {
  return {model, line, [=](LevelLoadTest*, const std::string& folder) {
            std::vector<BuilderModel> models = MakeDemoModels();
            std::erase_if(models, [&](const BuilderModel& m) { return m.name == model; });
            ArchiveWriter mission = ArchiveWithout(ArchiveWithout(DemoMissionArchive(), "OBJECTS"), kDemoLevelMember);
            ASSERT_TRUE(AddObjectsMember(&mission, models));
            ASSERT_TRUE(mission.AddMember(kDemoLevelMember, DemoLevelMember([&](DemoLevel* level) {
              std::erase_if(level->instances, [&](const BuilderInstance& i) { return i.model == model; });
            })));
            WriteMission(mission, folder);
          }};
}

Spoiled TextureCase(const char* texture, int line) {
  return {texture, line, [=](LevelLoadTest* test, const std::string&) {
            test->WriteTextures([&](std::vector<BuilderTexture>* textures) { Drop(textures, texture); });
          }};
}

// Each case in a forked child (it reads the archives this process wrote):
// the load must end with exit code 1 and one log line of the document's
// source and the case's line.
void LevelLoadTest::ExpectEachEndsWithItsLine(const std::vector<Spoiled>& cases) {
  GTEST_FLAG_SET(death_test_style, "fast");
  const std::string log = data_.Join("korvane/ERROR.LOG");
  size_t logged = 0;
  const std::vector<uint8_t> mission = ReadFileBytes(folder_.Join("M1.CAN"));
  const std::vector<uint8_t> textures = ReadFileBytes(folder_.Join("TEXTURES.CAN"));
  for (const Spoiled& spoiled : cases) {
    SCOPED_TRACE(spoiled.what);
    folder_.WriteFile("M1.CAN", mission);
    folder_.WriteFile("TEXTURES.CAN", textures);
    spoiled.spoil(this, folder_.Path());
    // The fatal path deletes the document it finds in g_pNetDoc.
    EXPECT_EXIT((new CNetDoc())->LoadLevel(), ::testing::ExitedWithCode(1), "");
    const std::vector<uint8_t> bytes = ReadFileBytes(log);
    const std::string added = std::string(bytes.begin(), bytes.end()).substr(std::min(logged, bytes.size()));
    logged += added.size();
    const std::string line = " NetDoc(" + std::to_string(spoiled.line) + "): Abnormal exit\n";
    EXPECT_TRUE(added.size() > line.size() && added.compare(added.size() - line.size(), line.size(), line) == 0)
        << "logged: " << added;
    EXPECT_EQ(std::count(added.begin(), added.end(), '\n'), 1) << added;
  }
}

TEST_F(LevelLoadTest, EachMissingArchiveOrMemberEndsTheProgramWithItsLine) {
  ExpectEachEndsWithItsLine({
      {"no TEXTURES.CAN", 552,
       [](LevelLoadTest*, const std::string& folder) { std::remove((folder + "/TEXTURES.CAN").c_str()); }},
      MemberCase("no OBJECTS", 558, "OBJECTS"),
      MemberCase("a broken OBJECTS", 559, "OBJECTS", {1, 2, 3}, true),
      MemberCase("no world", 564, kDemoLevelMember),
      MemberCase("a broken world", 566, kDemoLevelMember, {0, 0, 0, 0, 9}, true),
      MemberCase("no FILE_ID", 568, "FILE_ID"),
      MemberCase("a short FILE_ID", 569, "FILE_ID", {1, 0}, true),
  });
}

TEST_F(LevelLoadTest, EachMissingModelEndsTheProgramWithItsLine) {
  ExpectEachEndsWithItsLine({
      ModelCase("hero.3ds", 575),
      ModelCase("rocket.3ds", 577),
      ModelCase("sentry.3ds", 578),
      ModelCase("homing.3ds", 579),
      ModelCase("nukebomb.3ds", 580),
      ModelCase("cargo.3ds", 581),
  });
}

TEST_F(LevelLoadTest, EachMissingSpecialTextureEndsTheProgramWithItsLine) {
  ExpectEachEndsWithItsLine({
      TextureCase("BODY03.BMP", 659),
      TextureCase("WING08.BMP", 665),
      TextureCase("RLASER.BMP", 671),
      TextureCase("SLASER.BMP", 675),
      TextureCase("FIREWAVE.BMP", 679),
      TextureCase("RBULLET.BMP", 683),
      TextureCase("!BHOLE1.BMP", 687),
      TextureCase("!BHOLE2.BMP", 691),
      TextureCase("MOLNIA.BMP", 695),
      TextureCase("!mpulse0.bmp", 700),
  });
}

}  // namespace
