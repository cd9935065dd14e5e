#pragma once
// The class library's document: the data that views show. It keeps its views
// (not owned), is created and closed by its template, and reads and writes
// itself through an archive in Serialize.
#include "platform/framework/cstring.h"
#include "platform/framework/file.h"
#include "platform/framework/ob_list.h"
#include "platform/framework/wnd.h"

class CArchive;
class CDocTemplate;
class CView;

class CDocument : public CCmdTarget {
  DECLARE_DYNAMIC_CLASS(CDocument)
 public:
  CDocument() = default;
  // Disconnects remaining views and leaves its template.
  ~CDocument() override;
  CDocument(const CDocument&) = delete;
  CDocument& operator=(const CDocument&) = delete;

  // Empties the document; false refuses the new document.
  virtual bool OnNewDocument();
  // Reads the file through Serialize; a file that can't be opened or read is
  // reported in a message box and gives false.
  virtual bool OnOpenDocument(const char* pathName);
  virtual bool OnSaveDocument(const char* pathName);
  // Destroys every frame that shows the document (and so its views), then
  // deletes the document when it deletes itself.
  virtual void OnCloseDocument();
  virtual void DeleteContents() {}
  virtual bool SaveModified() { return true; }
  virtual bool IsModified() { return m_bModified; }
  virtual void SetModifiedFlag(bool modified = true) { m_bModified = modified; }
  // Called when a view came or went; an auto-deleting document without
  // views closes itself.
  virtual void OnChangedViewList();
  virtual void OnIdle() {}
  void Serialize(CArchive& ar) override;

  void AddView(CView* view);
  void RemoveView(CView* view);
  POSITION GetFirstViewPosition() const { return m_viewList.GetHeadPosition(); }
  CView* GetNextView(POSITION& position) const { return static_cast<CView*>(m_viewList.GetNext(position)); }
  void UpdateAllViews(CView* sender, LPARAM hint = 0, CObject* hintObject = nullptr);

  const CString& GetTitle() const { return m_strTitle; }
  virtual void SetTitle(const char* title) { m_strTitle = title; }
  const CString& GetPathName() const { return m_strPathName; }
  virtual void SetPathName(const char* pathName) { m_strPathName = pathName; }
  CDocTemplate* GetDocTemplate() const { return m_pDocTemplate; }

  bool m_bAutoDelete = true;

 protected:
  virtual void ReportSaveLoadException(const char* pathName, const std::exception* error, bool saving);

  CPtrList m_viewList;
  CString m_strTitle;
  CString m_strPathName;
  CDocTemplate* m_pDocTemplate = nullptr;
  bool m_bModified = false;
  friend class CDocTemplate;
};
