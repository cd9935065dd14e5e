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
