#pragma once
// The engine's version, its one last-error record and the software
// renderer's background-fill switch.
#include "engine/records.h"

extern EngineError g_EngineError;
// 1: the end-of-frame pass fills uncovered spans with the background colour;
// 0: they are left as they are.
extern int g_BackgroundFill;

// 103: library version 1.03, required as the first i32 of every archive.
int EngineLibraryVersion();
// Stores code and formats its message (value is the archive's version for
// code 4); other codes are stored and leave the message as it was.
int EngineSetError(int code, int value);
int SetBackgroundFill(int flag);

// A reader refusing damaged data says why: the record gets code 6 and
// "<member>: <what>" (the member found last in the data archive, then the
// printf-formatted reason). Only the first refusal since the record was
// cleared is kept, since what fails after it follows from it; the loaders
// (texture archive, models, world) clear it as they start. Returns 0, so a
// reader can `return EngineRefuse(...)`.
int EngineRefuse(const char* format, ...) __attribute__((format(printf, 1, 2)));
