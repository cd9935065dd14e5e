#pragma once
// Typed debug and cheat words: the keys typed while the left Shift key is
// held, as virtual-key codes.
//   ZEPHYRWAY and two digits (01..24): that mission through its briefing
//   PLOVEX: the process ends at once (exit code 1, no log line)
//   KWAB: the level script's "end_game"
// and whatever the document's cheat words check.
void HandleTypedChar(int ch);
