#include "world/script/script_manager.h"

CScriptManager* g_pScriptManager = nullptr;

// Will make a door, movement, sensor or facing object of each scripted group.
void CScriptManager::BuildFromScene() {}

// Will make a sensor at the instance's place with its properties.
void CScriptManager::AddSensor(Instance* /*instance*/) {}

// Will write or read the script objects' state.
void CScriptManager::Serialize(CArchive& /*archive*/) {}

// Will run the facing objects, automatic doors and sensors for one frame.
void CScriptManager::FrameUpdate() {}

// Will test the sensors and automatic doors against the actor.
void CScriptManager::TestActor(float /*x*/, float /*y*/, float /*z*/, float /*radius*/, const char* /*actorName*/) {}

// Will find the sensor whose name hashes to nameHash.
CSensor* CScriptManager::FindSensorByHash(uint32_t /*nameHash*/) { return nullptr; }

// Will find the door whose name hashes to nameHash.
CDoor* CScriptManager::FindDoorByHash(uint32_t /*nameHash*/) { return nullptr; }

// Will open every door but the spinning ones.
void CScriptManager::OpenAllDoors() {}
