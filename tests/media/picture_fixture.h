#pragma once
// Pictures, fonts and widgets under test: a display with a primary surface,
// an archive of fabricated pictures in a temporary folder, a fatal exit that
// throws instead of ending the process, and a small 2-D target with a guard
// border, so that any write outside it is seen.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "tests/media/display_fixture.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/bmp_writer.h"

// What the fatal exit throws in these tests.
struct FatalErrorThrown {
  std::string source;
  int line;
};

// The line of the fatal error (source "picture") call ends in; 0 when it
// returns.
int FatalLineOf(const std::function<void()>& call);

// A picture of width x height whose pixel (x, y) is f(x, y).
template <class F>
BuilderPicture MakePicture(int width, int height, F f) {
  BuilderPicture picture;
  picture.width = width;
  picture.height = height;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) picture.pixels.push_back(static_cast<uint8_t>(f(x, y)));
  return picture;
}

class PictureTest : public DisplayTest {
 protected:
  static constexpr int kBorder = 16;
  static constexpr uint8_t kGuard = 0xEE;
  static constexpr uint8_t kBackground = 1;

  void SetUp() override;
  void TearDown() override;

  // The 2-D target: width x height, filled with kBackground, inside a guard
  // border of kGuard.
  void UseTarget(int width, int height);
  int TargetWidth() const { return width_; }
  int TargetHeight() const { return height_; }
  uint8_t& At(int x, int y) { return buffer_[(y + kBorder) * Pitch() + x + kBorder]; }
  void ClearTarget();
  // True when no byte of the guard border changed.
  bool GuardIntact() const;

  // Adds a member to the test archive (written by ArchivePath()).
  void AddMember(const std::string& name, const std::vector<uint8_t>& bytes);
  void AddPicture(const std::string& name, const BuilderPicture& picture);
  // The demo palette's BMP of picture, for damaging.
  static std::vector<uint8_t> BmpBytes(const BuilderPicture& picture);
  // Writes the archive (again) and returns its path.
  std::string ArchivePath();

  TempFolder temp_;
  ArchiveWriter archive_;

 private:
  int Pitch() const { return width_ + 2 * kBorder; }
  int width_ = 0, height_ = 0;
  std::vector<uint8_t> buffer_;
};
