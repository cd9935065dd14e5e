#pragma once
// A frame as a palette PNG (uncompressed deflate blocks), so that a frame
// can be looked at with tools that do not read BMP.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/frame/mission_frame.h"

std::vector<std::uint8_t> FramePngBytes(const FrameImage& image);
bool WriteFramePng(const std::string& path, const FrameImage& image, std::string* error);
