#pragma once
// The demo set's satellite timing file: the aiming and strike base delays
// of the satellite strikes, read from "\vscript\sattelit.ini" at the drive
// root (the folder KORVANE_DRIVE_ROOT names, else the current folder).
#include <string>

// The file's place under the data folder, and the delays it holds.
inline constexpr const char* kDemoSatelliteFile = "vscript/sattelit.ini";
inline constexpr int kDemoSatelliteAimingMs = 1500;
inline constexpr int kDemoSatelliteStrikeMs = 20000;

std::string DemoSatelliteText();
// Writes the file (and its folder) under folder; false with a reason in
// *error.
bool WriteDemoSatelliteTiming(const std::string& folder, std::string* error);
