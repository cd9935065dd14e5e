// CD audio on the demo music folder: the command strings, the end-of-track
// notification, the last track, the volume, and no folder.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "media/cd_audio.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/framework/window_manager.h"
#include "platform/framework/wnd.h"
#include "platform/headless/headless_backend.h"
#include "platform/mci.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_sounds.h"
#include "tools/builder/wave_writer.h"

namespace {

class CdAudioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessBackendInstall();
    ClockUseFixedStep(10);
    ClockSetTime(kClockDefaultStart);
    folder_.WriteFile("music/track02.wav", DemoMusicWave(2));
    folder_.WriteFile("music/TRACK03.WAV", DemoMusicWave(3));
    inFolder_ = std::make_unique<ScopedCurrentFolder>(folder_.Path());
    ASSERT_TRUE(window_.CreateEx(0, nullptr, "cd", 0, 0, 0, 64, 64, nullptr, 0));
  }
  void TearDown() override {
    StopCdAudio();
    window_.DestroyWindow();
    inFolder_.reset();
    ClockUseRealTime();
  }
  // Mixes ms of game time in 10 ms steps; true when the window was told
  // that the track ended successfully.
  bool PlayFor(int ms) {
    bool ended = false;
    for (int t = 0; t < ms; t += 10) {
      ClockSetTime(timeGetTime() + 10);
      PlatformBackendGet().sound->Pump();
      MSG msg;
      while (PeekMessage(&msg, window_.m_hWnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE))
        ended = ended || msg.wParam == MCI_NOTIFY_SUCCESSFUL;
    }
    return ended;
  }
  TempFolder folder_;
  std::unique_ptr<ScopedCurrentFolder> inFolder_;
  CWnd window_;
};

TEST_F(CdAudioTest, ATrackPlaysToItsEndAndTellsTheWindowIncludingTheLastOne) {
  // Track 2 lasts 4 s; track 3 is the folder's last.
  for (int track : {2, 3}) {
    ASSERT_TRUE(OpenCdAudio(window_.m_hWnd, track)) << track;
    EXPECT_TRUE(PlatformBackendGet().music->IsPlaying());
    EXPECT_FALSE(PlayFor(3500)) << track;
    EXPECT_TRUE(PlayFor(1000)) << track;
    EXPECT_FALSE(PlatformBackendGet().music->IsPlaying());
  }
  // A track that is not there fails; stopping says nothing.
  EXPECT_FALSE(PlayCdTrack(window_.m_hWnd, 5));
  ASSERT_TRUE(PlayCdTrack(window_.m_hWnd, 2));
  EXPECT_TRUE(StopCdAudio());
  EXPECT_FALSE(PlayFor(5000));
}

TEST_F(CdAudioTest, CommandStringsAndTheirErrors) {
  struct Case {
    const char* command;
    MCIERROR result;
  } cases[] = {
      {"play MUSIC from 2 to 3 notify", MCIERR_INVALID_DEVICE_NAME},  // not open yet
      {"open cdaudio alias MUSIC", 0},
      {"set MUSIC time format tmsf", 0},
      {"PLAY music FROM 5 TO 6 NOTIFY", MCIERR_OUTOFRANGE},
      {"play MUSIC from 3 to 4 notify", 0},
      {"play MUSIC from 3 to 2", MCIERR_OUTOFRANGE},
      {"stop MUSIC", 0},
      {"dance MUSIC", MCIERR_UNRECOGNIZED_COMMAND},
      {"close all", 0},
      {"stop MUSIC", MCIERR_INVALID_DEVICE_NAME},
  };
  for (const Case& c : cases) EXPECT_EQ(SendMciCommand(c.command, window_.m_hWnd), c.result) << c.command;
}

TEST_F(CdAudioTest, VolumeIsLimitedAndSetOnBothChannels) {
  FindCdVolumeDevice();
  ASSERT_EQ(GetCdVolumeDevice(), 0);
  struct Case {
    float volume;
    DWORD set;
  } cases[] = {{1.5f, 0xFFFFFFFFu}, {-1.0f, 0}, {0.5f, 32767u | 32767u << 16}};
  for (const Case& c : cases) {
    SetCdVolume(c.volume);
    DWORD v = 1;
    ASSERT_EQ(auxGetVolume(0, &v), MMSYSERR_NOERROR);
    EXPECT_EQ(v, c.set) << c.volume;
  }
}

TEST(CdAudioWithoutMusic, OpenFailsAndNothingPlays) {
  HeadlessBackendInstall();
  TempFolder empty;
  ScopedCurrentFolder in(empty.Path());
  ScopedEnv media("KORVANE_MEDIA_DIRS", nullptr);
  EXPECT_FALSE(OpenCdAudio(nullptr, 2));
  EXPECT_FALSE(PlatformBackendGet().music->IsPlaying());
  EXPECT_TRUE(StopCdAudio());
}

// The interactive back end's output mixes on a device and feeds the music
// from a service thread of its own (OpenAL Soft's output without a sound
// card stands in for the device): a short track is fed there to its end and
// the window is told, while this thread keeps asking about it and setting
// its volume. Run under the thread sanitizer this is where the two threads
// meet.
TEST(CdAudioOnADevice, ATrackIsFedFromTheOutputsOwnThreadToItsEnd) {
  ScopedEnv drivers("ALSOFT_DRIVERS", "null");
  HeadlessBackendInstall();
  PlatformBackendGet().sound = OpenAlDeviceCreate();
  TempFolder folder;
  std::vector<float> left(22050 * 3 / 10), right(left.size());
  for (size_t i = 0; i < left.size(); ++i) left[i] = right[i] = 0.3f * std::sin(static_cast<float>(i) * 0.1f);
  folder.WriteFile("music/track02.wav", WaveFile16Stereo(left, right, 22050));
  ScopedCurrentFolder in(folder.Path());
  CWnd window;
  ASSERT_TRUE(window.CreateEx(0, nullptr, "cd", 0, 0, 0, 64, 64, nullptr, 0));
  if (!OpenCdAudio(window.m_hWnd, 2)) {
    window.DestroyWindow();
    HeadlessBackendInstall();
    GTEST_SKIP() << "no OpenAL output device";
  }
  PlatformMusic& music = *PlatformBackendGet().music;
  bool ended = false;
  const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (!ended && std::chrono::steady_clock::now() < giveUp) {
    music.SetVolume(0.5f, 0.5f);
    music.IsPlaying();
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
    MSG msg;
    while (PeekMessage(&msg, window.m_hWnd, MM_MCINOTIFY, MM_MCINOTIFY, PM_REMOVE))
      ended = ended || msg.wParam == MCI_NOTIFY_SUCCESSFUL;
  }
  EXPECT_TRUE(ended);
  EXPECT_FALSE(music.IsPlaying());
  StopCdAudio();
  window.DestroyWindow();
  HeadlessBackendInstall();
}

}  // namespace
