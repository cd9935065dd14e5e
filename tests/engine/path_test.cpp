#include "engine/path.h"

#include <cmath>

#include "engine/instance.h"
#include "tests/engine/model_fixture.h"
#include "tools/builder/demo_models.h"

namespace {

// The demo rig's network (see tools/builder/demo_models.h): 1: J100->J101
// (2 s, +z 10/s), then at J101 4: back to J100 (mask bit 0 only) before 2:
// J101->J102 (1 s, +x 5/s turning pi/2 per s about y), 3: J102->J100.
class PathTest : public ModelTest {
 protected:
  void SetUp() override {
    ASSERT_EQ(LoadModels({MakeDemoModels().back(), Chain()}), 1);
    rig_ = ModelFindByFileName(kDemoTestRigModel);
    instance_ = InstanceCreate(NewWorld(), rig_, 0, 0, 0, 0, 0, 0, 0);
    ASSERT_NE(instance_, nullptr);
  }

  // J0 -a-> J1 -b-> J2 with a's duration set by tests; b lasts 1 s at +z 10/s;
  // nothing leaves J2.
  static BuilderModel Chain() {
    BuilderModel model = BoxModel("chain.3ds", {1, 1, 1});
    model.junctions = {{0, 0}, {1, 0}, {2, 0}};
    BuilderSegment a;
    a.id = 10;
    a.from = 0;
    a.to = 1;
    a.duration = 0;
    a.startTime = 3;
    a.endTime = 4;
    BuilderSegment b;
    b.id = 11;
    b.from = 1;
    b.to = 2;
    b.duration = 1;
    b.velocity = {0, 0, 10};
    b.startTime = 100;
    b.endTime = 200;
    model.segments = {a, b};
    return model;
  }

  PathSegment* Segment(const Model* model, int id) {
    for (PathJunction* j = model->firstJunction; j; j = j->next) {
      for (PathSegment* s = j->firstOut; s; s = s->nextOut) {
        if (s->id == id) return s;
      }
    }
    return nullptr;
  }

  void Start(PathSegment* segment, int direction = 1) {
    instance_->pathSegment = segment;
    instance_->pathDirection = direction;
    instance_->pathTime = direction == 1 ? 0 : segment->duration;
  }

  Model* rig_ = nullptr;
  Instance* instance_ = nullptr;
};

TEST_F(PathTest, MovingAlongASegmentInterpolatesAnimTimeAndMarksTheInstance) {
  Start(Segment(rig_, 1));
  instance_->dirty = 0;
  instance_->matrixGiven = 1;
  EXPECT_EQ(InstanceFollowPath(instance_, 1.0f), Segment(rig_, 1));
  EXPECT_NEAR(instance_->z, 10, 1e-4);
  EXPECT_NEAR(instance_->x, 0, 1e-6);
  EXPECT_NEAR(instance_->animTime, 5, 1e-5);
  EXPECT_NEAR(instance_->pathTime, 1, 1e-6);
  EXPECT_EQ(instance_->dirty, 1);
  EXPECT_EQ(instance_->matrixGiven, 0);
}

TEST_F(PathTest, AStepAcrossAJunctionSpendsTheRestInTheNextSegment) {
  Start(Segment(rig_, 1));
  // 2 s to the junction, then half a second of the turning segment (the
  // mask-only segment listed first is not eligible with mask 0).
  EXPECT_EQ(InstanceFollowPath(instance_, 2.5f), Segment(rig_, 2));
  EXPECT_NEAR(instance_->pathTime, 0.5f, 1e-5);
  EXPECT_NEAR(instance_->animTime, 15, 1e-4);
  EXPECT_NEAR(instance_->angleY, kTestRigTurn / 2, 1e-5);
  // Five steps of 0.1 s: turn first, then move along the turned x axis.
  float x = 0, z = 20, angle = 0;
  for (int i = 0; i < 5; ++i) {
    angle += kTestRigTurn * 0.1f;
    x += 0.5f * std::cos(angle);
    z -= 0.5f * std::sin(angle);
  }
  EXPECT_NEAR(instance_->x, x, 1e-4);
  EXPECT_NEAR(instance_->z, z, 1e-4);
}

TEST_F(PathTest, AStepOfAThirdOfASecondIsIntegratedInTenthsAndARemainder) {
  Start(Segment(rig_, 2));
  InstanceFollowPath(instance_, 0.35f);
  float x = 0, z = 0, angle = 0;
  for (float h : {0.1f, 0.1f, 0.1f, 0.05f}) {
    angle += kTestRigTurn * h;
    x += 5 * h * std::cos(angle);
    z -= 5 * h * std::sin(angle);
  }
  EXPECT_NEAR(instance_->x, x, 1e-5);
  EXPECT_NEAR(instance_->z, z, 1e-5);
  EXPECT_NEAR(instance_->angleY, kTestRigTurn * 0.35f, 1e-6);
}

TEST_F(PathTest, TheMaskPicksAmongTheJunctionsSegments) {
  instance_->pathMask = 1;
  Start(Segment(rig_, 1));
  EXPECT_EQ(InstanceFollowPath(instance_, 2.25f), Segment(rig_, 4));
  EXPECT_NEAR(instance_->z, 20 - 40 * 0.25f, 1e-4);
}

TEST_F(PathTest, QueuedChoicesComeFirstOldestFirstAndUnknownOnesAreUsedUp) {
  instance_->pathMask = 1;
  InstanceQueuePathChoice(instance_, 99, 1);  // not at the junction: used up
  InstanceQueuePathChoice(instance_, 2, 1);
  InstanceQueuePathChoice(instance_, 3, 1);
  Start(Segment(rig_, 1));
  EXPECT_EQ(InstanceFollowPath(instance_, 2.1f), Segment(rig_, 2));
  EXPECT_EQ(instance_->queueCount, 1);
  // The one left is taken at the next junction.
  EXPECT_EQ(InstanceFollowPath(instance_, 1.0f), Segment(rig_, 3));
  EXPECT_EQ(instance_->queueCount, 0);
}

TEST_F(PathTest, ABackwardChoiceRunsAnIncomingSegmentFromItsEnd) {
  InstanceQueuePathChoice(instance_, 1, -1);
  Start(Segment(rig_, 1));
  EXPECT_EQ(InstanceFollowPath(instance_, 2.5f), Segment(rig_, 1));
  EXPECT_EQ(instance_->pathDirection, -1);
  EXPECT_NEAR(instance_->pathTime, 1.5f, 1e-5);
  EXPECT_NEAR(instance_->animTime, 7.5f, 1e-4);
  // The segment's velocity applies in both directions.
  EXPECT_NEAR(instance_->z, 25, 1e-4);
}

TEST_F(PathTest, TheRingHoldsSixteenChoicesAndDropsTheOldest) {
  for (int id = 0; id < 20; ++id) InstanceQueuePathChoice(instance_, id, 1);
  EXPECT_EQ(instance_->queueCount, 16);
  const int oldest = (instance_->queueEnd - instance_->queueCount + 16) % 16;
  EXPECT_EQ(instance_->queueIds[oldest], 4);
}

TEST_F(PathTest, WithNoWayOnTheInstanceRestsAtTheJunctionWhileAnimTimeRunsOn) {
  Model* chain = ModelFindByFileName("chain.3ds");
  Start(Segment(chain, 11));
  EXPECT_EQ(InstanceFollowPath(instance_, 1.5f), Segment(chain, 11));
  EXPECT_NEAR(instance_->z, 10, 1e-4);
  EXPECT_NEAR(instance_->animTime, 250, 1e-3);
  InstanceFollowPath(instance_, 1.0f);
  EXPECT_NEAR(instance_->z, 10, 1e-4);
  EXPECT_NEAR(instance_->pathTime, 2.5f, 1e-5);
  EXPECT_NEAR(instance_->animTime, 350, 1e-3);
}

TEST_F(PathTest, SegmentsOfNoTimeArePassedAtOnce) {
  Model* chain = ModelFindByFileName("chain.3ds");
  PathSegment* a = Segment(chain, 10);
  for (float duration : {0.0f, -3.0f}) {
    a->duration = duration;
    instance_->z = 0;
    Start(a);
    // Without time to spend it stays at the segment's end: no division by 0.
    EXPECT_EQ(InstanceFollowPath(instance_, 0), a);
    EXPECT_EQ(instance_->animTime, 4);
    // With time it goes straight on, and a negative duration adds none.
    EXPECT_EQ(InstanceFollowPath(instance_, 0.5f), Segment(chain, 11)) << duration;
    EXPECT_NEAR(instance_->pathTime, 0.5f, 1e-6) << duration;
    EXPECT_NEAR(instance_->z, 5, 1e-4) << duration;
    EXPECT_NEAR(instance_->animTime, 150, 1e-3) << duration;
  }
}

// The chain turned into a ring, J0 -a-> J1 -b-> J0, with both segments of
// the given duration moving +z 10/s; put back as it was read (for the
// model's free) when the test ends.
class PathRingTest : public PathTest {
 protected:
  void MakeRing(float duration) {
    Model* chain = ModelFindByFileName("chain.3ds");
    a_ = Segment(chain, 10);
    b_ = Segment(chain, 11);
    for (PathSegment* s : {a_, b_}) {
      s->duration = duration;
      s->velocity = {0, 0, 10};
    }
    j2_ = b_->toJunction;
    j0_ = a_->fromJunction;
    b_->toJunction = j0_;
    j2_->firstIn = j2_->lastIn = nullptr;
    j0_->firstIn = j0_->lastIn = b_;
    Start(a_);
  }
  void TearDown() override {
    if (j0_) {
      j0_->firstIn = j0_->lastIn = nullptr;
      b_->toJunction = j2_;
      j2_->firstIn = j2_->lastIn = b_;
    }
    PathTest::TearDown();
  }
  PathSegment* a_ = nullptr;
  PathSegment* b_ = nullptr;
  PathJunction* j0_ = nullptr;
  PathJunction* j2_ = nullptr;
};

TEST_F(PathRingTest, ALoopOfSegmentsOfNoTimeDoesNotHoldTheCaller) {
  MakeRing(0);
  EXPECT_NE(InstanceFollowPath(instance_, 1.0f), nullptr);
  EXPECT_TRUE(std::isfinite(instance_->animTime));
  EXPECT_EQ(instance_->z, 0);
  EXPECT_EQ(instance_->pathTime, 0);  // at the junction, where the instance is
}

TEST_F(PathRingTest, ALongStepAroundARingOfShortSegmentsIsSpentWhole) {
  MakeRing(0.05f);
  // 200 segments and 0.02 s into the next one: far more junctions than a
  // ring of segments that take no time may pass.
  EXPECT_EQ(InstanceFollowPath(instance_, 10.02f), a_);
  EXPECT_NEAR(instance_->z, 100.2f, 0.01f);
  EXPECT_NEAR(instance_->pathTime, 0.02f, 0.001f);
}

TEST_F(PathTest, AStepOfMinutesMovesTheInstanceAsFarAsItsPathTimeGoes) {
  Model* chain = ModelFindByFileName("chain.3ds");
  PathSegment* b = Segment(chain, 11);
  b->duration = 500;
  Start(b);
  EXPECT_EQ(InstanceFollowPath(instance_, 200), b);
  EXPECT_NEAR(instance_->z, 2000, 0.01f);
  EXPECT_NEAR(instance_->pathTime, 200, 1e-4);
  EXPECT_NEAR(instance_->animTime, 140, 1e-3);
}

TEST_F(PathTest, WhenTheWorkRunsOutInsideASegmentPathTimeStopsWhereThePositionDid) {
  Model* chain = ModelFindByFileName("chain.3ds");
  PathSegment* b = Segment(chain, 11);
  b->duration = 500;
  Start(b);
  EXPECT_EQ(InstanceFollowPathBounded(instance_, 200, 50), b);  // 50 steps: 5 s
  EXPECT_NEAR(instance_->z, 50, 1e-3);
  EXPECT_NEAR(instance_->pathTime, 5, 1e-5);
}

TEST_F(PathRingTest, WhenTheWorkRunsOutAtAJunctionPathTimeStaysThere) {
  MakeRing(0.05f);
  // a, crossing, b, crossing, a, crossing: six units, then none for b.
  EXPECT_EQ(InstanceFollowPathBounded(instance_, 100, 6), b_);
  EXPECT_NEAR(instance_->z, 1.5f, 1e-4);
  EXPECT_EQ(instance_->pathTime, 0);
}

TEST_F(PathTest, NoTimeOnlySetsAnimTimeAndNoSegmentDoesNothing) {
  Start(Segment(rig_, 1));
  instance_->pathTime = 1;
  instance_->dirty = 0;
  for (float dt : {0.0f, -1.0f, NAN, INFINITY}) {
    EXPECT_EQ(InstanceFollowPath(instance_, dt), Segment(rig_, 1));
    EXPECT_EQ(instance_->z, 0);
    EXPECT_NEAR(instance_->animTime, 5, 1e-5);
    EXPECT_EQ(instance_->dirty, 1);
  }
  InstanceSetPlacement(instance_, 0, 0, 0, 0, 0, 0, 9);
  EXPECT_EQ(InstanceFollowPath(instance_, 1), nullptr);
  EXPECT_EQ(instance_->animTime, 9);
  EXPECT_EQ(InstanceFollowPath(nullptr, 1), nullptr);
}

struct MaskCase {
  uint32_t selectMask, selectPattern, pathMask;
  int accepts;
};

class PathMaskTest : public ::testing::TestWithParam<MaskCase> {};

TEST_P(PathMaskTest, ASegmentAcceptsWhenMaskedBitsXorPatternAreAllOnes) {
  PathSegment segment{};
  segment.selectMask = GetParam().selectMask;
  segment.selectPattern = GetParam().selectPattern;
  EXPECT_EQ(PathSegmentAccepts(&segment, GetParam().pathMask), GetParam().accepts);
}

INSTANTIATE_TEST_SUITE_P(Masks, PathMaskTest,
                         ::testing::Values(MaskCase{0, 0xFFFFFFFF, 0, 1}, MaskCase{0, 0xFFFFFFFF, 0x1234, 1},
                                           MaskCase{0, 0, 0xFFFFFFFF, 0}, MaskCase{1, 0xFFFFFFFE, 1, 1},
                                           MaskCase{1, 0xFFFFFFFE, 2, 0}, MaskCase{0xF0, 0xFFFFFF0F, 0xF0, 1},
                                           MaskCase{0xF0, 0xFFFFFF0F, 0x70, 0}));

}  // namespace
