#pragma once
// The DirectDraw stand-in: the display modes, the cooperative level, surfaces
// (the primary with an optional flip chain, off-screen and texture surfaces
// in "video" or system memory), palettes and clippers, under the names,
// flags and result codes the game uses.
//
// Surfaces live in memory. The primary surface is the screen: whatever the
// program writes into it (a lock, a blit, a GDI copy through its context, a
// palette change in an 8-bit mode) is shown through the back end's display
// (PlatformDisplay::Present, platform/display.h) at once when the last
// showing is at least 16 ms of the platform clock old, and otherwise when the
// program next looks at its message queue; Flip shows the new front buffer
// at once. So a frame drawn in many small copies is shown once, and a
// blocking effect that only redraws the palette is still seen.
//
// Lost surfaces: surfaces in video memory (every surface without
// DDSCAPS_SYSTEMMEMORY) are lost when the display mode changes and when the
// display takes the screen away from the program (PlatformDisplay's loss
// count: the window lost the focus or was minimised while the program held
// the screen exclusively, or switched between full screen and a window).
// A lost surface answers DDERR_SURFACELOST to IsLost, Lock, Blt, Flip and
// GetDC until Restore, which gives it back with its pixels cleared to 0.
//
// Results: DD_OK, or the DDERR_ code of the failure; nothing is changed by a
// failing call. Objects are reference counted: Release returns the count
// left and frees the object at 0. A flip chain's back buffer belongs to its
// primary (released with it). Main thread only.
//
// Tests: every call can be made to fail with a chosen result
// (DirectDrawFailNext), the mode list and the video memory can be set, and
// the surfaces can be lost on demand (DirectDrawLoseSurfaces).
#include <cstdint>
#include <string>
#include <vector>

#include "platform/framework/win_types.h"
#include "platform/gdi.h"

// ---- Result codes ----------------------------------------------------------

inline constexpr HRESULT DD_OK = 0;
inline constexpr HRESULT DDENUMRET_CANCEL = 0;
inline constexpr HRESULT DDENUMRET_OK = 1;

constexpr HRESULT MakeDDResult(uint32_t code) { return static_cast<HRESULT>(0x88760000u + code); }

inline constexpr HRESULT DDERR_UNSUPPORTED = static_cast<HRESULT>(0x80004001u);
inline constexpr HRESULT DDERR_GENERIC = static_cast<HRESULT>(0x80004005u);
inline constexpr HRESULT DDERR_OUTOFMEMORY = static_cast<HRESULT>(0x8007000Eu);
inline constexpr HRESULT DDERR_INVALIDPARAMS = static_cast<HRESULT>(0x80070057u);
inline constexpr HRESULT DDERR_ALREADYINITIALIZED = MakeDDResult(5);
inline constexpr HRESULT DDERR_CANNOTATTACHSURFACE = MakeDDResult(10);
inline constexpr HRESULT DDERR_CANNOTDETACHSURFACE = MakeDDResult(20);
inline constexpr HRESULT DDERR_CURRENTLYNOTAVAIL = MakeDDResult(40);
inline constexpr HRESULT DDERR_EXCEPTION = MakeDDResult(55);
inline constexpr HRESULT DDERR_HEIGHTALIGN = MakeDDResult(90);
inline constexpr HRESULT DDERR_INCOMPATIBLEPRIMARY = MakeDDResult(95);
inline constexpr HRESULT DDERR_INVALIDCAPS = MakeDDResult(100);
inline constexpr HRESULT DDERR_INVALIDCLIPLIST = MakeDDResult(110);
inline constexpr HRESULT DDERR_INVALIDMODE = MakeDDResult(120);
inline constexpr HRESULT DDERR_INVALIDOBJECT = MakeDDResult(130);
inline constexpr HRESULT DDERR_INVALIDPIXELFORMAT = MakeDDResult(145);
inline constexpr HRESULT DDERR_INVALIDRECT = MakeDDResult(150);
inline constexpr HRESULT DDERR_LOCKEDSURFACES = MakeDDResult(160);
inline constexpr HRESULT DDERR_NO3D = MakeDDResult(170);
inline constexpr HRESULT DDERR_NOALPHAHW = MakeDDResult(180);
inline constexpr HRESULT DDERR_NOCLIPLIST = MakeDDResult(205);
inline constexpr HRESULT DDERR_NOCOLORCONVHW = MakeDDResult(210);
inline constexpr HRESULT DDERR_NOCOOPERATIVELEVELSET = MakeDDResult(212);
inline constexpr HRESULT DDERR_NOCOLORKEY = MakeDDResult(215);
inline constexpr HRESULT DDERR_NOCOLORKEYHW = MakeDDResult(220);
inline constexpr HRESULT DDERR_NOEXCLUSIVEMODE = MakeDDResult(225);
inline constexpr HRESULT DDERR_NOFLIPHW = MakeDDResult(230);
inline constexpr HRESULT DDERR_NOGDI = MakeDDResult(240);
inline constexpr HRESULT DDERR_NOMIRRORHW = MakeDDResult(250);
inline constexpr HRESULT DDERR_NOTFOUND = MakeDDResult(255);
inline constexpr HRESULT DDERR_NOOVERLAYHW = MakeDDResult(260);
inline constexpr HRESULT DDERR_NORASTEROPHW = MakeDDResult(280);
inline constexpr HRESULT DDERR_NOROTATIONHW = MakeDDResult(290);
inline constexpr HRESULT DDERR_NOSTRETCHHW = MakeDDResult(310);
inline constexpr HRESULT DDERR_NOT4BITCOLOR = MakeDDResult(316);
inline constexpr HRESULT DDERR_NOT4BITCOLORINDEX = MakeDDResult(317);
inline constexpr HRESULT DDERR_NOT8BITCOLOR = MakeDDResult(320);
inline constexpr HRESULT DDERR_NOTEXTUREHW = MakeDDResult(330);
inline constexpr HRESULT DDERR_NOVSYNCHW = MakeDDResult(335);
inline constexpr HRESULT DDERR_NOZBUFFERHW = MakeDDResult(340);
inline constexpr HRESULT DDERR_NOZOVERLAYHW = MakeDDResult(350);
inline constexpr HRESULT DDERR_OUTOFCAPS = MakeDDResult(360);
inline constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = MakeDDResult(380);
inline constexpr HRESULT DDERR_OVERLAYCANTCLIP = MakeDDResult(382);
inline constexpr HRESULT DDERR_OVERLAYCOLORKEYONLYONEACTIVE = MakeDDResult(384);
inline constexpr HRESULT DDERR_PALETTEBUSY = MakeDDResult(387);
inline constexpr HRESULT DDERR_COLORKEYNOTSET = MakeDDResult(400);
inline constexpr HRESULT DDERR_SURFACEALREADYATTACHED = MakeDDResult(410);
inline constexpr HRESULT DDERR_SURFACEALREADYDEPENDENT = MakeDDResult(420);
inline constexpr HRESULT DDERR_SURFACEBUSY = MakeDDResult(430);
inline constexpr HRESULT DDERR_SURFACEISOBSCURED = MakeDDResult(440);
inline constexpr HRESULT DDERR_SURFACELOST = MakeDDResult(450);
inline constexpr HRESULT DDERR_SURFACENOTATTACHED = MakeDDResult(460);
inline constexpr HRESULT DDERR_TOOBIGHEIGHT = MakeDDResult(470);
inline constexpr HRESULT DDERR_TOOBIGSIZE = MakeDDResult(480);
inline constexpr HRESULT DDERR_TOOBIGWIDTH = MakeDDResult(490);
inline constexpr HRESULT DDERR_UNSUPPORTEDFORMAT = MakeDDResult(510);
inline constexpr HRESULT DDERR_UNSUPPORTEDMASK = MakeDDResult(520);
inline constexpr HRESULT DDERR_VERTICALBLANKINPROGRESS = MakeDDResult(537);
inline constexpr HRESULT DDERR_WASSTILLDRAWING = MakeDDResult(540);
inline constexpr HRESULT DDERR_XALIGN = MakeDDResult(560);
inline constexpr HRESULT DDERR_INVALIDDIRECTDRAWGUID = MakeDDResult(561);
inline constexpr HRESULT DDERR_DIRECTDRAWALREADYCREATED = MakeDDResult(562);
inline constexpr HRESULT DDERR_NODIRECTDRAWHW = MakeDDResult(563);
inline constexpr HRESULT DDERR_PRIMARYSURFACEALREADYEXISTS = MakeDDResult(564);
inline constexpr HRESULT DDERR_NOEMULATION = MakeDDResult(565);
inline constexpr HRESULT DDERR_REGIONTOOSMALL = MakeDDResult(566);
inline constexpr HRESULT DDERR_CLIPPERISUSINGHWND = MakeDDResult(567);
inline constexpr HRESULT DDERR_NOCLIPPERATTACHED = MakeDDResult(568);
inline constexpr HRESULT DDERR_NOHWND = MakeDDResult(569);
inline constexpr HRESULT DDERR_HWNDSUBCLASSED = MakeDDResult(570);
inline constexpr HRESULT DDERR_HWNDALREADYSET = MakeDDResult(571);
inline constexpr HRESULT DDERR_NOPALETTEATTACHED = MakeDDResult(572);
inline constexpr HRESULT DDERR_NOPALETTEHW = MakeDDResult(573);
inline constexpr HRESULT DDERR_BLTFASTCANTCLIP = MakeDDResult(574);
inline constexpr HRESULT DDERR_NOBLTHW = MakeDDResult(575);
inline constexpr HRESULT DDERR_NODDROPSHW = MakeDDResult(576);
inline constexpr HRESULT DDERR_OVERLAYNOTVISIBLE = MakeDDResult(577);
inline constexpr HRESULT DDERR_NOOVERLAYDEST = MakeDDResult(578);
inline constexpr HRESULT DDERR_INVALIDPOSITION = MakeDDResult(579);
inline constexpr HRESULT DDERR_NOTAOVERLAYSURFACE = MakeDDResult(580);
inline constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = MakeDDResult(581);
inline constexpr HRESULT DDERR_NOTFLIPPABLE = MakeDDResult(582);
inline constexpr HRESULT DDERR_CANTDUPLICATE = MakeDDResult(583);
inline constexpr HRESULT DDERR_NOTLOCKED = MakeDDResult(584);
inline constexpr HRESULT DDERR_CANTCREATEDC = MakeDDResult(585);
inline constexpr HRESULT DDERR_NODC = MakeDDResult(586);
inline constexpr HRESULT DDERR_WRONGMODE = MakeDDResult(587);
inline constexpr HRESULT DDERR_IMPLICITLYCREATED = MakeDDResult(588);
inline constexpr HRESULT DDERR_NOTPALETTIZED = MakeDDResult(589);

// ---- Flags -----------------------------------------------------------------

// Cooperative levels.
inline constexpr DWORD DDSCL_FULLSCREEN = 0x1;
inline constexpr DWORD DDSCL_ALLOWREBOOT = 0x2;
inline constexpr DWORD DDSCL_NOWINDOWCHANGES = 0x4;
inline constexpr DWORD DDSCL_NORMAL = 0x8;
inline constexpr DWORD DDSCL_EXCLUSIVE = 0x10;
inline constexpr DWORD DDSCL_ALLOWMODEX = 0x40;

// Which fields of a DDSURFACEDESC are valid.
inline constexpr DWORD DDSD_CAPS = 0x1;
inline constexpr DWORD DDSD_HEIGHT = 0x2;
inline constexpr DWORD DDSD_WIDTH = 0x4;
inline constexpr DWORD DDSD_PITCH = 0x8;
inline constexpr DWORD DDSD_BACKBUFFERCOUNT = 0x20;
inline constexpr DWORD DDSD_LPSURFACE = 0x800;
inline constexpr DWORD DDSD_PIXELFORMAT = 0x1000;
inline constexpr DWORD DDSD_CKSRCBLT = 0x10000;
inline constexpr DWORD DDSD_REFRESHRATE = 0x40000;

// Surface capabilities.
inline constexpr DWORD DDSCAPS_BACKBUFFER = 0x4;
inline constexpr DWORD DDSCAPS_COMPLEX = 0x8;
inline constexpr DWORD DDSCAPS_FLIP = 0x10;
inline constexpr DWORD DDSCAPS_FRONTBUFFER = 0x20;
inline constexpr DWORD DDSCAPS_OFFSCREENPLAIN = 0x40;
inline constexpr DWORD DDSCAPS_PALETTE = 0x100;
inline constexpr DWORD DDSCAPS_PRIMARYSURFACE = 0x200;
inline constexpr DWORD DDSCAPS_SYSTEMMEMORY = 0x800;
inline constexpr DWORD DDSCAPS_TEXTURE = 0x1000;
inline constexpr DWORD DDSCAPS_3DDEVICE = 0x2000;
inline constexpr DWORD DDSCAPS_VIDEOMEMORY = 0x4000;
inline constexpr DWORD DDSCAPS_ZBUFFER = 0x20000;
inline constexpr DWORD DDSCAPS_ALLOCONLOAD = 0x4000000;

// Pixel formats.
inline constexpr DWORD DDPF_PALETTEINDEXED8 = 0x20;
inline constexpr DWORD DDPF_RGB = 0x40;

// Blt.
inline constexpr DWORD DDBLT_COLORFILL = 0x400;
inline constexpr DWORD DDBLT_KEYSRC = 0x8000;
inline constexpr DWORD DDBLT_KEYSRCOVERRIDE = 0x10000;
inline constexpr DWORD DDBLT_WAIT = 0x1000000;

// Lock, Flip, colour keys, palettes, capabilities.
inline constexpr DWORD DDLOCK_SURFACEMEMORYPTR = 0x0;
inline constexpr DWORD DDLOCK_WAIT = 0x1;
inline constexpr DWORD DDLOCK_READONLY = 0x10;
inline constexpr DWORD DDLOCK_WRITEONLY = 0x20;
inline constexpr DWORD DDFLIP_WAIT = 0x1;
inline constexpr DWORD DDCKEY_SRCBLT = 0x8;
inline constexpr DWORD DDPCAPS_8BIT = 0x4;
inline constexpr DWORD DDPCAPS_INITIALIZE = 0x8;
inline constexpr DWORD DDPCAPS_PRIMARYSURFACE = 0x10;
inline constexpr DWORD DDPCAPS_ALLOW256 = 0x40;
inline constexpr DWORD DDCAPS_3D = 0x1;
inline constexpr DWORD DDCAPS_BLT = 0x40;
inline constexpr DWORD DDCAPS_PALETTE = 0x8000;
inline constexpr DWORD DDCAPS_COLORKEY = 0x400000;
inline constexpr DWORD DDCAPS_BLTCOLORFILL = 0x4000000;

// ---- Records ---------------------------------------------------------------

struct DDCOLORKEY {
  DWORD dwColorSpaceLowValue = 0;
  DWORD dwColorSpaceHighValue = 0;
};

struct DDPIXELFORMAT {
  DWORD dwSize = sizeof(DDPIXELFORMAT);
  DWORD dwFlags = 0;  // DDPF_PALETTEINDEXED8 or DDPF_RGB
  DWORD dwFourCC = 0;
  DWORD dwRGBBitCount = 0;  // 8, 16, 24 or 32
  DWORD dwRBitMask = 0;
  DWORD dwGBitMask = 0;
  DWORD dwBBitMask = 0;
  DWORD dwRGBAlphaBitMask = 0;
};

struct DDSCAPS {
  DWORD dwCaps = 0;
};

struct DDSURFACEDESC {
  DWORD dwSize = sizeof(DDSURFACEDESC);
  DWORD dwFlags = 0;
  DWORD dwHeight = 0;
  DWORD dwWidth = 0;
  LONG lPitch = 0;  // bytes from one row to the next
  DWORD dwBackBufferCount = 0;
  DWORD dwRefreshRate = 0;
  void* lpSurface = nullptr;
  DDCOLORKEY ddckCKSrcBlt;
  DDPIXELFORMAT ddpfPixelFormat;
  DDSCAPS ddsCaps;
};

struct DDBLTFX {
  DWORD dwSize = sizeof(DDBLTFX);
  DWORD dwFillColor = 0;  // the raw pixel value of a colour fill
  DDCOLORKEY ddckSrcColorkey;
};

struct DDCAPS {
  DWORD dwSize = sizeof(DDCAPS);
  DWORD dwCaps = 0;
  DWORD dwVidMemTotal = 0;
  DWORD dwVidMemFree = 0;
};

// ---- Objects ---------------------------------------------------------------

class IDirectDrawPalette;
class IDirectDrawClipper;
class IDirectDrawSurface;
struct DirectDrawSurfaceData;

// Shared reference counting.
class DirectDrawObject {
 public:
  DirectDrawObject(const DirectDrawObject&) = delete;
  DirectDrawObject& operator=(const DirectDrawObject&) = delete;
  uint32_t AddRef() { return ++references_; }
  // Frees the object when no reference is left; returns the count left.
  uint32_t Release();

 protected:
  DirectDrawObject();
  virtual ~DirectDrawObject();

 private:
  uint32_t references_ = 1;
};

// 256 colours. A palette set on the primary surface is the screen's palette
// in an 8-bit display mode.
class IDirectDrawPalette : public DirectDrawObject {
 public:
  // Copies count entries from start; start + count must not pass 256.
  HRESULT SetEntries(DWORD flags, DWORD start, DWORD count, const PALETTEENTRY* entries);
  HRESULT GetEntries(DWORD flags, DWORD start, DWORD count, PALETTEENTRY* entries) const;
  const PALETTEENTRY* Entries() const { return entries_; }

 private:
  friend class IDirectDraw;
  IDirectDrawPalette() = default;
  PALETTEENTRY entries_[256];
};

// Clips the blits onto the surface it is set on to that surface.
class IDirectDrawClipper : public DirectDrawObject {
 public:
  HRESULT SetHWnd(DWORD flags, HWND window);

 private:
  friend class IDirectDraw;
  IDirectDrawClipper() = default;
  HWND window_ = nullptr;
};

class IDirectDrawSurface : public DirectDrawObject {
 public:
  // Width, height, pitch, pixel format and capabilities (DDSD_CAPS,
  // DDSD_HEIGHT, DDSD_WIDTH, DDSD_PITCH, DDSD_PIXELFORMAT; DDSD_CKSRCBLT when
  // a source colour key is set).
  HRESULT GetSurfaceDesc(DDSURFACEDESC* desc) const;
  HRESULT GetPixelFormat(DDPIXELFORMAT* format) const;
  HRESULT GetCaps(DDSCAPS* caps) const;

  // Locks rect (null: the whole surface, else it must lie inside it) and
  // gives its first pixel in desc->lpSurface and the row pitch in
  // desc->lPitch. The pixels stay valid until Unlock. A surface is locked by
  // one lock at a time (DDERR_SURFACEBUSY otherwise, also while its context
  // is out).
  HRESULT Lock(const RECT* rect, DDSURFACEDESC* desc, DWORD flags, void* event);
  HRESULT Unlock(void* surfaceData);

  // Copies srcRect of src (null: all of it) to dstRect of this surface (null:
  // all of it), stretching when the sizes differ; both surfaces must have the
  // same pixel size. DDBLT_COLORFILL fills dstRect with fx->dwFillColor
  // instead (no source). DDBLT_KEYSRC leaves the target where the source
  // pixel lies in the source's colour key (DDBLT_KEYSRCOVERRIDE: in
  // fx->ddckSrcColorkey). Without a clipper both rectangles must lie inside
  // their surfaces (DDERR_INVALIDRECT otherwise); with one the target
  // rectangle is clipped to this surface, the source following it.
  HRESULT Blt(const RECT* dstRect, IDirectDrawSurface* src, const RECT* srcRect, DWORD flags, const DDBLTFX* fx);
  // Flip chain primary: the back buffer's pixels become the front's and the
  // other way round; the new front is shown at once.
  HRESULT Flip(IDirectDrawSurface* override, DWORD flags);
  // The attached surface with these capabilities (the back buffer of a flip
  // chain), with a reference added.
  HRESULT GetAttachedSurface(const DDSCAPS* caps, IDirectDrawSurface** attached);

  HRESULT IsLost() const;
  HRESULT Restore();

  // A device context drawing into this surface (platform/gdi.h); the surface
  // counts as locked until ReleaseDC.
  HRESULT GetDC(HDC* hdc);
  HRESULT ReleaseDC(HDC hdc);

  // Sets (a reference is added) or removes (null) the surface's palette; an
  // 8-bit surface only.
  HRESULT SetPalette(IDirectDrawPalette* palette);
  HRESULT GetPalette(IDirectDrawPalette** palette);
  // DDCKEY_SRCBLT only.
  HRESULT SetColorKey(DWORD flags, const DDCOLORKEY* key);
  HRESULT GetColorKey(DWORD flags, DDCOLORKEY* key) const;
  HRESULT SetClipper(IDirectDrawClipper* clipper);

  // The stand-in's own: the pixel storage, for the GDI and the display.
  DirectDrawSurfaceData& Data() { return *data_; }
  const DirectDrawSurfaceData& Data() const { return *data_; }

 private:
  friend class IDirectDraw;
  IDirectDrawSurface();
  ~IDirectDrawSurface() override;
  DirectDrawSurfaceData* data_;
};

class IDirectDraw : public DirectDrawObject {
 public:
  // DDSCL_NORMAL, or DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN (DDSCL_ALLOWMODEX
  // allowed) for a window: the program then owns the screen, which the back
  // end shows full screen.
  HRESULT SetCooperativeLevel(HWND window, DWORD flags);
  // Calls back once per display mode of the list, in its order (a callback
  // returning DDENUMRET_CANCEL stops it); a desc with DDSD_WIDTH,
  // DDSD_HEIGHT or DDSD_PIXELFORMAT set lists only the matching modes.
  HRESULT EnumDisplayModes(DWORD flags, const DDSURFACEDESC* desc, void* context,
                           HRESULT (*callback)(DDSURFACEDESC* mode, void* context));
  // A mode of the list; needs the exclusive level. Every surface in video
  // memory is lost.
  HRESULT SetDisplayMode(DWORD width, DWORD height, DWORD bitsPerPixel);
  // Back to the desktop's mode; surfaces in video memory are lost when that
  // is another mode.
  HRESULT RestoreDisplayMode();
  // The current mode (the desktop's while none was set).
  HRESULT GetDisplayMode(DDSURFACEDESC* desc) const;
  HRESULT GetCaps(DDCAPS* hardware, DDCAPS* emulation) const;
  // The primary surface takes the display mode's size and format; it needs
  // no DDSD_WIDTH/DDSD_HEIGHT; with DDSCAPS_FLIP | DDSCAPS_COMPLEX and
  // DDSD_BACKBUFFERCOUNT 1 (the exclusive level is needed) it heads a flip
  // chain. Other surfaces need DDSD_WIDTH and DDSD_HEIGHT (1..16384) and take
  // DDSD_PIXELFORMAT (8-bit indexed or RGB of 16, 24 or 32 bits) or the
  // mode's format. One primary surface at a time.
  HRESULT CreateSurface(const DDSURFACEDESC* desc, IDirectDrawSurface** surface, void* outer);
  // DDPCAPS_8BIT; with DDPCAPS_INITIALIZE the 256 entries are copied.
  HRESULT CreatePalette(DWORD flags, const PALETTEENTRY* entries, IDirectDrawPalette** palette, void* outer);
  HRESULT CreateClipper(DWORD flags, IDirectDrawClipper** clipper, void* outer);
  // The front buffer of a flip chain becomes the one GDI draws on.
  HRESULT FlipToGDISurface();

 private:
  friend HRESULT DirectDrawCreate(const GUID* driver, IDirectDraw** object, void* outer);
  IDirectDraw() = default;
  ~IDirectDraw() override;
  DWORD level_ = 0;
  bool has3D_ = true;  // the driver's DDCAPS_3D
};

// The drivers: the primary display driver (GUID null), whose capabilities
// include DDCAPS_3D (tests can list others, DirectDrawSetDrivers). A callback
// returning FALSE stops the enumeration.
HRESULT DirectDrawEnumerate(BOOL (*callback)(GUID* guid, char* description, char* name, void* context),
                            void* context);
// A DirectDraw object of a driver (null: the primary display driver).
HRESULT DirectDrawCreate(const GUID* driver, IDirectDraw** object, void* outer);

// Shows the primary surface when it changed since it was last shown; the
// window system calls it whenever the program looks at its message queue.
void DirectDrawShowPendingFrame();

// ---- Tests -----------------------------------------------------------------

// The calls a test can make fail.
enum class DDCall {
  DirectDrawCreate,
  SetCooperativeLevel,
  EnumDisplayModes,
  SetDisplayMode,
  RestoreDisplayMode,
  GetDisplayMode,
  GetCaps,
  CreateSurface,
  CreatePalette,
  CreateClipper,
  FlipToGDISurface,
  GetSurfaceDesc,
  Lock,
  Unlock,
  Blt,
  Flip,
  GetAttachedSurface,
  Restore,
  GetDC,
  SetPalette,
  SetColorKey,
  SetEntries,
  CreateDIBSection,
  CreateCompatibleDC,
  SelectObject,
  BitBlt,
  StretchBlt,
  PatBlt,
  Direct3DCreate,
  Count
};
// The next `times` calls of call, after `skip` calls that succeed, fail with
// result (GDI calls: with their failure value) and change nothing.
void DirectDrawFailNext(DDCall call, HRESULT result, int times = 1, int skip = 0);

struct DisplayModeSpec {
  int width = 0;
  int height = 0;
  int bitsPerPixel = 0;
};
// The display modes, in enumeration order. The default list is 320x240,
// 640x480, 800x600 and 1024x768, each at 8, 16 and 32 bits.
void DirectDrawSetModes(const std::vector<DisplayModeSpec>& modes);
// Bytes of video memory for surfaces (0: no limit, the default); a surface
// that does not fit fails with DDERR_OUTOFVIDEOMEMORY.
void DirectDrawSetVideoMemory(uint32_t bytes);
// Extra bytes at the end of every row of surfaces created from now on (0 by
// default), so that code taking the pitch for the width shows.
void DirectDrawSetPitchPadding(int bytes);
// The driver list, in enumeration order (empty: the primary display driver
// alone). A driver that is not creatable fails DirectDrawCreate with
// DDERR_NODIRECTDRAWHW; has3D gives DDCAPS_3D in its hardware capabilities.
struct DirectDrawDriverSpec {
  bool hasGuid = false;
  GUID guid;
  std::string name;
  std::string description;
  bool has3D = true;
  bool creatable = true;
};
void DirectDrawSetDrivers(const std::vector<DirectDrawDriverSpec>& drivers);
// Every surface in video memory is lost now.
void DirectDrawLoseSurfaces();
// Forgets the failures, modes, memory and padding set by tests, and goes
// back to the desktop's display mode.
void DirectDrawResetTestState();
// How many DirectDraw objects and surfaces exist now (leak checks).
int DirectDrawLiveObjects();
