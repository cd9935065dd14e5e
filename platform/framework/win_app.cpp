#include "platform/framework/win_app.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/framework/doc_template.h"
#include "platform/framework/document.h"
#include "platform/framework/process.h"
#include "platform/framework/profile.h"

IMPLEMENT_DYNAMIC_CLASS(CWinApp, CCmdTarget)

namespace {
std::vector<CWinApp*>& Apps() {
  static auto* apps = new std::vector<CWinApp*>();
  return *apps;
}
CString& AppTitle() {
  static auto* title = new CString();
  return *title;
}
}  // namespace

CWinApp* AfxGetApp() { return Apps().empty() ? nullptr : Apps().back(); }

CWnd* AfxGetMainWnd() {
  CWinApp* app = AfxGetApp();
  return app ? app->m_pMainWnd : nullptr;
}

void AfxSetAppTitle(const char* title) { AppTitle() = title; }

CWinApp::CWinApp(const char* appName) : m_strAppName(appName) { Apps().push_back(this); }

CWinApp::~CWinApp() {
  for (CDocTemplate* docTemplate : templates_) delete docTemplate;
  templates_.clear();
  auto& apps = Apps();
  apps.erase(std::remove(apps.begin(), apps.end(), this), apps.end());
}

void CWinApp::SetCommandLine(int argc, char** argv) {
  m_lpCmdLine.Empty();
  for (int i = 1; i < argc; ++i) {
    if (i > 1) m_lpCmdLine += ' ';
    m_lpCmdLine += argv[i];
  }
  std::string exe = (argc > 0 && argv && argv[0]) ? argv[0] : "";
  const size_t slash = exe.find_last_of("/\\");
  if (slash != std::string::npos) exe.erase(0, slash + 1);
  m_strExeName = exe;
  if (m_strAppName.IsEmpty()) m_strAppName = AppName();
}

CString CWinApp::AppName() const {
  if (!m_strAppName.IsEmpty()) return m_strAppName;
  if (!AppTitle().IsEmpty()) return AppTitle();
  if (!m_strExeName.IsEmpty()) return m_strExeName;
  char path[4096];
  const DWORD n = GetModuleFileNameA(nullptr, path, sizeof(path));
  if (n == 0 || n >= sizeof(path)) return CString();
  const char* slash = std::strrchr(path, '/');
  return CString(slash ? slash + 1 : path);
}

int CWinApp::Run() {
  bool idle = true;
  LONG idleCount = 0;
  for (;;) {
    while (idle && !PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE)) {
      if (!OnIdle(idleCount++)) idle = false;
    }
    do {
      if (!PumpMessage()) return ExitInstance();
      if (IsIdleMessage(&m_msgCur)) {
        idle = true;
        idleCount = 0;
      }
    } while (PeekMessage(&m_msgCur, nullptr, 0, 0, PM_NOREMOVE));
  }
}

bool CWinApp::PumpMessage() {
  if (!GetMessage(&m_msgCur, nullptr, 0, 0)) return false;
  if (!PreTranslateMessage(&m_msgCur)) {
    TranslateMessage(&m_msgCur);
    DispatchMessage(&m_msgCur);
  }
  return true;
}

bool CWinApp::IsIdleMessage(const MSG* msg) {
  if (msg->message == WM_MOUSEMOVE) {
    if (msg->pt.x == lastCursor_.x && msg->pt.y == lastCursor_.y && msg->message == lastMouseMessage_) return false;
    lastCursor_ = msg->pt;
    lastMouseMessage_ = msg->message;
    return true;
  }
  return msg->message != WM_PAINT;
}

BOOL CWinApp::OnIdle(LONG count) {
  if (count <= 0)
    for (CDocTemplate* docTemplate : templates_) docTemplate->OnIdle();
  return count < 1;
}

int CWinApp::ExitInstance() { return static_cast<int>(m_msgCur.wParam); }

void CWinApp::SetRegistryKey(const char* key) { m_strRegistryKey = key; }

CString CWinApp::GetProfilePath() const { return CString(ProfileFilePath(m_strRegistryKey.Str(), AppName().Str())); }

UINT CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
  std::string text;
  int value = defaultValue;
  if (section && entry && ProfileRead(GetProfilePath().Str(), section, entry, &text) && ProfileParseInt(text, &value))
    return static_cast<UINT>(value);
  return static_cast<UINT>(defaultValue);
}

bool CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
  if (!section || !entry) return false;
  return ProfileWrite(GetProfilePath().Str(), section, entry, std::to_string(value));
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
  std::string text;
  if (section && entry && ProfileRead(GetProfilePath().Str(), section, entry, &text)) return CString(text);
  return CString(defaultValue);
}

bool CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
  if (!section || !entry) return false;
  return ProfileWrite(GetProfilePath().Str(), section, entry, value ? value : "");
}

void CWinApp::AddDocTemplate(CDocTemplate* docTemplate) {
  if (docTemplate) templates_.push_back(docTemplate);
}

void CWinApp::OnFileNew() {
  if (templates_.empty()) return;
  templates_.front()->OpenDocumentFile(nullptr);
}

void CWinApp::OnFileOpen() {
  CString name;
  if (DoPromptFileName(name)) OpenDocumentFile(name);
}

CDocument* CWinApp::OpenDocumentFile(const char* pathName) {
  if (templates_.empty() || !pathName) return nullptr;
  return templates_.front()->OpenDocumentFile(pathName);
}

void CWinApp::CloseAllDocuments(bool endSession) {
  for (CDocTemplate* docTemplate : templates_) docTemplate->CloseAllDocuments(endSession);
}

int AfxWinMain(int argc, char** argv) {
  CWinApp* app = AfxGetApp();
  if (!app) return 1;
  app->SetCommandLine(argc, argv);
  if (!app->InitInstance()) {
    if (app->m_pMainWnd) app->m_pMainWnd->DestroyWindow();
    app->ExitInstance();
    return 1;
  }
  return app->Run();
}
