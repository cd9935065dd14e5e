#include "engine/frame_stamp.h"

FrameStamp g_FrameStamp = kStampNever;
