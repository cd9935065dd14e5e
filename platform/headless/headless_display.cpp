// The headless display: no window; frames are kept in memory (and written as
// PNG files when asked), boxes and beeps are lines on stderr.
#include <cstdio>
#include <string>
#include <vector>

#include "platform/debug_output.h"
#include "platform/headless/headless_backend.h"

namespace {

class HeadlessDisplay : public PlatformDisplay {
 public:
  const char* Name() const override { return "headless"; }
  int ShowMessageBox(const char* text, const char* caption, UINT type) override {
    std::fprintf(stderr, "korvane: message box \"%s\": %s\n", caption, text);
    return MessageBoxDefaultButton(type);
  }
  void Beep(UINT type) override { std::fprintf(stderr, "korvane: beep (%u)\n", type); }

  void Present(const DisplayImage& image) override {
    ++presented_;
    // The frame is kept as it came; it is turned into RGB only when read.
    const size_t rowBytes = static_cast<size_t>(image.width) * static_cast<size_t>(image.layout.BytesPerPixel());
    pixels_.resize(rowBytes * static_cast<size_t>(image.height));
    for (int y = 0; y < image.height; ++y) {
      const uint8_t* row = image.pixels + static_cast<ptrdiff_t>(y) * image.pitch;
      std::copy(row, row + rowBytes, pixels_.begin() + static_cast<ptrdiff_t>(rowBytes * static_cast<size_t>(y)));
    }
    last_ = image;
    last_.pixels = pixels_.data();
    last_.pitch = static_cast<int>(rowBytes);
    if (image.palette) {
      palette_.assign(image.palette, image.palette + 256);
      last_.palette = palette_.data();
    }
    std::string path;
    if (DisplayFrameRecordPath(presented_, &path)) {
      RgbFrame frame;
      DisplayImageToRgb(last_, &frame);
      RgbFrameWritePng(frame, path.c_str());
    }
  }
  void SetExclusive(bool /*exclusive*/) override {}
  void RestoreDesktop() override {}
  uint32_t SurfaceLossCount() const override { return 0; }
  uint64_t PresentCount() const override { return presented_; }
  bool ReadPresented(RgbFrame* frame) const override {
    if (presented_ == 0) return false;
    DisplayImageToRgb(last_, frame);
    return true;
  }

 private:
  uint64_t presented_ = 0;
  DisplayImage last_;
  std::vector<uint8_t> pixels_;
  std::vector<Rgb8> palette_;
};

}  // namespace

std::unique_ptr<PlatformDisplay> HeadlessDisplayCreate() { return std::make_unique<HeadlessDisplay>(); }
