// Script cameras and the countdown.
#include "game/net_doc.h"

// Will advance the four camera and player path followers.
void CNetDoc::UpdateCameras(int /*dtMs*/) {}

// Will delete the four camera and player path followers.
void CNetDoc::ReleaseCameras() {}

// Will count the script's countdown down and raise its event.
void CNetDoc::UpdateCountdown(int /*dtMs*/) {}
