#include "platform/framework/document.h"

#include "platform/debug_output.h"
#include "platform/framework/doc_template.h"
#include "platform/framework/frame_wnd.h"
#include "platform/framework/serial_archive.h"
#include "platform/framework/view.h"

IMPLEMENT_DYNAMIC_CLASS(CDocument, CCmdTarget)

CDocument::~CDocument() {
  for (POSITION pos = GetFirstViewPosition(); pos;) GetNextView(pos)->m_pDocument = nullptr;
  m_viewList.RemoveAll();
  if (m_pDocTemplate) m_pDocTemplate->RemoveDocument(this);
}

bool CDocument::OnNewDocument() {
  DeleteContents();
  m_strPathName.Empty();
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnOpenDocument(const char* pathName) {
  CFile file;
  CFileException error;
  if (!file.Open(pathName, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary, &error)) {
    ReportSaveLoadException(pathName, &error, false);
    return false;
  }
  DeleteContents();
  SetModifiedFlag(true);  // dirty while reading
  try {
    CArchive ar(&file, CArchive::load | CArchive::bNoFlushOnDelete);
    ar.m_pDocument = this;
    if (file.GetLength() != 0) Serialize(ar);
    ar.Close();
  } catch (const std::exception& e) {
    DeleteContents();
    ReportSaveLoadException(pathName, &e, false);
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

bool CDocument::OnSaveDocument(const char* pathName) {
  CFile file;
  CFileException error;
  // Written in place of the old file, which stays whole until the new one
  // is complete on disk.
  if (!file.Open(pathName, CFile::modeCreate | CFile::modeWrite | CFile::modeReplace | CFile::typeBinary, &error)) {
    ReportSaveLoadException(pathName, &error, true);
    return false;
  }
  try {
    CArchive ar(&file, CArchive::store | CArchive::bNoFlushOnDelete);
    ar.m_pDocument = this;
    Serialize(ar);
    ar.Close();
    file.Close();
  } catch (const std::exception& e) {
    file.Abort();
    ReportSaveLoadException(pathName, &e, true);
    return false;
  }
  SetModifiedFlag(false);
  return true;
}

void CDocument::ReportSaveLoadException(const char* /*pathName*/, const std::exception* error, bool saving) {
  // Only a load can find a file in the wrong format; whatever fails while
  // saving is a failed save.
  const char* text = saving ? "Failed to save document." : "Failed to open document.";
  if (!saving && dynamic_cast<const CArchiveException*>(error)) text = "Unexpected file format.";
  MessageBox(nullptr, text, "korvane", MB_OK | MB_ICONEXCLAMATION);
}

void CDocument::OnCloseDocument() {
  // Keep this document alive while its frames go.
  const bool autoDelete = m_bAutoDelete;
  m_bAutoDelete = false;
  while (!m_viewList.IsEmpty()) {
    auto* view = static_cast<CView*>(m_viewList.GetHead());
    CFrameWnd* frame = view->GetParentFrame();
    if (frame) {
      frame->DestroyWindow();
    } else {
      view->DestroyWindow();
    }
    // A view that outlived its window would keep this loop going.
    if (!m_viewList.IsEmpty() && m_viewList.GetHead() == view) RemoveView(view);
  }
  m_bAutoDelete = autoDelete;
  DeleteContents();
  if (m_bAutoDelete) delete this;
}

void CDocument::Serialize(CArchive& /*ar*/) {}

void CDocument::AddView(CView* view) {
  if (!view || m_viewList.Find(view)) return;
  m_viewList.AddTail(view);
  view->m_pDocument = this;
  OnChangedViewList();
}

void CDocument::RemoveView(CView* view) {
  POSITION pos = m_viewList.Find(view);
  if (!pos) return;
  m_viewList.RemoveAt(pos);
  view->m_pDocument = nullptr;
  OnChangedViewList();
}

void CDocument::OnChangedViewList() {
  if (m_bAutoDelete && m_viewList.IsEmpty()) OnCloseDocument();
}

void CDocument::UpdateAllViews(CView* sender, LPARAM hint, CObject* hintObject) {
  for (POSITION pos = GetFirstViewPosition(); pos;) {
    CView* view = GetNextView(pos);
    if (view != sender) view->OnUpdate(sender, hint, hintObject);
  }
}
