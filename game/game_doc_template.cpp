#include "game/game_doc_template.h"

#include "platform/framework/frame_wnd.h"

void CGameDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool /*makeVisible*/) {
  frame->InitialUpdateFrame(doc, false);
}
