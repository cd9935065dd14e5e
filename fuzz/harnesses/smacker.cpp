// Smacker videos: the input is a video file, opened through the video
// library stand-in (FFmpeg behind the back end's video device) and decoded
// frame by frame into an 8-bit and a 16-bit buffer, with one jump back. A
// build without FFmpeg has no video reader; the harness then only checks
// that nothing opens.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "platform/clock.h"
#include "platform/headless/headless_backend.h"
#include "platform/smacker_api.h"

namespace {

// The largest frame the buffers take (the game's video surface); a larger
// video is still decoded, and only this much of it written.
constexpr DWORD kPitch = 640;
constexpr DWORD kRows = 480;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  HeadlessBackendInstall();
  ClockUseFixedStep(20);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzWriteFile("video.smk", data, size);
  Smack* smack = SmackOpen(path.c_str(), 0xFE000, static_cast<DWORD>(-1));
  if (!smack) return 0;
#if !KORVANE_HAVE_FFMPEG
  FuzzFault("a video opened without a video reader");
#endif
  std::vector<std::uint8_t> buffer(std::size_t(kPitch) * 2 * kRows);
  const DWORD frames = smack->Frames < 24 ? smack->Frames : 24;
  for (DWORD f = 0; f < frames; ++f) {
    SmackToBuffer(smack, 0, 0, f % 2 ? kPitch * 2 : kPitch, kRows, buffer.data(), f % 2 ? SMACKBUFFER565 : 0);
    SmackDoFrame(smack);
    if (SmackToBufferRect(smack, SMACKSURFACESLOW) &&
        (smack->LastRectx + smack->LastRectw > smack->Width || smack->LastRecty + smack->LastRecth > smack->Height)) {
      FuzzFault("a changed rectangle outside the video");
    }
    SmackNextFrame(smack);
  }
  SmackGoto(smack, 0);
  SmackToBuffer(smack, 0, 0, kPitch, kRows, buffer.data(), 0);
  SmackDoFrame(smack);
  FuzzNote(std::to_string(frames) + " frames");
  SmackClose(smack);
  return 0;
}
