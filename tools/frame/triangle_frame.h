#pragma once
// One frame of a mission drawn as korvane3d draws it: the Direct3D back end
// set up on a 640x480 display (or another mode), the engine's hardware pass
// handing its polygons to AddPolygon3D, the execute buffers drawn by the
// back end's 3-D device (OpenGL through EGL unless KORVANE_3D_DEVICE says
// otherwise), and the back buffer read back. The view is half the display's
// size, as the game view makes it.
#include <string>

#include "platform/direct3d.h"
#include "platform/direct_draw.h"
#include "platform/display.h"
#include "platform/framework/wnd.h"
#include "tools/frame/mission_frame.h"

struct TriangleFrameOptions {
  int displayWidth = 640;
  int displayHeight = 480;
  RenderFlags flags = kRenderFlagsDefault;
  float projection = 0.45f;  // focal length = view width x projection
};

// The back end set up on a window of its own as the interface manager sets
// it up (InitDirect3D to SetRenderStates3D, then the texture slots of the
// engine's textures), released in the interface manager's order.
class TriangleBackEnd {
 public:
  TriangleBackEnd() = default;
  TriangleBackEnd(const TriangleBackEnd&) = delete;
  TriangleBackEnd& operator=(const TriangleBackEnd&) = delete;
  ~TriangleBackEnd();
  // False with the reason when the device or the display cannot be set up.
  bool SetUp(int displayWidth, int displayHeight, std::string* error);
  IDirectDrawSurface* Back() const { return back_; }

 private:
  CWnd window_;
  IDirectDraw* current_ = nullptr;
  IDirectDraw* display_ = nullptr;
  IDirectDraw* accelerator_ = nullptr;
  IDirect3D* direct3D_ = nullptr;
  IDirectDrawSurface* front_ = nullptr;
  IDirectDrawSurface* back_ = nullptr;
  IDirectDrawSurface* zBuffer_ = nullptr;
  IDirectDrawClipper* clipper_ = nullptr;
  IDirectDrawPalette* palette_ = nullptr;
};

// One frame of the scene from the camera through a back end that is set up,
// as the game view draws it (scene, clear, RenderWorld's hand-over, flush).
void DrawMissionFrameTriangles(MissionScene* scene, const float cameraMatrix[16], const TriangleFrameOptions& options);
// The surface's pixels as RGB.
void ReadBackFrame(IDirectDrawSurface* surface, RgbFrame* frame);

// Sets up the back end, renders one frame from the camera into *frame and
// tears the back end down again. False with the reason when the device or
// the display cannot be set up.
bool RenderMissionFrameTriangles(MissionScene* scene, const float cameraMatrix[16], const TriangleFrameOptions& options,
                                 RgbFrame* frame, std::string* error);
