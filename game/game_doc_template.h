#pragma once
// The single-document template of the game: document, frame and view, with
// the frame kept hidden (everything is drawn into the interface window).
#include "platform/framework/doc_template.h"

class CGameDocTemplate : public CSingleDocTemplate {
 public:
  using CSingleDocTemplate::CSingleDocTemplate;
  void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible) override;
};
