#pragma once
// RIFF WAVE files of PCM samples, as the sound archive and the music folder
// hold them.
#include <cstdint>
#include <vector>

// 8-bit unsigned mono at rate, from samples in -1..1 (clipped).
std::vector<uint8_t> WaveFile8(const std::vector<float>& samples, int rate);
// 16-bit signed interleaved stereo at rate, from left/right pairs in -1..1.
std::vector<uint8_t> WaveFile16Stereo(const std::vector<float>& left, const std::vector<float>& right, int rate);
