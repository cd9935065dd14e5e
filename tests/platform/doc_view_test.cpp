#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/framework/doc_template.h"
#include "platform/framework/document.h"
#include "platform/framework/frame_wnd.h"
#include "platform/framework/serial_archive.h"
#include "platform/framework/view.h"
#include "platform/framework/win_app.h"
#include "platform/headless/headless_backend.h"
#include "tests/support/temp_folder.h"

namespace {

std::vector<std::string> g_log;
bool g_refuseNew = false;
bool g_failSave = false;

class CDvDoc : public CDocument {
  DECLARE_DYNCREATE_CLASS(CDvDoc)
 public:
  CDvDoc() { g_log.push_back("doc+"); }
  ~CDvDoc() override { g_log.push_back("doc-"); }
  bool OnNewDocument() override {
    g_log.push_back("new");
    return CDocument::OnNewDocument() && !g_refuseNew;
  }
  void Serialize(CArchive& ar) override {
    if (ar.IsLoading()) {
      ar >> text;
      return;
    }
    ar << text;
    if (g_failSave) throw CArchiveException(CArchiveException::generic);
  }
  CString text;
};

class CDvFrame : public CFrameWnd {
  DECLARE_DYNCREATE_CLASS(CDvFrame)
 public:
  CDvFrame() { g_log.push_back("frame+"); }
  ~CDvFrame() override { g_log.push_back("frame-"); }
};

class CDvView : public CView {
  DECLARE_DYNCREATE_CLASS(CDvView)
 public:
  CDvView() { g_log.push_back("view+"); }
  ~CDvView() override { g_log.push_back("view-"); }
  void OnDraw(CDC*) override { g_log.push_back("draw"); }
  void OnInitialUpdate() override { g_log.push_back("initial"); }
};

IMPLEMENT_DYNCREATE_CLASS(CDvDoc, CDocument)
IMPLEMENT_DYNCREATE_CLASS(CDvFrame, CFrameWnd)
IMPLEMENT_DYNCREATE_CLASS(CDvView, CView)

// A template whose frames stay hidden, as the game's does.
class CHiddenTemplate : public CSingleDocTemplate {
 public:
  using CSingleDocTemplate::CSingleDocTemplate;
  void InitialUpdateFrame(CFrameWnd* frame, CDocument* doc, bool) override { frame->InitialUpdateFrame(doc, false); }
};

class CDvApp : public CWinApp {
 public:
  explicit CDvApp(bool hidden = false) {
    if (hidden) {
      AddDocTemplate(new CHiddenTemplate(128, RUNTIME_CLASS(CDvDoc), RUNTIME_CLASS(CDvFrame), RUNTIME_CLASS(CDvView)));
    } else {
      AddDocTemplate(
          new CSingleDocTemplate(128, RUNTIME_CLASS(CDvDoc), RUNTIME_CLASS(CDvFrame), RUNTIME_CLASS(CDvView)));
    }
  }
  bool OnCmdMsg(UINT id) override {
    if (id == ID_FILE_NEW) {
      OnFileNew();
      return true;
    }
    return CWinApp::OnCmdMsg(id);
  }
  CDvDoc* Doc() const {
    POSITION pos = GetDocTemplates().front()->GetFirstDocPosition();
    return pos ? static_cast<CDvDoc*>(GetDocTemplates().front()->GetNextDoc(pos)) : nullptr;
  }
};

class DocViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    MessageQueueReset();
    HeadlessBackendInstall();
    g_log.clear();
    g_refuseNew = false;
  }
  void TearDown() override {
    MessageQueueReset();
    EXPECT_EQ(WindowCount(), 0);
  }
};

using Log = std::vector<std::string>;

}  // namespace

TEST_F(DocViewTest, NewFileMakesDocumentFrameAndViewInOrder) {
  CDvApp app;
  app.OnFileNew();
  EXPECT_EQ(g_log, (Log{"doc+", "frame+", "view+", "new", "initial"}));
  CDvDoc* doc = app.Doc();
  ASSERT_NE(doc, nullptr);
  POSITION pos = doc->GetFirstViewPosition();
  ASSERT_NE(pos, nullptr);
  CView* view = doc->GetNextView(pos);
  CFrameWnd* frame = view->GetParentFrame();
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->GetActiveView(), view);
  EXPECT_EQ(app.m_pMainWnd, frame);
  EXPECT_TRUE(frame->IsWindowVisible());

  g_log.clear();
  doc->OnCloseDocument();
  EXPECT_EQ(g_log, (Log{"view-", "frame-", "doc-"}));
  EXPECT_EQ(app.m_pMainWnd, nullptr);
  EXPECT_EQ(app.Doc(), nullptr);
  MSG msg;  // the main window's end ends the loop
  ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(msg.message, WM_QUIT);
}

TEST_F(DocViewTest, AHiddenFrameGetsNoInitialUpdate) {
  CDvApp app(true);
  app.OnFileNew();
  EXPECT_EQ(g_log, (Log{"doc+", "frame+", "view+", "new"}));
  CFrameWnd* frame = static_cast<CFrameWnd*>(app.m_pMainWnd);
  ASSERT_NE(frame, nullptr);
  EXPECT_FALSE(frame->IsWindowVisible());
  EXPECT_NE(frame->GetActiveView(), nullptr);
  app.Doc()->OnCloseDocument();
}

TEST_F(DocViewTest, ARefusedNewDocumentLeavesNothingBehind) {
  CDvApp app;
  g_refuseNew = true;
  app.OnFileNew();
  // The view's end takes the document with it, before the frame is gone.
  EXPECT_EQ(g_log, (Log{"doc+", "frame+", "view+", "new", "view-", "doc-", "frame-"}));
  EXPECT_EQ(app.Doc(), nullptr);
}

TEST_F(DocViewTest, NewFileCommandReachesTheApplicationAndReusesTheDocument) {
  CDvApp app;
  app.OnFileNew();
  CDvDoc* doc = app.Doc();
  g_log.clear();
  app.m_pMainWnd->SendMessage(WM_COMMAND, ID_FILE_NEW, 0);
  EXPECT_EQ(app.Doc(), doc);
  EXPECT_EQ(g_log, (Log{"new", "initial"}));
  doc->OnCloseDocument();
}

TEST_F(DocViewTest, OpenDocumentReadsTheFileOrFailsCleanly) {
  TempFolder folder;
  const std::string good = folder.Join("good.sav");
  {
    CFile file;
    ASSERT_TRUE(file.Open(good.c_str(), CFile::modeCreate | CFile::modeWrite));
    CArchive ar(&file, CArchive::store);
    ar << CString("hello");
  }
  folder.WriteFile("short.sav", {0x05, 'h', 'e'});
  CDvApp app;
  auto* doc = static_cast<CDvDoc*>(app.OpenDocumentFile(good.c_str()));
  ASSERT_NE(doc, nullptr);
  EXPECT_EQ(doc->text, "hello");
  EXPECT_EQ(doc->GetPathName(), good.c_str());
  doc->OnCloseDocument();

  for (const std::string& bad : {folder.Join("missing.sav"), folder.Join("short.sav")}) {
    g_log.clear();
    EXPECT_EQ(app.OpenDocumentFile(bad.c_str()), nullptr) << bad;
    EXPECT_EQ(app.Doc(), nullptr);
    EXPECT_EQ(g_log, (Log{"doc+", "frame+", "view+", "view-", "doc-", "frame-"}));
    EXPECT_EQ(WindowCount(), 0);
  }
}

TEST_F(DocViewTest, AFailedSaveLeavesTheOldFileWholeAndSaysTheSaveFailed) {
  TempFolder folder;
  const std::string path = folder.Join("game.sav");
  CDvApp app;
  app.OnFileNew();
  CDvDoc* doc = app.Doc();
  doc->text = "old";
  ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
  const std::vector<uint8_t> old = ReadFileBytes(path);

  doc->text = "a longer new text";
  g_failSave = true;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(doc->OnSaveDocument(path.c_str()));
  const std::string said = testing::internal::GetCapturedStderr();
  g_failSave = false;
  EXPECT_NE(said.find("Failed to save document."), std::string::npos) << said;
  EXPECT_EQ(ReadFileBytes(path), old);
  // Nothing is left beside it.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1);

  ASSERT_TRUE(doc->OnSaveDocument(path.c_str()));
  EXPECT_GT(ReadFileBytes(path).size(), old.size());
  doc->OnCloseDocument();
}

namespace {

// Records its idle calls and ends the loop after eight of them.
class CIdleApp : public CWinApp {
 public:
  std::vector<LONG> counts;
  std::vector<BOOL> baseResults;
  CWnd window;
  BOOL OnIdle(LONG count) override {
    counts.push_back(count);
    baseResults.push_back(CWinApp::OnIdle(count));
    if (counts.size() == 3) PostMessage(nullptr, WM_USER, 0, 0);  // counting starts again
    if (counts.size() == 5) window.Invalidate();                  // a paint does not restart it
    if (counts.size() == 8) PostQuitMessage(4);
    return TRUE;
  }
};

class CFailingApp : public CWinApp {
 public:
  bool exited = false;
  bool InitInstance() override { return false; }
  int ExitInstance() override {
    exited = true;
    return 0;
  }
};

class CQuitApp : public CWinApp {
 public:
  bool InitInstance() override {
    PostQuitMessage(0);
    return true;
  }
};

}  // namespace

TEST_F(DocViewTest, TheLoopCallsIdleWithRisingCountsAndEndsWithTheQuitCode) {
  CIdleApp app;
  ASSERT_TRUE(app.window.CreateEx(0, nullptr, "w", WS_POPUP | WS_VISIBLE, 0, 0, 10, 10, nullptr, 0));
  MSG msg;
  while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
  EXPECT_EQ(app.Run(), 4);
  EXPECT_EQ(app.counts, (std::vector<LONG>{0, 1, 2, 0, 1, 2, 3, 4}));
  EXPECT_EQ(app.baseResults, (std::vector<BOOL>{TRUE, FALSE, FALSE, TRUE, FALSE, FALSE, FALSE, FALSE}));
  app.window.DestroyWindow();
}

TEST_F(DocViewTest, WinMainGivesOneForAFailedStartAndTheQuitCodeOtherwise) {
  char program[] = "/opt/korvane/korvanesw";
  char word[] = "NETGAME";
  char other[] = "now";
  char* argv[] = {program, word, other};
  {
    CFailingApp app;
    EXPECT_EQ(AfxWinMain(3, argv), 1);
    EXPECT_TRUE(app.exited);
    EXPECT_EQ(app.m_lpCmdLine, "NETGAME now");
    EXPECT_EQ(app.m_strExeName, "korvanesw");
  }
  {
    CQuitApp app;
    EXPECT_EQ(AfxWinMain(1, argv), 0);
    EXPECT_EQ(app.m_lpCmdLine, "");
  }
}
