#include "media/sound_manager.h"

CSoundManager* g_pSoundManager = nullptr;
