// What the game document's tests share: the archives a document and a level
// start read, written into a temporary folder that is the current folder
// while the test runs (the program's own files go to another one), and an
// event manager that records what is raised.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "apps/korvane3d/direct3d_variant.h"
#include "game/net_doc.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"
#include "world/script/event_manager.h"

class CInterface;

// The demo's "TEXTURES.CAN", "INTERFC.CAN" and "M1.CAN" into folder.
void WriteDocumentData(const std::string& folder);

// The demo's "M1.CAN" members, to be written changed.
ArchiveWriter DemoMissionArchive();
// An archive of every member of source but the one named drop.
ArchiveWriter ArchiveWithout(const ArchiveWriter& source, const std::string& drop);

// Stands in for the level script: keeps every raised text with its source,
// and with runs set also runs it as the level script does.
class RecordingEventManager : public CEventManager {
 public:
  BOOL RaiseEvent(const CString& command, const char* source) override;
  std::vector<std::pair<std::string, std::string>> raised;
  bool runs = false;
};

class DocumentTest : public ::testing::Test {
 protected:
  DocumentTest();
  ~DocumentTest() override;
  void SetUp() override;
  void TearDown() override;

  // A new document (g_pNetDoc), with the recording event manager in place of
  // its own.
  void MakeDocument();
  void DeleteDocument();
  // The interface manager, for what the level start reads of it.
  void MakeInterface(int difficulty);
  // The mission names as a program starts: M1.CAN current, none next.
  static void ResetMissionNames();

  TempFolder folder_;
  ScopedCurrentFolder current_;
  // The interface manager sets up its display through the program's variant.
  Direct3DVariant variant_;
  // Where the program writes its files (the fatal path's "ERROR.LOG").
  TempFolder data_;
  ScopedEnv dataHome_;
  CNetDoc* doc_ = nullptr;
  RecordingEventManager* events_ = nullptr;
  std::unique_ptr<CInterface> interface_;
};
