#pragma once
// What the event language asks of the parts of the game that its keywords
// reach but that live elsewhere: sounds, the script cameras and countdown,
// the level messages, the fire sphere and the scripted missile launch. The
// event manager parses a keyword's words and calls one of these; each body
// lives in event_hooks.cpp until the part it reaches takes it over (the
// comment on each says what it does there). All run on the game thread and
// do nothing when what they need does not exist.
#include "engine/records.h"

// "sound" and "soundloop": the named sound on the group's mover, or not
// positioned at volume 0 when group is null; nothing for a name that has no
// sound in the sound archive.
void EventPlaySound(const char* name, PolygonGroup* group, bool loop);
// "soundstop": the sounds on the group's mover; with no group every sound
// of that name, in any case.
void EventStopSound(const char* name, PolygonGroup* group);
// "beep": the confirmation sound.
void EventBeep();
// The death sound (sound 4, "playded1") at the local player's position;
// nothing without a local ship.
void EventPlayDeathSound();
// "quake": "rumble", looped, not positioned, at volume 0.
void EventPlayRumble();
// "countdown": the script countdown with that time and event text
// (world/document/script_cameras.cpp).
void EventStartCountdown(int timeMs, const char* event);
// "camerapath" (slot 0), "cameratargetpath" (1), "playerpath" (2),
// "playertargetpath" (3): a path follower on the named path, the whole path
// taking the given seconds (world/document/script_cameras.cpp).
void EventStartPath(int slot, const char* pathName, int seconds);
// "stopcamera": the script cameras and path followers are released.
void EventStopCameras();
// "log": the level message whose key is given
// (world/document/flashes_and_telefrag.cpp).
void EventShowLevelMessage(const char* key);
// "fireball": a fire sphere of the local player at the point.
void EventSpawnFireSphere(float x, float y, float z, float radius, int growMs);
// "launch_missile": the missile the text describes.
void EventLaunchMissile(const char* text);
