#pragma once
// The CRC-32 that names a message to its acknowledgement and to the
// duplicate filter: the reflected polynomial 0xEDB88320, register started at
// 0xFFFFFFFF and not inverted at the end. 0 is never returned (it comes out
// as 1), so 0 can stand for "no message".
#include <cstddef>
#include <cstdint>

uint32_t Crc32(const void* data, size_t length);
