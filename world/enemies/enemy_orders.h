#pragma once
// The order words of the level script's enemy orders: the code of a word is
// its place in the table, counted from 1 (3 "stop", 4 "start", ...).
#include <cstddef>

inline constexpr int kEnemyOrderCount = 22;
// A word of an order holds at most 63 characters.
inline constexpr size_t kEnemyOrderWordBytes = 64;

extern const char* const g_EnemyOrderTable[kEnemyOrderCount];

// The code of the word (any case), -1 when it is none.
int FindEnemyOrder(const char* word);
// Skips spaces, then copies the word up to the next space or the end into
// word (size bytes with the NUL) and leaves the cursor after it. False with
// an empty word when nothing is left (the cursor stays) or when the word
// does not fit (the cursor passes it).
bool NextWord(char* word, size_t size, const char** cursor);
