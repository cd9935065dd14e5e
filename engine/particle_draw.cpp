#include "engine/particle_draw.h"

#include <cmath>
#include <cstring>

#include "engine/depth_cue.h"
#include "engine/matrix.h"
#include "engine/palette.h"
#include "engine/render_hardware.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"

int ParticleProject(const Particle* particle, const View* view, ParticleShape* shape) {
  if (!particle || !view || particle->colour < 0 || particle->colour >= kPaletteSize) return 0;
  float x, y, z;
  MatrixTransformPoint(particle->x, particle->y, particle->z, &x, &y, &z);
  const bool cue = DepthCueOn() != 0;
  if ((cue && z > g_DepthCueFar) || !(z > 0.0f)) return 0;
  const double pixels = std::round(particle->size / z * g_FocalLength) + 1.0;
  const int n = !(pixels < kParticleMaxPixels) ? kParticleMaxPixels : static_cast<int>(pixels);
  const double cx = std::round(x * (1.0 / 65536.0) / z);
  const double cy = std::round(y * (1.0 / 65536.0) / z);
  if (!(cx > 0 && cx < view->width && cy > 0 && cy < view->height)) return 0;
  const int sx = static_cast<int>(cx), sy = static_cast<int>(cy);
  shape->left = sx - n / 2;
  shape->right = shape->left + n;
  shape->top = sy - n / 2;
  shape->bottom = shape->top + n;
  if (shape->left < 0) shape->left = 0;
  if (shape->top < 0) shape->top = 0;
  if (shape->right > view->width) shape->right = view->width;
  if (shape->bottom > view->height) shape->bottom = view->height;
  float c = cue ? 1.0f - z / g_DepthCueFar : 1.0f;
  if (c < 0.0f) c = 0.0f;
  shape->depth = z;
  shape->shade = c;
  const int i = particle->colour;
  shape->colour = FindPaletteColour(static_cast<int>(c * static_cast<float>(g_PaletteRed[i])),
                                    static_cast<int>(c * static_cast<float>(g_PaletteGreen[i])),
                                    static_cast<int>(c * static_cast<float>(g_PaletteBlue[i])));
  return 1;
}

void ParticleOctagon(const ParticleShape& s, PolyVertex out[8]) {
  // Thirds in 16.16, as the hardware pass takes its screen positions.
  const float left = s.left * 65536.0f, right = s.right * 65536.0f;
  const float top = s.top * 65536.0f, bottom = s.bottom * 65536.0f;
  const float w3 = (right - left) * 0.33333f, h3 = (bottom - top) * 0.33333f;
  const float xs[8] = {left + w3, left, left, left + w3, left + 2 * w3, right, right, left + 2 * w3};
  const float ys[8] = {top, top + h3, top + 2 * h3, bottom, bottom, top + 2 * h3, top + h3, top};
  for (int k = 0; k < 8; ++k) {
    out[k] = PolyVertex{xs[k], ys[k], s.depth, 1.0f / s.depth, 0.0f, 0.0f, s.shade, 0.0f, 0.0f, 0.0f};
  }
}

void DrawParticle(Particle* particle, View* view) {
  ParticleShape s;
  if (!ParticleProject(particle, view, &s)) return;
  if (view->flags & kRenderHardware) {
    // Queued like every other polygon of the frame, so it is handed over in
    // the queue's back-to-front order.
    if (PolyQueueSpace() < 8) return;
    ParticleOctagon(s, PolyQueueWritePosition());
    PolyQueueAppend(8, s.colour, nullptr);
    return;
  }
  // Rows are addressed from the top row, whichever way the pitch runs.
  if (!view->firstRow) return;
  const int h = s.bottom - s.top;
  const int third = h / 3, twoThirds = 2 * h / 3;
  for (int i = 0; i < h; ++i) {
    int x0, x1;
    if (i < third) {
      x0 = s.left + third - i;
      x1 = s.right + i - third;
    } else if (i < twoThirds) {
      x0 = s.left;
      x1 = s.right;
    } else {
      x0 = s.left + i - twoThirds;
      x1 = s.right + twoThirds - i;
    }
    if (x0 < s.left) x0 = s.left;
    if (x1 > s.right) x1 = s.right;
    if (x0 >= x1) continue;
    const int row = s.top + i;
    if (CoverageClaimSpan(x0, x1, row)) {
      std::memset(view->firstRow + static_cast<std::ptrdiff_t>(row) * view->pitch + x0, s.colour,
                  static_cast<size_t>(x1 - x0));
    }
  }
}
