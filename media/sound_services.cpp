#include "media/sound_services.h"

namespace {
SoundServices g_SoundServices;
}  // namespace

void SoundSetServices(const SoundServices& services) { g_SoundServices = services; }
const SoundServices& SoundGetServices() { return g_SoundServices; }
