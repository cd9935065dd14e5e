#pragma once
// The C runtime's random generator as the original runtime had it, so that
// the game's random choices (object ids, jitter, explosion frames) follow the
// same sequences from the same seed. The C library's rand/srand are never used.

inline constexpr int kCrtRandMax = 32767;

// Seeds the generator (the runtime starts as if seeded with 1).
void CrtSrand(unsigned int seed);

// Next value, 0..32767: x = x * 214013 + 2531011 (mod 2^32), (x >> 16) & 0x7FFF.
int CrtRand();
