#include "tests/support/png_file.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>

bool ReadPngRgb(const std::string& path, RgbFrame* frame) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
  image.format = PNG_FORMAT_RGB;
  frame->width = static_cast<int>(image.width);
  frame->height = static_cast<int>(image.height);
  frame->rgb.assign(PNG_IMAGE_SIZE(image), 0);
  const bool ok = png_image_finish_read(&image, nullptr, frame->rgb.data(), 0, nullptr) != 0;
  png_image_free(&image);
  return ok;
}

std::vector<std::string> PngFilesIn(const std::string& folder) {
  std::vector<std::string> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(folder, error))
    if (entry.path().extension() == ".png") files.push_back(entry.path().string());
  std::sort(files.begin(), files.end());
  return files;
}
