#pragma once
// The class library's frame window: a top-level window with a menu bar whose
// creation makes its view from a creation context and whose client area the
// view covers. Commands go to the active view, its document, the frame and
// then the application. A frame deletes itself when its window is destroyed.
#include "platform/framework/wnd.h"

class CDocument;
class CDocTemplate;
class CView;

struct CCreateContext {
  const CRuntimeClass* m_pNewViewClass = nullptr;
  CDocument* m_pCurrentDoc = nullptr;
  CDocTemplate* m_pNewDocTemplate = nullptr;
  CFrameWnd* m_pCurrentFrame = nullptr;
};

class CFrameWnd : public CWnd {
  DECLARE_DYNCREATE_CLASS(CFrameWnd)
 public:
  // Creates the frame hidden at the default place and size; its view comes
  // from the context. False when the window or the view can't be made.
  virtual bool LoadFrame(UINT resourceId, DWORD style, CWnd* parent, CCreateContext* context);
  CView* GetActiveView() const { return m_pViewActive; }
  void SetActiveView(CView* view) { m_pViewActive = view; }
  CDocument* GetActiveDocument() const;
  // Picks the first pane as the active view; when makeVisible, sends the
  // views their initial update and shows the frame.
  virtual void InitialUpdateFrame(CDocument* doc, bool makeVisible);
  virtual void ActivateFrame(int cmdShow = -1);
  UINT GetResourceId() const { return m_nIDHelp; }
  bool OnCmdMsg(UINT id) override;

 protected:
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* cs) override;
  virtual bool OnCreateClient(CREATESTRUCT* cs, CCreateContext* context);
  // The view of the context as a child with the given id; a view whose
  // creation fails deletes itself.
  CWnd* CreateView(CCreateContext* context, UINT id);
  // Lays the first pane over the given client size.
  void OnSize(UINT type, int cx, int cy) override;
  void OnClose() override;
  void PostNcDestroy() override { delete this; }

  CView* m_pViewActive = nullptr;
  UINT m_nIDHelp = 0;
};
