// The DirectDraw and GDI stand-ins, through the headless display.
#include "platform/direct_draw.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/framework/window_manager.h"
#include "platform/framework/wnd.h"
#include "platform/gdi.h"
#include "platform/headless/headless_backend.h"

namespace {

class DirectDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MessageQueueReset();
    ClockUseFixedStep(20);
    HeadlessBackendInstall();
    DirectDrawResetTestState();
    ASSERT_TRUE(window_.CreateEx(0, nullptr, "screen", WS_POPUP, 0, 0, 640, 480, nullptr, 0));
    ASSERT_EQ(DirectDrawCreate(nullptr, &dd_, nullptr), DD_OK);
  }
  void TearDown() override {
    for (auto it = made_.rbegin(); it != made_.rend(); ++it) (*it)->Release();
    if (dd_) dd_->Release();
    window_.DestroyWindow();
    DirectDrawResetTestState();
    ClockUseRealTime();
    EXPECT_EQ(DirectDrawLiveObjects(), 0);
  }

  void Exclusive(int width = 640, int height = 480, int bits = 8) {
    ASSERT_EQ(dd_->SetCooperativeLevel(window_.m_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(dd_->SetDisplayMode(width, height, bits), DD_OK);
  }
  IDirectDrawSurface* Primary(bool chain) {
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS | (chain ? DDSD_BACKBUFFERCOUNT : 0);
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE | (chain ? DDSCAPS_FLIP | DDSCAPS_COMPLEX : 0);
    desc.dwBackBufferCount = chain ? 1 : 0;
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
    if (surface) made_.push_back(surface);
    return surface;
  }
  // An 8-bit off-screen surface.
  IDirectDrawSurface* Plain(int width, int height, DWORD memory = DDSCAPS_SYSTEMMEMORY) {
    DDSURFACEDESC desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddpfPixelFormat.dwFlags = DDPF_PALETTEINDEXED8;
    desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | memory;
    IDirectDrawSurface* surface = nullptr;
    EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
    if (surface) made_.push_back(surface);
    return surface;
  }
  IDirectDrawPalette* Palette(BYTE red109, BYTE green109, BYTE blue109) {
    PALETTEENTRY entries[256];
    entries[109] = PALETTEENTRY{red109, green109, blue109, 0};
    IDirectDrawPalette* palette = nullptr;
    EXPECT_EQ(dd_->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, &palette, nullptr), DD_OK);
    made_.push_back(palette);
    return palette;
  }
  static std::vector<uint8_t> Pixels(IDirectDrawSurface* surface) {
    DDSURFACEDESC desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
    const auto* first = static_cast<const uint8_t*>(desc.lpSurface);
    std::vector<uint8_t> bytes(first, first + static_cast<size_t>(desc.lPitch) * desc.dwHeight);
    surface->Unlock(nullptr);
    return bytes;
  }
  static void Fill(IDirectDrawSurface* surface, const RECT* rect, DWORD colour) {
    DDBLTFX fx;
    fx.dwFillColor = colour;
    ASSERT_EQ(surface->Blt(rect, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
  }
  static PlatformDisplay& Display() { return *PlatformBackendGet().display; }

  CWnd window_;
  IDirectDraw* dd_ = nullptr;
  std::vector<DirectDrawObject*> made_;
};

}  // namespace

TEST_F(DirectDrawTest, AFlipShowsTheBackBufferWithTheScreenPalette) {
  Exclusive();
  IDirectDrawSurface* primary = Primary(true);
  DDSCAPS caps;
  caps.dwCaps = DDSCAPS_BACKBUFFER;
  IDirectDrawSurface* back = nullptr;
  ASSERT_EQ(primary->GetAttachedSurface(&caps, &back), DD_OK);
  made_.push_back(back);
  ASSERT_EQ(primary->SetPalette(Palette(10, 200, 30)), DD_OK);

  DDSURFACEDESC desc;
  ASSERT_EQ(back->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(desc.dwWidth, 640u);
  EXPECT_GE(desc.lPitch, 640);
  static_cast<uint8_t*>(desc.lpSurface)[5 * desc.lPitch + 7] = 109;
  static_cast<uint8_t*>(desc.lpSurface)[0] = 255;  // a fixed system colour: white
  ASSERT_EQ(back->Unlock(nullptr), DD_OK);

  const uint64_t before = Display().PresentCount();
  ASSERT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK);
  EXPECT_EQ(Display().PresentCount(), before + 1);
  RgbFrame frame;
  ASSERT_TRUE(Display().ReadPresented(&frame));
  ASSERT_EQ(frame.width, 640);
  ASSERT_EQ(frame.height, 480);
  EXPECT_EQ(frame.At(7, 5), (Rgb8{10, 200, 30}));
  EXPECT_EQ(frame.At(0, 0), (Rgb8{255, 255, 255}));
  EXPECT_EQ(frame.At(8, 5), (Rgb8{0, 0, 0}));
  // The old front is now the back buffer.
  EXPECT_EQ(Pixels(back)[5 * desc.lPitch + 7], 0);
}

TEST_F(DirectDrawTest, WritesToThePrimaryAreShownOnceWhenTheQueueIsLookedAt) {
  Exclusive(640, 480, 16);
  IDirectDrawSurface* primary = Primary(false);
  DirectDrawShowPendingFrame();
  const uint64_t before = Display().PresentCount();
  const RECT a{0, 0, 10, 10}, b{10, 10, 20, 20};
  Fill(primary, &a, 0xF800);
  Fill(primary, &b, 0x001F);
  EXPECT_EQ(Display().PresentCount(), before) << "the clock has not moved: the program is drawing one frame";
  MSG msg;
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_EQ(Display().PresentCount(), before + 1);
  RgbFrame frame;
  ASSERT_TRUE(Display().ReadPresented(&frame));
  EXPECT_EQ(frame.At(5, 5), (Rgb8{255, 0, 0}));
  EXPECT_EQ(frame.At(15, 15), (Rgb8{0, 0, 255}));
  PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE);
  EXPECT_EQ(Display().PresentCount(), before + 1) << "nothing changed since";

  // A program that stops looking at its queue (a blocking effect) is still
  // seen: once 16 ms have passed its next change is shown at once.
  ClockEndFrame();
  Fill(primary, &a, 0x07E0);
  EXPECT_EQ(Display().PresentCount(), before + 2);
}

TEST_F(DirectDrawTest, APaletteChangeOnTheScreenIsShown) {
  Exclusive();
  IDirectDrawSurface* primary = Primary(false);
  IDirectDrawPalette* palette = Palette(0, 0, 0);
  ASSERT_EQ(primary->SetPalette(palette), DD_OK);
  const RECT all{0, 0, 640, 480};
  Fill(primary, &all, 109);
  DirectDrawShowPendingFrame();
  ClockEndFrame();
  const PALETTEENTRY grey{90, 90, 90, 0};
  ASSERT_EQ(palette->SetEntries(0, 109, 1, &grey), DD_OK);
  RgbFrame frame;
  ASSERT_TRUE(Display().ReadPresented(&frame));
  EXPECT_EQ(frame.At(320, 240), (Rgb8{90, 90, 90}));
  EXPECT_EQ(palette->SetEntries(0, 200, 57, &grey), DDERR_INVALIDPARAMS);
}

TEST_F(DirectDrawTest, BltFillsCopiesWithAColourKeyAndStretches) {
  IDirectDrawSurface* target = Plain(8, 4);
  IDirectDrawSurface* source = Plain(4, 2);
  const RECT all{0, 0, 4, 2};
  Fill(source, &all, 7);
  const RECT hole{1, 0, 2, 1};
  Fill(source, &hole, 255);
  Fill(target, nullptr, 3);
  const DDCOLORKEY key{255, 255};
  ASSERT_EQ(source->SetColorKey(DDCKEY_SRCBLT, &key), DD_OK);

  const RECT at{2, 1, 6, 3};
  ASSERT_EQ(target->Blt(&at, source, nullptr, DDBLT_KEYSRC | DDBLT_WAIT, nullptr), DD_OK);
  DDSURFACEDESC desc;
  target->GetSurfaceDesc(&desc);
  const std::vector<uint8_t> p = Pixels(target);
  auto px = [&](int x, int y) { return p[static_cast<size_t>(y * desc.lPitch + x)]; };
  EXPECT_EQ(px(2, 1), 7);
  EXPECT_EQ(px(3, 1), 3) << "the keyed pixel leaves the target";
  EXPECT_EQ(px(5, 2), 7);
  EXPECT_EQ(px(6, 2), 3);
  EXPECT_EQ(px(1, 1), 3);

  // Twice the size: each source pixel covers 2x2 target pixels.
  ASSERT_EQ(target->Blt(nullptr, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  const std::vector<uint8_t> q = Pixels(target);
  EXPECT_EQ(q[static_cast<size_t>(0 * desc.lPitch + 2)], 255);
  EXPECT_EQ(q[static_cast<size_t>(1 * desc.lPitch + 3)], 255);
  EXPECT_EQ(q[static_cast<size_t>(1 * desc.lPitch + 4)], 7);
}

TEST_F(DirectDrawTest, RectanglesOffTheSurfaceAreRefusedUnlessAClipperClipsThem) {
  IDirectDrawSurface* target = Plain(8, 4);
  IDirectDrawSurface* source = Plain(4, 4);
  Fill(source, nullptr, 9);
  Fill(target, nullptr, 1);
  const RECT off{6, 0, 10, 4};
  EXPECT_EQ(target->Blt(&off, source, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  const RECT badSource{-1, 0, 3, 4};
  EXPECT_EQ(target->Blt(nullptr, source, &badSource, DDBLT_WAIT, nullptr), DDERR_INVALIDRECT);
  EXPECT_EQ(target->Blt(&off, source, nullptr, DDBLT_KEYSRC, nullptr), DDERR_INVALIDRECT);

  IDirectDrawClipper* clipper = nullptr;
  ASSERT_EQ(dd_->CreateClipper(0, &clipper, nullptr), DD_OK);
  made_.push_back(clipper);
  ASSERT_EQ(target->SetClipper(clipper), DD_OK);
  ASSERT_EQ(target->Blt(&off, source, nullptr, DDBLT_WAIT, nullptr), DD_OK);
  DDSURFACEDESC desc;
  target->GetSurfaceDesc(&desc);
  const std::vector<uint8_t> p = Pixels(target);
  EXPECT_EQ(p[5], 1);
  EXPECT_EQ(p[6], 9);
  EXPECT_EQ(p[7], 9);
  EXPECT_EQ(static_cast<int>(p.size()), desc.lPitch * 4) << "nothing written past the surface";

  IDirectDrawSurface* wide = nullptr;
  DDSURFACEDESC format;
  format.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
  format.dwWidth = format.dwHeight = 4;
  format.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  format.ddpfPixelFormat.dwFlags = DDPF_RGB;
  format.ddpfPixelFormat.dwRGBBitCount = 16;
  format.ddpfPixelFormat.dwRBitMask = 0xF800;
  format.ddpfPixelFormat.dwGBitMask = 0x07E0;
  format.ddpfPixelFormat.dwBBitMask = 0x001F;
  ASSERT_EQ(dd_->CreateSurface(&format, &wide, nullptr), DD_OK);
  made_.push_back(wide);
  EXPECT_EQ(target->Blt(nullptr, wide, nullptr, DDBLT_WAIT, nullptr), DDERR_INVALIDPIXELFORMAT);
}

TEST_F(DirectDrawTest, LostSurfacesRefuseWorkUntilRestoredAndComeBackCleared) {
  Exclusive();
  IDirectDrawSurface* primary = Primary(true);
  IDirectDrawSurface* inMemory = Plain(16, 16);
  Fill(primary, nullptr, 42);
  Fill(inMemory, nullptr, 42);
  EXPECT_EQ(primary->IsLost(), DD_OK);

  DirectDrawLoseSurfaces();
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
  DDSURFACEDESC desc;
  EXPECT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACELOST);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DDERR_SURFACELOST);
  HDC dc = nullptr;
  EXPECT_EQ(primary->GetDC(&dc), DDERR_SURFACELOST);
  EXPECT_EQ(inMemory->IsLost(), DD_OK) << "system memory is never lost";
  EXPECT_EQ(Pixels(inMemory)[0], 42);

  ASSERT_EQ(primary->Restore(), DD_OK);
  EXPECT_EQ(primary->IsLost(), DD_OK);
  EXPECT_EQ(Pixels(primary)[0], 0);
  EXPECT_EQ(primary->Flip(nullptr, DDFLIP_WAIT), DD_OK) << "the back buffer came back with its primary";

  // A display mode change loses them too.
  ASSERT_EQ(dd_->SetDisplayMode(800, 600, 8), DD_OK);
  EXPECT_EQ(primary->IsLost(), DDERR_SURFACELOST);
}

TEST_F(DirectDrawTest, ModesAreListedInOrderAndOnlyListedModesCanBeSet) {
  std::vector<DisplayModeSpec> seen;
  ASSERT_EQ(dd_->EnumDisplayModes(0, nullptr, &seen,
                                  [](DDSURFACEDESC* mode, void* context) -> HRESULT {
                                    static_cast<std::vector<DisplayModeSpec>*>(context)->push_back(
                                        DisplayModeSpec{static_cast<int>(mode->dwWidth), static_cast<int>(mode->dwHeight),
                                                        static_cast<int>(mode->ddpfPixelFormat.dwRGBBitCount)});
                                    return DDENUMRET_OK;
                                  }),
            DD_OK);
  ASSERT_EQ(seen.size(), 12u);
  EXPECT_EQ(seen[0].width, 320);
  EXPECT_EQ(seen[3].width, 640);
  EXPECT_EQ(seen[3].bitsPerPixel, 8);

  EXPECT_EQ(dd_->SetDisplayMode(640, 480, 8), DDERR_NOEXCLUSIVEMODE);
  ASSERT_EQ(dd_->SetCooperativeLevel(window_.m_hWnd, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_ALLOWMODEX), DD_OK);
  EXPECT_EQ(dd_->SetDisplayMode(640, 400, 8), DDERR_INVALIDMODE);
  DirectDrawSetModes({{320, 240, 8}, {640, 480, 8}});
  EXPECT_EQ(dd_->SetDisplayMode(800, 600, 8), DDERR_INVALIDMODE) << "a refused mode";
  ASSERT_EQ(dd_->SetDisplayMode(320, 240, 8), DD_OK);
  DDSURFACEDESC mode;
  ASSERT_EQ(dd_->GetDisplayMode(&mode), DD_OK);
  EXPECT_EQ(mode.dwWidth, 320u);
  DDSURFACEDESC desc;
  ASSERT_EQ(Primary(false)->GetSurfaceDesc(&desc), DD_OK);
  EXPECT_EQ(desc.dwWidth, 320u);
  EXPECT_EQ(desc.dwHeight, 240u);
  EXPECT_EQ(desc.ddpfPixelFormat.dwFlags, DDPF_PALETTEINDEXED8);
}

TEST_F(DirectDrawTest, ATestCanMakeAnyCallFailOnceOrAfterSomeSuccesses) {
  Exclusive();
  DirectDrawFailNext(DDCall::CreateSurface, DDERR_OUTOFVIDEOMEMORY);
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  IDirectDrawSurface* surface = nullptr;
  EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DDERR_OUTOFVIDEOMEMORY);
  EXPECT_EQ(surface, nullptr);
  IDirectDrawSurface* primary = Primary(false);

  DirectDrawFailNext(DDCall::Lock, DDERR_SURFACEBUSY, 1, 2);
  for (int i = 0; i < 2; ++i) {
    ASSERT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    primary->Unlock(nullptr);
  }
  EXPECT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY);
  EXPECT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
  EXPECT_EQ(primary->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DDERR_SURFACEBUSY) << "already locked";
  primary->Unlock(nullptr);
  EXPECT_EQ(primary->Unlock(nullptr), DDERR_NOTLOCKED);

  DirectDrawFailNext(DDCall::BitBlt, DDERR_GENERIC);
  HDC screen = GetDC(nullptr);
  EXPECT_FALSE(BitBlt(screen, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
  EXPECT_TRUE(BitBlt(screen, 0, 0, 1, 1, nullptr, 0, 0, BLACKNESS));
  ReleaseDC(nullptr, screen);
}

TEST_F(DirectDrawTest, VideoMemoryRunsOutAndOneTwoPrimariesAreRefused) {
  Exclusive();
  DirectDrawSetVideoMemory(640 * 480 * 2 + 100);
  IDirectDrawSurface* primary = Primary(true);
  ASSERT_NE(primary, nullptr);
  DDSURFACEDESC desc;
  desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT;
  desc.dwWidth = desc.dwHeight = 16;
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN;
  IDirectDrawSurface* surface = nullptr;
  EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DDERR_OUTOFVIDEOMEMORY);
  desc.ddsCaps.dwCaps = DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY;
  ASSERT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DD_OK);
  surface->Release();
  desc.dwFlags = DDSD_CAPS;
  desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
  EXPECT_EQ(dd_->CreateSurface(&desc, &surface, nullptr), DDERR_PRIMARYSURFACEALREADYEXISTS);
}

TEST_F(DirectDrawTest, GdiCopiesConvertThroughColourTablesAndClip) {
  Exclusive(640, 480, 16);
  DirectDrawSetPitchPadding(8);
  IDirectDrawSurface* primary = Primary(false);
  // A 4x2 bottom-up 8-bit bitmap whose colour 3 is pure green.
  BITMAPINFO info;
  info.bmiHeader.biWidth = 4;
  info.bmiHeader.biHeight = 2;
  info.bmiHeader.biBitCount = 8;
  info.bmiHeader.biClrUsed = 4;
  info.bmiColors[3] = RGBQUAD{0, 255, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  ASSERT_NE(bitmap, nullptr);
  static_cast<uint8_t*>(bits)[0] = 3;  // stored first: the bottom row's first pixel

  HDC memory = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  ASSERT_NE(previous, nullptr);
  EXPECT_FALSE(DeleteObject(bitmap)) << "selected into a context";
  HDC screen = nullptr;
  ASSERT_EQ(primary->GetDC(&screen), DD_OK);
  // Copied to the bottom-right corner, half off the screen.
  ASSERT_TRUE(BitBlt(screen, 638, 478, 4, 2, memory, 0, 0, SRCCOPY));
  ASSERT_TRUE(StretchBlt(screen, 0, 0, 8, 4, memory, 0, 0, 4, 2, SRCCOPY));
  ASSERT_EQ(primary->ReleaseDC(screen), DD_OK);
  SelectObject(memory, previous);
  EXPECT_TRUE(DeleteDC(memory));
  EXPECT_TRUE(DeleteObject(bitmap));
  EXPECT_FALSE(DeleteObject(bitmap)) << "a deleted handle names nothing";

  DDSURFACEDESC desc;
  primary->GetSurfaceDesc(&desc);
  EXPECT_EQ(desc.lPitch, 640 * 2 + 8);
  const std::vector<uint8_t> p = Pixels(primary);
  auto px = [&](int x, int y) { return p[static_cast<size_t>(y * desc.lPitch + 2 * x)] | p[static_cast<size_t>(y * desc.lPitch + 2 * x + 1)] << 8; };
  EXPECT_EQ(px(638, 479), 0x07E0);
  EXPECT_EQ(px(638, 478), 0);
  EXPECT_EQ(px(639, 479), 0);
  EXPECT_EQ(px(0, 2), 0x07E0) << "stretched 2x: the bottom row fills rows 2 and 3";
  EXPECT_EQ(px(1, 3), 0x07E0);
  EXPECT_EQ(px(2, 3), 0);
  EXPECT_EQ(px(0, 1), 0);
}

TEST_F(DirectDrawTest, TheSystemPaletteHasFixedEndsAndTheScreensColoursBetween) {
  Exclusive();
  PALETTEENTRY entries[256];
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetSystemPaletteEntries(screen, 0, 256, entries), 256u);
  EXPECT_EQ(entries[0].peRed, 0);
  EXPECT_EQ(entries[7].peRed, 192);
  EXPECT_EQ(entries[249].peRed, 255);
  EXPECT_EQ(entries[249].peGreen, 0);
  EXPECT_EQ(entries[255].peBlue, 255);
  EXPECT_EQ(entries[109].peGreen, 0);
  IDirectDrawSurface* primary = Primary(false);
  ASSERT_EQ(primary->SetPalette(Palette(1, 2, 3)), DD_OK);
  ASSERT_EQ(GetSystemPaletteEntries(screen, 100, 200, entries), 156u);
  EXPECT_EQ(entries[9].peBlue, 3);
  EXPECT_EQ(GetSystemPaletteEntries(screen, 256, 1, entries), 0u);
  ReleaseDC(nullptr, screen);
}
