#include "world/script/event_manager.h"

CEventManager* g_pEventManager = nullptr;

// Will split the text into pieces, filter them by difficulty and run each
// through the keywords, the script commands and the enemy orders.
BOOL CEventManager::RaiseEvent(const CString& /*command*/, const char* /*source*/) { return FALSE; }

// Will count the timed events down and raise those that are due.
void CEventManager::UpdateTimedEvents(int /*dtMs*/) {}

// Will write or read the event flags and the timed events.
void CEventManager::Serialize(CArchive& /*archive*/) {}

// Will drop every pending timed event.
void CEventManager::ClearTimedEvents() {}

// Will queue the command for later.
void CEventManager::AddTimedEvent(int /*delayMs*/, const CString& /*command*/) {}
