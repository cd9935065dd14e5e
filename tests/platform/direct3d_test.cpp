#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/device_3d.h"
#include "platform/direct3d.h"

namespace {

// An execute buffer's bytes built record by record.
struct Stream {
  std::vector<uint8_t> bytes;
  template <typename Record>
  void Put(const Record& r) {
    const size_t at = bytes.size();
    bytes.resize(at + sizeof(Record));
    std::memcpy(bytes.data() + at, &r, sizeof(Record));
  }
};

D3DTLVERTEX Vertex(float x, float y, D3DCOLOR colour) {
  D3DTLVERTEX v;
  v.sx = x;
  v.sy = y;
  v.sz = 0.5f;
  v.rhw = 1.0f;
  v.color = colour;
  return v;
}

// Three vertices and a stream that draws them as one triangle with the
// given texture handle.
Stream TriangleStream(D3DCOLOR colour, DWORD texture, D3DEXECUTEDATA* data, float size = 64.0f) {
  Stream s;
  s.Put(Vertex(0, 0, colour));
  s.Put(Vertex(size, 0, colour));
  s.Put(Vertex(0, size, colour));
  data->dwVertexCount = 3;
  data->dwInstructionOffset = static_cast<DWORD>(s.bytes.size());
  s.Put(D3DINSTRUCTION{D3DOP_PROCESSVERTICES, sizeof(D3DPROCESSVERTICES), 1});
  s.Put(D3DPROCESSVERTICES{D3DPROCESSVERTICES_COPY, 0, 0, 3, 0});
  s.Put(D3DINSTRUCTION{D3DOP_STATERENDER, sizeof(D3DSTATE), 1});
  s.Put(D3DSTATE{D3DRENDERSTATE_TEXTUREHANDLE, texture});
  s.Put(D3DINSTRUCTION{D3DOP_TRIANGLE, sizeof(D3DTRIANGLE), 1});
  s.Put(D3DTRIANGLE{0, 1, 2, 0});
  s.Put(D3DINSTRUCTION{D3DOP_EXIT, 0, 0});
  data->dwInstructionLength = static_cast<DWORD>(s.bytes.size()) - data->dwInstructionOffset;
  return s;
}

TEST(Direct3DExecuteTest, AStreamThatHoldsTogetherIsDecoded) {
  D3DEXECUTEDATA data;
  const Stream s = TriangleStream(0xFFFF0000u, 0, &data);
  Direct3DProgram program;
  std::string error;
  ASSERT_TRUE(Direct3DDecodeExecute(s.bytes, data, &program, &error)) << error;
  ASSERT_EQ(program.vertices.size(), 3u);
  ASSERT_EQ(program.instructions.size(), 4u);
  EXPECT_EQ(program.instructions[2].triangles.size(), 1u);
  EXPECT_EQ(program.instructions.back().opcode, D3DOP_EXIT);
}

TEST(Direct3DExecuteTest, DamagedStreamsAreRefusedWithTheirReason) {
  struct Case {
    const char* what;
    void (*spoil)(std::vector<uint8_t>& bytes, D3DEXECUTEDATA& data);
  };
  const Case cases[] = {
      {"vertex section", [](std::vector<uint8_t>&, D3DEXECUTEDATA& d) { d.dwVertexCount = 1000; }},
      {"instruction section", [](std::vector<uint8_t>&, D3DEXECUTEDATA& d) { d.dwInstructionLength += 4; }},
      {"without an exit", [](std::vector<uint8_t>&, D3DEXECUTEDATA& d) { d.dwInstructionLength -= 4; }},
      {"record size", [](std::vector<uint8_t>& b, D3DEXECUTEDATA& d) { b[d.dwInstructionOffset + 1] = 12; }},
      {"records run past", [](std::vector<uint8_t>& b, D3DEXECUTEDATA& d) { b[d.dwInstructionOffset + 2] = 200; }},
      {"vertex outside", [](std::vector<uint8_t>& b, D3DEXECUTEDATA& d) { b[d.dwInstructionOffset + 36] = 9; }},
      {"processed outside", [](std::vector<uint8_t>& b, D3DEXECUTEDATA& d) { b[d.dwInstructionOffset + 12] = 4; }},
      {"unknown opcode", [](std::vector<uint8_t>& b, D3DEXECUTEDATA& d) { b[d.dwInstructionOffset] = 13; }},
  };
  for (const Case& c : cases) {
    D3DEXECUTEDATA data;
    Stream s = TriangleStream(0xFFFF0000u, 0, &data);
    c.spoil(s.bytes, data);
    Direct3DProgram program;
    std::string error;
    EXPECT_FALSE(Direct3DDecodeExecute(s.bytes, data, &program, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
  }
}

// The GL device on Mesa's software rasteriser: CI has no GPU and no display.
class Gl3DDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    device_ = Gl3DDeviceCreate();
    std::string why;
    ASSERT_TRUE(device_->Open(&why)) << why;
  }
  // Draws the stream on a 64x64 target cleared to blue; the pixels back.
  std::vector<uint8_t> Draw(const Stream& s, const D3DEXECUTEDATA& data) {
    std::vector<uint8_t> target(64 * 64 * 4, 0);
    for (size_t i = 0; i < target.size(); i += 4) {
      target[i + 2] = 255;
      target[i + 3] = 255;
    }
    Direct3DProgram program;
    std::string error;
    EXPECT_TRUE(Direct3DDecodeExecute(s.bytes, data, &program, &error)) << error;
    device_->SceneBegin(64, 64, target.data());
    device_->Execute(program, D3DVIEWPORT{});
    device_->SceneEnd(target.data());
    return target;
  }
  static const uint8_t* At(const std::vector<uint8_t>& rgba, int x, int y) { return &rgba[(y * 64 + x) * 4]; }
  std::unique_ptr<Platform3DDevice> device_;
};

TEST_F(Gl3DDeviceTest, ATriangleCoversItsScreenPixelsTopDown) {
  D3DEXECUTEDATA data;
  const std::vector<uint8_t> rgba = Draw(TriangleStream(0xFFFF0000u, 0, &data), data);
  EXPECT_EQ(At(rgba, 2, 2)[0], 255);  // inside, near the top left
  EXPECT_EQ(At(rgba, 2, 2)[2], 0);
  EXPECT_EQ(At(rgba, 60, 60)[0], 0);  // beyond the diagonal: the target's blue
  EXPECT_EQ(At(rgba, 60, 60)[2], 255);
}

TEST_F(Gl3DDeviceTest, TexelsOfAlphaZeroAreNotDrawnAndTheRestModulate) {
  const uint32_t texture = device_->TextureCreate();
  ASSERT_NE(texture, 0u);
  // 2x1: left texel see-through, right texel white.
  const uint8_t texels[] = {0, 255, 0, 0, 255, 255, 255, 255};
  device_->TextureUpload(texture, 2, 1, texels);
  Stream s;
  D3DEXECUTEDATA data;
  // A quad over the whole target, u from 0 to 1 across it.
  D3DTLVERTEX v[4] = {Vertex(-1, -1, 0xFF00FF00u), Vertex(64, -1, 0xFF00FF00u), Vertex(64, 64, 0xFF00FF00u),
                      Vertex(-1, 64, 0xFF00FF00u)};
  v[1].tu = v[2].tu = 1.0f;
  for (const D3DTLVERTEX& x : v) s.Put(x);
  data.dwVertexCount = 4;
  data.dwInstructionOffset = static_cast<DWORD>(s.bytes.size());
  s.Put(D3DINSTRUCTION{D3DOP_PROCESSVERTICES, sizeof(D3DPROCESSVERTICES), 1});
  s.Put(D3DPROCESSVERTICES{D3DPROCESSVERTICES_COPY, 0, 0, 4, 0});
  s.Put(D3DINSTRUCTION{D3DOP_STATERENDER, sizeof(D3DSTATE), 1});
  s.Put(D3DSTATE{D3DRENDERSTATE_TEXTUREHANDLE, texture});
  s.Put(D3DINSTRUCTION{D3DOP_TRIANGLE, sizeof(D3DTRIANGLE), 2});
  s.Put(D3DTRIANGLE{0, 1, 2, 1});
  s.Put(D3DTRIANGLE{0, 2, 3, D3DTRIFLAG_EVEN});
  s.Put(D3DINSTRUCTION{D3DOP_EXIT, 0, 0});
  data.dwInstructionLength = static_cast<DWORD>(s.bytes.size()) - data.dwInstructionOffset;
  const std::vector<uint8_t> rgba = Draw(s, data);
  EXPECT_EQ(At(rgba, 10, 30)[2], 255);  // left half: the key, the target shows
  EXPECT_EQ(At(rgba, 10, 30)[1], 0);
  EXPECT_EQ(At(rgba, 50, 30)[1], 255);  // right half: white texel x green vertex
  EXPECT_EQ(At(rgba, 50, 30)[2], 0);
  device_->TextureDelete(texture);
}

TEST_F(Gl3DDeviceTest, HalfAlphaBlendsWithTheTargetWhenBlendingIsOn) {
  D3DEXECUTEDATA data;
  Stream s = TriangleStream(0x80FF0000u, 0, &data);
  // Blending on, as the game's render states set it, before the triangle.
  Stream blend;
  for (size_t i = 0; i < data.dwInstructionOffset; ++i) blend.bytes.push_back(s.bytes[i]);
  blend.Put(D3DINSTRUCTION{D3DOP_STATERENDER, sizeof(D3DSTATE), 3});
  blend.Put(D3DSTATE{D3DRENDERSTATE_BLENDENABLE, 1});
  blend.Put(D3DSTATE{D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA});
  blend.Put(D3DSTATE{D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA});
  blend.bytes.insert(blend.bytes.end(), s.bytes.begin() + data.dwInstructionOffset, s.bytes.end());
  data.dwInstructionLength += 4 + 3 * sizeof(D3DSTATE);
  const std::vector<uint8_t> rgba = Draw(blend, data);
  EXPECT_NEAR(At(rgba, 2, 2)[0], 128, 2);
  EXPECT_NEAR(At(rgba, 2, 2)[2], 127, 2);
}

}  // namespace
