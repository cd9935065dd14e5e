#include "tools/builder/demo_interface.h"

#include "platform/paths.h"
#include "tools/builder/demo_texts.h"
#include "tools/builder/interface_art.h"

BuilderPalette DemoInterfacePalette() { return MakeDemoPalette(); }

bool AddDemoInterface(ArchiveWriter* archive, std::string* error) {
  const BuilderPalette palette = DemoInterfacePalette();
  InterfaceArt art(archive, palette);
  AddTitlePictures(&art);
  AddFontSheets(&art);
  AddMenuScreens(&art);
  AddMenuWidgets(&art);
  AddHudPictures(&art);
  AddCockpitPictures(&art);
  if (art.Failed()) {
    *error = art.Error();
    return false;
  }
  if (!AddDemoTexts(archive)) {
    *error = "cannot add LOGS.TXT";
    return false;
  }
  return true;
}

bool WriteDemoInterface(const std::string& folder, std::string* error) {
  ArchiveWriter archive;
  if (!AddDemoInterface(&archive, error)) return false;
  const std::string path = PathJoin(folder, "INTERFC.CAN");
  if (!archive.WriteFile(path)) {
    *error = "cannot write " + path;
    return false;
  }
  return true;
}
