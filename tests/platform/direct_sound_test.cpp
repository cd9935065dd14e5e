// The DirectSound stand-in on the loopback output, mixed by the virtual
// clock: result codes, play state over game time, pan and silence.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/direct_sound.h"
#include "platform/headless/headless_backend.h"

namespace {

const HWND kWindow = reinterpret_cast<HWND>(1);

class DirectSoundTest : public ::testing::Test {
 protected:
  void SetUp() override {
    HeadlessBackendInstall();
    ClockUseFixedStep(10);
    ClockSetTime(kClockDefaultStart);
    ASSERT_EQ(DirectSoundCreate(nullptr, &ds_, nullptr), DS_OK);
    ASSERT_EQ(ds_->SetCooperativeLevel(kWindow, DSSCL_PRIORITY), DS_OK);
  }
  void TearDown() override {
    PlatformBackendGet().sound->SetCapture(nullptr);
    if (ds_) ds_->Release();
    ClockUseRealTime();
  }
  // A mono 16-bit tone of ms milliseconds at 22050 Hz, filled.
  IDirectSoundBuffer* Tone(int ms) {
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 22050, 44100, 2, 16, 0};
    DSBUFFERDESC d;
    d.dwSize = 20;
    d.dwFlags = DSBCAPS_STATIC | DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME;
    d.dwBufferBytes = static_cast<DWORD>(22050 * ms / 1000 * 2);
    d.lpwfxFormat = &format;
    IDirectSoundBuffer* b = nullptr;
    EXPECT_EQ(ds_->CreateSoundBuffer(&d, &b, nullptr), DS_OK);
    void* p1;
    void* p2;
    DWORD n1, n2;
    EXPECT_EQ(b->Lock(0, d.dwBufferBytes, &p1, &n1, &p2, &n2, 0), DS_OK);
    auto* s = static_cast<int16_t*>(p1);
    for (DWORD i = 0; i < n1 / 2; ++i) s[i] = static_cast<int16_t>(12000 * std::sin(i * 2 * 3.14159 * 441 / 22050));
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
    return b;
  }
  void Advance(int ms) {
    ClockSetTime(timeGetTime() + static_cast<DWORD>(ms));
    PlatformBackendGet().sound->Pump();
  }
  static bool Playing(IDirectSoundBuffer* b) {
    DWORD status = 0;
    b->GetStatus(&status);
    return (status & DSBSTATUS_PLAYING) != 0;
  }
  // Sum of squares of the left and right channel of captured frames.
  static void Energy(const std::vector<int16_t>& pcm, size_t from, double* left, double* right) {
    *left = *right = 0;
    for (size_t i = from * 2; i + 1 < pcm.size(); i += 2) {
      *left += double(pcm[i]) * pcm[i];
      *right += double(pcm[i + 1]) * pcm[i + 1];
    }
  }
  IDirectSound* ds_ = nullptr;
};

TEST_F(DirectSoundTest, CallsOutsideTheRulesGiveTheirErrorCodes) {
  IDirectSoundBuffer* b = Tone(50);
  IDirectSoundBuffer* none = nullptr;
  DSBUFFERDESC bad;
  bad.dwSize = 36 - 1;
  WAVEFORMATEX odd{WAVE_FORMAT_PCM, 3, 22050, 0, 3, 8, 0};
  DSBUFFERDESC badFormat;
  badFormat.dwSize = 20;
  badFormat.dwBufferBytes = 100;
  badFormat.lpwfxFormat = &odd;
  DSBUFFERDESC primary;
  primary.dwSize = 20;
  primary.dwFlags = DSBCAPS_PRIMARYBUFFER;
  IDirectSoundBuffer* p = nullptr;
  ASSERT_EQ(ds_->CreateSoundBuffer(&primary, &p, nullptr), DS_OK);
  const WAVEFORMATEX primaryFormat{WAVE_FORMAT_PCM, 2, 11025, 22050, 2, 8, 0};
  struct Case {
    HRESULT got, want;
  } cases[] = {
      {ds_->CreateSoundBuffer(&bad, &none, nullptr), DSERR_INVALIDPARAM},
      {ds_->CreateSoundBuffer(&badFormat, &none, nullptr), DSERR_INVALIDPARAM},
      {b->SetVolume(1), DSERR_INVALIDPARAM},
      {b->SetVolume(-10001), DSERR_INVALIDPARAM},
      {b->SetPan(10001), DSERR_INVALIDPARAM},
      {b->SetFrequency(99), DSERR_INVALIDPARAM},
      {b->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK},
      {b->Play(0, 0, 0), DS_OK},
      {p->SetFrequency(22050), DSERR_CONTROLUNAVAIL},
      {p->Play(0, 0, DSBPLAY_LOOPING), DS_OK},
      {ds_->SetCooperativeLevel(kWindow, DSSCL_NORMAL), DS_OK},
      {p->SetFormat(&primaryFormat), DSERR_PRIOLEVELNEEDED},
      {ds_->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DSERR_INVALIDPARAM},
  };
  for (size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(cases[i].got, cases[i].want) << "case " << i;
  EXPECT_EQ(none, nullptr);
  DWORD frequency = 0;
  ASSERT_EQ(b->GetFrequency(&frequency), DS_OK);
  EXPECT_EQ(frequency, 22050u);
  p->Release();
  b->Release();
}

TEST_F(DirectSoundTest, AOneShotStopsWhenTheClockPassesItsEndAndALoopGoesOnUntilStopped) {
  IDirectSoundBuffer* once = Tone(100);
  IDirectSoundBuffer* loop = nullptr;
  ASSERT_EQ(ds_->DuplicateSoundBuffer(once, &loop), DS_OK);
  ASSERT_EQ(once->Play(0, 0, 0), DS_OK);
  ASSERT_EQ(loop->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
  Advance(50);
  EXPECT_TRUE(Playing(once));
  Advance(100);
  EXPECT_FALSE(Playing(once));
  Advance(1000);
  EXPECT_TRUE(Playing(loop));
  ASSERT_EQ(loop->Stop(), DS_OK);
  EXPECT_FALSE(Playing(loop));
  loop->Release();
  once->Release();
}

TEST_F(DirectSoundTest, PanLeansTheMixToItsSideAndTheLowestVolumeIsSilence) {
  IDirectSoundBuffer* b = Tone(200);
  std::vector<int16_t> pcm;
  PlatformBackendGet().sound->SetCapture(&pcm);
  struct Case {
    LONG pan, volume;
    int side;  // -1 left louder, 1 right louder, 0 silent
  } cases[] = {{-850, 0, -1}, {850, 0, 1}, {-10000, 0, -1}, {0, DSBVOLUME_MIN, 0}};
  for (const Case& c : cases) {
    ASSERT_EQ(b->SetPan(c.pan), DS_OK);
    ASSERT_EQ(b->SetVolume(c.volume), DS_OK);
    ASSERT_EQ(b->SetCurrentPosition(0), DS_OK);
    // OpenAL ramps a changed gain over the first few milliseconds.
    const size_t from = pcm.size() / 2 + 22050 / 50;
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Advance(100);
    ASSERT_EQ(b->Stop(), DS_OK);
    double left = 0, right = 0;
    Energy(pcm, from, &left, &right);
    if (c.side == 0) {
      EXPECT_LT(left + right, 1e4) << c.pan;  // the loud cases reach about 1e9
    } else {
      EXPECT_GT(c.side < 0 ? left : right, 1.5 * (c.side < 0 ? right : left)) << c.pan;
    }
  }
  b->Release();
}

TEST(DirectSoundWithoutDevice, CreateFailsAndSoundIsOff) {
  PlatformBackend backend = HeadlessBackendCreate(std::make_unique<HeadlessInput>(std::vector<TimedInputEvent>{}));
  backend.sound = NullSoundCreate();
  PlatformBackendInstall(std::move(backend));
  IDirectSound* ds = reinterpret_cast<IDirectSound*>(8);
  EXPECT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DSERR_NODRIVER);
  EXPECT_EQ(ds, nullptr);
  HeadlessBackendInstall();
}

}  // namespace
