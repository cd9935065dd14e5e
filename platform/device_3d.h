#pragma once
// The 3-D device of korvane3d: what draws the Direct3D stand-in's execute
// buffers (platform/direct3d.h). The stand-in checks and decodes each
// execute buffer and hands the device the decoded program; the device keeps
// the render states the programs set (from the Direct3D defaults on) and
// draws their triangles and lines of transformed-and-lit vertices into the
// scene's target.
//
// A scene starts from the target's current pixels (SceneBegin) and gives the
// drawn pixels back at its end (SceneEnd), both as RGBA rows top down; the
// stand-in converts them from and to the surface's own format. Textures are
// RGBA images named by the ids TextureCreate gives (the Direct3D texture
// handles); a texel of alpha 0 is the colour key and is never drawn.
//
// Implementations:
//   OpenGL 3.3 core (platform/gl/): an off-screen context through EGL, on
//     Mesa's software rasteriser when there is no GPU and no display; used by
//     both back ends, since the DirectDraw surfaces it draws into live in
//     memory;
//   recording (platform/headless/recording_device_3d.h): draws nothing and
//     keeps every call for tests;
//   null: no device (Open fails), so Direct3D lists no hardware device.
// KORVANE_3D_DEVICE=none makes the back ends use the null device, as on a
// machine without OpenGL; KORVANE_3D_DEVICE=recording the recording one (the
// unit tests run so, and make a GL device of their own where they draw). korvanesw never uses this device. Main thread only.
#include <cstdint>
#include <memory>
#include <string>

#include "platform/direct3d.h"

class Platform3DDevice {
 public:
  virtual ~Platform3DDevice() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
  // True when the device can draw (the first call sets it up); otherwise
  // *why, when given, names what is missing.
  virtual bool Open(std::string* why) = 0;

  // A new texture id (never 0).
  virtual uint32_t TextureCreate() = 0;
  // The texture's width x height RGBA texels, rows top down.
  virtual void TextureUpload(uint32_t id, int width, int height, const uint8_t* rgba) = 0;
  virtual void TextureDelete(uint32_t id) = 0;

  // Starts a scene on a width x height target holding rgba.
  virtual void SceneBegin(int width, int height, const uint8_t* rgba) = 0;
  // Fills a rectangle of the target (clipped to it) with an RGBA colour.
  virtual void Clear(const D3DRECT& rect, const uint8_t rgba[4]) = 0;
  // Draws a decoded program through the viewport.
  virtual void Execute(const Direct3DProgram& program, const D3DVIEWPORT& viewport) = 0;
  // Ends the scene and writes the target's pixels to rgba (width x height x
  // 4 bytes).
  virtual void SceneEnd(uint8_t* rgba) = 0;
};

// The stand-in with nothing behind it: no 3-D device.
std::unique_ptr<Platform3DDevice> Null3DDeviceCreate();
// OpenGL 3.3 core through EGL; opened at first use.
std::unique_ptr<Platform3DDevice> Gl3DDeviceCreate();
// What a back end uses: the GL device, or the one KORVANE_3D_DEVICE names
// (none, recording).
std::unique_ptr<Platform3DDevice> Platform3DDeviceChoose();
// A back end whose window draws with OpenGL of its own on this thread (the
// SDL2 renderer) installs a function that lets its context go. The GL device
// calls it before it makes its own context current, and lets its own go
// again before it returns, so neither's calls ever reach the other's
// context (null: nothing to let go).
void Platform3DSetForeignContextRelease(void (*release)());
