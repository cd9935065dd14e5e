#pragma once
// The level script's event manager: the one entry for level-script text.
// Sensors, doors, movements, enemies, path nodes, level groups, shots,
// the countdown and network messages raise event texts through it; it
// splits a text into pieces at top-level bars, honours braces, quotes and
// the difficulty digit, and hands each piece to its keywords, then to the
// script commands (CScriptManager::ExecuteCommand), then to the enemy
// orders, then to its last keyword. It keeps the timed events and the event
// flags that gate macros, and writes both into saved games. The language
// itself is described in docs/event-language.md.
//
// The game document makes it in its constructor (g_pEventManager) and
// deletes it in its destructor, so it lives through the level changes of one
// document and keeps the timed events and event flags across them.
// Everything runs on the game thread. RaiseEvent is re-entered by nested
// texts, "timer 0", "execute", "randomevent" and by handlers that raise
// events themselves; nesting deeper than kEventNestingLimit is cut off.
#include <list>
#include <string>

#include "engine/records.h"
#include "platform/framework/cstring.h"
#include "platform/framework/ob_list.h"
#include "platform/types.h"

class CArchive;

// The longest event text; longer ones are cut there.
inline constexpr int kEventTextLimit = 4095;
// How deep raised texts may nest (a macro that executes itself, directly or
// through "timer 0", "randomevent" or braces, stops here).
inline constexpr int kEventNestingLimit = 32;

// A named flag that gates the macro of the same name: "deactivate x" stops
// "execute x" until "activate x". Saved by class name.
class CGlobalEventType : public CObject {
  DECLARE_SERIAL_CLASS(CGlobalEventType)
 public:
  CGlobalEventType() = default;
  explicit CGlobalEventType(const CString& name) : name_(name) {}
  void Serialize(CArchive& ar) override;

  int32_t disabled_ = 0;
  CString name_;
};

// A command to be raised once its remaining time has run out.
struct CTimedEvent {
  int32_t remainingMs;
  CString command;
};

class CEventManager {
 public:
  CEventManager() = default;
  virtual ~CEventManager();
  CEventManager(const CEventManager&) = delete;
  CEventManager& operator=(const CEventManager&) = delete;

  // Runs every piece of command with the source (null: none; it names who
  // raised the text for diagnostics and the enemy orders). TRUE when every
  // piece was handled; an empty command is TRUE. Virtual so a test can stand
  // in for the script and see what was raised.
  virtual BOOL RaiseEvent(const CString& command, const char* source);
  BOOL RaiseEventFromUnknown(const CString& command) { return RaiseEvent(command, "unknown source"); }
  // A text of a network message: at most length bytes, ending at the first
  // NUL, cut at kEventTextLimit; raised with the source "event from
  // network". Nothing past length is read.
  BOOL RaiseNetworkText(const uint8_t* text, size_t length);

  // Appends a timed event of delayMs.
  void AddTimedEvent(int delayMs, const CString& command);
  // Removes every timed event. A clear from inside a raised timed event ends
  // that pass of UpdateTimedEvents.
  void ClearTimedEvents();
  // Once per frame: every timed event loses elapsedMs; those at 0 or below
  // are taken off the list and raised with the source "timed event", in
  // list order. Events added meanwhile are appended and reached in the same
  // pass unless the raised one was the last.
  void UpdateTimedEvents(int elapsedMs);
  int GetTimedEventCount() const { return static_cast<int>(timed_.size()); }
  const std::list<CTimedEvent>& GetTimedEvents() const { return timed_; }

  // The flag of that name (made when missing) gets disabled 0 / 1.
  void Activate(const CString& name);
  void Deactivate(const CString& name);
  // Raises the macro (the world property of that name) unless its flag is
  // disabled.
  void Execute(const CString& name);
  // The first flag of exactly that name, or null.
  CGlobalEventType* FindFlag(const CString& name) const;
  CGlobalEventType* AddFlag(const CString& name);
  int GetFlagCount() const { return flags_.GetCount(); }
  // The object is one of the manager's flags (a saved-game load that fails
  // drops what it read but the manager did not take).
  bool HoldsFlag(const CObject* object) const {
    for (POSITION at = flags_.GetHeadPosition(); at;) {
      if (static_cast<const CObject*>(flags_.GetNext(at)) == object) return true;
    }
    return false;
  }

  // The event flags (an object list of CGlobalEventType), then the timed
  // events (byte 1, command, remaining ms; a byte 0 ends them). Loading
  // appends to the lists; bad data throws CArchiveException, and the flags
  // read until then are the archive's LoadedObjects for the caller to drop.
  void Serialize(CArchive& ar);

  // One piece (trimmed, unwrapped, difficulty-filtered, dispatched).
  BOOL ExecuteOne(const CString& piece, const char* source);
  // One piece through the keyword chain.
  BOOL Dispatch(const CString& piece, const char* source);
  // The macro text: the world property of that name, or empty.
  CString ResolveMacro(const CString& name) const;
  // Which keyword row decided the last dispatched piece (1..31, as the
  // language's table numbers them); for tests and diagnostics.
  int GetLastRow() const { return lastRow_; }

 protected:
  // The game's difficulty: 1..3 in single play, 0 in a network game.
  virtual int Difficulty() const;
  // The world whose groups and properties the script reaches (the
  // document's); null when none.
  virtual World* ScriptWorld() const;

 private:
  BOOL HideOrShow(const std::string& rest, bool show);
  BOOL RandomEvent(const std::string& base);

  std::list<CTimedEvent> timed_;
  CTypedPtrList<CObList, CGlobalEventType*> flags_;
  // Bumped by ClearTimedEvents so that a pass of UpdateTimedEvents can tell
  // that its list went away under it.
  unsigned clearCount_ = 0;
  int depth_ = 0;
  int lastRow_ = 0;
};

extern CEventManager* g_pEventManager;
