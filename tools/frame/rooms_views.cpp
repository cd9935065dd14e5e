#include "tools/frame/rooms_views.h"

#include "tools/builder/rooms_level.h"

namespace {

constexpr float kDegrees = 3.14159265f / 180.0f;

}  // namespace

std::vector<FramePlacement> RoomsLevelViews(int rooms) {
  const Vec3 c = RoomCorner(rooms, RoomsMiddle(rooms));
  const struct {
    Vec3 at;
    Vec3 degrees;
  } kViews[] = {
      {{200, 20, 30}, {0, 0, 0}},   {{200, 0, 200}, {0, 90, 0}},   {{50, -50, 50}, {-10, 45, 0}},
      {{410, 20, 200}, {0, 90, 0}}, {{350, 40, 350}, {0, 225, 0}}, {{150, -100, 150}, {-60, 30, 0}},
  };
  std::vector<FramePlacement> views;
  for (const auto& v : kViews) {
    FramePlacement placement;
    placement.position = {c.x + v.at.x, v.at.y, c.z + v.at.z};
    placement.angles = {v.degrees.x * kDegrees, v.degrees.y * kDegrees, v.degrees.z * kDegrees};
    views.push_back(placement);
  }
  return views;
}

std::vector<float> PlacementCamera(const FramePlacement& placement) {
  float frame[16];
  std::vector<float> camera(16);
  FramePlacementMatrix(placement, frame);
  CameraMatrixFromFrame(frame, camera.data());
  return camera;
}
