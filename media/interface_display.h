#pragma once
// The display side of the interface manager: the DirectDraw objects and the
// surfaces the program shows its screen through, the palette with its
// brightness correction, and the 640x480 8-bit bitmap (a DIB section) that
// every 2-D drawing of the program goes to: menus, pictures, widgets, the
// font, HUD panels and the radar draw into it through a CBackBufferAccess
// (media/back_buffer_access.h) and copy the rectangles they changed to the
// screen with BlitRect.
//
// CInterface (game/interface_manager.h) is this object together with the
// window, the menus and the input; what depends on the document or on the
// program (entering and leaving full screen, korvane3d's Direct3D device,
// korvanesw's own modes, the brightness setting) is its own. There is one at
// a time; InterfaceDisplay() finds it. Main thread only.
//
// The palette: the palette table holds the game's colours (entries 10-245;
// the rest belong to the system). While no palette object exists, every
// picture load copies its colours into the table (SetPaletteEntries);
// ApplyPalette puts the table, corrected by the brightness, on the screen
// through the palette object. Brightness 32 is neutral: each channel c of
// entries 10-245 becomes clamp(((c + 2) * b - 64) >> 5, 0, 255).
#include <cstdint>

#include "platform/direct3d.h"
#include "platform/direct_draw.h"
#include "platform/gdi.h"

// The palette index used as black and as the background: 109 at start; the
// level load sets it to the index nearest to black.
extern unsigned char g_BlackColour;

class CInterfaceDisplay {
 public:
  // Becomes the one InterfaceDisplay(); owns nothing yet.
  CInterfaceDisplay();
  // Releases what is still held: surfaces, palettes, the bitmap and the
  // DirectDraw and Direct3D objects (CInterface's destructor releases them
  // first, in its order).
  ~CInterfaceDisplay();
  CInterfaceDisplay(const CInterfaceDisplay&) = delete;
  CInterfaceDisplay& operator=(const CInterfaceDisplay&) = delete;

  // ---- The screen ----
  bool IsFullScreen() const { return fullScreen_ != 0; }
  IDirectDraw* GetDirectDraw() const { return directDraw_; }
  IDirectDrawSurface* GetPrimarySurface() const { return primary_; }
  IDirectDrawSurface* GetBackSurface() const { return back_; }
  // The 320x240 system-memory surface videos are decoded into; null while
  // not in full screen or when it could not be made (then no video plays).
  IDirectDrawSurface* GetVideoSurface() const { return videoSurface_; }
  int GetScreenWidth() const { return screenWidth_; }
  int GetScreenHeight() const { return screenHeight_; }
  // Where the 640x480 interface bitmap stands on the screen: centred on a
  // larger display mode, (0, 0) on 640x480.
  int GetLayerOriginX() const { return layerOriginX_; }
  int GetLayerOriginY() const { return layerOriginY_; }
  bool IsReadyToRender() const { return readyToRender_ != 0; }
  bool IsPresentByFlip() const { return presentByFlip_ != 0; }
  // The resolution index (0 640x480, 1 320x240, 2 800x600) the HUD and the
  // radar lay themselves out by.
  int GetResolution() const { return resolution_; }
  void SetResolution(int resolution) { resolution_ = resolution; }
  // While set, BlitRect copies to the screen even when no menu is active
  // (loading pictures, credits).
  void SetDirectDrawing(bool on) { directDrawing_ = on ? 1 : 0; }
  bool IsDirectDrawing() const { return directDrawing_ != 0; }

  // Makes the video decode surface (320x240, system memory) unless there is
  // one; when it can't be made it stays null and the debug output says so.
  void CreateVideoSurface();
  // Fills the primary and the back surface with colour 0; true.
  bool ClearSurfaces();
  // Fills one surface with colour 0 (a null one is skipped); true.
  bool ClearSurface(IDirectDrawSurface* surface);
  // Restores lost surfaces: with check set both are first taken as lost (the
  // window's activation does this; frames call it with false, which retries
  // a failed restore). A restored primary redraws the interface window.
  // False while a lost surface could not be restored or is missing.
  bool RestoreSurfaces(bool check);
  // Clears both surfaces when asked, then releases the back, the primary and
  // the video surface, in that order.
  void ReleaseSurfaces(bool clearFirst);
  // Releases the Direct3D interface, then the accelerator and the display
  // DirectDraw objects (once when they are the same object).
  void ReleaseDirectDraw();

  // ---- The 2-D bitmap ----
  // Makes the 640x480 top-down 8-bit bitmap once: its colours are the system
  // colours at 0-9 and 246-255 and the palette table at 10-245, taken now and
  // never updated. False when it can't be made.
  bool CreateDib();
  // Its pixels (rows of 640 bytes, top row first), or null before CreateDib.
  unsigned char* GetBackBufferBits() const { return dibBits_; }
  HBITMAP GetDib() const { return dib_; }
  // Fills all of it with g_BlackColour (nothing before CreateDib).
  void ClearBackBuffer();
  // Copies the rectangle of the bitmap to the same place of the primary
  // surface. Only while a menu is active or direct drawing is set, and with a
  // primary surface; false when nothing was copied.
  bool BlitRect(int x, int y, int width, int height);

  // ---- The palette ----
  // Makes the palette object from the palette table, once.
  void CreatePalette();
  void ReleasePalette();
  bool IsPaletteMissing() const { return palette_ == nullptr; }
  IDirectDrawPalette* GetPaletteObject() const { return palette_; }
  // Copies 256 entries into the palette table.
  void SetPaletteEntries(const PALETTEENTRY entries[256]);
  PALETTEENTRY* GetPaletteTable() { return paletteTable_; }
  // Sets the palette object on the primary and the back surface and its
  // entries 10-245 from the table with the brightness correction (entries
  // 0-9 and 246-255 are never set here). Nothing without a palette object;
  // false without a primary surface.
  bool ApplyPalette();
  // 32 is neutral.
  int GetBrightness() const { return brightness_; }

  // ---- Screenshots ----
  // Writes the surface as a 24-bit BMP "KRVNE<n>.BMP" into the user's data
  // folder (platform/process_services.h): the first n from 0 to 98 whose
  // file does not exist, else 99, overwritten. The file: a 14-byte header, a
  // 40-byte info header, 4 zero bytes, then the rows bottom-up as blue,
  // green, red (58 + width x height x 3 bytes at the widths used). False,
  // with the reason on the debug output, when the surface can't be read or
  // the file can't be written.
  bool SaveScreenshot(IDirectDrawSurface* surface);

 protected:
  // Where the interface window is, for the redraw after a restore.
  void SetDisplayWindow(HWND window) { window_ = window; }
  // The menu-active byte of the interface manager; BlitRect copies while it
  // is set.
  uint8_t menuActive_ = 0;

  IDirectDraw* directDraw_ = nullptr;    // the current one: surfaces and palettes are made from it
  IDirectDraw* displayDD_ = nullptr;     // the display driver's
  IDirectDraw* acceleratorDD_ = nullptr; // the 3-D driver's (may be the display's)
  IDirect3D* direct3D_ = nullptr;
  uint8_t fullScreen_ = 0;
  IDirectDrawPalette* palette_ = nullptr;
  PALETTEENTRY paletteTable_[256];
  uint8_t primaryLost_ = 0;
  uint8_t backLost_ = 0;
  IDirectDrawSurface* primary_ = nullptr;
  IDirectDrawSurface* back_ = nullptr;
  IDirectDrawSurface* videoSurface_ = nullptr;
  IDirectDrawPalette* displayPalette_ = nullptr;  // made by the display set-up in 8-bit modes
  IDirectDrawSurface* zBuffer_ = nullptr;
  IDirectDrawClipper* clipper_ = nullptr;
  int direct3DReady_ = 0;
  int screenWidth_ = 0;
  int screenHeight_ = 0;
  int layerOriginX_ = 0;
  int layerOriginY_ = 0;
  uint8_t directDrawing_ = 0;
  int presentByFlip_ = 1;
  int readyToRender_ = 0;
  HBITMAP dib_ = nullptr;
  BITMAPINFO* dibInfo_ = nullptr;
  unsigned char* dibBits_ = nullptr;
  int resolution_ = 0;
  int brightness_ = 32;

 private:
  HWND window_ = nullptr;
};

// The interface manager's display, null when none exists.
CInterfaceDisplay* InterfaceDisplay();

// Releases a DirectDraw object held in *object and nulls it (nothing when it
// is null).
template <class T>
void ReleaseAndNull(T** object) {
  if (*object) (*object)->Release();
  *object = nullptr;
}
