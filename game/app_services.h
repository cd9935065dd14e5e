#pragma once
// Small services of the application that other parts of the game use.
#include "platform/framework/cstring.h"

// Looks at the message queue without taking or dispatching anything, so the
// window stays responsive during long operations; true when a message waits.
bool PollMessageQueue();
// True when name begins with mask's part before its first '*' (the whole
// mask when it has none), compared without regard to case.
bool MatchFileMask(const CString& mask, const CString& name);
// The CD track of the mission in g_CurrentMissionArchive: the number after
// its first character, clamped to 1..24, through the track table.
int CdTrackForMission();
// Empties the input key tables when the interface manager exists.
void ClearInputKeys();
// The decimal number at the start of text as the C library's atoi reads it
// (blanks, a sign, digits; 0 without digits), saturating at INT_MAX instead
// of overflowing.
int LeadingDecimal(const CString& text);
