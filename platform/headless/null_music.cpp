// The null music: a drive without an audio disc.
#include "platform/music.h"

namespace {
class NullMusic : public PlatformMusic {
 public:
  const char* Name() const override { return "none"; }
  bool Open() override { return false; }
  void Close() override {}
  int LastTrack() const override { return 0; }
  bool Play(int, HWND, uint32_t) override { return false; }
  void Stop() override {}
  bool IsPlaying() const override { return false; }
  void SetVolume(float, float) override {}
};
}  // namespace

std::unique_ptr<PlatformMusic> NullMusicCreate() { return std::make_unique<NullMusic>(); }

// With FFmpeg, platform/ffmpeg/ffmpeg_music.cpp makes the back ends' music.
#if !KORVANE_HAVE_FFMPEG
std::unique_ptr<PlatformMusic> PlatformMusicCreate() { return NullMusicCreate(); }
#endif
