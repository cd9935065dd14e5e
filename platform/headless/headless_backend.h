#pragma once
// The headless set: the headless display and input, and the null stand-ins
// of the devices that have no implementation yet.
#include <memory>
#include <string>
#include <vector>

#include "platform/backend.h"
#include "platform/headless/headless_input.h"

// The set with this input.
PlatformBackend HeadlessBackendCreate(std::unique_ptr<HeadlessInput> input);
// Installs a set whose input is this script and returns that input, through
// which a test can inject events (it lives until the set is replaced).
HeadlessInput* HeadlessBackendInstall(std::vector<TimedInputEvent> events = {});

// The input a program start asks for: the script KORVANE_INPUT_SCRIPT names,
// or none. False with the reason in *error when the script is set but can't
// be read or parsed. When nothing will end the run (no script, or a script
// without a quit) it says so on stderr, with how to stop or script it.
bool HeadlessInputFromEnvironment(std::unique_ptr<HeadlessInput>* input, std::string* error);

// The display with no window (platform/headless/headless_display.cpp).
std::unique_ptr<PlatformDisplay> HeadlessDisplayCreate();
