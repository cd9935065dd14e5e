// The hardware pass's polygon queue: append rules and the hand-over order.
#include <gtest/gtest.h>

#include <vector>

#include "engine/render_hardware.h"

namespace {

struct Call {
  int vertexCount;
  PolyVertex* first;
  Texture* texture;
  int colour;
};
std::vector<Call> g_Calls;

void Record(int vertexCount, PolyVertex* vertices, Texture* texture, int colour) {
  g_Calls.push_back({vertexCount, vertices, texture, colour});
}

class PolyQueueTest : public ::testing::Test {
 protected:
  void SetUp() override {
    g_Calls.clear();
    PolyQueueReset(Record);
  }
  static int Queue(int vertices, int colour) {
    PolyVertex* at = PolyQueueWritePosition();
    for (int i = 0; i < vertices && i < PolyQueueSpace(); ++i) at[i].x = static_cast<float>(colour);
    return PolyQueueAppend(vertices, colour, nullptr);
  }
};

TEST_F(PolyQueueTest, HandOverRunsFromTheLastQueuedToTheFirstAndEmptiesTheQueue) {
  Texture texture = {};
  ASSERT_EQ(Queue(3, 1), 1);
  ASSERT_EQ(Queue(5, 2), 1);
  PolyQueueWritePosition()[0].x = 3;
  ASSERT_EQ(PolyQueueAppend(4, 3, &texture), 1);
  PolyQueueHandOver();
  ASSERT_EQ(g_Calls.size(), 3u);
  EXPECT_EQ(g_Calls[0].colour, 3);
  EXPECT_EQ(g_Calls[0].vertexCount, 4);
  EXPECT_EQ(g_Calls[0].texture, &texture);
  EXPECT_EQ(g_Calls[0].first, g_PolyQueue.vertices + 8);
  EXPECT_EQ(g_Calls[1].colour, 2);
  EXPECT_EQ(g_Calls[1].vertexCount, 5);
  EXPECT_EQ(g_Calls[2].colour, 1);
  EXPECT_EQ(g_Calls[2].vertexCount, 3);
  EXPECT_EQ(g_Calls[2].first, g_PolyQueue.vertices);
  EXPECT_EQ(g_PolyQueue.count, 0);
  EXPECT_EQ(g_PolyQueue.writeIndex, 0);
  PolyQueueHandOver();
  EXPECT_EQ(g_Calls.size(), 3u);
}

TEST_F(PolyQueueTest, The3001stPolygonAndOneThatDoesNotFitAreNotQueued) {
  for (int i = 0; i < kPolyQueuePolygons; ++i) ASSERT_EQ(Queue(3, i & 0xFF), 1) << i;
  EXPECT_EQ(Queue(3, 7), 0);
  EXPECT_EQ(g_PolyQueue.count, kPolyQueuePolygons);

  PolyQueueReset(Record);
  ASSERT_EQ(Queue(kPolyQueueVertices - 2, 1), 1);
  EXPECT_EQ(Queue(3, 2), 0);  // only two records left
  EXPECT_EQ(Queue(2, 3), 1);
  EXPECT_EQ(PolyQueueSpace(), 0);
}

}  // namespace
