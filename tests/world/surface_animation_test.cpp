// Flashing groups and texture animation over fabricated worlds, textures
// and a model node made in memory.
#include "world/document/surface_animation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/name_hash.h"
#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/surface.h"
#include "engine/texture.h"
#include "engine/world_polygon.h"
#include "tests/world/script_world.h"

namespace {

using Props = std::vector<std::pair<std::string, std::string>>;

class SurfaceAnimationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    level_ = std::make_unique<ScriptWorld>();
    records_ = std::make_unique<SurfaceAnimation>([this] { return randomValue_; });
  }
  void TearDown() override {
    records_.reset();
    level_.reset();
    FreeAllTextures();
  }
  Texture* MakeTexture(const char* name, int size = 64) {
    Texture* texture = CreateTexture(name, size, size);
    EXPECT_NE(texture, nullptr) << name;
    return texture;
  }
  // A 10 x 10 face in the group, textured with texture (one repeat per 10
  // units along x and y), with the polygon's own properties.
  WorldPolygon* TexturedFace(PolygonGroup* group, Texture* texture, const Props& props) {
    const float xs[] = {0, 10, 10, 0}, ys[] = {0, 0, 10, 10}, zs[] = {0, 0, 0, 0}, light[] = {1, 1, 1, 1};
    TextureAddRef(texture);
    Surface* surface = SurfaceCreate(level_->world(), 0, 0, 0, 10, 0, 0, 0, 10, 0, 0, 0, texture);
    WorldPolygon* polygon = PolygonCreate(level_->world(), -4, xs, ys, zs, light, surface);
    EXPECT_NE(polygon, nullptr);
    for (const auto& [key, text] : props) PropSet(&polygon->props, NameHash(key.c_str()), text.c_str());
    if (group) {
      PolygonSetGroup(polygon, group, 0);
      GroupComputeLocalCentre(group);
    }
    return polygon;
  }
  // The light of every fragment vertex of the group's polygons (one value
  // when they agree, NaN when they do not or there is none).
  static float GroupLight(PolygonGroup* group) {
    float light = NAN;
    for (int i = 0; i < group->polygonCount; ++i) {
      for (BspFragment* f = group->polygons[i]->firstFragment; f; f = f->nextInPolygon) {
        for (int v = 0; v < f->vertexCount; ++v) {
          if (std::isnan(light)) light = f->vertices[v].light;
          if (light != f->vertices[v].light) return NAN;
        }
      }
    }
    return light;
  }
  // The texture names the surface shows over frames of stepMs.
  std::vector<std::string> Shown(WorldPolygon* polygon, int frames, uint32_t stepMs) {
    std::vector<std::string> names;
    for (int i = 0; i < frames; ++i) {
      now_ += stepMs;
      records_->UpdateTextureAnimations(now_, clock_, raise_);
      names.push_back(polygon->surface->texture->name);
    }
    return names;
  }

  std::unique_ptr<ScriptWorld> level_;
  std::unique_ptr<SurfaceAnimation> records_;
  int randomValue_ = 0;
  uint32_t now_ = 10000;
  uint32_t clock_ = 10000;  // read last at now_: the first step counts its own time
  std::vector<std::string> raised_;
  SurfaceEventRaiser raise_ = [this](const char* text) { raised_.push_back(text); };
};

TEST_F(SurfaceAnimationTest, FlashBoundsAreClampedAndOrdered) {
  const struct {
    Props props;
    float min, max;
    bool random;
  } cases[] = {
      {{{"flash", "1"}, {"flash min", "0.8"}, {"flash max", "0.2"}}, 0.2f, 0.8f, false},
      {{{"flash", "1"}, {"flash min", "1.5"}}, 1.0f, 1.0f, false},
      {{{"flash", "2"}, {"flash max", "-3"}}, 0.0f, 0.0f, false},
      {{{"flash", "0.5"}}, 0.0f, 1.0f, true},
  };
  for (const auto& c : cases) level_->Group("g" + std::to_string(&c - cases), c.props);
  level_->Group("still", {{"flash", "0"}, {"flash min", "0.5"}});
  level_->Group("junk", {{"flash", "nan"}});
  records_->LoadFlashingGroups(level_->world());
  ASSERT_EQ(records_->FlashingGroups().size(), std::size(cases)) << "only a rate above 0 flashes";
  for (size_t i = 0; i < std::size(cases); ++i) {
    const FlashingGroup& f = records_->FlashingGroups()[i];
    EXPECT_FLOAT_EQ(f.min, cases[i].min) << i;
    EXPECT_FLOAT_EQ(f.max, cases[i].max) << i;
    EXPECT_EQ(f.random, cases[i].random) << i;
    EXPECT_FLOAT_EQ(f.level, 1.0f) << i;
  }
}

TEST_F(SurfaceAnimationTest, AFlashingGroupRampsBetweenItsBoundsAndTurnsAtEach) {
  PolygonGroup* lamp = level_->Group("lamp", {{"flash", "1"}, {"flash min", "0.2"}, {"flash max", "0.6"}});
  level_->Face(lamp);
  level_->Face(lamp, 20, 0, 0);
  WorldRebuildGroups(level_->world());
  ASSERT_NE(lamp->polygons[0]->firstFragment, nullptr);
  records_->LoadFlashingGroups(level_->world());
  FlashingGroup& f = records_->FlashingGroups().at(0);
  // The level starts at 1, above max: the first step turns it down at max.
  records_->UpdateFlashingGroups(now_);
  EXPECT_FLOAT_EQ(f.level, 0.6f);
  EXPECT_LT(f.rate, 0.0f);
  EXPECT_FLOAT_EQ(GroupLight(lamp), 0.6f) << "every fragment vertex of every polygon";
  // Rate 1: the whole range (0.4) in one second, each way: 0.12 in 300 ms.
  const float expected[] = {0.48f, 0.36f, 0.24f, 0.2f, 0.32f, 0.44f, 0.56f, 0.6f, 0.48f};
  for (float level : expected) {
    now_ += 300;
    records_->UpdateFlashingGroups(now_);
    EXPECT_NEAR(f.level, level, 1e-5f);
    EXPECT_NEAR(GroupLight(lamp), level, 1e-5f);
  }
  // A long stall counts at most 523 ms: 0.4 x 0.523 down from 0.48.
  now_ += 5000;
  records_->UpdateFlashingGroups(now_);
  EXPECT_NEAR(f.level, 0.48f - 0.4f * 0.523f, 1e-5f);
}

TEST_F(SurfaceAnimationTest, AFlashingGroupWithoutBoundsDrawsTheOppositeBoundAtEachTurn) {
  level_->Group("lamp", {{"flash", "1"}});
  records_->LoadFlashingGroups(level_->world());
  FlashingGroup& f = records_->FlashingGroups().at(0);
  randomValue_ = 16384;  // about a half
  records_->UpdateFlashingGroups(now_ += 10);
  EXPECT_FLOAT_EQ(f.level, 1.0f) << "turned at 1";
  const float min = 16384.0f / 32767.0f;
  EXPECT_FLOAT_EQ(f.min, min);
  // Down to the drawn bound in a second (range min..1 at rate 1), turning
  // in the step after.
  for (int i = 0; i < 10; ++i) records_->UpdateFlashingGroups(now_ += 100);
  EXPECT_NEAR(f.level, min, 1e-5f);
  records_->UpdateFlashingGroups(now_ += 100);
  EXPECT_FLOAT_EQ(f.level, min);
  EXPECT_GT(f.rate, 0.0f);
  EXPECT_FLOAT_EQ(f.max, min + (1.0f - min) * min) << "the new top lies between the bottom and 1";
}

TEST_F(SurfaceAnimationTest, TimedFramesAlternateByTheirDurations) {
  MakeTexture("ROCK1");
  MakeTexture("rock2");
  MakeTexture("rock3");
  WorldPolygon* wall = TexturedFace(
      nullptr, TextureListHead(), {{"aniframe1", "rock1, 200"}, {"aniframe2", "rock2 300"}, {"aniframe4", "rock3 5"}});
  ASSERT_TRUE(records_->LoadGroupTextureAnimations(level_->world(), nullptr));
  ASSERT_EQ(records_->TimedAnimations().size(), 1u);
  EXPECT_EQ(records_->TimedAnimations()[0].frames.size(), 2u) << "numbering stops at the first gap";
  const std::vector<std::string> shown = Shown(wall, 12, 100);
  const std::vector<std::string> expected = {"ROCK1", "rock2", "rock2", "rock2", "ROCK1", "ROCK1",
                                             "rock2", "rock2", "rock2", "ROCK1", "ROCK1", "rock2"};
  EXPECT_EQ(shown, expected);
  for (Texture* t = TextureListHead(); t; t = TextureNext(t)) {
    EXPECT_EQ(t->refs, 1 + (t == wall->surface->texture)) << t->name << ": the surface's reference follows";
  }
}

TEST_F(SurfaceAnimationTest, TimedFramesWithoutADurationShowOneHundredMilliseconds) {
  MakeTexture("a");
  MakeTexture("b");
  MakeTexture("c");
  // None of these may make the frame loop run forever.
  WorldPolygon* wall =
      TexturedFace(nullptr, TextureListHead(), {{"aniframe1", "a"}, {"aniframe2", "b, 0"}, {"aniframe3", "c,-40"}});
  ASSERT_TRUE(records_->LoadGroupTextureAnimations(level_->world(), nullptr));
  for (const TimedFrame& frame : records_->TimedAnimations().at(0).frames) {
    EXPECT_EQ(frame.durationMs, kTimedFrameDefaultMs);
  }
  EXPECT_EQ(Shown(wall, 4, 100), (std::vector<std::string>{"b", "c", "a", "b"}));

  // A frame naming no texture makes the level unusable.
  SurfaceAnimation other([] { return 0; });
  TexturedFace(nullptr, TextureListHead(), {{"aniframe1", "nothing 100"}});
  std::string missing;
  EXPECT_FALSE(other.LoadGroupTextureAnimations(level_->world(), &missing));
  EXPECT_EQ(missing, "nothing");
}

TEST_F(SurfaceAnimationTest, NumberedFrameSetsFillTheirGapsAndIgnoreHugeNumbers) {
  const struct {
    std::vector<const char*> textures;
    std::vector<std::string> frames;
  } cases[] = {
      {{"slime1", "SLIME2", "slime4", "slimy3", "slime", "slimex"}, {"slime1", "SLIME2", "slime4", "slime4"}},
      {{"slime0", "slime2"}, {"slime0", "slime2", "slime2"}},
      {{"slime2", "slime999", "slime99999999999"}, {"slime2", "slime2"}},
      {{"slime3", "other3"}, {"slime3", "slime3", "slime3"}},
  };
  for (const auto& c : cases) {
    for (const char* name : c.textures) MakeTexture(name);
    TexturedFace(nullptr, TextureListHead(), {{"animated", "SLIME"}});
    SurfaceAnimation records([] { return 0; });
    ASSERT_TRUE(records.LoadGroupTextureAnimations(level_->world(), nullptr));
    ASSERT_EQ(records.PolygonAnimations().size(), 1u) << c.textures[0];
    std::vector<std::string> frames;
    for (Texture* t : records.PolygonAnimations()[0].frames) frames.push_back(t->name);
    EXPECT_EQ(frames, c.frames) << c.textures[0];
    records.Release();
    TearDown();
    SetUp();
  }
  // No texture matches: no record, not even for the slide.
  MakeTexture("wall");
  TexturedFace(nullptr, TextureListHead(), {{"animated", "SLIME"}, {"sliding", "1"}, {"u", "1"}});
  ASSERT_TRUE(records_->LoadGroupTextureAnimations(level_->world(), nullptr));
  EXPECT_TRUE(records_->PolygonAnimations().empty());
}

TEST_F(SurfaceAnimationTest, APacedSetWrapsWithItsStopEventAndAHiddenGroupRestarts) {
  for (const char* name : {"screen1", "screen2", "screen3", "screen4", "screen5"}) MakeTexture(name);
  PolygonGroup* monitor = level_->Group("monitor");
  WorldPolygon* face = TexturedFace(monitor, TextureListHead(),
                                    {{"animated", "screen"}, {"fps", "10"}, {"animationstopevent", "looped"}});
  ASSERT_TRUE(records_->LoadGroupTextureAnimations(level_->world(), nullptr));
  const std::vector<std::string> shown = Shown(face, 12, 100);
  EXPECT_EQ(shown, (std::vector<std::string>{"screen2", "screen3", "screen4", "screen5", "screen1", "screen2",
                                             "screen3", "screen4", "screen5", "screen1", "screen2", "screen3"}));
  EXPECT_EQ(raised_, (std::vector<std::string>{"looped", "looped"})) << "once each half second";

  GroupHide(monitor, 0);
  Shown(face, 2, 100);
  EXPECT_FLOAT_EQ(records_->PolygonAnimations()[0].position, 0.0f);
  GroupShow(monitor, 0);
  EXPECT_EQ(Shown(face, 1, 100), std::vector<std::string>{"screen2"}) << "from the first frame again";
}

TEST_F(SurfaceAnimationTest, AnUnpacedSetShowsARandomFrameEachUpdate) {
  MakeTexture("spark1");
  MakeTexture("spark2");
  WorldPolygon* face = TexturedFace(nullptr, TextureListHead(), {{"animated", "spark"}});
  ASSERT_TRUE(records_->LoadGroupTextureAnimations(level_->world(), nullptr));
  EXPECT_FLOAT_EQ(records_->PolygonAnimations()[0].fps, -1.0f);
  std::vector<std::string> shown;
  for (int r : {0, 16383, 16384, 32767, 100}) {
    randomValue_ = r;
    shown.push_back(Shown(face, 1, 0).at(0));
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"spark1", "spark1", "spark2", "spark2", "spark1"}));
}

TEST_F(SurfaceAnimationTest, ASlideMovesTheOriginAlongItsAxesAndWraps) {
  Texture* water = MakeTexture("water", 128);
  WorldPolygon* face = TexturedFace(nullptr, water, {{"sliding", "1"}, {"u", "0.5"}, {"v", "-0.25"}});
  ASSERT_TRUE(records_->LoadGroupTextureAnimations(level_->world(), nullptr));
  PolygonTextureAnimation& slide = records_->PolygonAnimations().at(0);
  EXPECT_TRUE(slide.frames.empty());
  EXPECT_FLOAT_EQ(slide.uSpeed, 0.5f);
  Shown(face, 1, 100);
  EXPECT_NEAR(slide.u, 0.05f, 1e-6f);
  EXPECT_NEAR(slide.v, 0.975f, 1e-6f) << "a backward slide wraps below 0";
  slide.u = 0.98f;
  const Vec3 before = face->surface->origin;
  Shown(face, 1, 100);
  EXPECT_NEAR(slide.u, 0.03f, 1e-5f);
  // The u axis is (10, 0, 0): the origin moves (0.03 - 0.98) x 128 / 256 of it.
  EXPECT_NEAR(face->surface->origin.x - before.x, (0.03f - 0.98f) * 128 / 256 * 10, 1e-4f);
  EXPECT_NEAR(face->surface->worldOrigin.x, face->surface->origin.x, 1e-4f) << "both copies move";
}

TEST_F(SurfaceAnimationTest, AHashModelTextureCyclesThroughItsFramesAndIsGivenBack) {
  Texture* lava0 = MakeTexture("#lava0");
  for (const char* name : {"#LAVA3", "#lava1", "#lava2", "#rock1", "lava1"}) MakeTexture(name);
  Texture* plain = MakeTexture("hull");
  Texture* table[] = {plain, lava0};
  MeshNode node{};
  node.faceCount = 2;
  node.faceTexture = table;
  Model model{};
  model.firstNode = &node;
  records_->BuildTextureSequences(&model);
  ASSERT_EQ(records_->Sequences().size(), 1u) << "only the \"#\" texture";
  std::vector<std::string> frames;
  for (Texture* t : records_->Sequences()[0].frames) frames.push_back(t->name);
  EXPECT_EQ(frames, (std::vector<std::string>{"#LAVA3", "#lava1", "#lava2"})) << "sorted by bytes, with case";
  std::vector<std::string> shown;
  for (int i = 0; i < 4; ++i) {
    // One step a frame, whatever the time.
    records_->UpdateTextureAnimations(now_, clock_, raise_);
    shown.push_back(table[1]->name);
  }
  EXPECT_EQ(shown, (std::vector<std::string>{"#lava1", "#lava2", "#LAVA3", "#lava1"}));
  EXPECT_EQ(lava0->refs, 1) << "the slot's counts are not touched";
  records_->Release();
  EXPECT_EQ(table[1], lava0) << "the slot gets its load-time texture back";
  EXPECT_EQ(table[0], plain);
}

TEST_F(SurfaceAnimationTest, LinesAndPathGroupsThatLeaveTheWorldGetNoRecords) {
  Texture* slime = MakeTexture("slime1");
  MakeTexture("slime2");
  PolygonGroup* path = level_->Group("PATH_glow", {{"flash", "1"}});
  const float xs[] = {0, 10}, ys[] = {0, 0}, zs[] = {0, 0}, light[] = {1, 1};
  TextureAddRef(slime);
  Surface* surface = SurfaceCreate(level_->world(), 0, 0, 0, 10, 0, 0, 0, 10, 0, 0, 0, slime);
  WorldPolygon* line = PolygonCreate(level_->world(), -2, xs, ys, zs, light, surface);
  ASSERT_NE(line, nullptr);
  PropSet(&line->props, NameHash("animated"), "slime");
  PolygonSetGroup(line, path, 0);
  records_->LoadFlashingGroups(level_->world());
  ASSERT_TRUE(records_->LoadGroupTextureAnimations(level_->world(), nullptr));
  EXPECT_TRUE(records_->FlashingGroups().empty());
  EXPECT_TRUE(records_->PolygonAnimations().empty());
  // As the level start does; the next steps touch nothing freed.
  PolygonDelete(line);
  GroupDelete(path);
  records_->UpdateFlashingGroups(now_ += 100);
  records_->UpdateTextureAnimations(now_, clock_, raise_);
}

TEST(TextureFrameNumberTest, TheNumberAfterThePrefix) {
  const struct {
    const char* prefix;
    const char* name;
    int number;
  } cases[] = {
      {"slime", "SLIME12", 12}, {"slime", "slime", -1}, {"slime", "slimex1", -1},          {"slime", "slim1", -1},
      {"slime", "slime007", 7}, {"", "3x", 3},          {"s", "s99999999999", 2147483647},
  };
  for (const auto& c : cases) {
    Texture texture{};
    texture.name = const_cast<char*>(c.name);
    EXPECT_EQ(TextureFrameNumber(c.prefix, &texture), c.number) << c.prefix << " " << c.name;
  }
}

}  // namespace
