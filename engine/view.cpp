#include "engine/view.h"

#include <cmath>
#include <cstring>

#include "engine/depth_cue.h"
#include "engine/frame_stamp.h"
#include "engine/matrix.h"
#include "engine/polygon_math.h"

View* g_CurrentView;
Vec3 g_CameraPosition;
int g_ViewWidth;
int g_ViewHeight;
int g_ViewWidth16;
int g_ViewHeight16;
float g_FocalLength;
Matrix g_CameraMatrix;
Plane g_FrustumPlanes[kMaxFrustumPlanes];
int g_FrustumPlaneCount;

namespace {

using namespace polymath;

constexpr float kFixedOne = 65536.0f;
constexpr float kNearDistance = 1.0f;

// The plane through the eye with the given (unnormalised) inward normal.
Plane PlaneThroughEye(Vec3 normal, Vec3 eye) {
  const Vec3 n = Normalise(normal);
  return {n.x, n.y, n.z, Dot(n, eye)};
}

// Maps a pixel back to the world point on its ray at camera depth = focal,
// with the current matrix being the inverse built in BuildFrustum.
Vec3 PixelToWorld(float px, float py) {
  Vec3 p;
  MatrixTransformPoint(px, py, 1.0f, &p.x, &p.y, &p.z);
  return p;
}

void BuildFrustum(const View* view, Vec3 eye) {
  const float focal = view->focal;
  MatrixLoad(g_CameraMatrix);
  MatrixScale(1.0f / (kFixedOne * focal), 1.0f / (kFixedOne * focal), 1.0f / focal);
  MatrixInvert();
  const float width = static_cast<float>(view->width), height = static_cast<float>(view->height);
  const Vec3 centre = PixelToWorld(width / 2, height / 2);
  const Vec3 right = PixelToWorld(width + 0.5f, height / 2) - centre;
  const Vec3 up = PixelToWorld(width / 2, -0.5f) - centre;
  MatrixLoad(g_CameraMatrix);

  const Vec3 w = centre - eye;
  // Planes through the eye and the screen's edges grown by half a pixel.
  g_FrustumPlanes[1] = PlaneThroughEye(Cross(w - right + up, right), eye);  // top
  g_FrustumPlanes[2] = PlaneThroughEye(Cross(w - right - up, up), eye);     // left
  g_FrustumPlanes[3] = PlaneThroughEye(Cross(right, w + right - up), eye);  // bottom
  g_FrustumPlanes[4] = PlaneThroughEye(Cross(up, w + right + up), eye);     // right

  const Vec3 n = Normalise(w);
  g_FrustumPlanes[0] = {n.x, n.y, n.z, Dot(n, eye) + kNearDistance};
  const float far = g_DepthCueFar > 0.0f ? g_DepthCueFar : kFarDistanceDefault;
  const Vec3 farPoint = eye + n * far;
  g_FrustumPlanes[5] = {-n.x, -n.y, -n.z, -Dot(n, farPoint)};
  g_FrustumPlaneCount = kFrustumPlaneCount;
}

}  // namespace

void ViewSetup(View* view) {
  // The stamp alone does not say whose state is kept: a second view set up
  // in the same stamp, or a fresh view before the first frame (both stamps
  // 0), must be set up in full.
  if (view == g_CurrentView && view->stamp == g_FrameStamp) {
    MatrixLoad(g_CameraMatrix);
    return;
  }
  g_CurrentView = view;
  g_ViewWidth = view->width;
  g_ViewHeight = view->height;
  g_ViewWidth16 = view->width << 16;
  g_ViewHeight16 = view->height << 16;

  const float s = view->focal * view->zoom * kFixedOne;
  MatrixLoad(view->cameraMatrix);
  MatrixScale(s, s, 1.0f);

  const float* m = view->cameraMatrix;
  const Vec3 eye = {-(m[0] * m[12] + m[1] * m[13] + m[2] * m[14]), -(m[4] * m[12] + m[5] * m[13] + m[6] * m[14]),
                    -(m[8] * m[12] + m[9] * m[13] + m[10] * m[14])};
  view->position = eye;
  g_CameraPosition = eye;
  g_FocalLength = view->focal;

  // Shifts x and y by half the screen per unit of depth: the centre of the
  // screen is where the camera looks.
  const float halfWidth = static_cast<float>(view->width) * kFixedOne / 2;
  const float halfHeight = static_cast<float>(view->height) * kFixedOne / 2;
  const Matrix projection = {1, 0, 0, 0, 0, 1, 0, 0, halfWidth, halfHeight, 1, 0, 0, 0, 0, 1};
  MatrixMultiply(projection);
  MatrixGet(g_CameraMatrix);

  BuildFrustum(view, eye);
  view->stamp = g_FrameStamp;
}

int ProjectToScreen(View* view, float x, float y, float z, int* sx, int* sy) {
  // Saved here rather than on the stack: a full stack would refuse the push
  // and the pop would then hand the caller an older matrix.
  Matrix saved;
  MatrixGet(saved);
  ViewSetup(view);
  float X, Y, Z;
  MatrixTransformPoint(x, y, z, &X, &Y, &Z);
  MatrixLoad(saved);
  if (!(Z >= kNearDistance)) return 0;
  *sx = static_cast<int>(std::lrint(X / kFixedOne / Z));
  *sy = static_cast<int>(std::lrint(Y / kFixedOne / Z));
  return 1;
}
