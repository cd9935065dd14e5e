#include "media/smacker_video.h"

bool IsSmackerOpen() { return false; }

void SmackerOnPaint(HWND /*window*/) {}
