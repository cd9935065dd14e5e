// A saved game: the input is a slot's file, opened by a fresh game document
// as the application opens one (the demo's archives in the media folder, so
// the mission a good header names loads). Whatever the file holds, the
// document must refuse it or load it, and never end the program: a refusal
// must leave no level behind.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "apps/korvane3d/direct3d_variant.h"
#include "fuzz/support/fuzz_support.h"
#include "game/data_archive_locator.h"
#include "game/game_clock.h"
#include "game/net_doc.h"
#include "media/media_archive.h"
#include "platform/clock.h"
#include "platform/framework/window_manager.h"
#include "platform/headless/headless_backend.h"
#include "tools/builder/demo_cockpit.h"
#include "tools/builder/demo_interface.h"
#include "tools/builder/demo_mission.h"
#include "tools/builder/demo_textures.h"
#include "world/script/event_manager.h"
#include "world/script/script_manager.h"

namespace {

Direct3DVariant g_Variant;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/) {
  const std::string& folder = FuzzFolder();
  std::string error;
  if (!WriteDemoTextures(folder, &error) || !WriteDemoInterface(folder, &error) ||
      !WriteDemoMission1(folder, &error) || !WriteDemoCockpit(folder, &error)) {
    FuzzFault(error.c_str());
  }
  // The demo's archives are found as on a CD (the current folder stays:
  // libFuzzer names its corpus relative to it); the program's own files
  // (settings, the error log) go there too.
  setenv("KORVANE_MEDIA_DIRS", folder.c_str(), 1);
  MediaSetArchiveOpener(OpenDataArchive);
  setenv("XDG_DATA_HOME", folder.c_str(), 1);
  setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
  HeadlessBackendInstall();
  BuildVariantInstall(&g_Variant);
  ClockUseFixedStep(20);
  ClockSetTime(5000);
  ResetGameTimeBase();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzWriteFile("game0.sav", data, size);
  auto* doc = new CNetDoc();
  if (doc->OnOpenDocument(path.c_str())) {
    if (!doc->IsGameRunning() || !doc->GetWorld() || !doc->GetLocalPlayer()) {
      FuzzFault("a saved game loaded without a running level");
    }
    FuzzNote("saved game loaded");
  } else {
    if (doc->GetWorld() || doc->GetLocalPlayer() || g_pScriptManager || doc->IsLoading()) {
      FuzzFault("a refused saved game left its level behind");
    }
    FuzzNote("saved game refused");
  }
  delete doc;
  MessageQueueReset();
  FuzzEngineReset();
  return 0;
}
