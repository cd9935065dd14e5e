#pragma once
// The software rasteriser's shared state: the one RasterState that every
// polygon set-up loads and the fillers and span routines read, the software
// z-buffer, and the tables the span families read (blend table,
// translucency mode, stipple parity, reciprocals).
#include <cstdint>

#include "engine/records.h"

// Which ScreenVertex layout the current vertex ring has.
enum class VertexKind : std::int32_t {
  kPlain = 0,  // ScreenVertex
  kLit,        // ScreenVertexLit
  kUV,         // ScreenVertexUV
  kUVLit,      // ScreenVertexUVLit
  kZ,          // ScreenVertexZ
  kZLit,       // ScreenVertexZLit
};

using SpanPrepareHook = void (*)();

// Gradient plane indices: value at pixel offset (dx, dy) from the view centre
// is dx * plane[kGradientStepX] + dy * plane[kGradientStepY] + plane[kGradientCentre].
inline constexpr int kGradientStepX = 0;
inline constexpr int kGradientStepY = 1;
inline constexpr int kGradientCentre = 2;

inline constexpr int kPerspectiveStepLog2Initial = 4;  // 16 pixels at program start

// One static instance (g_Raster). Each set-up overwrites what it needs.
struct RasterState {
  // Target, copied from the view at every set-up.
  std::uint8_t* firstRow;
  std::int32_t pitch;
  std::int32_t width;
  std::int32_t height;
  // The vertex ring handed to the set-up.
  const std::int32_t* vertexFirst;
  const std::int32_t* vertexEnd;
  VertexKind vertexKind;
  // Texture: pixel block and base-2 sizes of level 0.
  const std::uint8_t* pixels;
  std::int32_t log2Width;
  std::int32_t log2Height;
  // Below 0: a see-through polygon, whose spans are recorded, not drawn.
  std::int32_t flatColour;
  // Surface gradients: S and T are u and v (16.16 texels) times Q; Q is
  // proportional to the reciprocal depth.
  float s[3];
  float t[3];
  float q[3];
  std::int32_t uOffset;         // 16.16, added to u
  std::int32_t vOffsetNegated;  // 16.16, added to v (the surface's offset negated)
  // Perspective step, written by ChoosePerspectiveStep; the step fields keep
  // their values while a polygon is affine.
  bool affine;
  std::int32_t stepLog2;  // 2..5
  std::int32_t step;      // 4..32
  float stepFloat;
  // Light, 16.16: shade row = level >> 16.
  std::int32_t light;
  std::int32_t lightStep;  // per pixel
  // Lazy gradient preparation.
  bool prepared;
  SpanPrepareHook hook;
  Surface* hookSurface;
  std::int32_t hookWidth;
  std::int32_t hookHeight;
  const float* hookMatrix;  // group world matrix, or null
  // Inputs of one span routine call.
  std::int32_t du;  // 16.16 texels per pixel, of the level being drawn
  std::int32_t dv;
  std::uint32_t* zRow;  // families A and B: z entry of the first pixel
  std::uint32_t z;      // first z value
  std::uint32_t zStep;  // per pixel (two's complement)
  // The one span of a single-span drawer.
  std::int32_t spanLine;
  std::int32_t spanFirst;
  std::int32_t spanEnd;        // exclusive
  std::uint8_t* spanTarget;    // address of the first pixel of the span
  std::uint8_t* spanRowStart;  // address of column 0 of the span's line
  std::int32_t rowParity;      // stipple: line & 1
};

extern RasterState g_Raster;

// Software z-buffer: null, or zBufferWidth x zBufferHeight entries row after
// row. An entry is Q x kZScale rounded (larger = nearer, 0 = farthest).
extern std::uint32_t* g_ZBuffer;
extern std::int32_t g_ZBufferWidth;
extern std::int32_t g_ZBufferHeight;
inline constexpr double kZScale = 520093696.0;  // 31 x 2^24

// Allocates a cleared z-buffer of width x height entries (freeing any old
// one). 0 and no buffer for sizes outside 1..4096.
int ZBufferAllocate(int width, int height);
// Frees the z-buffer; g_ZBuffer becomes null.
void ZBufferRelease();

// Translucency of families G and H: bit 0 set = blend table, clear = stipple.
extern std::int32_t g_TranslucencyMode;
// Alternates 0/1 every frame (RenderWorld); the stipple's frame parity.
extern std::uint8_t g_StippleParity;

// Row = the pixel already in the target, column = the texel; entry = the
// palette index nearest to the mean of the two colours. Built by the picture
// code once per run.
inline constexpr int kBlendTableBytes = 256 * 256;
extern std::uint8_t g_BlendTable[kBlendTableBytes];

// Entry k = 1 / (k + 1); filled by the first CoverageReset. Segments are at
// most this long, so views wider than this are refused.
inline constexpr int kReciprocalCount = 2047;
extern float g_Reciprocal[kReciprocalCount];
void ReciprocalTableFill();
