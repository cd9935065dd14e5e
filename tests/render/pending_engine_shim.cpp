// TEMPORARY: see pending_engine_shim.h.
#include "pending_engine_shim.h"
