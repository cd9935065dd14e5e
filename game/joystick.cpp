#include "game/joystick.h"

void InitJoystick() {}
