// Flashing groups and texture animation: the records read from the level's
// group, polygon and texture names, and their step each frame.
#include "world/document/surface_animation.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "engine/polygon_group.h"
#include "engine/properties.h"
#include "engine/surface_mapping.h"
#include "engine/texture.h"
#include "platform/ascii.h"
#include "platform/debug_output.h"

namespace {

constexpr float kRandomScale = 32767.0f;
constexpr float kFpsFloor = 0.0001f;

// A number of the level's text; what is no finite number reads as 0.
float ReadFloat(const char* text) {
  const float value = static_cast<float>(std::atof(text));
  return std::isfinite(value) ? value : 0.0f;
}

float Clamp01(float value) {
  if (!(value >= 0.0f)) return 0.0f;  // NaN too
  return value > 1.0f ? 1.0f : value;
}

// The game time since the clock's last reading, at most the cap; the clock
// then reads now. A clock never read starts one millisecond back, and one
// ahead of now (a level loaded over a later game) counts nothing.
int32_t Tick(uint32_t now, uint32_t& clock) {
  if (clock == 0) clock = now - 1;
  int32_t dt = static_cast<int32_t>(now - clock);
  clock = now;
  if (dt < 0) return 0;
  return std::min(dt, kSurfaceClockCapMs);
}

Texture* FindTextureNoCase(const char* name) {
  for (Texture* texture = TextureListHead(); texture; texture = TextureNext(texture)) {
    if (texture->name && AsciiCompareNoCase(texture->name, name) == 0) return texture;
  }
  return nullptr;
}

// The surface shows texture now; the counted references follow.
void ShowTexture(Surface* surface, Texture* texture) {
  if (!surface || !texture || surface->texture == texture) return;
  TextureAddRef(texture);
  Texture* old = surface->texture;
  surface->texture = texture;
  if (old) ReleaseTexture(old);
}

void Debug(const std::string& line) { OutputDebugString(("korvane: " + line + "\n").c_str()); }

// "rock1, 200": the name up to the first blank or comma, then the
// duration after the blanks and commas. False when the duration is missing,
// no number, or not above 0.
bool SplitTimedFrame(const char* value, std::string* name, int32_t* durationMs) {
  const char* p = value;
  while (*p && *p != ' ' && *p != ',' && *p != '\t') ++p;
  name->assign(value, p);
  while (*p == ' ' || *p == ',' || *p == '\t') ++p;
  char* end = nullptr;
  errno = 0;
  const long ms = std::strtol(p, &end, 10);
  if (end == p || errno == ERANGE || ms <= 0 || ms > INT32_MAX) return false;
  *durationMs = static_cast<int32_t>(ms);
  return true;
}

}  // namespace

int TextureFrameNumber(const char* prefix, const Texture* texture) {
  if (!prefix || !texture || !texture->name) return -1;
  const size_t length = std::strlen(prefix);
  if (std::strlen(texture->name) <= length) return -1;
  if (AsciiCompareNoCaseN(prefix, texture->name, length) != 0) return -1;
  const char* rest = texture->name + length;
  if (*rest < '0' || *rest > '9') return -1;
  errno = 0;
  const long number = std::strtol(rest, nullptr, 10);
  if (errno == ERANGE || number > INT32_MAX) return INT32_MAX;
  return static_cast<int>(number);
}

SurfaceAnimation::SurfaceAnimation(SurfaceRandom random) : random_(std::move(random)) {}

SurfaceAnimation::~SurfaceAnimation() { Release(); }

void SurfaceAnimation::Release() {
  for (TextureSequence& sequence : sequences_) *sequence.slot = sequence.loaded;
  sequences_.clear();
  flashing_.clear();
  timed_.clear();
  polygons_.clear();
}

void SurfaceAnimation::LoadFlashingGroups(World* world) {
  if (!world) return;
  for (PolygonGroup* group = world->firstGroup; group; group = group->next) {
    // A path's group leaves the world when the level starts: a record of it
    // would point at a freed group.
    if (group->name && AsciiCompareNoCaseN(group->name, "path_", 5) == 0) continue;
    const char* flash = GroupGetProperty(group, "flash");
    if (!flash) continue;
    const float rate = ReadFloat(flash);
    if (!(rate > 0.0f)) continue;
    FlashingGroup record;
    record.group = group;
    record.rate = rate;
    if (const char* min = GroupGetProperty(group, "flash min")) {
      record.min = ReadFloat(min);
      record.random = false;
    }
    if (const char* max = GroupGetProperty(group, "flash max")) {
      record.max = ReadFloat(max);
      record.random = false;
    }
    record.min = Clamp01(record.min);
    record.max = Clamp01(record.max);
    if (record.min > record.max) std::swap(record.min, record.max);
    flashing_.push_back(record);
  }
}

void SurfaceAnimation::UpdateFlashingGroups(uint32_t now) {
  const int32_t dt = Tick(now, flashClock_);
  for (FlashingGroup& f : flashing_) {
    f.level += (f.max - f.min) * f.rate * static_cast<float>(dt) * 0.001f;
    if (f.level > f.max) {
      f.level = f.max;
      f.rate = -std::fabs(f.rate);
      if (f.random) f.min = static_cast<float>(random_()) * f.max / kRandomScale;
    } else if (f.level < f.min) {
      f.level = f.min;
      f.rate = std::fabs(f.rate);
      if (f.random) f.max = f.min + (1.0f - f.min) * static_cast<float>(random_()) / kRandomScale;
    }
    PolygonGroup* group = f.group;
    for (int i = 0; i < group->polygonCount; ++i) {
      for (BspFragment* fragment = group->polygons[i]->firstFragment; fragment; fragment = fragment->nextInPolygon) {
        for (int v = 0; v < fragment->vertexCount; ++v) fragment->vertices[v].light = f.level;
      }
    }
  }
}

void SurfaceAnimation::BuildTextureSequences(Model* first) {
  for (Model* model = first; model; model = model->next) {
    for (MeshNode* node = model->firstNode; node; node = node->nextInModel) {
      for (int face = node->faceCount - 1; face >= 0; --face) {
        Texture** slot = &node->faceTexture[face];
        Texture* loaded = *slot;
        if (!loaded || !loaded->name || loaded->name[0] != '#') continue;
        const std::string name = loaded->name;
        size_t cut = name.find('0');
        if (cut == std::string::npos) cut = name.find('1');
        if (cut == std::string::npos) continue;
        const std::string prefix = name.substr(0, cut);
        TextureSequence sequence;
        sequence.slot = slot;
        sequence.loaded = loaded;
        for (Texture* texture = TextureListHead(); texture; texture = TextureNext(texture)) {
          if (!texture->name || AsciiCompareNoCaseN(texture->name, prefix.c_str(), prefix.size()) != 0) continue;
          if (AsciiCompareNoCase(texture->name, loaded->name) == 0) continue;
          TextureLoadPixels(texture);
          sequence.frames.push_back(texture);
        }
        std::stable_sort(sequence.frames.begin(), sequence.frames.end(),
                         [](const Texture* a, const Texture* b) { return std::strcmp(a->name, b->name) < 0; });
        if (!sequence.frames.empty()) sequences_.push_back(std::move(sequence));
      }
    }
  }
}

bool SurfaceAnimation::LoadGroupTextureAnimations(World* world, std::string* missing) {
  if (!world) return true;
  for (WorldPolygon* polygon = world->firstPolygon; polygon; polygon = polygon->next) {
    // A line shows no texture, and the level start takes lines out of the
    // world (paths, a network game's axes) after the records are made.
    if (!polygon->surface || polygon->vertexCount < 3) continue;
    // Timed frames, numbered from 1 without a gap.
    TimedTextureAnimation timed;
    timed.polygon = polygon;
    for (int i = 1; i <= kSurfaceMaxFrames; ++i) {
      char key[24];
      std::snprintf(key, sizeof(key), "aniframe%d", i);
      const char* value = PolygonGetProperty(polygon, key);
      if (!value) break;
      TimedFrame frame;
      std::string name;
      if (!SplitTimedFrame(value, &name, &frame.durationMs)) {
        // A frame of no time would never let the frame loop end.
        Debug(std::string(key) + " \"" + value + "\" has no duration above 0: shown " +
              std::to_string(kTimedFrameDefaultMs) + " ms");
        frame.durationMs = kTimedFrameDefaultMs;
      }
      frame.texture = FindTextureNoCase(name.c_str());
      if (!frame.texture) {
        if (missing) *missing = name;
        return false;
      }
      TextureLoadPixels(frame.texture);
      timed.frames.push_back(frame);
    }
    if (!timed.frames.empty()) timed_.push_back(std::move(timed));

    const char* animated = PolygonGetProperty(polygon, "animated");
    const char* sliding = PolygonGetProperty(polygon, "sliding");
    if (!animated && !sliding) continue;
    PolygonTextureAnimation record;
    record.polygon = polygon;
    if (animated) {
      bool fromZero = false, any = false;
      int highest = -1;
      for (Texture* texture = TextureListHead(); texture; texture = TextureNext(texture)) {
        const int k = TextureFrameNumber(animated, texture);
        if (k < 0 || k > kSurfaceMaxFrames) continue;
        any = true;
        fromZero |= k == 0;
        highest = std::max(highest, k);
      }
      if (!any) continue;  // no frames: no slide either
      const int count = fromZero ? highest + 1 : highest;
      record.frames.assign(static_cast<size_t>(count), nullptr);
      for (Texture* texture = TextureListHead(); texture; texture = TextureNext(texture)) {
        const int k = TextureFrameNumber(animated, texture);
        if (k < 0 || k > kSurfaceMaxFrames) continue;
        TextureLoadPixels(texture);
        record.frames[static_cast<size_t>(fromZero ? k : k - 1)] = texture;
      }
      for (int i = count - 2; i >= 0; --i) {
        if (!record.frames[static_cast<size_t>(i)])
          record.frames[static_cast<size_t>(i)] = record.frames[static_cast<size_t>(i) + 1];
      }
    }
    record.fps = record.frames.size() >= 2 ? -1.0f : 0.0f;
    if (const char* fps = PolygonGetProperty(polygon, "fps")) record.fps = ReadFloat(fps);
    if (sliding) {
      if (const char* u = PolygonGetProperty(polygon, "u")) record.uSpeed = ReadFloat(u);
      if (const char* v = PolygonGetProperty(polygon, "v")) record.vSpeed = ReadFloat(v);
      record.random = AsciiEqualNoCase(sliding, "random");
    }
    polygons_.push_back(std::move(record));
  }
  return true;
}

void SurfaceAnimation::UpdateTextureAnimations(uint32_t now, uint32_t& clock, const SurfaceEventRaiser& raise) {
  const int32_t dt = Tick(now, clock);
  const float seconds = static_cast<float>(dt) * 0.001f;
  StepSequences();
  StepTimed(dt);
  for (PolygonTextureAnimation& animation : polygons_) StepPolygon(animation, seconds, raise);
}

void SurfaceAnimation::StepSequences() {
  // One step a frame whatever the time: the models' frames are the frames.
  for (TextureSequence& sequence : sequences_) {
    sequence.index = (sequence.index + 1) % static_cast<int>(sequence.frames.size());
    *sequence.slot = sequence.frames[static_cast<size_t>(sequence.index)];
  }
}

void SurfaceAnimation::StepTimed(int32_t dt) {
  for (TimedTextureAnimation& timed : timed_) {
    timed.elapsedMs += dt;
    // Every duration is above 0 (see the load), so this ends.
    while (timed.elapsedMs - timed.frames[static_cast<size_t>(timed.current)].durationMs >= 0) {
      timed.elapsedMs -= timed.frames[static_cast<size_t>(timed.current)].durationMs;
      timed.current = (timed.current + 1) % static_cast<int>(timed.frames.size());
    }
    ShowTexture(timed.polygon->surface, timed.frames[static_cast<size_t>(timed.current)].texture);
  }
}

void SurfaceAnimation::StepPolygon(PolygonTextureAnimation& a, float seconds, const SurfaceEventRaiser& raise) {
  WorldPolygon* polygon = a.polygon;
  if (polygon->group && !GroupIsVisible(polygon->group)) {
    a.position = 0.0f;
    return;
  }
  if (!a.frames.empty()) {
    const int count = static_cast<int>(a.frames.size());
    int frame = 0;
    if (a.fps >= kFpsFloor) {
      a.position += seconds * a.fps;
      if (a.position + kFpsFloor > static_cast<float>(count)) {
        a.position -= static_cast<float>(count) * std::floor(a.position / static_cast<float>(count));
        const char* event = PolygonGetProperty(polygon, "animation_stop_event");
        if (!event) event = PolygonGetProperty(polygon, "animationstopevent");
        if (event && raise) raise(event);
      }
      frame = static_cast<int>(std::floor(a.position));
    } else {
      frame = (random_() * count) / 32768;
    }
    frame = std::clamp(frame, 0, count - 1);
    ShowTexture(polygon->surface, a.frames[static_cast<size_t>(frame)]);
  }
  if (a.uSpeed == 0.0f && a.vSpeed == 0.0f) return;
  Surface* surface = polygon->surface;
  const Texture* texture = surface->texture;
  if (!texture) return;
  const float fu = a.random ? 1.0f - 2.0f * static_cast<float>(random_()) / kRandomScale : 1.0f;
  const float fv = a.random ? 1.0f - 2.0f * static_cast<float>(random_()) / kRandomScale : 1.0f;
  auto frac = [](float x) { return x - std::floor(x); };
  const float u = frac(a.u + a.uSpeed * fu * seconds);
  const float v = frac(a.v + a.vSpeed * fv * seconds);
  const float du = (u - a.u) * static_cast<float>(texture->width) / 256.0f;
  const float dv = (v - a.v) * static_cast<float>(texture->height) / 256.0f;
  // The surface keeps its frame twice (as stored and after the group's
  // matrix); both origins move along their own axes.
  auto move = [du, dv](Vec3& origin, const Vec3& uAxis, const Vec3& vAxis) {
    origin.x += du * uAxis.x + dv * vAxis.x;
    origin.y += du * uAxis.y + dv * vAxis.y;
    origin.z += du * uAxis.z + dv * vAxis.z;
  };
  move(surface->origin, surface->uAxis, surface->vAxis);
  move(surface->worldOrigin, surface->worldU, surface->worldV);
  a.u = u;
  a.v = v;
  SurfaceComputeTexCoords(polygon);
}
