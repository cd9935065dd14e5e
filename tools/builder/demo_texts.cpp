#include "tools/builder/demo_texts.h"

std::string DemoLogsText() {
  return "WELCOME: Pump Station. Find the control room and shut the pumps down.\r\n"
         "ROOKIE: Rookie: the station's defences are asleep.\r\n"
         "VETERAN: Veteran: the sentries are awake.\r\n"
         "ELITE: Elite: every gun in the station is waiting for you.\r\n"
         "LAVA: Warning: lava channel below the walkway.\r\n"
         "SENSOR: Control room sensor tripped.\r\n"
         "PUMPS: The pumps are down.\r\n"
         "TOWER: Cooling Tower. Unseal the corridor and climb to the roof.\r\n"
         "VALVES: Two valves in the dock hold the seal shut.\r\n"
         "VALVE: Valve turned.\r\n"
         "SEAL: The seal slides open.\r\n"
         "CHAT1: Control: core temperature still rising.\r\n"
         "CHAT2: Control: we read movement in the tower.\r\n"
         "CHAT3: Control: keep clear of the vent.\r\n"
         "ROOF: Roof sensor tripped: the core is venting!\r\n"
         "ARENA: Halvard Reactor. Take the armouries, hold the core.\r\n"
         "ARMOURY: The south armoury is open.\r\n"
         "REACTOR: Reactor Heart. Fly to the arena and destroy the core.\r\n"
         "HEART: The guardian hides the core until its parts are worn down.\r\n"
         "AMBUSH: A fighter uncloaks in the hall! The arena gate opens.\r\n"
         "BOSS: The gate shuts behind you: the guardian wakes.\r\n"
         "CORE: The core is destroyed! The station falls silent.\r\n";
}

bool AddDemoTexts(ArchiveWriter* archive) {
  const std::string text = DemoLogsText();
  return archive->AddMember("LOGS.TXT", std::vector<uint8_t>(text.begin(), text.end()));
}
