#pragma once
// A sound manager started on the loopback output with a small "SOUND.CAN"
// in a temporary current folder, the virtual clock, and a ship at the
// origin looking along z with its right axis along x.
#include <gtest/gtest.h>

#include <memory>

#include "media/sound_manager.h"
#include "media/sound_services.h"
#include "tests/support/temp_folder.h"

class SoundFixture : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  // Moves the virtual clock and mixes up to it.
  void Advance(int ms);
  // The instance's channel buffer volume and pan.
  LONG VolumeOf(const CSoundInstance& s) const;
  LONG PanOf(const CSoundInstance& s) const;

  static bool shipExists_;
  TempFolder folder_;
  std::unique_ptr<ScopedCurrentFolder> inFolder_;
  std::unique_ptr<CSoundManager> manager_;
};

inline const HWND kSoundWindow = reinterpret_cast<HWND>(1);
