// What the menu screens, their actions, the settings, the briefings and the
// videos do. Each has its own work to come; until then each operation here
// keeps only the state the rest of the program relies on, and says which
// work fills it.
#include "game/interface_manager.h"
#include "platform/debug_output.h"

// The screens' pictures, buttons, sliders, option cycles, fonts and edit
// lines are loaded by the menu screens' work.
void CInterface::LoadScreens() {}

// The menu screens' work also loads the screen's pictures and refreshes its
// widgets here.
void CInterface::SetScreen(int screen) {
  screen_ = screen;
  // Whole-program runs read where a run got to from these lines.
  CString line;
  line.Format("korvane: menu screen %d opens\n", screen);
  OutputDebugString(line);
}

// One menu frame: the menu screens' work (the cursor, the hover pass, the
// widgets, the copy to the screen).
void CInterface::MenuFrame() {}

// The current screen drawn whole: the menu screens' work.
void CInterface::DrawScreen() {}

// The hover pass: the menu screens' work.
void CInterface::OnMouseMove(UINT /*flags*/, int /*x*/, int /*y*/) {}

// The click, key, system-key and character passes of the screens' state
// machine: the menu actions' work.
void CInterface::OnClick(UINT /*flags*/, int /*x*/, int /*y*/) { mouseButtonDown_ = 0; }
void CInterface::OnKey(int /*virtualKey*/) {}
void CInterface::OnSysKey(int /*virtualKey*/) {}
void CInterface::OnChar(int /*character*/) {}

// The advanced options written to the profile: the settings' work.
void CInterface::SaveOptions() {}

// The briefing pages, their teletype text and the ending: the briefings'
// work.
void CInterface::StartBriefing() {}
void CInterface::LoadBriefingPage() {}
void CInterface::PlayEnding() { endingPending_ = 0; }

// Videos and their palette: the video screens' work. No video plays yet.
void CInterface::SetVideoPalette() {}
void CInterface::PlayVideo(const char* /*fileName*/, int /*screenAfter*/) {}
void CInterface::OnVideoFrame() {}
