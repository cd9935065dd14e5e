#pragma once
// The engine's stamp counter. RenderWorld and every sphere query add 1;
// textures, polygons, groups and views remember the stamp of their last use
// and compare ages with StampAge (engine/records.h).
#include "engine/records.h"

extern FrameStamp g_FrameStamp;
