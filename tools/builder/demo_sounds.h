#pragma once
// The demo sounds and music: "SOUND.CAN" with a synthesised "<name>.wav"
// for every sound the game names (the 47 of the sound table and the named
// ones the level script plays), and three short music tracks in "music/",
// one a mission.
#include <cstdint>
#include <string>
#include <vector>

// The names in "SOUND.CAN", table order first.
std::vector<std::string> DemoSoundNames();
// One sound's WAVE file (8-bit mono, 11025 Hz); empty for an unknown name.
std::vector<uint8_t> DemoSoundWave(const std::string& name);
// Music track n (2, 3 or 4): a few seconds of 16-bit stereo at 22050 Hz whose
// end joins its start without a click.
std::vector<uint8_t> DemoMusicWave(int track);
// The sound archive of every demo sound, written to path.
bool WriteDemoSoundArchive(const std::string& path);
// SOUND.CAN in folder and folder/music/track02.wav, track03.wav, track04.wav.
bool WriteDemoSounds(const std::string& folder, std::string* error);
