#pragma once
// The display: the program's window on the screen, the frames shown in it,
// and the boxes and beeps that reach the player outside the game's own
// drawing.
//
// The game draws through the DirectDraw and GDI stand-ins
// (platform/direct_draw.h, platform/gdi.h); the primary surface is the screen,
// and the stand-in hands each frame to show to Present: the primary's pixels
// as they are (8-bit with the palette, or RGB), at the display mode's size.
//
// Headless (platform/headless/): no window. Each presented frame is kept and
// can be read back as RGB; with KORVANE_FRAME_DIR set, every Nth presented
// frame (KORVANE_FRAME_EVERY, default 1) is written there as a PNG named by
// its number ("frame-000001.png"), so a run with no display can be looked at.
// A box or a beep is one line on stderr, and a box answers with its type's
// default button at once.
//
// SDL2 (platform/sdl/): one resizable window. The frame is scaled to it
// keeping its aspect ratio, with black bars in the rest; while the program
// holds the screen (the exclusive cooperative level), the window is a
// borderless desktop-size one ("full screen"), and Alt+Enter switches between
// that and a window. Focus and minimising reach the game as activation
// messages through the input (platform/input.h); when the window loses the
// screen while the program holds it (focus lost, minimised, or switched with
// Alt+Enter) the surfaces in video memory are lost, as a mode switch loses
// them, and the program restores them when it is activated again. With
// KORVANE_FRAME_DIR set, the window's own pixels (scaled, with the bars) are
// written the same way as headless. Boxes are SDL message boxes.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/pixel_format.h"
#include "platform/types.h"

// One frame to show: width x height pixels of the layout, rows pitch bytes
// apart from the top; for 8-bit pixels, palette holds their 256 colours.
// Valid only for the call it is passed to.
struct DisplayImage {
  const uint8_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  int pitch = 0;
  PixelLayout layout;
  const Rgb8* palette = nullptr;
};

// A frame read back as 8-bit RGB triples, rows top to bottom.
struct RgbFrame {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;  // width * height * 3 bytes

  Rgb8 At(int x, int y) const {
    const size_t i = (static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3;
    return Rgb8{rgb[i], rgb[i + 1], rgb[i + 2]};
  }
};

class PlatformDisplay {
 public:
  virtual ~PlatformDisplay() = default;
  // Which implementation this is, for diagnostics.
  virtual const char* Name() const = 0;
  // Shows text under caption and waits for the player; returns the button
  // pressed (IDOK, IDCANCEL ...), or the type's default button when nobody
  // can press one. Main thread only.
  virtual int ShowMessageBox(const char* text, const char* caption, UINT type) = 0;
  // The system sound of a message type (MB_OK, MB_ICONHAND ...).
  virtual void Beep(UINT type) = 0;

  // Shows one frame. Main thread only.
  virtual void Present(const DisplayImage& image) = 0;
  // The program takes the whole screen (true) or gives it back (false).
  virtual void SetExclusive(bool exclusive) = 0;
  // Gives the desktop back as it was before the program took the screen,
  // whatever state the program is in: the program's exit calls it.
  virtual void RestoreDesktop() = 0;
  // How many times the screen was taken from the program while it held it;
  // surfaces made before the last time are lost.
  virtual uint32_t SurfaceLossCount() const = 0;
  // The frames presented so far, and the last one as the player sees it
  // (headless: the frame itself; SDL2: the window's pixels). False when
  // nothing was presented yet.
  virtual uint64_t PresentCount() const = 0;
  virtual bool ReadPresented(RgbFrame* frame) const = 0;
};

// The 8-bit RGB triples of a frame, rows top to bottom.
void DisplayImageToRgb(const DisplayImage& image, RgbFrame* frame);
// The frame as 32-bit 0x00RRGGBB pixels, rows outPitch bytes apart.
void DisplayImageToXrgb(const DisplayImage& image, uint32_t* out, int outPitch);
// Where a frame of this size goes in a target of that size: as large as fits
// with the aspect ratio kept, centred (the rest is the bars).
struct DisplayRect {
  int x = 0, y = 0, width = 0, height = 0;
};
DisplayRect DisplayFitRect(int frameWidth, int frameHeight, int targetWidth, int targetHeight);

// Writes a frame as an 8-bit RGB PNG; false with the reason on the debug
// output when the file can't be written.
bool RgbFrameWritePng(const RgbFrame& frame, const char* path);
// The presented-frame recorder both back ends use: true, with the file to
// write in *path, when KORVANE_FRAME_DIR is set and the frame numbered count
// (from 1) is one of every KORVANE_FRAME_EVERY. The folder is made.
bool DisplayFrameRecordPath(uint64_t count, std::string* path);
