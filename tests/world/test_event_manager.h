// The event manager over a test world at a chosen difficulty; it keeps
// every raised text with its source. The word "clear" stands in for what
// clears the timed events from inside an event (the player's death).
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "world/script/event_manager.h"

class TestEventManager : public CEventManager {
 public:
  explicit TestEventManager(World* world) : world_(world) {}
  BOOL RaiseEvent(const CString& command, const char* source) override {
    raised.emplace_back(command.GetString(), source ? source : "");
    if (command == "clear") {
      ClearTimedEvents();
      return TRUE;
    }
    return CEventManager::RaiseEvent(command, source);
  }
  int difficulty = 2;
  std::vector<std::pair<std::string, std::string>> raised;

 protected:
  int Difficulty() const override { return difficulty; }
  World* ScriptWorld() const override { return world_; }

 private:
  World* world_;
};
