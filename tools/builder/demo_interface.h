#pragma once
// The demo interface archive "INTERFC.CAN": every picture and font the front
// end, the HUD and the cockpit load by name, drawn procedurally in the demo
// palette (so they match the game frames they are drawn over), with labels
// and font sheets rendered from the DejaVu fonts.
//
// Pictures: "TITLE.BMP", "STDBY.BMP"; the menu screens ("mns1.bmp" ...);
// the buttons' four states ("%s%d.bmp", 0 disabled, 1 normal, 2 under the
// mouse, 3 pressed), the slider's ten knob positions "sli0.bmp".."sli9.bmp",
// the sound and music switches "son0.BMP".."son3.BMP", "mon0.BMP".."mon3.BMP",
// the menu cursor "cursor.bmp"; the HUD's weapon slots "W0A.BMP".."W9C.BMP",
// "MSL_AVLB.BMP", "MSL_RELD.BMP", the ship pictures "HERO2.BMP".."HERO4d.BMP";
// the cockpit's hands "hands1.bmp".."hands9.bmp", crosshairs "cur1.bmp",
// "cur2.bmp" and panel animations ("uright0.bmp" ...); the paper pages,
// "credit.bmp" and "back.bmp". Fonts: "FONT_SM.BMP" (6-pixel cells),
// "FONT_MD.BMP" to "FONT_MD3.BMP" (8), "FONT_LG.BMP" and "FONT_LG1.BMP" (10),
// each one row of the 65 glyphs for the characters 32 to 96. Texts: the
// message lines "LOGS.TXT" (tools/builder/demo_texts.h).
#include <string>

#include "tools/builder/archive_writer.h"
#include "tools/builder/palette_builder.h"

// The palette every interface picture carries: the demo palette.
BuilderPalette DemoInterfacePalette();

// Adds every member above; false with a reason in *error.
bool AddDemoInterface(ArchiveWriter* archive, std::string* error);
// Writes "INTERFC.CAN" into folder; false with a reason in *error.
bool WriteDemoInterface(const std::string& folder, std::string* error);
