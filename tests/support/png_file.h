#pragma once
// Reading the PNG frames the display writes (KORVANE_FRAME_DIR), for the
// tests that look at what a run showed.
#include <string>
#include <vector>

#include "platform/display.h"

// The picture as 8-bit RGB; false when the file can't be read as a PNG.
bool ReadPngRgb(const std::string& path, RgbFrame* frame);
// The ".png" files of a folder, sorted by name (empty when there is none).
std::vector<std::string> PngFilesIn(const std::string& folder);
