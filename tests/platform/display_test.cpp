// Frames as the display shows them: conversion, fitting into a window, and
// the headless recorder.
#include "platform/display.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "platform/headless/headless_backend.h"
#include "tests/support/png_file.h"
#include "tests/support/temp_folder.h"
#if KORVANE_HAVE_SDL
#include "platform/sdl/sdl_backend.h"
#endif

TEST(DisplayImage, PixelsOfEveryLayoutBecomeRgb) {
  const Rgb8 palette[256] = {{1, 2, 3}, {200, 100, 50}};
  const uint8_t indexed[] = {0, 9, 1, 9};  // two rows of 1 pixel, pitch 2
  DisplayImage image{indexed, 1, 2, 2, kPixelIndexed8, palette};
  RgbFrame frame;
  DisplayImageToRgb(image, &frame);
  EXPECT_EQ(frame.At(0, 0), (Rgb8{1, 2, 3}));
  EXPECT_EQ(frame.At(0, 1), (Rgb8{200, 100, 50}));

  const uint8_t rgb565[] = {0xFF, 0xFF, 0x00, 0xF8, 0x1F, 0x00};
  DisplayImageToRgb(DisplayImage{rgb565, 3, 1, 6, kPixelRgb565, nullptr}, &frame);
  EXPECT_EQ(frame.At(0, 0), (Rgb8{255, 255, 255}));
  EXPECT_EQ(frame.At(1, 0), (Rgb8{255, 0, 0}));
  EXPECT_EQ(frame.At(2, 0), (Rgb8{0, 0, 255}));
  uint32_t xrgb[3];
  DisplayImageToXrgb(DisplayImage{rgb565, 3, 1, 6, kPixelRgb565, nullptr}, xrgb, 12);
  EXPECT_EQ(xrgb[1], 0xFF0000u);
  EXPECT_EQ(PixelFromRgb(Rgb8{255, 0, 0}, kPixelRgb555), 0x7C00u);
  EXPECT_EQ(PixelToRgb(0x0210, kPixelRgb555).g, 0x84) << "5 bits widened by their high bits";
}

// The channels worked out once convert as the per-pixel functions do, for
// narrow, exact and wide channels.
TEST(DisplayImage, PixelChannelsConvertAsThePerPixelFunctions) {
  const PixelLayout layouts[] = {kPixelRgb565, kPixelRgb555, kPixelRgb888, kPixelXrgb8888,
                                 PixelLayout{16, 0x0F00, 0x00F0, 0x000F}, PixelLayout{32, 0x3FF00000, 0x000FFC00, 0x000003FF}};
  for (const PixelLayout& layout : layouts) {
    SCOPED_TRACE(layout.redMask);
    const PixelChannels channels(layout);
    for (uint32_t value = 0; value < 0x10000; value += 7) {
      const uint32_t wide = value * 0x9E37u;  // spread over every bit of a 32-bit pixel
      ASSERT_EQ(channels.ToRgb(wide), PixelToRgb(wide, layout)) << wide;
    }
    for (int c = 0; c < 256; c += 3) {
      const Rgb8 colour{static_cast<uint8_t>(c), static_cast<uint8_t>(255 - c), static_cast<uint8_t>(c * 7)};
      ASSERT_EQ(channels.FromRgb(colour), PixelFromRgb(colour, layout)) << c;
    }
  }
}

TEST(DisplayImage, AFrameFitsItsTargetWithItsAspectKept) {
  const DisplayRect wide = DisplayFitRect(640, 480, 1920, 1080);
  EXPECT_EQ(wide.x, 240);
  EXPECT_EQ(wide.width, 1440);
  EXPECT_EQ(wide.height, 1080);
  const DisplayRect tall = DisplayFitRect(640, 480, 800, 1000);
  EXPECT_EQ(tall.y, 200);
  EXPECT_EQ(tall.width, 800);
  EXPECT_EQ(tall.height, 600);
  EXPECT_EQ(DisplayFitRect(640, 480, 0, 10).width, 0);
}

TEST(HeadlessDisplay, EveryNthFrameIsWrittenAsAPng) {
  TempFolder folder;
  ScopedEnv dir("KORVANE_FRAME_DIR", folder.Join("frames").c_str());
  ScopedEnv every("KORVANE_FRAME_EVERY", "2");
  HeadlessBackendInstall();
  PlatformDisplay& display = *PlatformBackendGet().display;
  Rgb8 palette[256];
  std::vector<uint8_t> pixels(4 * 3, 0);
  for (int n = 0; n < 3; ++n) {
    palette[0] = Rgb8{static_cast<uint8_t>(10 * n), 0, 0};
    display.Present(DisplayImage{pixels.data(), 3, 3, 4, kPixelIndexed8, palette});
  }
  EXPECT_EQ(display.PresentCount(), 3u);
  const std::vector<std::string> files = PngFilesIn(folder.Join("frames"));
  ASSERT_EQ(files.size(), 2u);
  RgbFrame frame;
  ASSERT_TRUE(ReadPngRgb(files[1], &frame));
  EXPECT_EQ(frame.width, 3);
  EXPECT_EQ(frame.At(2, 2), (Rgb8{20, 0, 0})) << "frame 3";
  ASSERT_TRUE(display.ReadPresented(&frame));
  EXPECT_EQ(frame.At(0, 0), (Rgb8{20, 0, 0}));
}

#if KORVANE_HAVE_SDL
TEST(SdlDisplay, AFrameIsScaledIntoTheTargetBetweenBlackBars) {
  const std::unique_ptr<PlatformDisplay> display = SdlMemoryDisplayCreate(1920, 1080);
  ASSERT_NE(display, nullptr);
  // Left half colour 1, right half colour 2.
  Rgb8 palette[256];
  palette[1] = Rgb8{255, 0, 0};
  palette[2] = Rgb8{0, 0, 255};
  std::vector<uint8_t> pixels(640 * 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) pixels[static_cast<size_t>(y * 640 + x)] = x < 320 ? 1 : 2;
  display->Present(DisplayImage{pixels.data(), 640, 480, 640, kPixelIndexed8, palette});
  RgbFrame frame;
  ASSERT_TRUE(display->ReadPresented(&frame));
  ASSERT_EQ(frame.width, 1920);
  ASSERT_EQ(frame.height, 1080);
  EXPECT_EQ(frame.At(100, 540), (Rgb8{0, 0, 0})) << "left bar";
  EXPECT_EQ(frame.At(1800, 540), (Rgb8{0, 0, 0})) << "right bar";
  EXPECT_EQ(frame.At(250, 10), (Rgb8{255, 0, 0})) << "the picture starts at 240";
  EXPECT_EQ(frame.At(950, 1070), (Rgb8{255, 0, 0}));
  EXPECT_EQ(frame.At(970, 540), (Rgb8{0, 0, 255})) << "scaled 2.25 times: the middle is at 960";
  EXPECT_EQ(frame.At(1670, 540), (Rgb8{0, 0, 255}));
}
#endif
