#pragma once
// The level script's event manager, made by the game document. Running the
// script's commands comes with the world simulation; until then RaiseEvent
// does nothing.
#include "platform/framework/cstring.h"
#include "platform/types.h"

class CEventManager {
 public:
  // Runs one command line of the level script raised by source (may be null).
  BOOL RaiseEvent(const CString& command, const char* source);
};

extern CEventManager* g_pEventManager;
