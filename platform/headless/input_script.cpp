#include "platform/headless/input_script.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "platform/ascii.h"
#include "platform/keys.h"

namespace {

constexpr uint32_t kPressLengthMs = 30;

bool ParseMouseButton(const std::string& word, int* button) {
  if (AsciiEqualNoCase(word, "left")) *button = kMouseLeft;
  else if (AsciiEqualNoCase(word, "right")) *button = kMouseRight;
  else if (AsciiEqualNoCase(word, "middle")) *button = kMouseMiddle;
  else return false;
  return true;
}

// A decimal number in [low, high]; anything beyond it is refused rather than
// wrapped into range (a wrapped time would reorder the script).
bool ParseInt(const std::string& word, long* value, long low = INT_MIN, long high = INT_MAX) {
  if (word.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const long parsed = std::strtol(word.c_str(), &end, 10);
  if (errno == ERANGE || !end || *end != 0 || parsed < low || parsed > high) return false;
  *value = parsed;
  return true;
}

// The hat's direction by name or in hundredths of a degree (0..35999).
bool ParseHat(const std::string& word, int* value) {
  static constexpr struct {
    const char* name;
    int value;
  } kNames[] = {{"up", 0}, {"right", 9000}, {"down", 18000}, {"left", 27000}, {"centre", kJoystickHatCentred}};
  for (const auto& named : kNames) {
    if (AsciiEqualNoCase(word, named.name)) {
      *value = named.value;
      return true;
    }
  }
  long hundredths = 0;
  if (!ParseInt(word, &hundredths) || hundredths < 0 || hundredths >= 36000) return false;
  *value = static_cast<int>(hundredths);
  return true;
}

// "joystick plug [<axes> <buttons> [nohat]]", "joystick unplug",
// "joystick axis x|y|z <value>", "joystick button <n> down|up",
// "joystick hat <direction>".
bool ParseJoystick(std::istringstream& in, uint32_t ms, std::vector<TimedInputEvent>* out, std::string* reason) {
  std::string action, a, b, c;
  in >> action >> a >> b >> c;
  InputEvent event;
  if (AsciiEqualNoCase(action, "plug")) {
    event.type = InputEventType::JoystickPlug;
    long axes = kJoystickMaxAxes, buttons = 8;
    if (!a.empty() && (!ParseInt(a, &axes) || !ParseInt(b, &buttons) || axes < 2 || axes > kJoystickMaxAxes ||
                       buttons < 0 || buttons > kJoystickMaxButtons || (!c.empty() && !AsciiEqualNoCase(c, "nohat")))) {
      *reason = "expected joystick plug [<axes 2..3> <buttons 0..32> [nohat]]";
      return false;
    }
    event.joystick.axes = static_cast<int>(axes);
    event.joystick.buttons = static_cast<int>(buttons);
    event.joystick.hat = c.empty();
  } else if (AsciiEqualNoCase(action, "unplug")) {
    event.type = InputEventType::JoystickUnplug;
  } else if (AsciiEqualNoCase(action, "axis")) {
    event.type = InputEventType::JoystickAxis;
    long value = 0;
    const char* const kAxes[] = {"x", "y", "z"};
    event.button = -1;
    for (int i = 0; i < kJoystickMaxAxes; ++i)
      if (AsciiEqualNoCase(a, kAxes[i])) event.button = i;
    if (event.button < 0 || !ParseInt(b, &value) || value < kJoystickAxisMin || value > kJoystickAxisMax) {
      *reason = "expected joystick axis x|y|z <-32768..32767>";
      return false;
    }
    event.value = static_cast<int>(value);
  } else if (AsciiEqualNoCase(action, "button")) {
    long number = 0;
    const bool down = AsciiEqualNoCase(b, "down");
    if (!ParseInt(a, &number) || number < 1 || number > kJoystickMaxButtons || (!down && !AsciiEqualNoCase(b, "up"))) {
      *reason = "expected joystick button <1..32> down|up";
      return false;
    }
    event.type = down ? InputEventType::JoystickButtonDown : InputEventType::JoystickButtonUp;
    event.button = static_cast<int>(number - 1);
  } else if (AsciiEqualNoCase(action, "hat")) {
    event.type = InputEventType::JoystickHat;
    if (!ParseHat(a, &event.value)) {
      *reason = "expected joystick hat up|down|left|right|centre|<0..35999>";
      return false;
    }
  } else {
    *reason = "expected joystick plug|unplug|axis|button|hat";
    return false;
  }
  out->push_back({ms, event});
  return true;
}

// Parses one non-empty line; false with a reason when it is malformed.
bool ParseLine(const std::string& line, std::vector<TimedInputEvent>* out, std::string* reason) {
  std::istringstream in(line);
  std::string timeWord, verb;
  in >> timeWord >> verb;
  long time = 0;
  // A press ends kPressLengthMs after its time, which must still fit.
  if (!ParseInt(timeWord, &time, 0, static_cast<long>(UINT32_MAX - kPressLengthMs))) {
    *reason = "expected a time in milliseconds (0.." + std::to_string(UINT32_MAX - kPressLengthMs) + ")";
    return false;
  }
  const uint32_t ms = static_cast<uint32_t>(time);
  auto add = [&](uint32_t at, InputEvent event) { out->push_back({at, event}); };

  if (AsciiEqualNoCase(verb, "quit")) {
    add(ms, InputEvent{InputEventType::Quit});
    return true;
  }
  if (AsciiEqualNoCase(verb, "key") || AsciiEqualNoCase(verb, "press")) {
    std::string name, state;
    in >> name >> state;
    const int scan = ScanCodeFromName(name);
    if (scan == 0) {
      *reason = "unknown key \"" + name + "\"";
      return false;
    }
    InputEvent down{InputEventType::KeyDown, scan};
    InputEvent up{InputEventType::KeyUp, scan};
    if (AsciiEqualNoCase(verb, "press")) {
      add(ms, down);
      add(ms + kPressLengthMs, up);
      return true;
    }
    if (AsciiEqualNoCase(state, "down")) add(ms, down);
    else if (AsciiEqualNoCase(state, "up")) add(ms, up);
    else {
      *reason = "expected down or up";
      return false;
    }
    return true;
  }
  if (AsciiEqualNoCase(verb, "type")) {
    std::string text;
    std::getline(in, text);
    if (!text.empty() && text[0] == ' ') text.erase(0, 1);
    for (char c : text) {
      const int scan = ScanCodeFromChar(c);
      if (scan) add(ms, InputEvent{InputEventType::KeyDown, scan});
      InputEvent typed{InputEventType::Char};
      typed.character = static_cast<unsigned char>(c);
      add(ms, typed);
      if (scan) add(ms, InputEvent{InputEventType::KeyUp, scan});
    }
    return true;
  }
  if (AsciiEqualNoCase(verb, "joystick")) return ParseJoystick(in, ms, out, reason);
  if (AsciiEqualNoCase(verb, "mouse")) {
    std::string action, a, b;
    in >> action >> a >> b;
    if (AsciiEqualNoCase(action, "wheel")) {
      long dz = 0;
      if (!ParseInt(a, &dz)) {
        *reason = "expected mouse wheel <dz>";
        return false;
      }
      InputEvent wheel{InputEventType::MouseWheel};
      wheel.dy = static_cast<int>(dz);
      add(ms, wheel);
      return true;
    }
    if (AsciiEqualNoCase(action, "move")) {
      long dx = 0, dy = 0;
      if (!ParseInt(a, &dx) || !ParseInt(b, &dy)) {
        *reason = "expected mouse move <dx> <dy>";
        return false;
      }
      InputEvent move{InputEventType::MouseMove};
      move.dx = static_cast<int>(dx);
      move.dy = static_cast<int>(dy);
      add(ms, move);
      return true;
    }
    int button = 0;
    const bool down = AsciiEqualNoCase(action, "down");
    if ((!down && !AsciiEqualNoCase(action, "up")) || !ParseMouseButton(a, &button)) {
      *reason = "expected mouse move|wheel|down|up";
      return false;
    }
    InputEvent click{down ? InputEventType::MouseButtonDown : InputEventType::MouseButtonUp};
    click.button = button;
    add(ms, click);
    return true;
  }
  *reason = "unknown action \"" + verb + "\"";
  return false;
}

}  // namespace

bool InputScriptParse(const std::string& text, std::vector<TimedInputEvent>* events, std::string* error) {
  events->clear();
  std::istringstream in(text);
  std::string line;
  int lineNumber = 0;
  while (std::getline(in, line)) {
    ++lineNumber;
    if (const size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
    if (line.find_first_not_of(" \t\r") == std::string::npos) continue;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    std::string reason;
    if (!ParseLine(line, events, &reason)) {
      if (error) *error = "line " + std::to_string(lineNumber) + ": " + reason;
      events->clear();
      return false;
    }
  }
  std::stable_sort(events->begin(), events->end(),
                   [](const TimedInputEvent& a, const TimedInputEvent& b) { return a.timeMs < b.timeMs; });
  return true;
}

bool InputScriptLoad(const std::string& path, std::vector<TimedInputEvent>* events, std::string* error) {
  std::ifstream file(path, std::ios::binary);
  if (!file) {
    if (error) *error = "cannot open " + path;
    return false;
  }
  std::ostringstream text;
  text << file.rdbuf();
  return InputScriptParse(text.str(), events, error);
}
