// The sound manager on the loopback output: volumes and pan by distance,
// channel stealing, ducking, the cache, saved looping sounds, and what is
// heard.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <vector>

#include "media/sound_manager.h"
#include "platform/backend.h"
#include "platform/clock.h"
#include "platform/headless/headless_backend.h"
#include "platform/framework/file.h"
#include "platform/framework/serial_archive.h"
#include "tests/media/sound_fixture.h"

namespace {

using SoundManagerTest = SoundFixture;

TEST_F(SoundManagerTest, EffectsVolumeCurve) {
  struct Case {
    float v;
    int attenuation;
  } cases[] = {{0.0f, 3436}, {0.5f, 1297}, {0.8f, 442}, {1.0f, 0}, {1.5f, 0}, {-1.0f, 3436}};
  for (const Case& c : cases) {
    manager_->SetVolume(c.v);
    EXPECT_EQ(manager_->GetAttenuation(), c.attenuation) << c.v;
  }
}

TEST_F(SoundManagerTest, PositionalVolumeAndPanAtWorkedDistances) {
  struct Case {
    float effects;
    float x, z;   // the ship is at the origin, its right axis along x
    bool heard;
    LONG volume, pan;
  } cases[] = {
      {1.0f, 0, 0, true, 0, 0},              // at the ship: full, middle
      {1.0f, 1000, 0, true, -4000, 850},     // right of the ship
      {1.0f, -500, 0, true, -2000, -850},    // left
      {1.0f, 0, 2000, true, -8000, 0},       // ahead
      {1.0f, 0, 2900, true, -10000, 0},      // -11600 kept at silence
      {1.0f, 0, 3001, false, 0, 0},          // beyond hearing
      {0.8f, 1000, 0, true, -4442, 850},     // the default curve
      {0.8f, 0, 0, true, -442, 0},
      {0.0f, 0, 0, true, -10000, 0},
  };
  for (const Case& c : cases) {
    manager_->StopAll();
    manager_->SetVolume(c.effects);
    manager_->PlaySoundAt(5, c.x, 0, c.z, kSoundLoop);
    ASSERT_EQ(manager_->Instances().size(), 1u);
    const CSoundInstance& s = *manager_->Instances()[0];
    EXPECT_EQ(s.channel >= 0, c.heard) << c.x << "," << c.z;
    if (!c.heard) continue;
    EXPECT_EQ(VolumeOf(s), c.volume) << c.effects << " " << c.x << "," << c.z;
    EXPECT_EQ(PanOf(s), c.pan) << c.x << "," << c.z;
  }
}

TEST_F(SoundManagerTest, AFullSetOfChannelsGivesWayOnlyToAClearlyLouderSound) {
  manager_->SetVolume(1.0f);
  manager_->SetChannelCount(16);
  for (int i = 0; i < 16; ++i) manager_->PlaySoundVolume(20, -3000, kSoundLoop);
  ASSERT_EQ(manager_->Instances().size(), 16u);
  for (const auto& s : manager_->Instances()) ASSERT_GE(s->channel, 0);
  // -2500 is louder by 16 % of its attenuation: refused and, not looping,
  // dropped at the next update.
  manager_->PlaySoundVolume(5, -2500, 0);
  EXPECT_LT(manager_->Instances().back()->channel, 0);
  manager_->Update();
  EXPECT_EQ(manager_->Instances().size(), 16u);
  // -1000 is louder by 200 %: it takes a channel; the looping sound that
  // had it waits for another.
  manager_->PlaySoundVolume(5, -1000, 0);
  const CSoundInstance& loud = *manager_->Instances().back();
  EXPECT_GE(loud.channel, 0);
  EXPECT_EQ(VolumeOf(loud), -1000);
  int waiting = 0;
  for (const auto& s : manager_->Instances()) waiting += s->channel < 0 ? 1 : 0;
  EXPECT_EQ(waiting, 1);
  EXPECT_EQ(manager_->Instances().size(), 17u);
}

TEST_F(SoundManagerTest, ADuckingSoundLowersTheOthersButNeverBelowSilence) {
  manager_->SetVolume(1.0f);
  manager_->PlaySoundVolume(20, -500, kSoundLoop);
  manager_->PlaySoundVolume(20, -9500, kSoundLoop);
  manager_->PlaySoundVolume(46, -200, kSoundLoop | kSoundDucking);
  manager_->Update();
  ASSERT_TRUE(manager_->IsDucking());
  const auto& list = manager_->Instances();
  EXPECT_EQ(VolumeOf(*list[0]), -1500);
  EXPECT_EQ(VolumeOf(*list[1]), -10000);
  EXPECT_EQ(VolumeOf(*list[2]), -200);
  manager_->StopByName("FRCFIELD");
  manager_->Update();
  EXPECT_FALSE(manager_->IsDucking());
  EXPECT_EQ(VolumeOf(*list[0]), -500);
}

TEST_F(SoundManagerTest, AMissingSoundIsCachedAsMissingAndItsPlayIsDropped) {
  EXPECT_FALSE(manager_->IsCached("nosuch"));
  EXPECT_EQ(manager_->GetBuffer("nosuch"), nullptr);
  EXPECT_TRUE(manager_->IsCached("NOSUCH"));
  EXPECT_NE(manager_->GetBuffer("Satwarn"), nullptr);
  EXPECT_EQ(manager_->GetBuffer("satwarn"), manager_->GetBuffer("SATWARN"));
  manager_->PlaySoundVolumeNamed("nosuch", 0, 0);
  manager_->PlaySoundVolumeNamed("nosuch", 0, kSoundLoop);
  manager_->Update();
  ASSERT_EQ(manager_->Instances().size(), 1u);  // the loop stays, never heard
  EXPECT_LT(manager_->Instances()[0]->channel, 0);
}

TEST_F(SoundManagerTest, SoundIdsOutsideTheTableAreRefused) {
  for (int id : {-1, 47, 1000}) {
    manager_->PlaySoundAt(id, 0, 0, 0, kSoundLoop);
    manager_->PlaySoundVolume(id, 0, kSoundLoop);
  }
  EXPECT_TRUE(manager_->Instances().empty());
  EXPECT_EQ(SoundIdName(46), std::string("frcfield"));
  EXPECT_EQ(SoundIdName(47), nullptr);
  struct Case {
    int kind, id;
  } impacts[] = {{0, 8}, {1, 31}, {2, 39}, {3, 31}, {4, 8}};
  for (const Case& c : impacts) EXPECT_EQ(ImpactSoundForSurface(c.kind, 8), c.id) << c.kind;
}

TEST_F(SoundManagerTest, ChannelCountStaysWithinTwoToSixteen) {
  manager_->SetChannelCount(20);
  EXPECT_EQ(manager_->GetChannelCount(), 16);
  manager_->SetChannelCount(1);
  EXPECT_EQ(manager_->GetChannelCount(), 2);
}

// Saving keeps the looping sounds; loading them while sound is off reads
// the records, plays and caches nothing, and they are heard once it is on.
TEST_F(SoundManagerTest, SavedLoopsLoadWhileSoundIsOffAndPlayWhenItComesOn) {
  manager_->PlaySoundAt(20, 100, 0, 0, kSoundLoop | kSoundRandomPitch);
  manager_->PlaySoundVolume(5, -300, 0);
  manager_->PlaySoundVolumeNamed("satwarn", -700, kSoundLoop | kSoundDucking);
  const std::string path = folder_.Join("sounds.sav");
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    manager_->Serialize(ar);
    ar.Close();
  }
  manager_->Stop();
  ASSERT_FALSE(manager_->IsStarted());
  {
    CFile file;
    ASSERT_TRUE(file.Open(path.c_str(), CFile::modeRead));
    CArchive ar(&file, CArchive::load);
    manager_->Serialize(ar);
  }
  manager_->Update();
  const auto& list = manager_->Instances();
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0]->name, CString("SHIP3"));
  EXPECT_EQ(list[0]->randomPitch, 1);
  EXPECT_EQ(list[0]->positional, 1);
  EXPECT_EQ(list[0]->x, 100.0f);
  EXPECT_EQ(list[1]->name, CString("SATWARN"));
  EXPECT_EQ(list[1]->volume, -700);
  EXPECT_EQ(list[1]->ducking, 1);
  EXPECT_EQ(list[0]->source, nullptr);
  EXPECT_FALSE(manager_->IsCached("SHIP3"));
  manager_->Start(kSoundWindow);
  manager_->Update();
  ASSERT_EQ(manager_->Instances().size(), 2u);
  EXPECT_GE(manager_->Instances()[0]->channel, 0);
  EXPECT_GE(manager_->Instances()[1]->channel, 0);
}

// The sound switch stops the manager and starts it again on a new output;
// so does a second manager after the first (the game makes one per
// interface). Each time sixteen looping sounds keep their channels through
// the updates and are heard.
TEST_F(SoundManagerTest, LoopsKeepTheirChannelsAfterARestartAndInASecondManager) {
  std::vector<int16_t> pcm;
  PlatformBackendGet().sound->SetCapture(&pcm);
  auto playSixteen = [&](CSoundManager& m) {
    m.SetVolume(1.0f);
    m.SetChannelCount(kSoundChannelSlots);
    for (int i = 0; i < kSoundChannelSlots; ++i) m.PlaySoundAt(i, 100.0f * (i + 1), 0, 100, kSoundLoop);
    int playing = 0;
    for (int frame = 0; frame < 10; ++frame) {
      Advance(10);
      m.Update();
    }
    for (const auto& sound : m.Instances()) playing += sound->channel >= 0 && !sound->finished ? 1 : 0;
    return playing;
  };
  auto loudest = [&](size_t from) {
    int peak = 0;
    for (size_t i = from; i < pcm.size(); ++i) peak = std::max(peak, std::abs(int(pcm[i])));
    return peak;
  };
  for (int round = 0; round < 4; ++round) {
    SCOPED_TRACE(round);
    if (round == 1) {
      manager_->Stop();
      manager_->Start(kSoundWindow);
      ASSERT_TRUE(manager_->IsStarted());
    } else if (round >= 2) {
      manager_.reset();
      if (round == 3) {
        // A new back end (a new output) and the clock back at its start.
        HeadlessBackendInstall();
        ClockSetTime(kClockDefaultStart);
      }
      manager_ = std::make_unique<CSoundManager>(kSoundWindow);
      ASSERT_TRUE(manager_->IsStarted());
      PlatformBackendGet().sound->SetCapture(&pcm);
    }
    manager_->StopAll();
    const size_t from = pcm.size();
    EXPECT_EQ(playSixteen(*manager_), kSoundChannelSlots);
    EXPECT_GT(loudest(from), 100);
  }
  PlatformBackendGet().sound->SetCapture(nullptr);
}

// What is heard: a sound left of the ship is louder on the left; a loop
// stopped after 500 ms of game time leaves silence.
TEST_F(SoundManagerTest, TheMixPlacesASoundLeftAndALoopStoppedIsSilentAfter) {
  std::vector<int16_t> pcm;
  PlatformBackendGet().sound->SetCapture(&pcm);
  manager_->SetVolume(1.0f);
  manager_->PlaySoundAt(20, -200, 0, 100, kSoundLoop);
  for (int i = 0; i < 50; ++i) {  // 500 ms of 10 ms frames
    Advance(10);
    manager_->Update();
  }
  double left = 0, right = 0;
  for (size_t i = 0; i + 1 < pcm.size(); i += 2) {
    left += double(pcm[i]) * pcm[i];
    right += double(pcm[i + 1]) * pcm[i + 1];
  }
  EXPECT_GT(left, 1.5 * right);
  EXPECT_GT(right, 0.0);
  manager_->StopByName("SHIP3");
  Advance(20);  // the voice's release
  const size_t after = pcm.size();
  for (int i = 0; i < 30; ++i) {
    Advance(10);
    manager_->Update();
  }
  ASSERT_GT(pcm.size(), after + 2 * 22050 / 4);
  // Silence: no sample above the output's dither (the loop reached about
  // a tenth of full scale).
  int loudest = 0;
  for (size_t i = after; i < pcm.size(); ++i) loudest = std::max(loudest, std::abs(int(pcm[i])));
  EXPECT_LE(loudest, 2);
}

}  // namespace
