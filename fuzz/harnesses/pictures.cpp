// Pictures (8-bit BMP files, the interface's pictures, fonts and overlay
// bitmaps): the input is a file. One that is accepted has every colour of
// its table and every byte of its rows read, and is loaded as an interface
// picture from an archive member.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/bmp_image.h"
#include "fuzz/support/fuzz_support.h"
#include "media/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  BmpImage image;
  if (BmpImageRead(data, size, &image) != BmpFault::None) return 0;
  if (image.pixelOffset + image.pixelBytes > size || image.colourOffset + 4 * std::size_t(image.colourCount) > size ||
      image.pixelBytes != std::size_t(image.rowBytes) * image.height || image.rowBytes < image.width) {
    FuzzFault("an accepted picture's parts lie outside it");
  }
  unsigned sum = 0;
  for (int i = 0; i < image.colourCount; ++i) sum += data[image.colourOffset + 4 * std::size_t(i) + 2];
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* row = data + image.pixelOffset + std::size_t(y) * image.rowBytes;
    for (int x = 0; x < image.width; ++x) sum += row[x];
  }
  // Keeps the reads from being dropped.
  volatile unsigned keep = sum;
  (void)keep;
  const std::string archive = FuzzWriteMemberArchive("pictures.can", "FUZZ.BMP", data, size);
  CPicture picture;
  if (!picture.Load("FUZZ.BMP", archive.c_str(), false) || picture.GetWidth() != image.width ||
      picture.GetHeight() != image.height) {
    FuzzFault("a picture the reader accepted did not load whole");
  }
  FuzzNote("picture loaded");
  return 0;
}
