#include "engine/frame_stamp.h"

FrameStamp g_FrameStamp = kStampNever;

FrameStamp FrameStampAdvance() {
  if (++g_FrameStamp == kStampNever) ++g_FrameStamp;
  return g_FrameStamp;
}
