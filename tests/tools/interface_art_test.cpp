#include "tools/builder/interface_art.h"

#include <gtest/gtest.h>

#include <vector>

#include "tools/builder/palette_builder.h"

namespace {

PictureCanvas SmallGradient() {
  PictureCanvas canvas(16, 8, {0, 0, 0});
  canvas.VerticalGradient(0, 0, 16, 8, {240, 120, 40}, {20, 40, 90});
  canvas.FillKey(0, 0, 2, 2);
  return canvas;
}

std::vector<uint8_t> PictureBytes(const ArchiveWriter& archive) {
  return archive.Members().empty() ? std::vector<uint8_t>{} : archive.Members()[0].bytes;
}

// The mission writers hand the art a palette made on the spot: the art must
// quantise with the colours it was given, not with whatever later sits where
// the caller's palette was.
TEST(InterfaceArt, KeepsThePaletteItWasGiven) {
  const PictureCanvas canvas = SmallGradient();
  const BuilderPalette kept = MakeDemoPalette();
  ArchiveWriter reference;
  InterfaceArt(&reference, kept).AddPicture("A.BMP", canvas, 109, true);
  ASSERT_FALSE(PictureBytes(reference).empty());

  ArchiveWriter fromTemporary;
  InterfaceArt temporaryArt(&fromTemporary, MakeDemoPalette());
  temporaryArt.AddPicture("A.BMP", canvas, 109, true);
  EXPECT_EQ(PictureBytes(fromTemporary), PictureBytes(reference));

  BuilderPalette changing = MakeDemoPalette();
  ArchiveWriter fromChanged;
  InterfaceArt changedArt(&fromChanged, changing);
  changing.red.fill(0);
  changing.green.fill(0);
  changing.blue.fill(0);
  changedArt.AddPicture("A.BMP", canvas, 109, true);
  EXPECT_EQ(PictureBytes(fromChanged), PictureBytes(reference));
}

}  // namespace
