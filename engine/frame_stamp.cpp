#include "engine/frame_stamp.h"

FrameStamp g_FrameStamp = kStampNever;
FrameStamp g_RenderedFrames = 0;

FrameStamp FrameStampAdvance() {
  if (++g_FrameStamp == kStampNever) ++g_FrameStamp;
  return g_FrameStamp;
}
