#pragma once
// Document templates: they create a document, its frame and view, in that
// order, for the new-file and open-document commands.
#include "platform/framework/position.h"
#include "platform/framework/wnd.h"

class CDocument;
class CFrameWnd;

class CDocTemplate : public CCmdTarget {
  DECLARE_DYNAMIC_CLASS(CDocTemplate)
 public:
  CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
               const CRuntimeClass* viewClass);
  ~CDocTemplate() override = default;
  CDocTemplate(const CDocTemplate&) = delete;
  CDocTemplate& operator=(const CDocTemplate&) = delete;

  virtual void AddDocument(CDocument* doc);
  virtual void RemoveDocument(CDocument* doc);
  virtual POSITION GetFirstDocPosition() const = 0;
  virtual CDocument* GetNextDoc(POSITION& position) const = 0;
  // A new document (null path) or the named file opened in a document, with
  // its frame and view; null on failure.
  virtual CDocument* OpenDocumentFile(const char* pathName, bool makeVisible = true) = 0;
  virtual CDocument* CreateNewDocument();
  virtual CFrameWnd* CreateNewFrame(CDocument* doc, CFrameWnd* other);
  virtual void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible = true);
  virtual void SetDefaultTitle(CDocument* doc);
  virtual void CloseAllDocuments(bool endSession);
  virtual void OnIdle();

  UINT m_nIDResource;
  const CRuntimeClass* m_pDocClass;
  const CRuntimeClass* m_pFrameClass;
  const CRuntimeClass* m_pViewClass;
};

// One document at a time. A new-file request while a document exists
// re-initialises that document in place.
class CSingleDocTemplate : public CDocTemplate {
  DECLARE_DYNAMIC_CLASS(CSingleDocTemplate)
 public:
  using CDocTemplate::CDocTemplate;
  ~CSingleDocTemplate() override;

  void AddDocument(CDocument* doc) override;
  void RemoveDocument(CDocument* doc) override;
  POSITION GetFirstDocPosition() const override;
  CDocument* GetNextDoc(POSITION& position) const override;
  CDocument* OpenDocumentFile(const char* pathName, bool makeVisible = true) override;

 protected:
  CDocument* m_pOnlyDoc = nullptr;
};
