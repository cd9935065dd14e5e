// The null video: no file opens.
#include "platform/video.h"

namespace {
class NullVideo : public PlatformVideo {
 public:
  const char* Name() const override { return "none"; }
  std::unique_ptr<PlatformVideoFile> Open(const std::string&, std::string* error) override {
    *error = "this program was built without a video decoder";
    return nullptr;
  }
};
}  // namespace

std::unique_ptr<PlatformVideo> NullVideoCreate() { return std::make_unique<NullVideo>(); }

// With FFmpeg, platform/ffmpeg/ffmpeg_video.cpp makes the back ends' video.
#if !KORVANE_HAVE_FFMPEG
std::unique_ptr<PlatformVideo> PlatformVideoCreate() { return NullVideoCreate(); }
#endif
