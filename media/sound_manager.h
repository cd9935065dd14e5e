#pragma once
// The sound manager, owned by the interface manager. Nothing plays yet;
// Update (once per idle call: 3-D positions and finished sounds) does nothing.
class CSoundManager {
 public:
  void Update() {}
};

extern CSoundManager* g_pSoundManager;
