#include "engine/matrix.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

namespace {

constexpr float kPi = std::numbers::pi_v<float>;

// Every test starts from the identity with an empty stack.
class MatrixTest : public ::testing::Test {
 protected:
  void SetUp() override {
    while (g_MatrixStack.depth > 0) MatrixPop();
    MatrixIdentity();
  }
  void TearDown() override { SetUp(); }
};

void ExpectMatrixNear(const float* expected, float tolerance = 1e-5f) {
  Matrix current;
  MatrixGet(current);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(current[i], expected[i], tolerance) << "element " << i;
}

const Matrix kIdentity = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

TEST_F(MatrixTest, TranslateThenRotateTranslatesFirst) {
  MatrixTranslate(1, 2, 3);
  MatrixRotateZ(kPi / 2);
  float x, y, z;
  MatrixTransformPoint(0, 0, 0, &x, &y, &z);
  EXPECT_NEAR(x, -2.0f, 1e-5f);
  EXPECT_NEAR(y, 1.0f, 1e-5f);
  EXPECT_NEAR(z, 3.0f, 1e-5f);
}

TEST_F(MatrixTest, MultiplyPostMultipliesSoTheArgumentActsLast) {
  const Matrix a = {2, 0, 0, 0, 0, 3, 0, 0, 0, 0, 4, 0, 0, 0, 0, 1};     // scale
  const Matrix b = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 10, 20, 30, 1};  // translate
  MatrixLoad(a);
  MatrixMultiply(b);
  float x, y, z;
  MatrixTransformPoint(1, 1, 1, &x, &y, &z);
  EXPECT_FLOAT_EQ(x, 12.0f);  // scaled, then moved
  EXPECT_FLOAT_EQ(y, 23.0f);
  EXPECT_FLOAT_EQ(z, 34.0f);
  MatrixLoad(b);
  MatrixMultiply(a);
  MatrixTransformPoint(1, 1, 1, &x, &y, &z);
  EXPECT_FLOAT_EQ(x, 22.0f);  // moved, then scaled
  EXPECT_FLOAT_EQ(y, 63.0f);
  EXPECT_FLOAT_EQ(z, 124.0f);
}

struct RotationCase {
  const char* name;
  void (*rotate)(float);
  int cosines[2];
  int sine;       // element holding +sin
  int minusSine;  // element holding -sin
};

TEST_F(MatrixTest, EachRotationHasItsLayout) {
  const RotationCase cases[] = {
      {"X", MatrixRotateX, {5, 10}, 6, 9},
      {"Y", MatrixRotateY, {0, 10}, 8, 2},
      {"Z", MatrixRotateZ, {0, 5}, 1, 4},
  };
  const float a = 0.3f;
  for (const RotationCase& c : cases) {
    MatrixIdentity();
    c.rotate(a);
    Matrix expected;
    std::copy(std::begin(kIdentity), std::end(kIdentity), expected);
    expected[c.cosines[0]] = std::cos(a);
    expected[c.cosines[1]] = std::cos(a);
    expected[c.sine] = std::sin(a);
    expected[c.minusSine] = -std::sin(a);
    SCOPED_TRACE(c.name);
    ExpectMatrixNear(expected);
  }
}

TEST_F(MatrixTest, AxisRotationAboutXUndoesRotateX) {
  MatrixRotateX(0.7f);
  MatrixRotateAxis(1, 0, 0, 0.7f);
  ExpectMatrixNear(kIdentity);
}

TEST_F(MatrixTest, AxisRotationTurnsOppositeToTheAxisRotations) {
  // Quarter turn about +z: MatrixRotateZ takes x to +y, the axis form to -y.
  MatrixRotateAxis(0, 0, 2, kPi / 2);  // the axis need not be unit length
  float x, y, z;
  MatrixTransformPoint(1, 0, 0, &x, &y, &z);
  EXPECT_NEAR(x, 0.0f, 1e-6f);
  EXPECT_NEAR(y, -1.0f, 1e-6f);
  EXPECT_NEAR(z, 0.0f, 1e-6f);
}

TEST_F(MatrixTest, AxisRotationWithZeroAxisChangesNothing) {
  MatrixTranslate(4, 5, 6);
  Matrix before;
  MatrixGet(before);
  MatrixRotateAxis(0, 0, 0, 1.0f);
  ExpectMatrixNear(before, 0.0f);
}

TEST_F(MatrixTest, ScaleAlsoScalesTheTranslationRow) {
  MatrixTranslate(3, 4, 5);
  MatrixScale(2, 1, 1);
  Matrix m;
  MatrixGet(m);
  EXPECT_FLOAT_EQ(m[0], 2.0f);
  EXPECT_FLOAT_EQ(m[12], 6.0f);
  EXPECT_FLOAT_EQ(m[13], 4.0f);
  EXPECT_FLOAT_EQ(m[14], 5.0f);
}

TEST_F(MatrixTest, InvertGivesTheInverse) {
  MatrixRotateY(0.4f);
  MatrixRotateX(-1.1f);
  MatrixScale(2, 3, 0.5f);
  MatrixTranslate(7, -8, 9);
  Matrix forward;
  MatrixGet(forward);
  MatrixInvert();
  MatrixMultiply(forward);  // inverse x forward
  ExpectMatrixNear(kIdentity, 1e-5f);
}

TEST_F(MatrixTest, InvertNeedsRowSwapsForAZeroDiagonal) {
  // A permutation: the first pivot is not on the diagonal.
  const Matrix swap = {0, 1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 5, 6, 7, 1};
  MatrixLoad(swap);
  MatrixInvert();
  MatrixMultiply(swap);
  ExpectMatrixNear(kIdentity);
}

TEST_F(MatrixTest, InvertOfSingularMatrixIsAllZeros) {
  const Matrix zeroColumn = {1, 0, 0, 0, 2, 0, 3, 0, 4, 0, 5, 0, 6, 0, 7, 1};
  MatrixLoad(zeroColumn);
  MatrixInvert();
  const Matrix zeros = {};
  ExpectMatrixNear(zeros, 0.0f);
}

TEST_F(MatrixTest, OrthonormaliseMakesRowsUnitAndOrthogonalAndKeepsTranslation) {
  const Matrix skewed = {2, 0, 0, 0, 1, 3, 0, 0, 1, 1, 4, 0, 9, 8, 7, 1};
  MatrixLoad(skewed);
  MatrixOrthonormalise();
  const Matrix expected = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 9, 8, 7, 1};
  ExpectMatrixNear(expected);
}

TEST_F(MatrixTest, OrthonormaliseLeavesATinyRowAsItIs) {
  const Matrix tiny = {1, 0, 0, 0, 0, 0.0001f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
  MatrixLoad(tiny);
  MatrixOrthonormalise();
  Matrix m;
  MatrixGet(m);
  EXPECT_FLOAT_EQ(m[5], 0.0001f);
}

TEST_F(MatrixTest, PushAndPopRestoreTheSavedMatrix) {
  MatrixTranslate(1, 2, 3);
  ASSERT_EQ(MatrixPush(), 1);
  MatrixRotateZ(1.0f);
  MatrixPop();
  const Matrix expected = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 1, 2, 3, 1};
  ExpectMatrixNear(expected, 0.0f);
}

TEST_F(MatrixTest, FullStackRefusesThePushAndTheMatchingPopRestoresAnOlderMatrix) {
  for (int i = 0; i < kMatrixStackDepth; ++i) {
    MatrixIdentity();
    MatrixTranslate(static_cast<float>(i), 0, 0);
    ASSERT_EQ(MatrixPush(), 1) << "push " << i;
  }
  EXPECT_EQ(g_MatrixStack.depth, 50);
  MatrixIdentity();
  MatrixTranslate(100, 0, 0);
  EXPECT_EQ(MatrixPush(), 0);  // the 51st
  EXPECT_EQ(g_MatrixStack.depth, 50);
  Matrix m;
  MatrixGet(m);
  EXPECT_FLOAT_EQ(m[12], 100.0f);  // refused push changed nothing
  MatrixPop();                     // the refused push's pop: the 50th push's matrix
  MatrixGet(m);
  EXPECT_FLOAT_EQ(m[12], 49.0f);
  for (int i = 0; i < 50; ++i) MatrixPop();  // 51 pops in all
  EXPECT_EQ(g_MatrixStack.depth, 0);
  MatrixGet(m);
  EXPECT_FLOAT_EQ(m[12], 0.0f);  // the first push's matrix
}

TEST_F(MatrixTest, PopOnEmptyStackIsIgnored) {
  MatrixTranslate(5, 5, 5);
  MatrixPop();
  Matrix m;
  MatrixGet(m);
  EXPECT_FLOAT_EQ(m[12], 5.0f);
  EXPECT_EQ(g_MatrixStack.depth, 0);
}

}  // namespace
