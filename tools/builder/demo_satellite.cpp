#include "tools/builder/demo_satellite.h"

#include <vector>

#include "platform/process_services.h"
#include "tools/builder/archive_writer.h"

std::string DemoSatelliteText() {
  return "; satellite strikes: aiming base delay, strike base delay (ms)\n" +
         std::to_string(kDemoSatelliteAimingMs) + " " + std::to_string(kDemoSatelliteStrikeMs) + "\n";
}

bool WriteDemoSatelliteTiming(const std::string& folder, std::string* error) {
  const std::string dir = folder + "/vscript";
  if (!FolderCreate(dir)) {
    *error = "cannot make " + dir;
    return false;
  }
  const std::string text = DemoSatelliteText();
  const std::string path = folder + "/" + kDemoSatelliteFile;
  if (!WriteBytesToFile(path, std::vector<uint8_t>(text.begin(), text.end()))) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
