#pragma once
// Smacker video playback. No video can be played yet: no video is ever open.
#include "platform/framework/win_types.h"

bool IsSmackerOpen();
// The paint handler while a video plays.
void SmackerOnPaint(HWND window);
