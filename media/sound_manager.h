#pragma once
// The sound manager, owned by the interface manager. Nothing plays yet;
// Update (once per idle call: 3-D positions and finished sounds) does nothing.
// The menus set its volumes (0..1) and channel count and play its short
// interface sounds; those keep only their settings until sound is there.
#include <algorithm>

class CSoundManager {
 public:
  void Update() {}
  void SetVolume(float v) { volume_ = v; }
  float GetVolume() const { return volume_; }
  void SetMusicVolume(float v) { musicVolume_ = v; }
  float GetMusicVolume() const { return musicVolume_; }
  // Kept within 2..16.
  void SetChannelCount(int n) { channelCount_ = std::clamp(n, 2, 16); }
  int GetChannelCount() const { return channelCount_; }
  void PlayBzzzt() {}
  void PlayConfirm() {}
  void PlayActivate() {}

 private:
  float volume_ = 0.8f;
  float musicVolume_ = 0.8f;
  int channelCount_ = 8;
};

extern CSoundManager* g_pSoundManager;
