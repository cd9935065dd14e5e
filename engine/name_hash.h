#pragma once
// The 27-bit name hash that keys textures, models, properties and the names
// of level objects in network messages. Everything that compares names by
// hash must use this one function so that data, engine and network agree.

// CRC-32 (reflected polynomial 0xEDB88320, register starting at all ones, no
// final inversion) over the upper-cased name; a register of 0 becomes 1; the
// result keeps the low 27 bits. "abc" gives 0x047CFCB7, "" gives 0x07FFFFFF.
// A null name hashes like the empty one.
int NameHash(const char* name);
