#include <gtest/gtest.h>

#include <vector>

#include "engine/texture.h"
#include "render/d3d/execute_batch_3d.h"
#include "render/d3d/texture_slots_3d.h"
#include "tests/d3d/d3d_fixture.h"

namespace {

class ExecuteBatch3DTest : public D3DFixture {
 protected:
  void SetUp() override {
    D3DFixture::SetUp();
    ASSERT_TRUE(SetUpBackEnd());
    texture_ = CreateTexture("wall", 32, 32);
    LoadAllTextures3D();
    BeginScene3D();
    executionsBefore_ = Executions().size();
  }
  // An n-gon round (x, y) in 16.16 view pixels, every vertex lit by light.
  static std::vector<PolyVertex> Polygon(int n, float light = 1.0f) {
    std::vector<PolyVertex> v(static_cast<size_t>(n) + 1);
    for (int i = 0; i < n; ++i) v[i] = PolyVertex{float(100 + i) * 65536.0f, 50.0f * 65536.0f, 10.0f, 0.1f,
                                                   float(i),  0.5f, light, 0, 0, 0};
    return v;
  }
  // The instructions of a program with the given opcode.
  static std::vector<const Direct3DInstruction*> Of(const Direct3DProgram& p, BYTE opcode) {
    std::vector<const Direct3DInstruction*> found;
    for (const Direct3DInstruction& i : p.instructions)
      if (i.opcode == opcode) found.push_back(&i);
    return found;
  }
  Texture* texture_ = nullptr;
  size_t executionsBefore_ = 0;
};

TEST_F(ExecuteBatch3DTest, VerticesAreStagedInReverseClampedWithDepthScaled) {
  SetViewportTop3D(7);
  std::vector<PolyVertex> v = Polygon(3);
  v[0].x = -100.0f * 65536.0f;
  v[1].y = 10000.0f * 65536.0f;
  AddPolygon3D(3, v.data(), nullptr, 20);
  ASSERT_EQ(BatchVertexCount3D(), 3);
  const D3DTLVERTEX& last = BatchVertex3D(2);  // the call's first vertex
  EXPECT_EQ(last.sx, 0.0f);
  EXPECT_FLOAT_EQ(last.sz, 10.0f * 0.0002f);
  EXPECT_EQ(last.rhw, 0.1f);
  // y beyond the display is clamped to mode height - 2 before the top is added.
  EXPECT_EQ(BatchVertex3D(1).sy, 478.0f + 7.0f);
  EXPECT_FLOAT_EQ(BatchVertex3D(0).sx, 102.0f * 2.0f);
}

TEST_F(ExecuteBatch3DTest, ATriangleIsOneTriangleAndAQuadTwoWithStripFlags) {
  std::vector<PolyVertex> tri = Polygon(3), quad = Polygon(4);
  AddPolygon3D(3, tri.data(), nullptr, 20);
  AddPolygon3D(4, quad.data(), nullptr, 20);
  FlushPolygons3D();
  ASSERT_EQ(Executions().size(), executionsBefore_ + 1);
  std::vector<D3DTRIANGLE> triangles;
  for (const Direct3DInstruction* i : Of(LastProgram(), D3DOP_TRIANGLE))
    triangles.insert(triangles.end(), i->triangles.begin(), i->triangles.end());
  ASSERT_EQ(triangles.size(), 3u);
  EXPECT_EQ(triangles[0].wFlags, 0);
  EXPECT_EQ(triangles[1].wFlags, 1);
  EXPECT_EQ(triangles[2].wFlags, D3DTRIFLAG_EVEN);
  EXPECT_EQ(triangles[1].v1, 3);  // a fan round the quad's first staged vertex
  EXPECT_EQ(triangles[2].v3, 6);
  EXPECT_EQ(LastProgram().vertices.size(), 7u);
}

TEST_F(ExecuteBatch3DTest, ColoursFollowTheLightAndTheColourRules) {
  struct Case {
    const char* what;
    float light, red, green, blue, bias;
    bool textured;
    int colour;
    D3DCOLOR expected;
  };
  const Case cases[] = {
      {"sums over 1 are scaled down", 1.0f, 1.0f, 0, 0, 0, true, 0, 0xFFFF7F7Fu},
      {"the bias lifts a dark vertex", 0.0f, 0, 0, 0, 0.25f, true, 0, 0xFF3F3F3Fu},
      {"translucent textures get alpha 0x80", 0.5f, 0, 0, 0, 0, true, 0x100, 0x807F7F7Fu},
      {"own colour: alpha from the light", 0.5f, 1.0f, 0.0f, 0.2f, 0, false, -1, 0x7FFF0033u},
      {"palette colour times the light", 0.5f, 0, 0, 0, 0, false, 200, 0xFF646464u},
  };
  for (const Case& c : cases) {
    SetLightBias3D(c.bias);
    std::vector<PolyVertex> v = Polygon(3, c.light);
    for (PolyVertex& p : v) {
      p.red = c.red;
      p.green = c.green;
      p.blue = c.blue;
    }
    AddPolygon3D(3, v.data(), c.textured ? texture_ : nullptr, c.colour);
    EXPECT_EQ(BatchVertex3D(BatchVertexCount3D() - 1).color, c.expected) << c.what;
  }
}

TEST_F(ExecuteBatch3DTest, The500thPolygonExecutesTheBatchAndTheNextReEmitsItsStates) {
  std::vector<PolyVertex> v = Polygon(3);
  for (int i = 0; i < 499; ++i) AddPolygon3D(3, v.data(), texture_, 0);
  EXPECT_EQ(Executions().size(), executionsBefore_);
  AddPolygon3D(3, v.data(), texture_, 0);
  ASSERT_EQ(Executions().size(), executionsBefore_ + 1);
  EXPECT_EQ(BatchPolygonCount3D(), 0);
  // One texture for the whole batch: its states once.
  EXPECT_EQ(RenderStates(LastProgram()).size(), 1u);
  AddPolygon3D(3, v.data(), texture_, 0);
  FlushPolygons3D();
  const std::vector<D3DSTATE> states = RenderStates(LastProgram());
  ASSERT_EQ(states.size(), 1u);
  EXPECT_EQ(states[0].dwArg, g_D3DTextureSlots[texture_->hardwareSlot].textureHandle);
  EXPECT_EQ(Of(LastProgram(), D3DOP_STATELIGHT).size(), 1u);
}

TEST_F(ExecuteBatch3DTest, AnUntexturedFirstPolygonSetsTheWhiteTextureExplicitly) {
  std::vector<PolyVertex> v = Polygon(3);
  AddPolygon3D(3, v.data(), nullptr, 30);
  AddPolygon3D(3, v.data(), texture_, 0);
  AddPolygon3D(3, v.data(), nullptr, 30);
  FlushPolygons3D();
  const std::vector<D3DSTATE> states = RenderStates(LastProgram());
  ASSERT_EQ(states.size(), 3u);
  const D3DTEXTUREHANDLE white = g_D3DTextureSlots[g_D3DTextureSlotCount].textureHandle;
  EXPECT_NE(white, 0u);
  EXPECT_EQ(states[0].dwArg, white);
  EXPECT_EQ(states[2].dwArg, white);
}

TEST_F(ExecuteBatch3DTest, LongPolygonsAreSplitAndTheVertexLimitFlushesFirst) {
  std::vector<PolyVertex> big = Polygon(100);
  AddPolygon3D(100, big.data(), nullptr, 30);
  // Two fans round vertex 0: 64 and 38 vertices, 98 triangles in all.
  EXPECT_EQ(BatchPolygonCount3D(), 2);
  EXPECT_EQ(BatchVertexCount3D(), 64 + 38);
  FlushPolygons3D();
  std::vector<PolyVertex> v = Polygon(16);
  for (int i = 0; i < 500; ++i) AddPolygon3D(16, v.data(), nullptr, 30);
  // 8,000 vertices fill the staging area exactly: the 500th executes it.
  EXPECT_EQ(BatchVertexCount3D(), 0);
  std::vector<PolyVertex> w = Polygon(20);
  for (int i = 0; i < 401; ++i) AddPolygon3D(20, w.data(), nullptr, 30);
  EXPECT_EQ(BatchVertexCount3D(), 20);  // the 401st waited for a flush
}

TEST_F(ExecuteBatch3DTest, TwoVertexCallsQueueLinesAndThe101stIsDropped) {
  std::vector<PolyVertex> line(3);
  line[0] = PolyVertex{10, 20, 0, 0, 0, 0, 0, 0, 0, 0};
  line[1] = PolyVertex{30, 40, 0, 0, 0, 0, 0, 0, 0, 0};
  line[2].x = 150.0f;  // the palette index
  for (int i = 0; i < 101; ++i) AddPolygon3D(2, line.data(), nullptr, 0);
  EXPECT_EQ(LineQueueCount3D(), 100);
  EXPECT_EQ(BatchVertexCount3D(), 0);
  EndScene3D();
  EXPECT_EQ(LineQueueCount3D(), 0);
  ASSERT_EQ(Executions().size(), executionsBefore_ + 100);
  const Direct3DProgram& p = LastProgram();
  ASSERT_EQ(p.vertices.size(), 2u);
  EXPECT_EQ(p.vertices[0].sx, 20.0f);
  EXPECT_EQ(p.vertices[1].sy, 80.0f);
  EXPECT_EQ(p.vertices[0].color, 0xFF969696u);
  ASSERT_EQ(Of(p, D3DOP_LINE).size(), 1u);
  EXPECT_EQ(Of(p, D3DOP_LINE)[0]->lines.size(), 1u);
  BeginScene3D();
}

TEST_F(ExecuteBatch3DTest, TheClearFillsTheRowsBetweenTopAndBottom) {
  ClearViewport3D(1, 10, 300);
  ASSERT_FALSE(device_->clears.empty());
  const D3DRECT& r = device_->clears.back();
  EXPECT_EQ(r.x1, 0);
  EXPECT_EQ(r.y1, 10);
  EXPECT_EQ(r.x2, 640);
  EXPECT_EQ(r.y2, 300);
  EndScene3D();
  BeginScene3D();
}

}  // namespace
