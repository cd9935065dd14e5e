#include "platform/framework/doc_template.h"

#include <vector>

#include "platform/framework/document.h"
#include "platform/framework/frame_wnd.h"
#include "platform/framework/view.h"
#include "platform/framework/win_app.h"

IMPLEMENT_DYNAMIC_CLASS(CDocTemplate, CCmdTarget)
IMPLEMENT_DYNAMIC_CLASS(CSingleDocTemplate, CDocTemplate)

CDocTemplate::CDocTemplate(UINT resourceId, const CRuntimeClass* docClass, const CRuntimeClass* frameClass,
                           const CRuntimeClass* viewClass)
    : m_nIDResource(resourceId), m_pDocClass(docClass), m_pFrameClass(frameClass), m_pViewClass(viewClass) {}

void CDocTemplate::AddDocument(CDocument* doc) { doc->m_pDocTemplate = this; }

void CDocTemplate::RemoveDocument(CDocument* doc) { doc->m_pDocTemplate = nullptr; }

CDocument* CDocTemplate::CreateNewDocument() {
  if (!m_pDocClass) return nullptr;
  auto* doc = static_cast<CDocument*>(m_pDocClass->CreateObjectOfKind(RUNTIME_CLASS(CDocument)));
  if (doc) AddDocument(doc);
  return doc;
}

CFrameWnd* CDocTemplate::CreateNewFrame(CDocument* doc, CFrameWnd* other) {
  CCreateContext context;
  context.m_pCurrentFrame = other;
  context.m_pCurrentDoc = doc;
  context.m_pNewViewClass = m_pViewClass;
  context.m_pNewDocTemplate = this;
  if (!m_pFrameClass) return nullptr;
  auto* frame = static_cast<CFrameWnd*>(m_pFrameClass->CreateObjectOfKind(RUNTIME_CLASS(CFrameWnd)));
  if (!frame) return nullptr;
  if (!frame->LoadFrame(m_nIDResource, WS_OVERLAPPEDWINDOW, nullptr, &context)) return nullptr;  // deleted itself
  return frame;
}

void CDocTemplate::InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool makeVisible) {
  frame->InitialUpdateFrame(doc, makeVisible);
}

void CDocTemplate::SetDefaultTitle(CDocument* doc) { doc->SetTitle("Untitled"); }

void CDocTemplate::CloseAllDocuments(bool /*endSession*/) {
  std::vector<CDocument*> docs;
  for (POSITION pos = GetFirstDocPosition(); pos;) docs.push_back(GetNextDoc(pos));
  for (CDocument* doc : docs) doc->OnCloseDocument();
}

void CDocTemplate::OnIdle() {
  for (POSITION pos = GetFirstDocPosition(); pos;) GetNextDoc(pos)->OnIdle();
}

CSingleDocTemplate::~CSingleDocTemplate() {
  if (m_pOnlyDoc) m_pOnlyDoc->OnCloseDocument();
}

void CSingleDocTemplate::AddDocument(CDocument* doc) {
  CDocTemplate::AddDocument(doc);
  m_pOnlyDoc = doc;
}

void CSingleDocTemplate::RemoveDocument(CDocument* doc) {
  CDocTemplate::RemoveDocument(doc);
  if (m_pOnlyDoc == doc) m_pOnlyDoc = nullptr;
}

POSITION CSingleDocTemplate::GetFirstDocPosition() const { return reinterpret_cast<POSITION>(m_pOnlyDoc); }

CDocument* CSingleDocTemplate::GetNextDoc(POSITION& position) const {
  CDocument* doc = reinterpret_cast<CDocument*>(position);
  position = nullptr;
  return doc;
}

CDocument* CSingleDocTemplate::OpenDocumentFile(const char* pathName, bool makeVisible) {
  CDocument* doc = m_pOnlyDoc;
  CFrameWnd* frame = nullptr;
  bool created = false;
  if (doc) {
    if (!doc->SaveModified()) return nullptr;
    POSITION pos = doc->GetFirstViewPosition();
    if (pos) frame = doc->GetNextView(pos)->GetParentFrame();
  } else {
    doc = CreateNewDocument();
    created = true;
  }
  if (!doc) return nullptr;

  if (!frame) {
    // Kept alive by hand until it has a frame.
    const bool autoDelete = doc->m_bAutoDelete;
    doc->m_bAutoDelete = false;
    frame = CreateNewFrame(doc, nullptr);
    doc->m_bAutoDelete = autoDelete;
    if (!frame) {
      if (created) {
        delete doc;
      }
      return nullptr;
    }
  }

  if (!pathName) {
    SetDefaultTitle(doc);
    if (!doc->OnNewDocument()) {
      if (created) frame->DestroyWindow();  // takes the document with it
      return nullptr;
    }
  } else {
    const bool wasModified = doc->IsModified();
    doc->SetModifiedFlag(false);
    if (!doc->OnOpenDocument(pathName)) {
      if (created) {
        frame->DestroyWindow();  // takes the document with it
      } else if (!doc->IsModified()) {
        doc->SetModifiedFlag(wasModified);
      } else {
        SetDefaultTitle(doc);
        doc->OnNewDocument();
      }
      return nullptr;
    }
    doc->SetPathName(pathName);
  }

  CWinApp* app = AfxGetApp();
  if (created && app && !app->m_pMainWnd) app->m_pMainWnd = frame;
  InitialUpdateFrame(frame, doc, makeVisible);
  return doc;
}
