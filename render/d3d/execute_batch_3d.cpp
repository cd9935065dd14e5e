#include "render/d3d/execute_batch_3d.h"

#include <algorithm>
#include <cstring>

#include "engine/palette.h"
#include "render/d3d/display_3d.h"
#include "render/d3d/module_3d.h"
#include "render/d3d/texture_slots_3d.h"

namespace {

struct BatchedPolygon {
  int slot;
  int vertexCount;
  int firstVertex;
};

struct QueuedLine {
  float x0, y0, x1, y1;
  int colour;
};

// Nothing emitted yet in this batch: the first polygon always sets its
// material and texture, so a batch never inherits the previous one's.
constexpr DWORD kNoneEmitted = 0xFFFFFFFFu;

struct Batch {
  D3DTLVERTEX vertices[kBatchVertices3D];
  BatchedPolygon polygons[kBatchPolygons3D];
  int polygonCount = 0;
  int vertexCount = 0;
  int triangleCount = 0;
  QueuedLine lines[kLineQueue3D];
  int lineCount = 0;
  int viewportTop = 0;
  float lightBias = 0.0f;
};

Batch& B() {
  static Batch batch;
  return batch;
}

// 255 x value, truncated towards zero and kept to a channel.
DWORD Channel(float value) {
  const float scaled = 255.0f * value;
  if (!(scaled > 0.0f)) return 0;
  return scaled >= 255.0f ? 255u : static_cast<DWORD>(scaled);
}

DWORD Clamp255(float value) {
  if (!(value > 0.0f)) return 0;
  return value >= 255.0f ? 255u : static_cast<DWORD>(value);
}

D3DCOLOR Argb(DWORD a, DWORD r, DWORD g, DWORD b) { return (a << 24) | (r << 16) | (g << 8) | b; }

float Clamp(float a, float lo, float hi) { return a < lo ? lo : (a > hi ? hi : a); }

D3DCOLOR VertexColour(const PolyVertex& v, bool textured, bool resident, int colour) {
  if (textured && resident) {
    const float b = B().lightBias;
    const float level = (1.0f - b) * v.light + b;
    float red = level + v.red, green = level + v.green, blue = level + v.blue;
    const float largest = std::max({red, green, blue});
    if (largest > 1.0f) {
      red /= largest;
      green /= largest;
      blue /= largest;
    }
    return Argb(colour > 255 ? 0x80 : 0xFF, Channel(red), Channel(green), Channel(blue));
  }
  if (textured) return Argb(0xFF, Clamp255(128.0f * v.light), Clamp255(64.0f * v.light), 0);
  if (colour == kPolyColourOwn) return Argb(Channel(v.light), Channel(v.red), Channel(v.green), Channel(v.blue));
  const int c = std::clamp(colour, 0, kPaletteSize - 1);
  return Argb(0xFF, Clamp255(static_cast<float>(g_PaletteRed[c]) * v.light),
              Clamp255(static_cast<float>(g_PaletteGreen[c]) * v.light),
              Clamp255(static_cast<float>(g_PaletteBlue[c]) * v.light));
}

// The white slot's handles (0 when it has none).
const TextureSlot3D* WhiteSlot() { return g_D3DTextureSlots ? &g_D3DTextureSlots[g_D3DTextureSlotCount] : nullptr; }

// Draws a polygon too long for one piece as fans round its first vertex.
void AddPolygonInPieces(int n, PolyVertex* vertices, Texture* texture, int colour) {
  PolyVertex piece[kPolygonPieceVertices3D];
  piece[0] = vertices[0];
  for (int k = 1; k < n - 1; k += kPolygonPieceVertices3D - 2) {
    const int count = std::min(kPolygonPieceVertices3D - 1, n - k);
    std::copy_n(vertices + k, count, piece + 1);
    AddPolygon3D(count + 1, piece, texture, colour);
  }
}

}  // namespace

void BeginScene3D() {
  Module3D& m = D3DModule();
  ValidateTextureSlots3D();
  if (m.device) m.device->BeginScene();
  ++g_D3DFrameCounter;
}

void SetViewportTop3D(int top) { B().viewportTop = top; }

void SetLightBias3D(float bias) { B().lightBias = bias; }

void AddPolygon3D(int n, PolyVertex* vertices, Texture* texture, int colour) {
  if (n == 2) {
    QueueLine3D(vertices[0].x, vertices[0].y, vertices[1].x, vertices[1].y, static_cast<int>(vertices[2].x));
    return;
  }
  if (n < 3 || !vertices || !g_D3DTextureSlots) return;
  if (n > kPolygonPieceVertices3D) {
    AddPolygonInPieces(n, vertices, texture, colour);
    return;
  }
  Batch& b = B();
  if (b.vertexCount + n > kBatchVertices3D) FlushPolygons3D();

  const Module3D& m = D3DModule();
  int slot = g_D3DTextureSlotCount;
  bool resident = false;
  if (texture) {
    const int s = TextureSlotOf3D(texture);
    if (s != g_D3DTextureSlotCount) {
      TextureSlot3D& ts = g_D3DTextureSlots[s];
      if (!ts.videoSurface && g_D3DFrameCounter != 0) EnsureTextureResident3D(s);
      ts.lastUsed = g_D3DFrameCounter;
      resident = ts.videoSurface != nullptr;
      // A texture that could not be made resident is drawn untextured, with
      // the white slot, wherever it falls in the batch.
      if (resident) slot = s;
    }
  }

  const int first = b.vertexCount;
  b.polygons[b.polygonCount] = BatchedPolygon{slot, n, first};
  b.triangleCount += n - 2;
  const float maxX = static_cast<float>(m.clampWidth - 1);
  const float maxY = static_cast<float>(m.clampHeight - 1);
  constexpr float kToDisplay = 1.0f / 32768.0f;
  for (int i = 0; i < n; ++i) {
    const PolyVertex& v = vertices[i];
    D3DTLVERTEX& out = b.vertices[first + n - 1 - i];
    out.sx = Clamp(v.x * kToDisplay, 0.0f, maxX);
    out.sy = Clamp(v.y * kToDisplay, 0.0f, maxY) + static_cast<float>(b.viewportTop);
    out.sz = v.z * 0.0002f;
    out.rhw = v.rhw;
    out.color = VertexColour(v, texture != nullptr, resident, colour);
    out.specular = 0;
    out.tu = texture ? v.u : 0.0f;
    out.tv = texture ? v.v : 0.0f;
  }
  ++b.polygonCount;
  b.vertexCount += n;
  if (b.polygonCount == kBatchPolygons3D) FlushPolygons3D();
}

void FlushPolygons3D() {
  Batch& b = B();
  Module3D& m = D3DModule();
  const int polygons = b.polygonCount;
  const int vertexCount = b.vertexCount;
  b.polygonCount = b.vertexCount = b.triangleCount = 0;
  if (polygons == 0 || !m.executeBuffer || !m.device) return;
  D3DEXECUTEBUFFERDESC desc;
  // A buffer that cannot be locked loses this batch; the next starts empty.
  if (m.executeBuffer->Lock(&desc) != D3D_OK) return;
  ExecuteWriter3D writer(desc.lpData, desc.dwBufferSize);
  for (int i = 0; i < vertexCount; ++i) writer.Put(b.vertices[i]);
  const size_t instructions = writer.Position();
  DWORD lastMaterial = kNoneEmitted, lastTexture = kNoneEmitted;
  for (int p = 0; p < polygons; ++p) {
    const BatchedPolygon& polygon = b.polygons[p];
    const TextureSlot3D& slot = g_D3DTextureSlots[polygon.slot];
    const auto firstVertex = static_cast<WORD>(polygon.firstVertex);
    writer.ProcessVertices(firstVertex, static_cast<DWORD>(polygon.vertexCount));
    if (slot.materialHandle != lastMaterial) {
      writer.State(D3DOP_STATELIGHT, D3DLIGHTSTATE_MATERIAL, slot.materialHandle);
      lastMaterial = slot.materialHandle;
    }
    if (slot.textureHandle != lastTexture) {
      writer.State(D3DOP_STATERENDER, D3DRENDERSTATE_TEXTUREHANDLE, slot.textureHandle);
      lastTexture = slot.textureHandle;
    }
    writer.AlignForTriangles();
    const int triangles = polygon.vertexCount - 2;
    writer.Instruction(D3DOP_TRIANGLE, sizeof(D3DTRIANGLE), static_cast<WORD>(triangles));
    for (int k = 0; k < triangles; ++k) {
      const WORD flags = k == 0 ? static_cast<WORD>(polygon.vertexCount - 3) : D3DTRIFLAG_EVEN;
      writer.Put(D3DTRIANGLE{firstVertex, static_cast<WORD>(firstVertex + k + 1), static_cast<WORD>(firstVertex + k + 2),
                             flags});
    }
  }
  writer.Exit();
  m.executeBuffer->Unlock();
  if (writer.Ok())
    ExecuteBuffer3D(m.executeBuffer, static_cast<DWORD>(vertexCount), static_cast<DWORD>(instructions),
                    static_cast<DWORD>(writer.Position()));
}

HRESULT EndScene3D() {
  FlushLines3D();
  Module3D& m = D3DModule();
  return m.device ? m.device->EndScene() : DDERR_INVALIDOBJECT;
}

void QueueLine3D(float x0, float y0, float x1, float y1, int colour) {
  Batch& b = B();
  if (b.lineCount >= kLineQueue3D) return;
  const auto top = static_cast<float>(b.viewportTop);
  b.lines[b.lineCount++] = QueuedLine{2.0f * x0, top + 2.0f * y0, 2.0f * x1, top + 2.0f * y1, colour};
}

void FlushLines3D() {
  Batch& b = B();
  const int count = b.lineCount;
  b.lineCount = 0;
  for (int i = 0; i < count; ++i) {
    const QueuedLine& line = b.lines[i];
    const int c = std::clamp(line.colour, 0, kPaletteSize - 1);
    const auto red = static_cast<float>(g_PaletteRed[c]), green = static_cast<float>(g_PaletteGreen[c]),
               blue = static_cast<float>(g_PaletteBlue[c]);
    PolyVertex records[2] = {{line.x0, line.y0, 0.1f, 0, 0, 0, 0, red, green, blue},
                             {line.x1, line.y1, 0.1f, 0, 0, 0, 0, red, green, blue}};
    DrawLines3D(2, records);
  }
}

void DrawLines3D(int n, PolyVertex* records) {
  Module3D& m = D3DModule();
  const TextureSlot3D* white = WhiteSlot();
  if (n < 2 || n > 0xFFFF || !records || !m.executeBuffer || !m.device) return;
  D3DEXECUTEBUFFERDESC desc;
  if (m.executeBuffer->Lock(&desc) != D3D_OK) return;
  ExecuteWriter3D writer(desc.lpData, desc.dwBufferSize);
  for (int i = 0; i < n; ++i) {
    const PolyVertex& r = records[i];
    D3DTLVERTEX v;
    v.sx = r.x;
    v.sy = r.y;
    v.sz = r.z;
    v.rhw = 1.0f / r.z;
    v.color = Argb(0xFF, Clamp255(r.red), Clamp255(r.green), Clamp255(r.blue));
    writer.Put(v);
  }
  const size_t instructions = writer.Position();
  writer.ProcessVertices(0, static_cast<DWORD>(n));
  writer.State(D3DOP_STATELIGHT, D3DLIGHTSTATE_MATERIAL, white ? white->materialHandle : 0);
  writer.State(D3DOP_STATERENDER, D3DRENDERSTATE_TEXTUREHANDLE, white ? white->textureHandle : 0);
  writer.AlignForTriangles();
  writer.Instruction(D3DOP_LINE, sizeof(D3DLINE), static_cast<WORD>(n - 1));
  for (int k = 0; k < n - 1; ++k) writer.Put(D3DLINE{static_cast<WORD>(k), static_cast<WORD>(k + 1)});
  writer.Exit();
  m.executeBuffer->Unlock();
  if (writer.Ok())
    ExecuteBuffer3D(m.executeBuffer, static_cast<DWORD>(n), static_cast<DWORD>(instructions),
                    static_cast<DWORD>(writer.Position()));
}

void ClearViewport3D(int /*fullScreen*/, int top, int bottom) {
  Module3D& m = D3DModule();
  if (!m.viewport) return;
  int width = 0, height = 0;
  GetDisplaySize3D(&width, &height);
  const D3DRECT rect{0, top, width, bottom};
  m.viewport->Clear(1, &rect, D3DCLEAR_TARGET);
}

int BatchPolygonCount3D() { return B().polygonCount; }
int BatchVertexCount3D() { return B().vertexCount; }
int LineQueueCount3D() { return B().lineCount; }
const D3DTLVERTEX& BatchVertex3D(int i) { return B().vertices[std::clamp(i, 0, kBatchVertices3D - 1)]; }
