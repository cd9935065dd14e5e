#pragma once
// The engine's stamp counter. RenderWorld and every sphere query add 1;
// textures, polygons, groups and views remember the stamp of their last use
// and compare ages with StampAge (engine/records.h).
#include "engine/records.h"

extern FrameStamp g_FrameStamp;
// Frames rendered so far (RenderWorld adds 1). Unlike the stamp, sphere
// queries leave it alone, so ages in frames the player saw are counted here.
extern FrameStamp g_RenderedFrames;

// Adds 1 and returns the new stamp. Stamps only grow and are compared for
// equality or by age; 0 means never and is skipped when the counter wraps.
FrameStamp FrameStampAdvance();
