#pragma once
// The menus' own widgets, which the interface manager owns: the edit lines
// of the network screens, the saved-game list, the mission and session
// list, the ship-style pickers and the key-binding fields. Their drawing,
// typing and clicking come with the menu widgets' work; until then each is
// only where it stands on its screen, so that the interface manager can
// make, hold and free them.
#include "platform/framework/win_types.h"

// One line of typed text (IP address, session name, player name).
class CEditLine {
 public:
  virtual ~CEditLine() = default;
};

// The thirty saved-game slots of the save and load screens, in area.
class CSavedGameList {
 public:
  explicit CSavedGameList(const RECT& area) : area_(area) {}
  virtual ~CSavedGameList() = default;
  const RECT& Area() const { return area_; }

 private:
  RECT area_;
};

// The missions and network sessions to choose from.
class CMissionList {
 public:
  virtual ~CMissionList() = default;
};

// One of the two ship-style choices of the ship screen.
class CStylePicker {
 public:
  virtual ~CStylePicker() = default;
};

// One key of one action on the key-binding screen.
class CKeyBindingField {
 public:
  virtual ~CKeyBindingField() = default;
};
