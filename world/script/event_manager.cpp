#include "world/script/event_manager.h"

CEventManager* g_pEventManager = nullptr;

BOOL CEventManager::RaiseEvent(const CString& /*command*/, const char* /*source*/) { return FALSE; }
