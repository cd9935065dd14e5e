#include "world/objects/collision_sweep.h"

#include <cmath>
#include <cstdlib>

#include "engine/collision.h"
#include "game/net_doc.h"
#include "media/sound_manager.h"
#include "platform/crt_random.h"
#include "world/document/level_group_effects.h"
#include "world/objects/collision_settings.h"
#include "world/objects/effect_services.h"

namespace {

float Dot(const float a[3], const float b[3]) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

}  // namespace

SweepResult CollisionSweep(World* world, const float from[3], SweepBody body, const SweepRules& rules) {
  if (!world) return SweepResult::kMoved;
  const float r = rules.radius;
  float step[3];
  for (int i = 0; i < 3; ++i) step[i] = body.position[i] - from[i];
  const float length = std::sqrt(Dot(step, step));
  const float wanted = 1.0f + rules.subSteps * length / r;
  // A huge or broken step (a damaged saved game) still sweeps in a bounded
  // number of sub-steps.
  const int n = wanted >= 1.0f && wanted < 100000.0f ? static_cast<int>(wanted) : 1;
  const float target[3] = {body.position[0], body.position[1], body.position[2]};

  CollisionSettingsScope settings;
  CollisionSourceScope source(kCollisionSourceOther);
  g_CollideVerticalScale = 1.0f;
  if (body.instance) body.instance->radius = 0.0f;

  for (int i = 1; i <= n; ++i) {
    float p[3];
    for (int a = 0; a < 3; ++a) p[a] = from[a] + step[a] * static_cast<float>(i) / static_cast<float>(n);
    if (rules.beforeQuery) rules.beforeQuery(rules.context, p, n);
    float q[3] = {p[0], p[1], p[2]};
    const int hit = WorldCollideSphere(world, &q[0], &q[1], &q[2], r);
    WorldPolygon* polygon = hit ? CollideLastHit() : nullptr;
    const int surface = GetSurfaceType(polygon);
    if (rules.liquids && polygon && surface >= 1 && surface <= 3) {
      for (int a = 0; a < 3; ++a) body.position[a] = p[a] + step[a] / static_cast<float>(n);
      PlayEffectSound(ImpactSoundForSurface(surface, kSoundRicochetWater), body.position[0], body.position[1],
                      body.position[2], kSoundRandomPitch);
      if (g_pNetDoc) {
        g_pNetDoc->SpawnTracerSpray(body.owner, body.position[0], body.position[1], body.position[2],
                                    rules.splashCount, static_cast<uint32_t>(ColourForType(surface)));
      }
      return SweepResult::kSank;
    }
    if (rules.sticky && polygon) {
      for (int a = 0; a < 3; ++a) {
        body.position[a] = p[a];
        body.velocity[a] = 0.0f;
        body.spin[a] = 0.0f;
      }
      return SweepResult::kStuck;
    }
    float d[3] = {q[0] - p[0], q[1] - p[1], q[2] - p[2]};
    const float pushed = Dot(d, d);
    if (pushed <= rules.pushThreshold) continue;

    for (int a = 0; a < 3; ++a) {
      body.position[a] = q[a];
      body.spin[a] *= rules.spinFactor;
    }
    const float inverse = 1.0f / std::sqrt(pushed);
    const float normal[3] = {d[0] * inverse, d[1] * inverse, d[2] * inverse};
    float* v = body.velocity;
    const float speedSquared = Dot(v, v);
    if (speedSquared < 0.01f) return SweepResult::kMoved;
    const float c = Dot(normal, v) / std::sqrt(speedSquared);
    // Already leaving the surface.
    if (c > -0.001f) return SweepResult::kMoved;
    const float axis[3] = {normal[1] * v[2] - normal[2] * v[1], normal[2] * v[0] - normal[0] * v[2],
                           normal[0] * v[1] - normal[1] * v[0]};
    // Nearly head-on along the normal: the body is only pushed out.
    if (Dot(axis, axis) <= 0.01f) return SweepResult::kMoved;
    float restitution[3];
    for (int a = 0; a < 3; ++a) {
      const float factor = rules.restitution > 0.0f ? rules.restitution
                                                    : 1.0f + static_cast<float>(CrtRand()) * 3.05185e-06f;
      restitution[a] = v[a] * factor;
    }
    // The restitution vector turned about N x v by pi - 2 arccos |c|: its
    // mirror image in the surface.
    const float along = Dot(normal, restitution);
    for (int a = 0; a < 3; ++a) v[a] = restitution[a] - 2.0f * along * normal[a];
    return SweepResult::kBounced;
  }
  for (int a = 0; a < 3; ++a) body.position[a] = target[a];
  return SweepResult::kMoved;
}
