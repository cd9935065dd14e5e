#pragma once
// The class library's view: a child window of a frame that shows a document.
// It joins its document when created and leaves it when destroyed (the last
// view leaving an auto-deleting document closes it); it paints through
// OnDraw and deletes itself when its window is destroyed.
#include "platform/framework/wnd.h"

class CDocument;

class CView : public CWnd {
  DECLARE_DYNAMIC_CLASS(CView)
 public:
  CDocument* GetDocument() const { return m_pDocument; }
  virtual void OnDraw(CDC* dc) = 0;
  // The first update after the frame was shown; the base calls OnUpdate.
  virtual void OnInitialUpdate();
  // The base invalidates the view.
  virtual void OnUpdate(CView* sender, LPARAM hint, CObject* hintObject);
  bool OnCmdMsg(UINT id) override;

 protected:
  ~CView() override;
  bool PreCreateWindow(CREATESTRUCT& cs) override;
  int OnCreate(CREATESTRUCT* cs) override;
  void OnDestroy() override;
  void OnPaint() override;
  void PostNcDestroy() override { delete this; }
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

  CDocument* m_pDocument = nullptr;
  friend class CDocument;
};
