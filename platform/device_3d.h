#pragma once
// The 3-D device of korvane3d, standing in for Direct3D with execute
// buffers: device and display-mode enumeration with their capabilities,
// texture surfaces, execute buffers of transformed-and-lit triangles and
// lines, viewports, scenes. It will decode each execute buffer and draw it
// with OpenGL 3.3 core: in the SDL2 window's GL context, or headless through
// EGL on Mesa's software rasteriser (no display needed).
//
// Today no implementation exists: both back ends use the null 3-D device
// (platform/headless/null_device_3d.cpp), which is no device at all.
// korvanesw never uses this device.
//
// Not here yet: every operation. They come with korvane3d's triangle back
// end, shaped by what it calls; the contract above is what they must keep.
#include <memory>

class Platform3DDevice {
 public:
  virtual ~Platform3DDevice() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
};

// The stand-in with nothing behind it: no 3-D device.
std::unique_ptr<Platform3DDevice> Null3DDeviceCreate();
