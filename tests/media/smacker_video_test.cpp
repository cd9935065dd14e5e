// The video library stand-in over FFmpeg (platform/smacker_api.h) and the
// player on it (media/smacker_video.h), on videos the data builder writes.
#include "media/smacker_video.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <vector>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/display.h"
#include "platform/framework/window_manager.h"
#include "platform/headless/headless_backend.h"
#include "tests/media/display_fixture.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_videos.h"
#include "tools/builder/smacker_writer.h"

#if KORVANE_HAVE_FFMPEG

namespace {

// Colours that survive the file's 6 bits a channel exactly; each seed differs.
std::vector<uint8_t> Palette(int seed) {
  std::vector<uint8_t> palette;
  for (int i = 0; i < 768; ++i) palette.push_back(SmackerLevelValue((i * 5 + seed * 11 + i / 3) % 64));
  return palette;
}

std::vector<uint8_t> Noise(int width, int height, uint32_t seed) {
  std::vector<uint8_t> pixels(static_cast<size_t>(width) * height);
  for (uint8_t& p : pixels) {
    seed = seed * 1664525u + 1013904223u;
    p = static_cast<uint8_t>(seed >> 24);
  }
  return pixels;
}

// Five frames: noise; a small change (x 8..19, y 4..9); the same again; the
// same pixels with another palette; noise again. 8-bit sound, 10 frames a
// second.
SmackerMovie SmallMovie(int width = 64, int height = 48) {
  SmackerMovie movie;
  movie.width = width;
  movie.height = height;
  movie.frameMicros = 100000;
  std::vector<uint8_t> pixels = Noise(width, height, 1);
  movie.frames.push_back({pixels, Palette(1)});
  for (int y = 4; y < 10; ++y)
    for (int x = 8; x < 20; ++x) pixels[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(x * y);
  movie.frames.push_back({pixels, {}});
  movie.frames.push_back({pixels, {}});
  movie.frames.push_back({pixels, Palette(2)});
  movie.frames.push_back({Noise(width, height, 2), {}});
  movie.sound.rate = 11025;
  movie.sound.bits = 8;
  for (int i = 0; i < 11025 / 2; ++i) movie.sound.samples.push_back(static_cast<int16_t>((i * 7) % 256));
  return movie;
}

class SmackerLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessBackendInstall();
    ClockUseFixedStep(20);
    path_ = folder_.Join("movie.smk");
    std::string error;
    ASSERT_TRUE(WriteSmackerFile(path_, movie_, &error)) << error;
  }
  void TearDown() override { ClockUseRealTime(); }

  // The frame the buffer holds (width x height at the buffer's pitch).
  static std::vector<uint8_t> Read(const std::vector<uint8_t>& buffer, int pitch, int width, int height) {
    std::vector<uint8_t> out;
    for (int y = 0; y < height; ++y)
      out.insert(out.end(), buffer.begin() + y * pitch, buffer.begin() + y * pitch + width);
    return out;
  }

  TempFolder folder_;
  SmackerMovie movie_ = SmallMovie();
  std::string path_;
};

struct Rect {
  DWORD x, y, w, h;
  bool operator==(const Rect&) const = default;
};
Rect LastRect(const Smack* s) { return {s->LastRectx, s->LastRecty, s->LastRectw, s->LastRecth}; }

}  // namespace

TEST_F(SmackerLibraryTest, DecodesEveryFrameWithItsPaletteAndChangedRectangle) {
  Smack* smack = SmackOpen(path_.c_str(), 0xFE000, static_cast<DWORD>(-1));
  ASSERT_NE(smack, nullptr);
  EXPECT_EQ(smack->Width, 64u);
  EXPECT_EQ(smack->Height, 48u);
  EXPECT_EQ(smack->Frames, 5u);
  EXPECT_EQ(smack->MSPerFrame, 100u);
  // A buffer wider than the video, with a margin that must stay untouched.
  const int pitch = 80;
  std::vector<uint8_t> buffer(static_cast<size_t>(pitch) * 50, 0xEE);
  const bool newPalette[] = {true, false, false, true, false};
  const Rect rects[] = {{0, 0, 64, 48}, {8, 4, 12, 6}, {0, 0, 0, 0}, {0, 0, 64, 48}, {0, 0, 64, 48}};
  for (int f = 0; f < 5; ++f) {
    SCOPED_TRACE(f);
    ASSERT_EQ(smack->FrameNum, static_cast<DWORD>(f));
    EXPECT_EQ(smack->NewPalette != 0, newPalette[f]);
    const std::vector<uint8_t>& palette = movie_.frames[f < 3 ? 0 : 3].palette;
    EXPECT_EQ(0, std::memcmp(smack->Palette, palette.data(), 768));
    SmackToBuffer(smack, 0, 0, pitch, 48, buffer.data(), 0);
    SmackDoFrame(smack);
    EXPECT_EQ(Read(buffer, pitch, 64, 48), movie_.frames[f].pixels);
    EXPECT_EQ(SmackToBufferRect(smack, SMACKSURFACESLOW) != 0, rects[f].w != 0);
    EXPECT_EQ(SmackToBufferRect(smack, SMACKSURFACESLOW), 0u);  // reported once
    EXPECT_EQ(LastRect(smack), rects[f]);
    SmackNextFrame(smack);
  }
  EXPECT_EQ(smack->FrameNum, 4u);  // the last frame stays current
  for (int y = 0; y < 50; ++y) {
    for (int x = 0; x < pitch; ++x) {
      if (x < 64 && y < 48) continue;
      ASSERT_EQ(buffer[y * pitch + x], 0xEE) << x << "," << y;
    }
  }
  // Going back: frame 1 whole, with the palette it is shown with.
  SmackGoto(smack, 1);
  EXPECT_EQ(smack->FrameNum, 1u);
  EXPECT_TRUE(smack->NewPalette);
  EXPECT_EQ(0, std::memcmp(smack->Palette, movie_.frames[0].palette.data(), 768));
  SmackToBuffer(smack, 0, 0, pitch, 48, buffer.data(), 0);
  SmackDoFrame(smack);
  EXPECT_EQ(Read(buffer, pitch, 64, 48), movie_.frames[1].pixels);
  EXPECT_EQ(LastRect(smack), (Rect{0, 0, 64, 48}));
  SmackClose(smack);
}

TEST_F(SmackerLibraryTest, WritesSixteenBitPixelsThroughThePaletteAndNeverPastTheBuffer) {
  Smack* smack = SmackOpen(path_.c_str(), 0, 0);
  ASSERT_NE(smack, nullptr);
  // 40 pixels of 2 bytes a row and 30 rows: smaller than the video.
  std::vector<uint8_t> buffer(80 * 30 + 16, 0xEE);
  SmackToBuffer(smack, 0, 0, 80, 30, buffer.data(), SMACKBUFFER565);
  SmackDoFrame(smack);
  for (int y : {0, 29}) {
    for (int x : {0, 17, 39}) {
      const uint8_t index = movie_.frames[0].pixels[y * 64 + x];
      const uint8_t* c = &movie_.frames[0].palette[3 * index];
      const uint16_t want = static_cast<uint16_t>(((c[0] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[2] >> 3));
      uint16_t got;
      std::memcpy(&got, &buffer[y * 80 + 2 * x], 2);
      EXPECT_EQ(got, want) << x << "," << y;
    }
  }
  for (size_t i = 80 * 30; i < buffer.size(); ++i) EXPECT_EQ(buffer[i], 0xEE);
  // A null buffer decodes and reports the frame but writes nothing.
  SmackNextFrame(smack);
  SmackToBuffer(smack, 0, 0, 0, 0, nullptr, 0);
  SmackDoFrame(smack);
  EXPECT_EQ(LastRect(smack), (Rect{8, 4, 12, 6}));
  SmackClose(smack);
}

TEST_F(SmackerLibraryTest, FramesAreDueOneFrameTimeApart) {
  Smack* smack = SmackOpen(path_.c_str(), 0, 0);
  ASSERT_NE(smack, nullptr);
  std::vector<uint8_t> buffer(64 * 48);
  std::vector<DWORD> shownAt;
  const DWORD start = timeGetTime();
  // A player that only waits on the library: SmackWait's pauses move the
  // fixed-step clock.
  while (shownAt.size() < 5) {
    ASSERT_LT(timeGetTime() - start, 2000u);
    if (SmackWait(smack)) continue;
    shownAt.push_back(timeGetTime() - start);
    SmackToBuffer(smack, 0, 0, 64, 48, buffer.data(), 0);
    SmackDoFrame(smack);
    SmackNextFrame(smack);
  }
  EXPECT_EQ(shownAt, (std::vector<DWORD>{0, 100, 200, 300, 400}));
  // A player that falls behind is not hurried: the next frame is a whole
  // frame time after the late one.
  SmackGoto(smack, 0);
  EXPECT_EQ(SmackWait(smack), 0u);
  SmackDoFrame(smack);
  Sleep(350);
  EXPECT_EQ(SmackWait(smack), 0u);
  SmackDoFrame(smack);
  Sleep(99);
  EXPECT_NE(SmackWait(smack), 0u);  // that pause was the 100th millisecond
  EXPECT_EQ(SmackWait(smack), 0u);
  SmackClose(smack);
}

TEST_F(SmackerLibraryTest, TheVideoDeviceGivesEachFramesSound) {
  std::string error;
  std::unique_ptr<PlatformVideoFile> file = PlatformBackendGet().video->Open(path_, &error);
  ASSERT_NE(file, nullptr) << error;
  EXPECT_EQ(file->Info().soundRate, 11025);
  EXPECT_EQ(file->Info().soundChannels, 1);
  EXPECT_EQ(file->Info().soundBits, 8);
  std::vector<uint8_t> sound;
  VideoFrameData frame;
  int frames = 0;
  while (file->ReadFrame(&frame)) {
    ++frames;
    EXPECT_FALSE(frame.sound.empty());
    sound.insert(sound.end(), frame.sound.begin(), frame.sound.end());
  }
  EXPECT_EQ(frames, 5);
  ASSERT_EQ(sound.size(), movie_.sound.samples.size());
  for (size_t i = 0; i < sound.size(); ++i) ASSERT_EQ(sound[i], movie_.sound.samples[i]) << i;
  EXPECT_FALSE(file->ReadFrame(&frame));  // and stays at the end
}

// What is heard: each shown frame's sound from the moment it is shown;
// switched off, the output falls silent.
TEST_F(SmackerLibraryTest, EachShownFramesSoundPlaysUntilTheSoundIsSwitchedOff) {
  std::vector<int16_t> pcm;
  PlatformBackendGet().sound->SetCapture(&pcm);
  // The library's output needs a window to belong to; any handle will do here.
  SmackSoundUseWindow(reinterpret_cast<HWND>(1));
  Smack* smack = SmackOpen(path_.c_str(), 0, 0);
  ASSERT_NE(smack, nullptr);
  std::vector<uint8_t> buffer(64 * 48);
  auto energy = [&pcm](size_t from) {
    double sum = 0;
    for (size_t i = from; i < pcm.size(); ++i) sum += double(pcm[i]) * pcm[i];
    return sum;
  };
  for (int frame = 0; frame < 3; ++frame) {
    SmackToBuffer(smack, 0, 0, 64, 48, buffer.data(), 0);
    SmackDoFrame(smack);
    for (int ms = 0; ms < 100; ms += 10) {
      ClockSetTime(timeGetTime() + 10);
      PlatformBackendGet().sound->Pump();
    }
    SmackNextFrame(smack);
  }
  ASSERT_FALSE(pcm.empty());
  const double playing = energy(0);
  EXPECT_GT(playing, 0.0);
  SmackSoundOnOff(smack, 0);
  ClockSetTime(timeGetTime() + 20);  // the voices' release
  PlatformBackendGet().sound->Pump();
  const size_t after = pcm.size();
  SmackToBuffer(smack, 0, 0, 64, 48, buffer.data(), 0);
  SmackDoFrame(smack);  // shown with the sound off: not heard
  for (int ms = 0; ms < 100; ms += 10) {
    ClockSetTime(timeGetTime() + 10);
    PlatformBackendGet().sound->Pump();
  }
  EXPECT_GT(pcm.size(), after);
  EXPECT_LT(energy(after), playing / 10000);  // at most the last voice's fading edge
  SmackClose(smack);
  SmackSoundUseWindow(nullptr);
  PlatformBackendGet().sound->SetCapture(nullptr);
}

TEST_F(SmackerLibraryTest, MissingForeignAndDamagedFiles) {
  EXPECT_EQ(SmackOpen(folder_.Join("none.smk").c_str(), 0, 0), nullptr);
  folder_.WriteText("text.smk", "this is no video at all, only some text that is long enough to probe");
  EXPECT_EQ(SmackOpen(folder_.Join("text.smk").c_str(), 0, 0), nullptr);
  // The file cut short: it opens, and ends where it can't be decoded.
  std::vector<uint8_t> bytes = ReadFileBytes(path_);
  bytes.resize(bytes.size() * 2 / 3);
  folder_.WriteFile("cut.smk", bytes);
  Smack* smack = SmackOpen(folder_.Join("cut.smk").c_str(), 0, 0);
  ASSERT_NE(smack, nullptr);
  std::vector<uint8_t> buffer(64 * 48);
  for (int i = 0; i < 10; ++i) {
    SmackToBuffer(smack, 0, 0, 64, 48, buffer.data(), 0);
    SmackDoFrame(smack);
    SmackNextFrame(smack);
  }
  EXPECT_LT(smack->Frames, 5u);
  EXPECT_EQ(smack->FrameNum + 1, smack->Frames);
  SmackClose(smack);
}

// A file claiming more frames than its bytes can list is refused by its
// header alone, with the reason, before FFmpeg reads a table per claimed
// frame (which took seconds for the 44-byte file below).
TEST_F(SmackerLibraryTest, AFileTooShortForTheFramesItClaimsIsRefusedAtOpen) {
  const std::vector<uint8_t> tiny = {
      0x53, 0x4d, 0x4b, 0x32, 0x10, 0x00, 0x00, 0x00, 0x08, 0x00, 0x53, 0x4d, 0x4b, 0x32, 0x10,
      0x00, 0x00, 0x00, 0x3c, 0x00, 0x00, 0x00, 0xf0, 0xd8, 0xff, 0xff, 0x00, 0x00, 0x00, 0x00,
      0x2c, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2c, 0x00, 0x00, 0x01};
  ASSERT_EQ(tiny.size(), 44u);
  const std::vector<uint8_t> good = ReadFileBytes(path_);
  // The written file's 5 frames claimed as as many as its bytes could list
  // plus one, and with the ring-frame flag on top of exactly that many.
  const uint32_t fit = static_cast<uint32_t>((good.size() - 104) / 5);
  auto claiming = [&](uint32_t frames, uint32_t flags) {
    std::vector<uint8_t> bytes = good;
    for (int b = 0; b < 4; ++b) {
      bytes[12 + b] = static_cast<uint8_t>(frames >> (8 * b));
      bytes[20 + b] = static_cast<uint8_t>(flags >> (8 * b));
    }
    return bytes;
  };
  const struct {
    const char* name;
    std::vector<uint8_t> bytes;
    const char* reason;
  } cases[] = {
      {"tiny.smk", tiny, "header is cut short"},
      {"one-more.smk", claiming(fit + 1, 0), "frames claimed"},
      {"ring.smk", claiming(fit, 1), "frames claimed"},
      {"million.smk", claiming(2000000, 0), "more than a video may have"},
  };
  for (const auto& c : cases) {
    folder_.WriteFile(c.name, c.bytes);
    std::string error;
    EXPECT_EQ(PlatformBackendGet().video->Open(folder_.Join(c.name), &error), nullptr) << c.name;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.name << ": " << error;
    EXPECT_EQ(SmackOpen(folder_.Join(c.name).c_str(), 0, 0), nullptr) << c.name;
  }
  std::string error;
  EXPECT_NE(PlatformBackendGet().video->Open(path_, &error), nullptr) << error;
}

TEST_F(SmackerLibraryTest, TheDemoVideosDecodeToTheFramesTheyWereMadeOf) {
  std::string error;
  ASSERT_TRUE(WriteDemoVideos(folder_.Path(), &error)) << error;
  struct Case {
    const char* name;
    SmackerMovie movie;
  } cases[] = {{"logo.smk", DemoLogoMovie()}, {"intro.smk", DemoIntroMovie()}, {"ENDING.SMK", DemoEndingMovie()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Smack* smack = SmackOpen(folder_.Join(c.name).c_str(), 0, 0);
    ASSERT_NE(smack, nullptr);
    ASSERT_EQ(smack->Frames, c.movie.frames.size());
    EXPECT_EQ(smack->MSPerFrame, (c.movie.frameMicros + 500) / 1000);
    std::vector<uint8_t> palette = c.movie.frames[0].palette, buffer(320 * 240);
    for (size_t f = 0; f < c.movie.frames.size(); ++f) {
      if (!c.movie.frames[f].palette.empty()) palette = c.movie.frames[f].palette;
      for (uint8_t& v : palette) v = SmackerLevelValue(SmackerColourLevel(v));  // as stored
      ASSERT_EQ(0, std::memcmp(smack->Palette, palette.data(), 768)) << f;
      SmackToBuffer(smack, 0, 0, 320, 240, buffer.data(), 0);
      SmackDoFrame(smack);
      ASSERT_EQ(buffer, c.movie.frames[f].pixels) << f;
      EXPECT_TRUE(std::all_of(buffer.begin(), buffer.end(), [](uint8_t i) { return i == 0 || (i >= 10 && i <= 245); }));
      SmackNextFrame(smack);
    }
    SmackClose(smack);
  }
}

namespace {

// A 320x240 video of noise in the game's colours (10-245), so every frame
// changes the whole picture; a palette change at frame 2.
SmackerMovie FullScreenMovie(int frames, int width = 320) {
  SmackerMovie movie;
  movie.width = width;
  movie.height = 240;
  movie.frameMicros = 50000;
  for (int f = 0; f < frames; ++f) {
    std::vector<uint8_t> pixels = Noise(width, 240, 10 + f);
    for (uint8_t& p : pixels) p = static_cast<uint8_t>(10 + p % 236);
    movie.frames.push_back({pixels, f == 0 || f == 2 ? Palette(f) : std::vector<uint8_t>{}});
  }
  return movie;
}

class SmackerPlayerTest : public DisplayTest {
 protected:
  void Start(int bits, const SmackerMovie& movie) {
    display_->Enter(window_.m_hWnd, 640, 480, bits);
    display_->CreateVideoSurface();
    ASSERT_NE(display_->GetVideoSurface(), nullptr);
    if (bits == 8) {
      PALETTEENTRY entries[256] = {};
      ASSERT_EQ(display_->GetDirectDraw()->CreatePalette(DDPCAPS_8BIT | DDPCAPS_INITIALIZE, entries, &palette_, nullptr),
                DD_OK);
      display_->GetPrimarySurface()->SetPalette(palette_);
    }
    SetFocus(window_.m_hWnd);
    movie_ = movie;
    std::string error;
    ASSERT_TRUE(WriteSmackerFile(folder_.Join("video.smk"), movie_, &error)) << error;
  }
  void TearDown() override {
    SmackerClose();
    if (palette_) palette_->Release();
    DisplayTest::TearDown();
  }
  bool Init() { return SmackerInit(display_->GetVideoSurface(), folder_.Join("video.smk").c_str()); }
  // One due frame step (the steps before it only wait).
  bool Step() {
    for (int i = 0; i < 1000; ++i) {
      const DWORD before = GetSmackHandle()->FrameNum;
      const bool going = SmackerFrame(window_.m_hWnd, display_->GetVideoSurface(), display_->GetPrimarySurface(), palette_);
      if (!going || GetSmackHandle()->FrameNum != before) return going;
    }
    ADD_FAILURE() << "no frame became due";
    return false;
  }
  static uint32_t Pixel(IDirectDrawSurface* surface, int x, int y) {
    DDSURFACEDESC desc;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT | DDLOCK_READONLY, nullptr), DD_OK);
    const int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount / 8);
    const auto* p = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch + x * bytes;
    const uint32_t value = bytes == 1 ? p[0] : static_cast<uint32_t>(p[0] | (p[1] << 8));
    surface->Unlock(nullptr);
    return value;
  }
  uint8_t Index(int frame, int x, int y) const { return movie_.frames[frame].pixels[y * movie_.width + x]; }

  TempFolder folder_;
  SmackerMovie movie_;
  IDirectDrawPalette* palette_ = nullptr;
};

}  // namespace

TEST_F(SmackerPlayerTest, AnEightBitDisplayShowsEveryFrameStretchedWithTheVideosColours) {
  Start(8, FullScreenMovie(3));
  ASSERT_TRUE(Init());
  EXPECT_EQ(SmackerPixelFormat(display_->GetVideoSurface()), 0u);
  EXPECT_TRUE(Step());
  EXPECT_TRUE(Step());
  EXPECT_FALSE(Step());  // the last frame ends the video and is still shown
  IDirectDrawSurface* screen = display_->GetPrimarySurface();
  for (auto [x, y] : {std::pair{0, 0}, {161, 37}, {319, 239}}) {
    EXPECT_EQ(Pixel(display_->GetVideoSurface(), x, y), Index(2, x, y));
    EXPECT_EQ(Pixel(screen, 2 * x, 2 * y), Index(2, x, y));
    EXPECT_EQ(Pixel(screen, 2 * x + 1, 2 * y + 1), Index(2, x, y));
  }
  // Colours 10-245 are the video's (the palette of frame 2); the rest stay
  // the system's.
  const PALETTEENTRY* entries = palette_->Entries();
  for (int i : {10, 100, 245}) {
    EXPECT_EQ(entries[i].peRed, movie_.frames[2].palette[3 * i]) << i;
    EXPECT_EQ(entries[i].peBlue, movie_.frames[2].palette[3 * i + 2]) << i;
    EXPECT_EQ(entries[i].peFlags, PC_NOCOLLAPSE);
  }
  for (int i : {0, 9, 246, 255}) {
    EXPECT_EQ(entries[i].peRed, SystemPaletteColour(i).peRed) << i;
    EXPECT_EQ(entries[i].peFlags, 0) << i;
  }
}

TEST_F(SmackerPlayerTest, ASixteenBitDisplayGetsTheColoursFromTheLibrary) {
  Start(16, FullScreenMovie(2));
  ASSERT_TRUE(Init());
  EXPECT_EQ(SmackerPixelFormat(display_->GetVideoSurface()), SMACKBUFFER565);
  EXPECT_TRUE(Step());
  const uint8_t* c = &movie_.frames[0].palette[3 * Index(0, 5, 7)];
  EXPECT_EQ(Pixel(display_->GetPrimarySurface(), 10, 14),
            static_cast<uint32_t>(((c[0] >> 3) << 11) | ((c[1] >> 2) << 5) | (c[2] >> 3)));
}

TEST_F(SmackerPlayerTest, VideosThatCannotBePlayedAreRefused) {
  Start(16, FullScreenMovie(1, 324));
  EXPECT_FALSE(Init());  // wider than the 320x240 surface
  EXPECT_FALSE(IsSmackerOpen());
  EXPECT_FALSE(SmackerInit(display_->GetVideoSurface(), folder_.Join("missing.smk").c_str()));
  EXPECT_FALSE(SmackerInit(nullptr, folder_.Join("video.smk").c_str()));
  EXPECT_FALSE(IsSmackerOpen());
}

TEST_F(SmackerPlayerTest, LosingTheFocusEndsTheVideo) {
  Start(16, FullScreenMovie(3));
  ASSERT_TRUE(Init());
  EXPECT_TRUE(Step());
  SetFocus(nullptr);
  EXPECT_FALSE(Step());
}

TEST_F(SmackerPlayerTest, AFrameWhoseSurfaceCannotBeLockedIsSkippedAndTheVideoGoesOn) {
  Start(8, FullScreenMovie(4));
  ASSERT_TRUE(Init());
  EXPECT_TRUE(Step());
  DirectDrawFailNext(DDCall::Lock, DDERR_SURFACEBUSY);
  EXPECT_TRUE(Step());
  EXPECT_EQ(Pixel(display_->GetVideoSurface(), 3, 3), Index(0, 3, 3));  // frame 1 never written
  EXPECT_EQ(GetSmackHandle()->FrameNum, 2u);
  EXPECT_TRUE(Step());
  EXPECT_EQ(Pixel(display_->GetVideoSurface(), 3, 3), Index(2, 3, 3));
}

TEST_F(SmackerPlayerTest, ARepaintBlackensTheVideosAreaAndGoesBackToTheFrameAfterTheLastWholeOne) {
  // Frame 0 whole, then small changes only.
  SmackerMovie movie = FullScreenMovie(1);
  for (int f = 1; f < 5; ++f) {
    std::vector<uint8_t> pixels = movie.frames.back().pixels;
    for (int x = 0; x < 40; ++x) pixels[f * 320 + x] = static_cast<uint8_t>(20 + f);
    movie.frames.push_back({pixels, {}});
  }
  Start(8, movie);
  ASSERT_TRUE(Init());
  EXPECT_TRUE(Step());
  EXPECT_TRUE(Step());
  EXPECT_TRUE(Step());
  ASSERT_EQ(GetSmackHandle()->FrameNum, 3u);
  SmackerOnPaint(window_.m_hWnd);
  // The video's own size (320x240) of the screen is black; the rest of the
  // stretched picture stays.
  EXPECT_EQ(Pixel(display_->GetPrimarySurface(), 7, 9), 0u);
  EXPECT_EQ(Pixel(display_->GetPrimarySurface(), 400, 300), Index(2, 200, 150));
  EXPECT_EQ(GetSmackHandle()->FrameNum, 1u);
  EXPECT_TRUE(Step());
  EXPECT_EQ(Pixel(display_->GetPrimarySurface(), 2, 2), Index(1, 1, 1));
  EXPECT_EQ(GetSmackHandle()->FrameNum, 2u);
}

// The demo intro through the player to the screen, as the player sees it;
// three frames are written to frames/ in the build tree to be looked at.
TEST_F(SmackerPlayerTest, TheDemoIntroReachesTheScreen) {
  std::string error;
  ASSERT_TRUE(WriteDemoVideos(folder_.Path(), &error)) << error;
  const SmackerMovie intro = DemoIntroMovie();
  Start(16, intro);
  ASSERT_TRUE(SmackerInit(display_->GetVideoSurface(), folder_.Join("intro.smk").c_str()));
  const std::string frames = std::string(KORVANE_BINARY_DIR) + "/frames";
  std::filesystem::create_directories(frames);
  std::vector<uint8_t> palette;
  int shown = 0;
  for (bool going = true; going; ++shown) {
    if (!intro.frames[shown].palette.empty()) palette = intro.frames[shown].palette;
    going = Step();
    if (shown % 15 != 14) continue;
    RgbFrame frame;
    ASSERT_TRUE(PlatformBackendGet().display->ReadPresented(&frame));
    ASSERT_EQ(frame.width, 640);
    RgbFrameWritePng(frame, (frames + "/intro-" + std::to_string(shown) + ".png").c_str());
    for (auto [x, y] : {std::pair{0, 0}, {160, 120}, {300, 17}}) {
      const uint8_t* c = &palette[3 * intro.frames[shown].pixels[y * 320 + x]];
      const Rgb8 seen = frame.At(2 * x, 2 * y);
      // 16-bit pixels keep the top 5 or 6 bits of each channel.
      EXPECT_EQ(seen.r >> 3, SmackerLevelValue(SmackerColourLevel(c[0])) >> 3) << shown;
      EXPECT_EQ(seen.g >> 2, SmackerLevelValue(SmackerColourLevel(c[1])) >> 2) << shown;
    }
  }
  EXPECT_EQ(shown, static_cast<int>(intro.frames.size()));
}

#endif  // KORVANE_HAVE_FFMPEG
