#pragma once
// The joystick. InitJoystick finds it at start-up; no joystick support
// exists yet, so it finds none.
void InitJoystick();
