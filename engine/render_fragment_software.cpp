#include <cmath>

#include "engine/frame_stamp.h"
#include "engine/frustum_clip.h"
#include "engine/light_select.h"
#include "engine/lighting.h"
#include "engine/polygon_math.h"
#include "engine/render_software.h"
#include "engine/render_world.h"
#include "engine/view.h"
#include "render/coverage_buffer.h"
#include "render/polygon_setup.h"
#include "render/screen_lines.h"

using namespace polymath;

namespace {

Vec3 FragmentPoint(const BspFragment* fragment, int i) {
  const int index = fragment->vertices[i].vertex;
  return {g_WorldVertexX[index], g_WorldVertexY[index], g_WorldVertexZ[index]};
}

template <typename Vertex>
Vertex* ClipOutputAs() {
  return reinterpret_cast<Vertex*>(g_ClipOutput);
}

// The light spot of the fragment: the foot point on its plane of the first
// point light (type 0) of the world that lies in front of it, closer than
// four times its size, and whose foot point lies inside the fragment.
bool FindLightSpot(const BspFragment* fragment, Vec3* spot) {
  const WorldPolygon* polygon = fragment->polygon;
  if (!polygon->surface) return false;
  const Vec3 normal = polygon->worldNormal;
  const int count = fragment->vertexCount;
  auto makesSpot = [&](const Light* light) {
    if (light->type != kLightTypePoint) return false;
    const Vec3 position = {light->x, light->y, light->z};
    const float t = Dot(normal, position) - polygon->worldD;
    if (!(t > 0.0f && t < 4.0f * light->size)) return false;
    const Vec3 foot = position - normal * t;
    Vec3 previous = FragmentPoint(fragment, count - 1);
    for (int i = 0; i < count; ++i) {
      const Vec3 current = FragmentPoint(fragment, i);
      if (Dot(foot - previous, Cross(normal, current - previous)) < 0.0f) return false;
      previous = current;
    }
    *spot = foot;
    return true;
  };
  // The lights chosen for the fragment are those of the list that can
  // reach it, in list order: the first that makes a spot is the same.
  if (g_LightSelection.active) {
    for (int i = 0; i < g_LightSelection.count; ++i) {
      if (makesSpot(g_LightSelection.lights[i])) return true;
    }
    return false;
  }
  for (const Light* light = g_CurrentWorld->firstLight; light; light = light->next) {
    if (makesSpot(light)) return true;
  }
  return false;
}

// The lights that can reach the fragment, for its lighting and light spot,
// chosen while it is drawn.
class FragmentLights {
 public:
  explicit FragmentLights(const BspFragment* fragment) {
    if (!g_FragmentLighting || !g_CurrentWorld || !g_CurrentWorld->firstLight) return;
    Vec3 min = FragmentPoint(fragment, 0), max = min;
    for (int i = 1; i < fragment->vertexCount; ++i) {
      const Vec3 p = FragmentPoint(fragment, i);
      min = {std::fmin(min.x, p.x), std::fmin(min.y, p.y), std::fmin(min.z, p.z)};
      max = {std::fmax(max.x, p.x), std::fmax(max.y, p.y), std::fmax(max.z, p.z)};
    }
    LightSelectBox(min, max, std::sqrt(LengthSquared(fragment->polygon->worldNormal)));
  }
  ~FragmentLights() { LightSelectRelease(); }
  FragmentLights(const FragmentLights&) = delete;
  FragmentLights& operator=(const FragmentLights&) = delete;
};

// Draws the fragment as a fan of triangles round the light spot, each
// through the lit clipper; the spot carries the mean of the vertex lights.
void DrawLightSpotFan(BspFragment* fragment, Vec3 spot, View* view) {
  const int count = fragment->vertexCount;
  float mean = 0.0f;
  for (int i = 0; i < count; ++i) mean += fragment->vertices[i].light;
  mean /= static_cast<float>(count);
  int previous = count - 1;
  for (int i = 0; i < count; ++i) {
    ClipReset(1);
    g_ClipNormal = fragment->polygon->worldNormal;
    const Vec3 a = FragmentPoint(fragment, previous), b = FragmentPoint(fragment, i);
    ClipLitPolygonToFrustum(kClipFirstStage, a.x, a.y, a.z, fragment->vertices[previous].light);
    ClipLitPolygonToFrustum(kClipFirstStage, b.x, b.y, b.z, fragment->vertices[i].light);
    ClipLitPolygonToFrustum(kClipFirstStage, spot.x, spot.y, spot.z, mean);
    ClipClose();
    if (g_ClipOutputVertices >= 3) {
      ScreenVertexLit* first = ClipOutputAs<ScreenVertexLit>();
      SetupShadedPolygon(view, first, first + g_ClipOutputVertices, fragment);
    }
    previous = i;
  }
}

// A polygon with no surface that is not colour-keyed is filled in its flat
// colour; every other one goes through a textured or shaded set-up.
bool DrawnFlat(const WorldPolygon* polygon) { return !polygon->surface && !(polygon->flags & kPolygonColourKeyed); }

void DrawUnclipped(BspFragment* fragment, View* view) {
  const WorldPolygon* polygon = fragment->polygon;
  const int count = fragment->vertexCount;
  const FragmentVertex* vertices = fragment->vertices;
  if (count == 2) {
    const int a = vertices[0].vertex, b = vertices[1].vertex;
    CoverageLine(view, g_VertexScreenX[a] >> 16, g_VertexScreenY[a] >> 16, g_VertexScreenX[b] >> 16,
                 g_VertexScreenY[b] >> 16, polygon->flatColour, 1);
    return;
  }
  const bool flat = DrawnFlat(polygon);
  if (!flat && g_FragmentLighting) {
    const Vec3 n = polygon->worldNormal;
    ScreenVertexLit screen[kFragmentMaxVertices];
    for (int i = 0; i < count; ++i) {
      const int index = vertices[i].vertex;
      screen[i] = {g_VertexScreenX[index], g_VertexScreenY[index],
                   LightingAtPoint(g_WorldVertexX[index], g_WorldVertexY[index], g_WorldVertexZ[index], n.x, n.y, n.z,
                                   vertices[i].light)};
    }
    SetupShadedPolygon(view, screen, screen + count, fragment);
    return;
  }
  ScreenVertex screen[kFragmentMaxVertices];
  for (int i = 0; i < count; ++i) {
    screen[i] = {g_VertexScreenX[vertices[i].vertex], g_VertexScreenY[vertices[i].vertex]};
  }
  if (flat) {
    FillPolygonFlat(view, screen, screen + count, polygon->flatColour);
  } else {
    SetupTexturedFragment(view, screen, screen + count, fragment);
  }
}

void DrawClipped(BspFragment* fragment, View* view) {
  const WorldPolygon* polygon = fragment->polygon;
  const int count = fragment->vertexCount;
  if (count == 2) {
    int x0, y0, x1, y1;
    if (ClipSegmentToPixels(FragmentPoint(fragment, 0), FragmentPoint(fragment, 1), &x0, &y0, &x1, &y1)) {
      CoverageLine(view, x0, y0, x1, y1, polygon->flatColour, 1);
    }
    return;
  }
  const bool flat = DrawnFlat(polygon);
  const bool lit = !flat && g_FragmentLighting;
  ClipReset(lit ? 1 : 0);
  g_ClipNormal = polygon->worldNormal;
  for (int i = 0; i < count; ++i) {
    const Vec3 p = FragmentPoint(fragment, i);
    ClipLitPolygonToFrustum(kClipFirstStage, p.x, p.y, p.z, fragment->vertices[i].light);
  }
  ClipClose();
  if (g_ClipOutputVertices < 3) return;
  if (flat) {
    ScreenVertex* first = ClipOutputAs<ScreenVertex>();
    FillPolygonFlat(view, first, first + g_ClipOutputVertices, polygon->flatColour);
  } else if (lit) {
    ScreenVertexLit* first = ClipOutputAs<ScreenVertexLit>();
    SetupShadedPolygon(view, first, first + g_ClipOutputVertices, fragment);
  } else {
    ScreenVertex* first = ClipOutputAs<ScreenVertex>();
    SetupTexturedFragment(view, first, first + g_ClipOutputVertices, fragment);
  }
}

}  // namespace

void RenderFragmentSoftware(BspFragment* fragment, int clip) {
  if (!fragment || !fragment->polygon) return;
  fragment->polygon->lastDrawn = g_FrameStamp;
  View* view = g_CurrentView;
  const FragmentLights lights(fragment);
  if (g_FragmentLighting && g_FragmentLightSpots && fragment->vertexCount >= 3 && g_CurrentWorld &&
      g_CurrentWorld->firstLight) {
    Vec3 spot;
    if (FindLightSpot(fragment, &spot)) {
      DrawLightSpotFan(fragment, spot, view);
      return;
    }
  }
  if (clip) {
    DrawClipped(fragment, view);
  } else {
    DrawUnclipped(fragment, view);
  }
}
