#pragma once
// One frame of a mission drawn as korvane3d draws it: the Direct3D back end
// set up on a 640x480 display (or another mode), the engine's hardware pass
// handing its polygons to AddPolygon3D, the execute buffers drawn by the
// back end's 3-D device (OpenGL through EGL unless KORVANE_3D_DEVICE says
// otherwise), and the back buffer read back. The view is half the display's
// size, as the game view makes it.
#include <string>

#include "platform/display.h"
#include "tools/frame/mission_frame.h"

struct TriangleFrameOptions {
  int displayWidth = 640;
  int displayHeight = 480;
  RenderFlags flags = kRenderFlagsDefault;
  float projection = 0.45f;  // focal length = view width x projection
};

// Sets up the back end, renders `frames` frames from the camera (the last
// one is kept in *frame) and tears the back end down again. False with the
// reason when the device or the display cannot be set up.
bool RenderMissionFrameTriangles(MissionScene* scene, const float cameraMatrix[16], const TriangleFrameOptions& options,
                                 RgbFrame* frame, std::string* error, int frames = 1);
