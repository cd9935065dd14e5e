#pragma once
// The headless back end's input script: timed input for whole-program runs.
//
// One event per line, '#' starts a comment. Times are milliseconds of the
// platform clock since the back end started.
//   <ms> key <NAME> down|up     a key by scan-code name ("ESCAPE", "A", "F1")
//   <ms> press <NAME>           down at <ms>, up 30 ms later
//   <ms> type <text>            each character: key down, character, key up
//   <ms> mouse move <dx> <dy>
//   <ms> mouse wheel <dz>       away from the player > 0
//   <ms> mouse down|up left|right|middle
//   <ms> joystick plug [<axes> <buttons> [nohat]]   default: 3 axes, 8 buttons, a hat
//   <ms> joystick unplug
//   <ms> joystick axis x|y|z <value>                -32768..32767, 0 centred
//   <ms> joystick button <n> down|up                1..32
//   <ms> joystick hat up|down|left|right|centre|<hundredths of a degree>
//   <ms> quit
#include <cstdint>
#include <string>
#include <vector>

#include "platform/input_event.h"

struct TimedInputEvent {
  uint32_t timeMs = 0;
  InputEvent event;
};

// Parses a script's text into events sorted by time (stable for equal times).
// On a bad line returns false with "line N: reason" in *error.
bool InputScriptParse(const std::string& text, std::vector<TimedInputEvent>* events, std::string* error);
// Reads and parses a script file.
bool InputScriptLoad(const std::string& path, std::vector<TimedInputEvent>* events, std::string* error);
