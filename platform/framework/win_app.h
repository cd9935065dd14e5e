#pragma once
// The class library's application: start-up, the message loop with idle
// processing, the document templates and the registry profile.
//
// Run() is the library's loop: while the queue is empty it calls
// OnIdle(count) with count 0, 1, 2 ... until OnIdle returns false; then it
// takes and dispatches messages; any message but WM_PAINT and a repeated
// mouse move starts the count at 0 again. WM_QUIT ends the loop through
// ExitInstance, whose result (the quit message's code) is the exit code.
#include <vector>

#include "platform/framework/cstring.h"
#include "platform/framework/wnd.h"

class CDocTemplate;
class CDocument;

class CWinApp : public CCmdTarget {
  DECLARE_DYNAMIC_CLASS(CWinApp)
 public:
  // Becomes the application that AfxGetApp returns. Without a name the
  // application title (AfxSetAppTitle), else the program's name, is used.
  explicit CWinApp(const char* appName = nullptr);
  // Deletes the document templates (closing their documents).
  ~CWinApp() override;
  CWinApp(const CWinApp&) = delete;
  CWinApp& operator=(const CWinApp&) = delete;

  virtual bool InitInstance() { return true; }
  virtual int Run();
  // The library's idle work: count 0 lets the documents idle; returns
  // count < 1 (more idle time wanted only for the first call).
  virtual BOOL OnIdle(LONG count);
  virtual int ExitInstance();
  virtual bool PreTranslateMessage(MSG* /*msg*/) { return false; }
  // Takes and dispatches one message; false for WM_QUIT.
  bool PumpMessage();
  bool IsIdleMessage(const MSG* msg);

  // The profile file then lives under <config>/<key>/.
  void SetRegistryKey(const char* key);
  void LoadStdProfileSettings(UINT /*maxRecentFiles*/ = 4) {}
  bool Enable3dControls() { return true; }
  UINT GetProfileInt(const char* section, const char* entry, int defaultValue);
  bool WriteProfileInt(const char* section, const char* entry, int value);
  CString GetProfileString(const char* section, const char* entry, const char* defaultValue = nullptr);
  bool WriteProfileString(const char* section, const char* entry, const char* value);
  // The application's name: the one given, else the application title
  // (AfxSetAppTitle), else the program file's name.
  CString AppName() const;
  // Where the profile is kept (empty: nowhere; reads give defaults).
  CString GetProfilePath() const;

  void AddDocTemplate(CDocTemplate* docTemplate);
  const std::vector<CDocTemplate*>& GetDocTemplates() const { return templates_; }
  // The new-file command: a new document through the (only) template.
  void OnFileNew();
  // The open-file command: asks for a name (DoPromptFileName) and opens it.
  void OnFileOpen();
  virtual bool DoPromptFileName(CString& /*fileName*/) { return false; }
  // The open-document path: the named file in a new document; null on failure.
  CDocument* OpenDocumentFile(const char* pathName);
  void CloseAllDocuments(bool endSession);

  // The command line after the program name (arguments joined by blanks) and
  // the program's name; AfxWinMain sets them.
  void SetCommandLine(int argc, char** argv);

  CWnd* m_pMainWnd = nullptr;
  CString m_strAppName;
  CString m_strRegistryKey;
  CString m_strExeName;
  CString m_lpCmdLine;
  int m_nCmdShow = SW_SHOWNORMAL;
  MSG m_msgCur;

 private:
  std::vector<CDocTemplate*> templates_;
  POINT lastCursor_{-1, -1};
  UINT lastMouseMessage_ = 0;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// Stands in for the application title string resource of a program.
void AfxSetAppTitle(const char* title);
// The library's program entry: InitInstance, then Run. A failed
// InitInstance destroys the main window, runs ExitInstance and gives exit
// code 1.
int AfxWinMain(int argc, char** argv);
