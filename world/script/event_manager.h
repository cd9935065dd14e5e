#pragma once
// The level script's event manager: the one entry for level-script text.
// The game document makes it in its constructor (g_pEventManager) and deletes
// it in its destructor, so it lives through the level changes of one
// document and keeps the timed events and event flags across them.
//
// Running the script's commands comes with the world simulation; until then
// every operation here does nothing and answers the neutral value.
#include "platform/framework/cstring.h"
#include "platform/types.h"

class CArchive;

class CEventManager {
 public:
  CEventManager() = default;
  virtual ~CEventManager() = default;
  CEventManager(const CEventManager&) = delete;
  CEventManager& operator=(const CEventManager&) = delete;

  // Runs one command line of the level script raised by source (may be null:
  // "player start", "timed event", "event from network", ...). Virtual so a
  // test can stand in for the script and see what was raised.
  virtual BOOL RaiseEvent(const CString& command, const char* source);
  // Counts every timed event down by dtMs; those at 0 or below are raised
  // with the source "timed event" and removed. Once per simulation step.
  void UpdateTimedEvents(int dtMs);
  // Stores or loads the event flags and the timed events of a saved game.
  void Serialize(CArchive& archive);
  void ClearTimedEvents();
  // Queues command to be raised after delayMs.
  void AddTimedEvent(int delayMs, const CString& command);
};

extern CEventManager* g_pEventManager;
