#include "world/script/event_manager.h"

#include <algorithm>
#include <vector>

#include "engine/properties.h"
#include "game/interface_manager.h"
#include "game/net_doc.h"
#include "platform/debug_output.h"
#include "platform/framework/serial_archive.h"
#include "world/script/event_split.h"
#include "world/script/event_words.h"

IMPLEMENT_SERIAL_CLASS(CGlobalEventType, CObject, VERSIONABLE_SCHEMA | 1)

CEventManager* g_pEventManager = nullptr;

void CGlobalEventType::Serialize(CArchive& ar) {
  CObject::Serialize(ar);
  if (ar.IsStoring()) {
    ar << disabled_ << name_;
  } else {
    ar >> disabled_ >> name_;
  }
}

CEventManager::~CEventManager() {
  while (!flags_.IsEmpty()) delete flags_.RemoveHead();
}

int CEventManager::Difficulty() const { return g_pInterface ? g_pInterface->GetDifficulty() : 1; }

World* CEventManager::ScriptWorld() const { return g_pNetDoc ? g_pNetDoc->GetWorld() : nullptr; }

BOOL CEventManager::RaiseEvent(const CString& command, const char* source) {
  if (command.GetLength() == 0) return TRUE;
  if (depth_ >= kEventNestingLimit) {
    CString line;
    line.Format("EventManager: events nested deeper than %d, '%.80s' not run\n", kEventNestingLimit,
                command.GetString());
    OutputDebugString(line);
    return FALSE;
  }
  ++depth_;
  BOOL all = TRUE;
  for (const std::string& piece : SplitEventText(command.GetString())) {
    if (!ExecuteOne(piece.c_str(), source)) all = FALSE;
  }
  --depth_;
  return all;
}

BOOL CEventManager::RaiseNetworkText(const uint8_t* text, size_t length) {
  if (!text) return FALSE;
  size_t end = 0;
  while (end < length && end < static_cast<size_t>(kEventTextLimit) && text[end] != 0) ++end;
  return RaiseEvent(CString(std::string(reinterpret_cast<const char*>(text), end)), "event from network");
}

BOOL CEventManager::ExecuteOne(const CString& raw, const char* source) {
  std::string piece = TrimText(raw.GetString());
  if (piece.empty()) return FALSE;
  const char first = piece.front();
  const char last = piece.back();
  if ((first == '{' && last == '}') || (piece.size() >= 2 && first == '"' && last == '"')) {
    return RaiseEvent(TrimText(piece.substr(1, piece.size() - 2)).c_str(), source);
  }
  if (first >= '0' && first <= '9') {
    const int digit = first - '0';
    const int difficulty = Difficulty();
    const bool runs = digit == 0 ? difficulty == 0 : difficulty >= digit;
    if (!runs) return TRUE;
    // Only the digit goes: a blank after it stays and keeps the piece from
    // matching any keyword.
    piece.erase(0, 1);
  }
  return Dispatch(piece.c_str(), source);
}

void CEventManager::AddTimedEvent(int delayMs, const CString& command) { timed_.push_back({delayMs, command}); }

void CEventManager::ClearTimedEvents() {
  timed_.clear();
  ++clearCount_;
}

void CEventManager::UpdateTimedEvents(int elapsedMs) {
  const unsigned clears = clearCount_;
  for (auto it = timed_.begin(); it != timed_.end();) {
    it->remainingMs -= elapsedMs;
    if (it->remainingMs > 0) {
      ++it;
      continue;
    }
    // The entry leaves the list before its command runs, so the command may
    // add or clear timed events freely.
    const CString command = it->command;
    it = timed_.erase(it);
    const bool wasLast = it == timed_.end();
    RaiseEvent(command, "timed event");
    if (clearCount_ != clears || wasLast) return;
  }
}

CGlobalEventType* CEventManager::FindFlag(const CString& name) const {
  for (POSITION at = flags_.GetHeadPosition(); at;) {
    CGlobalEventType* flag = flags_.GetNext(at);
    if (flag->name_ == name) return flag;
  }
  return nullptr;
}

CGlobalEventType* CEventManager::AddFlag(const CString& name) {
  CGlobalEventType* flag = new CGlobalEventType(name);
  flags_.AddTail(flag);
  return flag;
}

void CEventManager::Activate(const CString& name) {
  CGlobalEventType* flag = FindFlag(name);
  (flag ? flag : AddFlag(name))->disabled_ = 0;
}

void CEventManager::Deactivate(const CString& name) {
  CGlobalEventType* flag = FindFlag(name);
  (flag ? flag : AddFlag(name))->disabled_ = 1;
}

void CEventManager::Execute(const CString& name) {
  const CGlobalEventType* flag = FindFlag(name);
  if (flag && flag->disabled_) return;
  RaiseEvent(ResolveMacro(name), nullptr);
}

CString CEventManager::ResolveMacro(const CString& name) const {
  World* world = ScriptWorld();
  const char* text = world ? WorldGetProperty(world, name) : nullptr;
  return text ? CString(text) : CString();
}

void CEventManager::Serialize(CArchive& ar) {
  if (ar.IsStoring()) {
    flags_.Serialize(ar);
    for (const CTimedEvent& event : timed_) {
      ar << static_cast<uint8_t>(1) << event.command << event.remainingMs;
    }
    ar << static_cast<uint8_t>(0);
    return;
  }
  CTypedPtrList<CObList, CGlobalEventType*> loaded;
  loaded.Serialize(ar);
  while (!loaded.IsEmpty()) {
    // A damaged file may hold null references or name one flag twice; the
    // list must own each flag once.
    CGlobalEventType* flag = loaded.RemoveHead();
    if (flag && !flags_.Find(flag)) flags_.AddTail(flag);
  }
  for (;;) {
    uint8_t more = 0;
    ar >> more;
    if (!more) break;
    CString command;
    int32_t remaining = 0;
    ar >> command >> remaining;
    AddTimedEvent(remaining, command);
  }
}
