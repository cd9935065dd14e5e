#include "tests/media/sound_fixture.h"

#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/headless/headless_backend.h"
#include "tools/builder/demo_sounds.h"

bool SoundFixture::shipExists_ = true;

void SoundFixture::SetUp() {
  HeadlessBackendInstall();
  ClockUseFixedStep(10);
  ClockSetTime(kClockDefaultStart);
  ASSERT_TRUE(WriteDemoSoundArchive(folder_.Join("SOUND.CAN")));
  inFolder_ = std::make_unique<ScopedCurrentFolder>(folder_.Path());
  shipExists_ = true;
  SoundServices services;
  services.listener = [](SoundListener* out) {
    *out = SoundListener{};
    return shipExists_;
  };
  SoundSetServices(services);
  manager_ = std::make_unique<CSoundManager>(kSoundWindow);
  ASSERT_TRUE(manager_->IsStarted());
}

void SoundFixture::TearDown() {
  manager_.reset();
  SoundSetServices(SoundServices{});
  PlatformBackendGet().sound->SetCapture(nullptr);
  inFolder_.reset();
  ClockUseRealTime();
}

void SoundFixture::Advance(int ms) {
  ClockSetTime(timeGetTime() + static_cast<DWORD>(ms));
  PlatformBackendGet().sound->Pump();
}

LONG SoundFixture::VolumeOf(const CSoundInstance& s) const {
  LONG v = 1;
  if (IDirectSoundBuffer* b = manager_->ChannelBuffer(s.channel)) b->GetVolume(&v);
  return v;
}

LONG SoundFixture::PanOf(const CSoundInstance& s) const {
  LONG p = 99999;
  if (IDirectSoundBuffer* b = manager_->ChannelBuffer(s.channel)) b->GetPan(&p);
  return p;
}
