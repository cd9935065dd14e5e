#pragma once
// The game document: everything of the running game that is not the
// engine's. One exists from start-up on (the application replaces it with a
// fresh one at every game start) and every part of the program reaches it
// through g_pNetDoc: the level's world, the players, weapons and inventory,
// camera and HUD state, the effect lists of the world simulation, network
// statistics, the message texts and the weapons' tuning numbers.
//
// The document is the hub that the game's subsystems extend, so its
// operations are spread over files by subject:
//   game/net_doc.cpp              construction and destruction, new document
//   game/net_doc_level_load.cpp   LoadLevel: the mission into the engine
//   game/net_doc_level_start.cpp  StartLevel: managers, players, the ship
//   game/net_doc_frame.cpp        FrameTick, UpdateFrame, the frame flag
//   game/net_doc_text_table.cpp   LOGS.TXT
//   game/net_doc_hud_art.cpp      the HUD's pictures and fonts
//   game/net_doc_players.cpp      the player map and the local player
//   game/net_doc_services.cpp     small services (skins, colours, surfaces)
//   game/net_doc_pickup_table.cpp the pick-up models
//   game/net_doc_hud.cpp          the HUD: message log, letterbox, mission
//                                 accomplished, countdown, scoreboard
//   game/net_doc_hud_panel.cpp    the gauge, missile-ready picture, slots
//   game/net_doc_hud_status.cpp   the ship-status picture
//   game/net_doc_radar.cpp        the radar and the beacon's ring
//   game/net_doc_settings.cpp, net_doc_ship.cpp,
//   net_doc_network.cpp           the settings, ship and network work's
//   world/document/*.cpp          the world simulation's operations, one file
//                                 per subject (weapons, effects, cameras...)
// Operations whose subsystem is not built yet have bodies that do nothing;
// each such body says what will fill it.
//
// Everything here runs on the game thread; only the loading flag is read by
// the input thread.
#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

#include "engine/records.h"
#include "game/net_duplicate_filter.h"
#include "game/net_receiver.h"
#include "game/tuning_block.h"
#include "media/bitmap_font.h"
#include "media/picture.h"
#include "platform/framework/cstring.h"
#include "platform/framework/document.h"
#include "platform/framework/maps.h"
#include "platform/framework/ob_list.h"
#include "platform/types.h"
#include "world/document/hud_targets.h"

class CDirectPlayer;
class CEditLine;
class CNetView;
class CPathPoint;
class CArchive;
class SurfaceAnimation;

// The source name that the document's fatal errors log.
inline constexpr const char* kNetDocSource = "NetDoc";

// What a mission load needs of its archives: the texture store's byte budget
// for the level's pixels.
inline constexpr int kLevelTextureBudget = 0xC00000;

// The HUD's pictures: ten weapon slots in three states, nine ship-status
// pictures by health and shield, three by health alone.
inline constexpr int kHudWeaponPictures = 30;
inline constexpr int kHudShipShieldPictures = 9;
inline constexpr int kHudShipPictures = 3;
// Their names in load order: the ship pictures by shield (d, c, b) outer,
// health (2, 3, 4) inner.
extern const char* const kHudShipShieldPictureNames[kHudShipShieldPictures];
extern const char* const kHudShipPictureNames[kHudShipPictures];

// The player map: network player id -> ship record (owns nothing).
using PlayerMap = CMap<DPID, DPID, CDirectPlayer*, CDirectPlayer*>;

// A light that follows a level group while the group is shown.
struct AttachedLight {
  PolygonGroup* group;
  float size;
  Light* light;  // the current frame's light, null while the group is hidden
};

// A target's place as the radar reads it (CollectTargetPositions): its key
// (a player's DPID in the high half, an enemy's id with a non-zero low half)
// and its world position. The caller deletes the records.
struct TargetPosition {
  uint64_t key;
  float x, y, z;
};

// The ten ammunition counters of the document, in their stored order.
enum AmmoCounter : int {
  kAmmoShells,
  kAmmoPlasmaBolts,
  kAmmoNukes,
  kAmmoSlugs,
  kAmmoRockets,
  kAmmoHoming,
  kAmmoMicroMissiles,
  kAmmoSentries,
  kAmmoVortexShields,
  kAmmoEnergyCells,
  kAmmoCounters
};

// The weapon kinds whose last use the document keeps; each pairs with the
// interval of the same place in the tuning block (autocannon .. satellite).
enum FireKind : int {
  kFireAutocannon,
  kFirePlasmaCoil,
  kFireLaser,
  kFirePulseLaser,
  kFireMolnia,
  kFireCoreAccelerator,
  kFireRockets,  // rockets and homing missiles
  kFireMicroMissiles,
  kFireNuke,
  kFireSentry,
  kFireVortexShield,
  kFireSatellite,
  kFireKinds
};

// A mark left by a shot on a wall.
struct BulletHole {
  float x, y, z;          // the hole's point
  WorldPolygon* hole;     // the hole polygon, owned; null for an empty slot
  WorldPolygon* struck;   // the polygon that was hit, not owned
};
inline constexpr int kBulletHoleSlots = 64;

// A current of the level that pushes the ship: a two-vertex polygon with a
// "flow" property, taken out of the world at level load.
struct FlowLine {
  float start[3];
  float end[3];
  float length;       // at least 0.001
  float velocity[3];  // speed x the unit direction from start to end
  float rotation;     // roll rate added to the ship's, 0 without "rotation"
};

// A level object that weapons can break (the damageable-group map): once its
// hit points fall below 0 it breaks up when its countdown runs out.
struct DamageableGroup {
  float hitPoints;
  PolygonGroup* group;
  int32_t countdown;  // ms; negative once destroyed
};

// Called with the name of each step UpdateFrame takes, just before it runs
// (null: nobody watches). Tests and diagnostics follow the order through it.
using FrameStepObserver = void (*)(const char* step);
extern FrameStepObserver g_FrameStepObserver;

// The last player start's placement (rows: side, up, heading, position).
extern Matrix g_PlayerStartMatrix;

struct GroupEffectRecords;

class CNetDoc : public CDocument {
  DECLARE_DYNCREATE_CLASS(CNetDoc)
 public:
  // ---------------------------------------------------------------------
  // Lifecycle (game/net_doc.cpp)
  // ---------------------------------------------------------------------
  // Becomes g_pNetDoc and makes the event manager; defaults, settings and
  // tuning; the HUD's pictures and fonts and the message texts from
  // "INTERFC.CAN" (a missing one ends the program).
  CNetDoc();
  // Ends the level: every manager, player, effect and the world go, the
  // engine's models and textures with them; no global points into the freed
  // world afterwards.
  ~CNetDoc() override;

  // After the base: the interface window becomes active; a game being
  // started opens its briefing or starts the level; otherwise the main menu
  // opens once the start-up delay is over. The document is then ready.
  bool OnNewDocument() override;
  bool OnOpenDocument(const char* pathName) override;

  // ---------------------------------------------------------------------
  // Level (game/net_doc_level_load.cpp, game/net_doc_level_start.cpp)
  // ---------------------------------------------------------------------
  // Loads g_CurrentMissionArchive into the engine and binds the models and
  // textures the game uses by name. Every failure ends the program
  // (CGameApp::FatalError with kNetDocSource and the step's line).
  void LoadLevel();
  // Turns the loaded level into a running game: managers, session or local
  // player, sensors and player starts, the ship, music. True when the game
  // runs. A network session that can't be had brings the menus back with a
  // message and gives false.
  bool StartLevel();
  // The joystick is looked for again (a level start or a saved-game load);
  // returns 1.
  int ReinitJoystick();
  // The model file name of a pick-up kind (0..32).
  static const char* GetPickupModelName(int kind);

  // ---------------------------------------------------------------------
  // Frame (game/net_doc_frame.cpp)
  // ---------------------------------------------------------------------
  // Once per idle call while no video plays: the traffic rates, then every
  // live game view redraws at once. Returns 0.
  int FrameTick();
  // One simulation step of dtMs in its fixed order (the view calls it).
  void UpdateFrame(int dtMs);
  // A frame render is running between these two (the view's frame).
  void ResetFrameEvent() { frameRendering_ = 1; }
  void SetFrameEvent() { frameRendering_ = 0; }
  // What must not change under a frame render waits for it: everything runs
  // on one thread, so a render is only ever running further up the caller's
  // own stack and waiting could only hang. True when no render is running
  // (the caller may go on); never blocks.
  bool WaitForFrame() const { return frameRendering_ == 0; }
  // The one "render in progress" flag (game/net_view.h).
  bool IsRenderInProgress() const { return frameRendering_ != 0; }
  // Around RenderWorld: the cockpit view hides the player's own hull.
  void HideOwnShip();
  void ShowOwnShip();
  // Every light that follows a level group is made again at the group's
  // centre while the group is shown.
  void UpdateAttachedLights();

  // ---------------------------------------------------------------------
  // Texts and tuning (game/net_doc_text_table.cpp, game/net_doc.cpp)
  // ---------------------------------------------------------------------
  // "LOGS.TXT" of "INTERFC.CAN" into the text table (missing or unreadable:
  // the program ends).
  void LoadTextTable();
  // The HUD's weapon, missile and ship pictures and its three fonts from
  // "INTERFC.CAN" (game/net_doc_hud_art.cpp; a missing one ends the program).
  void LoadHudArt();
  // The text of an upper-case key into text; false when the table has none.
  bool LookupText(const char* key, CString& text) const { return texts_.Lookup(key, text); }
  int GetTextCount() const { return texts_.GetCount(); }
  void SetTuningDefaults();
  const TuningBlock& GetTuning() const { return tuning_; }
  TuningBlock& Tuning() { return tuning_; }

  // ---------------------------------------------------------------------
  // Players (game/net_doc_players.cpp)
  // ---------------------------------------------------------------------
  // The local side's record for a network session: the old local player
  // goes, the new one is local, in the map and on the scoreboard.
  bool CreatePlayerRecord(const CString& name, const CString& secondName);
  // Single play: the record "ego" / "EE" with a fresh object id.
  bool CreateLocalPlayer();
  void DeletePlayer();
  void AddPlayer(CDirectPlayer* player);
  void RemovePlayer(CDirectPlayer* player);
  // Null for 0 or an unknown id.
  CDirectPlayer* FindPlayer(DPID id) const;
  // The local record's id; 0xFFFFFFFF without one.
  DPID GetLocalPlayerId() const;
  // The local player's 16-float orientation block (a local player must
  // exist).
  float* GetLocalPlayerObject();
  // The nearest other player within sqrt(maxDistSq) of the point whose ship
  // is in sight of it; null when none.
  CDirectPlayer* FindNearestVisiblePlayer(float x, float y, float z, float maxDistSq);
  // The next object id: never 0, which names no object.
  uint32_t NewObjectId();
  // The scoreboard slot of a name, taken when new.
  int AllocScoreSlot(const CString& name);
  // A network game's next start position into matrix: the first of the list
  // that no other live ship stands on (the first of all when every one is
  // taken), which moves to its end; nothing in single play or with an empty
  // list.
  void NextStartPosition(float matrix[16]);
  // Whether another live ship stands within a few of its radii of the
  // point (a start position's matrix).
  bool IsStartPositionTaken(const float* point) const;

  // ---------------------------------------------------------------------
  // Accessors
  // ---------------------------------------------------------------------
  World* GetWorld() const { return world_; }
  Model* GetShipModel() const { return shipModel_; }
  Instance* GetPlayerShip() const { return shipInstance_; }
  CDirectPlayer* GetLocalPlayer() const { return localPlayer_; }
  const PlayerMap& GetPlayers() const { return players_; }
  View* GetViewer() const { return viewer_; }
  void SetViewer(View* viewer) { viewer_ = viewer; }
  CNetView* GetView() const { return view_; }
  void SetView(CNetView* view) { view_ = view; }
  void SetSteering(int code) { steering_ = code; }
  int GetSteering() const { return steering_; }
  void SetFireHeld(uint8_t held) { fireHeld_ = held; }
  bool IsFireHeld() const { return fireHeld_ != 0; }
  bool IsConsoleOpen() const { return console_ != nullptr; }
  bool IsCustomCameraActive() const { return cameraSlots_[0] != nullptr; }
  bool IsScriptCameraActive() const { return scriptCamera_ != 0; }
  uint8_t GetCheatByte() const { return cheatByte_; }
  void SetShieldHit(uint8_t hit) { shieldHit_ = hit; }
  // The shake level rises to min(level, 1500), never falls here; returns it.
  int RaiseShake(int level);
  // The shake level rises to level, uncapped.
  void RaiseShakeTo(int level);
  int GetShakeLevel() const { return shakeLevel_; }
  // Electric damage was taken (kept in saved games).
  bool IsElectricDamage() const { return electricDamage_ != 0; }
  void SetElectricDamage(bool on) { electricDamage_ = on ? 1 : 0; }
  // The game window has the keyboard (the interface window's focus byte).
  bool HasInputFocus() const;
  // The ship collides with the world (a switch of the typed words).
  bool IsShipCollisionOn() const { return shipCollision_ != 0; }
  void SetShipCollision(bool on) { shipCollision_ = on ? 1 : 0; }
  // A scripted camera flies the view (first camera slot), and a scripted
  // path flies the ship (third and fourth).
  CPathPoint* GetCameraSlot(int index) const { return cameraSlots_[index]; }
  void SetCameraSlot(int index, CPathPoint* point) { cameraSlots_[index] = point; }
  WorldPolygon* GetAimMarker() const { return aimMarker_; }
  float GetShakeAmount() const { return static_cast<float>(shakeLevel_) * 0.001f; }
  bool IsExternalView() const { return chaseView_ != 0; }
  // The chase-view byte alone, without the camera's switch (tests).
  void SetExternalViewFlag(bool on) { chaseView_ = on ? 1 : 0; }
  bool IsInvulnerable() const { return invulnerable_ != 0; }
  bool IsLoading() const { return loading_.load(std::memory_order_relaxed) != 0; }
  // The small bitmap font the HUD writes its text with.
  CBitmapFont* GetTextRenderer() { return &fontSmall_; }
  CBitmapFont& GetLargeFont() { return fontLarge_; }
  CBitmapFont& GetLargeLitFont() { return fontLargeLit_; }
  CPicture& GetWeaponPicture(int weapon, int state) { return weaponPictures_[weapon * 3 + state]; }
  CPicture& GetMissileReadyPicture() { return missileReadyPicture_; }
  CPicture& GetMissileReloadPicture() { return missileReloadPicture_; }
  CPicture& GetShipShieldPicture(int index) { return shipShieldPictures_[index]; }
  CPicture& GetShipPicture(int index) { return shipPictures_[index]; }
  Texture* GetLaserTexture(bool pulse) const { return pulse ? pulseLaserTexture_ : laserTexture_; }
  Texture* GetBodySkin(int index) const { return bodySkins_[index]; }
  Texture* GetWingSkin(int index) const { return wingSkins_[index]; }
  Texture* GetEnergyPulseFrame(int index) const { return energyPulseFrames_[index]; }
  Model* GetDebrisModel(int index) const { return debrisModels_[index]; }
  // The missiles' models: "rocket.3ds", "homing.3ds", "sentry.3ds".
  Model* GetRocketModel() const { return rocketModel_; }
  Model* GetHomingModel() const { return homingModel_; }
  Model* GetSentryModel() const { return sentryModel_; }
  int GetDebrisCount() const { return debrisCount_; }
  const uint8_t* GetFileId() const { return fileId_; }
  // The HUD's redraw counters (2: draw on both pages of the flip chain).
  static constexpr int kHudRedrawMissileReady = 0;
  static constexpr int kHudRedrawSlots = 1;
  static constexpr int kHudRedrawMessages = 3;
  void InvalidateHudPanels() { hudRedraw_[0] = hudRedraw_[1] = hudRedraw_[2] = 2; }
  void InvalidateAmmoPanel() { hudRedraw_[kHudRedrawSlots] = 2; }
  void InvalidateMessageArea() { hudRedraw_[kHudRedrawMessages] = 2; }
  // The document's clock pause, passed on to the game clock.
  void SetClockPaused(BOOL paused);
  bool IsClockPaused() const { return clockPaused_ != 0; }
  bool IsFrozen() const { return frozen_ != 0; }
  void ToggleFrozen() { frozen_ = frozen_ ? 0 : 1; }
  bool IsReady() const { return ready_ != 0; }
  // A display switch is in progress (the view draws nothing meanwhile);
  // DisplaySwitchGuard sets and clears it.
  bool IsPaused() const { return displaySwitching_ != 0; }
  void SetPaused(bool on) { displaySwitching_ = on ? 1 : 0; }
  bool IsGameRunning() const { return gameRunning_ != 0; }
  // The chat line: a character opens it and is typed (letters upper-cased,
  // codes 32..95, at most the line's width); Enter sends "name> text" to
  // everybody and shows it, Esc closes, Backspace and Delete take the last
  // character (game/net_doc_network.cpp).
  void OnConsoleChar(UINT virtualKey);
  void OnConsoleKey(UINT character);
  void OpenConsole();
  // The chat line's typed text (empty while closed).
  CString GetConsoleText() const;
  // Saved games (game/net_doc_saved_game.cpp, game/saved_game.h). Writes
  // the running game into path: a new file beside the slot that replaces it
  // only once complete, so a failed or interrupted save leaves the slot as
  // it was. "Game saved..." in the message log; a file that can't be
  // written shows "Error saving game: " and the path. Nothing (false)
  // while no game runs.
  bool SaveGame(const CString& path);
  // The debug line of what a saved game keeps that the player sees: the
  // ship's place, shields and health, its guns, missiles and ammunition,
  // each door's opening, and how many objects and enemies the level holds.
  // Written when a game is saved and when one is loaded, so that a run can
  // tell the loaded game from the one saved (game/net_doc_state_line.cpp).
  CString DescribeGameState() const;
  // The header of slot's file (SaveGamePath): true when it is a saved game
  // of this version, its mission, description and second string then in
  // the outputs; otherwise false, outputs untouched, no message.
  static bool LoadTaggedFile(int slot, CString* mission, CString* description, CString* third);
  // The document's own state in a saved game, both directions
  // (game/net_doc_saved_state.cpp): the view's part, the local player, the
  // camera, weapons, HUD counters, timers (stored relative to the game
  // clock), tuning and the inventory. Loading registers the player and
  // makes the ship's instance.
  void SerializeState(CArchive& archive);
  // Traffic counters (the network layer counts into them).
  void CountBytesReceived(uint32_t bytes) { bytesReceived_ += bytes; }
  void CountBytesSent(uint32_t bytes) { bytesSent_ += bytes; }
  float GetReceivedRate() const { return receivedRate_; }
  float GetSentRate() const { return sentRate_; }
  int GetGunLockout() const { return gunLockout_; }
  int GetMissileLockout() const { return missileLockout_; }
  void SetLockouts(int gunMs, int missileMs) {
    gunLockout_ = gunMs;
    missileLockout_ = missileMs;
  }
  CPtrList& AttachedLights() { return attachedLights_; }
  // The radar's beacon group ("create_beacon"); null when none.
  PolygonGroup* GetBeaconGroup() const { return beaconGroup_; }
  void SetBeaconGroup(PolygonGroup* group) { beaconGroup_ = group; }
  // An enemy made the beacon ("create_beacon") publishes its position every
  // frame; off (active false) when it is no longer tracked or destroyed.
  void SetEnemyBeacon(bool active, const float* position) {
    beaconActive_ = active ? 1 : 0;
    if (position) beaconPosition_[0] = position[0], beaconPosition_[1] = position[1], beaconPosition_[2] = position[2];
  }
  // What the game view reads and toggles.
  bool IsStatisticsShown() const { return statsOverlay_ != 0; }
  void SetStatisticsShown(bool on) { statsOverlay_ = on ? 1 : 0; }
  bool IsRadarShown() const { return radarShown_ != 0; }
  void ToggleRadar() { radarShown_ = radarShown_ ? 0 : 1; }
  float GetHitFlash() const { return hitFlash_; }
  // The last nearby explosion: its game time and strength.
  void SetExplosionFlash(uint32_t time, float strength) {
    explosionFlashTime_ = time;
    explosionFlash_ = strength;
  }
  // The hazard flash and the shield hit are shown once each.
  bool TakeHazardFlash() { return hazardFlash_ ? (hazardFlash_ = 0, true) : false; }
  void SetHazardFlash(bool on) { hazardFlash_ = on ? 1 : 0; }
  uint8_t GetShieldHit() const { return shieldHit_; }
  void SetInvulnerable(bool on) { invulnerable_ = on ? 1 : 0; }
  // A static shield surrounds the local ship (no second one is raised).
  bool IsStaticShieldActive() const { return staticShield_ != 0; }
  void SetStaticShieldActive(bool on) { staticShield_ = on ? 1 : 0; }
  bool IsDepthCuePulsing() const { return pulsingDepthCue_ != 0; }
  uint8_t GetHomingToggle() const { return homingToggle_; }
  void SetHomingToggle(uint8_t on) { homingToggle_ = on; }
  uint8_t GetSelectedMissile() const { return selectedMissile_; }
  uint8_t GetSelectedGun() const { return selectedGun_; }
  int32_t GetMissionTime() const { return missionTime_; }
  // The script's countdown (ms left, negative while off) and its event.
  int32_t GetCountdownMs() const { return countdownMs_; }
  const CString& GetCountdownEvent() const { return countdownEvent_; }
  void AddMissionTime(int dtMs) { missionTime_ += dtMs; }
  void SetSurfaceBusy(bool on) { surfaceBusy_ = on ? 1 : 0; }
  bool IsSurfaceBusy() const { return surfaceBusy_ != 0; }
  // The selected-gun bits as the weapon selection leaves them (bit 1 the
  // autocannon).
  void SetSelectedGunBits(uint8_t bits) { selectedGun_ = bits; }
  // The target marker auto-aim places (screen pixels) and its valid byte;
  // korvanesw's crosshair brackets sit round it.
  int GetTargetMarkerX() const { return targetMarkerX_; }
  int GetTargetMarkerY() const { return targetMarkerY_; }
  bool IsTargetMarkerValid() const { return targetMarkerShown_ != 0; }
  void PlaceTargetMarker(int x, int y, bool valid) {
    targetMarkerX_ = x;
    targetMarkerY_ = y;
    targetMarkerShown_ = valid ? 1 : 0;
  }
  // The redraw counter of HUD panel 0..3 (2: drawn in the next two frames).
  int GetHudPanelRedraw(int panel) const { return hudRedraw_[panel]; }

  // ---------------------------------------------------------------------
  // Other subsystems' work on the document, called by the level start and
  // the frame; their bodies are filled by that work.
  // ---------------------------------------------------------------------
  // Reads the key bindings ("Keys") and the mouse, joystick, brightness
  // and volume settings ("Settings") from the profile
  // (game/net_doc_settings.cpp). A missing value reads as its default; a
  // key code outside the key-code space as its action's default; the
  // brightness is kept within 32..96.
  void LoadSettings();
  // The key table: 17 actions (in the table's order, game/key_bindings.h)
  // by two keys. Out-of-range indexes read 0 and are not stored.
  int GetKeyBinding(int tableIndex, int slot) const {
    return tableIndex >= 0 && tableIndex < 17 && (slot == 0 || slot == 1) ? keyBindings_[tableIndex][slot] : 0;
  }
  void SetKeyBinding(int tableIndex, int slot, int code) {
    if (tableIndex >= 0 && tableIndex < 17 && (slot == 0 || slot == 1)) keyBindings_[tableIndex][slot] = code;
  }
  float GetMouseSensitivityX() const { return mouseSensitivityX_; }
  float GetMouseSensitivityY() const { return mouseSensitivityY_; }
  void SetMouseSensitivityX(float v) { mouseSensitivityX_ = v; }
  void SetMouseSensitivityY(float v) { mouseSensitivityY_ = v; }
  bool IsMouseSwapped() const { return mouseSwap_ != 0; }
  void SetMouseSwap(bool on) { mouseSwap_ = on ? 1 : 0; }
  bool IsJoystickSwapped() const { return joystickSwap_ != 0; }
  void SetJoystickSwap(bool on) { joystickSwap_ = on ? 1 : 0; }
  bool IsJoystickEnabled() const { return joystickEnable_ != 0; }
  void SetJoystickEnable(bool on) { joystickEnable_ = on ? 1 : 0; }
  // Posts a line to the HUD's seven-line message log (game/net_doc_hud.cpp).
  // A text longer than 42 characters is split after its last blank, full
  // stop or comma at or before index 41 (after 42 characters when there is
  // none) and the rest posted as a continuation. A new message (keep false)
  // first dims the lines of the previous one once; a continuation does not.
  // Colour: a palette index; 0 or less draws in the font's own colours and
  // is never dimmed. A full log scrolls up by one.
  void AddMessage(const char* text, int colour, BOOL keep);
  static constexpr int kMessageLines = 7;
  static constexpr int kMessageWidth = 42;
  const CString& GetMessageText(int line) const { return messageText_[line]; }
  int GetMessageColour(int line) const { return messageColour_[line]; }
  bool IsMessageFresh(int line) const { return messageFresh_[line] != 0; }
  int GetMessageRedraw() const { return hudRedraw_[3]; }
  // The HUD over the frame (game/net_doc_hud.cpp), once per rendered game
  // frame, each part's changed rectangle recorded with the view.
  void DrawHud();
  // The panel: the heat and Freon gauge, the missile-ready picture and the
  // ten weapon slots with their counts and refill dots (not at 800x600 or
  // 320x240 without the cockpit option).
  void DrawHudPanel();
  // The local ship's shields and health as numbers.
  void DrawShieldAndHealth();
  // The guns' heat goes into the Freon once per simulation step: Freon falls
  // by 20 times the heat and takes all of it while it lasts; what it can't
  // take stays as heat (20 per unit of heat).
  void CoolWithFreon();
  float GetFreon() const { return freon_; }
  void SetFreon(float freon) { freon_ = freon; }
  // The typed word that hides the HUD and the cockpit toggles this.
  bool IsHudOff() const { return hudOff_ != 0; }
  void SetHudOff(bool off) { hudOff_ = off ? 1 : 0; }
  // The message log, while its redraw counter runs (counted down); not in the
  // small layout, in the large one only with the cockpit option.
  void DrawMessageLog();
  // One weapon slot's picture (selected, owned or not owned), while the slot
  // counter runs and not in the small layout; ignored is not used.
  void DrawWeaponSlot(int x, int y, int digit, int bit, bool isMissile, int ignored);
  // No selected missile kind is still reloading (launched less than its
  // tuning interval of game time ago).
  bool IsMissileReady();
  // The ship-status picture: shield shells over the ship coloured by health.
  void DrawShipStatus();
  // The radar (game/net_doc_radar.cpp): sized from the screen, rebuilt at
  // most every 81 ms of game time, copied into the 2-D target each frame.
  // Nothing while it is off or in a network game.
  void DrawRadar();
  // Rebuilds the radar image: background, view lines, the targets as
  // crosses coloured by height, the beacon's ring.
  void RenderRadarImage();
  // One pixel of the radar image relative to its centre, y upward; false
  // (nothing set) outside x in (-h, h - 1), y in (-v, v - 1).
  bool RadarPlot(int x, int y, int halfWidth, int halfHeight, unsigned char colour);
  // The radar image: size x size bytes, rows from the top (null before the
  // first rebuild).
  int GetRadarSize() const { return radarValues_[0]; }
  const uint8_t* GetRadarImage() const { return radarImage_.get(); }
  // The beacon's ring radius in radar pixels (2 at start); the beacon is
  // active while its group is shown.
  float GetBeaconRingRadius() const { return radarScale_; }
  bool IsBeaconActive() const { return beaconActive_ != 0; }
  // Weapons and ammunition as the HUD reads them (the weapons work changes
  // them); an index outside the counters reads 0 and stores nothing.
  int GetAmmo(int counter) const { return counter >= 0 && counter < kAmmoCounters ? ammo_[counter] : 0; }
  void SetAmmo(int counter, int count) {
    if (counter >= 0 && counter < kAmmoCounters) ammo_[counter] = count;
  }
  void SetOwnedWeapons(uint8_t guns, uint8_t missiles) {
    ownedGuns_ = guns;
    ownedMissiles_ = missiles;
  }
  void SetSelectedWeapons(uint8_t gun, uint8_t missile) {
    selectedGun_ = gun;
    selectedMissile_ = missile;
  }
  uint8_t GetCargoUnits() const { return cargoUnits_; }
  void SetCargoUnits(uint8_t units) { cargoUnits_ = units; }
  // The game time a weapon kind was last used (FireKind).
  void SetLastFireTime(int kind, uint32_t time) {
    if (kind >= 0 && kind < kFireKinds) lastFireTimes_[kind] = time;
  }
  int GetCountdown() const { return countdownMs_; }
  void SetCountdown(int ms) { countdownMs_ = ms; }
  int GetSlotRedraw() const { return hudRedraw_[kHudRedrawSlots]; }
  int GetMissileReadyRedraw() const { return hudRedraw_[kHudRedrawMissileReady]; }
  // The level's flow lines: every two-vertex polygon with a "flow" property
  // leaves the world for the list (game/net_doc_ship.cpp).
  void LoadFlowLines();
  // The summed velocity and roll rate of the flow lines acting on a sphere.
  void GetFlowAt(float x, float y, float z, float radius, float* vx, float* vy, float* vz, float* rotation) const;
  const std::vector<FlowLine>& GetFlowLines() const { return flowLines_; }
  // The chase camera on (offset (0, -0.85 R, -4 R) in ship axes) or off;
  // either way the camera moves onto the ship.
  void ToggleChaseCamera();
  void SyncCameraToShip();
  const Vec3& GetChaseOffset() const { return chaseOffset_; }
  void SetChaseOffset(const Vec3& offset) { chaseOffset_ = offset; }
  const Vec3& GetChaseCamera() const { return chaseCamera_; }
  // The gun heat falls by amount, not below 0.
  void CoolGun(float amount);
  float GetGunHeat() const { return gunHeat_; }
  void SetGunHeat(float heat) { gunHeat_ = heat; }
  // The other ships, then the camera (game/net_doc_camera.cpp); the objects,
  // scripts and enemies; the fuses of destroyed level objects.
  void UpdatePlayers();
  void UpdateCamera();
  void UpdateObjects(int dtMs);
  void UpdateTimedObjects(int dtMs);
  CMapStringToPtr& DamageableGroups() { return damageableGroups_; }
  // The network receive loop (game/net_doc_network.cpp): every waiting
  // message of a network game, each through HandleNetMessage.
  void PollNetwork();
  void ReceiveMessages();
  // One message as DirectPlay handed it over: checked, acknowledged and
  // filtered (own delivery), dispatched (game/net_doc_dispatch.cpp).
  void HandleNetMessage(DPID from, DPID to, const void* data, size_t size);
  void DispatchUserMessage(const NetMessageView& message);
  const NetReceiveStats& GetReceiveStats() const { return receiveStats_; }
  // The chat line closes; the latched keys are cleared.
  void CloseConsole();
  // Players, kills, scoreboard and notices (game/net_doc_scoreboard.cpp).
  // A remote record was made: in the map, announced, on the scoreboard; the
  // host brings the newcomer up to date (objects, groups, scoreboard).
  void PlayerJoined(CDirectPlayer* player);
  void PlayerLeft(DPID id);
  // The debug line saying where another player's ship was last seen (as it
  // leaves, or as this program's level ends).
  static void LogPlayerPlace(const CDirectPlayer* player);
  // A group's state as a catch-up sent or received it (debug output).
  static void LogGroupState(const char* how, const char* who, PolygonGroup* group);
  // Another player's state block; an unknown player is made first.
  void OnPlayerData(DPID id, const uint8_t* data, size_t size);
  // Counts a kill (a null killer: the level); the local victim reports it.
  void OnPlayerKilled(CDirectPlayer* victim, CDirectPlayer* killer);
  void OnKillMessage(const NetMessageView& message);
  void OnGameStateMessage(const NetMessageView& message);
  void OnGroupStateMessage(const NetMessageView& message);
  // The 736-byte scoreboard to one player, guaranteed.
  bool SendGameState(DPID to);
  void FindScoreSlots(CDirectPlayer* victim, CDirectPlayer* killer, int* victimSlot, int* killerSlot);
  // The best count lines "%2d name", best first (count capped at the slots).
  void GetScoreLines(CString lines[], int count);
  int GetScoreSlotCount() const { return scoreSlotCount_; }
  const CString& GetScoreName(int slot) const { return scoreNames_[slot]; }
  int GetKills(int victimSlot, int killerSlot) const { return killMatrix_[victimSlot][killerSlot]; }
  // Shows or hides a group, telling the others in a network game.
  void SetObjectActive(PolygonGroup* group, bool show);
  void SendObjectState(PolygonGroup* group, DPID to);
  void SendTextMessage(const char* text, DPID to);
  // The intervals between a remote ship's state blocks (statistics).
  void RecordRemoteUpdateInterval(int ms);
  // Their count, then how many were longer than 2, 4 and 10 times the mean.
  const int32_t* GetLateMessages() const { return lateMessages_; }
  float GetAverageLatency() const { return averageLatency_; }
  void CountBytesQueued(int64_t delta);
  void ResetBytesQueued() { bytesQueued_ = 0; }
  uint32_t GetBytesQueued() const { return bytesQueued_; }
  uint32_t GetBytesSent() const { return bytesSent_; }
  uint32_t GetBytesReceived() const { return bytesReceived_; }
  // The typed word that ends g_TypedWordBuffer takes effect
  // (game/net_doc_cheats.cpp); nothing in a network game.
  void CheckCheatWords();
  // The all-weapons word: upgrades, every gun and missile, a cargo unit more
  // (at most 2) and the ammunition filled to the capacities.
  void GrantAllWeapons();
  void SetLaserUpgraded();
  void SetPulseLaserUpgraded();
  bool IsLaserUpgraded() const { return laserUpgraded_ != 0; }
  uint8_t GetOwnedGuns() const { return ownedGuns_; }
  uint8_t GetOwnedMissiles() const { return ownedMissiles_; }
  // The counter two debugging words move; nothing reads it.
  int GetTypedCounter() const { return typedCounter_; }

  // ---------------------------------------------------------------------
  // The world simulation's operations (world/document/, one file per
  // subject; each body says what it will do).
  // ---------------------------------------------------------------------
  // Targets and line of sight (world/document/targets.cpp). A target key
  // is a player's DPID in the high half (PlayerTargetKey) or an enemy's id
  // (non-zero low half); 0 names nothing.
  void SelectNextTarget();
  void UpdateTargetList();
  void CollectTargetPositions(CPtrList& list, CDirectPlayer* excluded, bool skipMarked);
  // The position of the target the key names; FALSE when it is gone (or an
  // enemy's instance is hidden).
  BOOL GetTargetPosition(uint64_t key, float* x, float* y, float* z);
  // In the view (both screen edges inside) and not hidden by the world from
  // the local ship.
  BOOL IsPointInSight(float x, float y, float z);
  BOOL IsPlayerInSight(CDirectPlayer* player);
  float DistanceToLocalShip(float x, float y, float z);
  // Every player within the vertical column (height ignored) takes
  // damagePerSecond over dtMs.
  void DamagePlayersNear(float x, float z, float radius, float damagePerSecond, int dtMs);
  // The target of the key is gone: a player no longer in the map (the local
  // one never is), an enemy the enemy manager no longer knows.
  bool IsTargetGone(uint64_t key) const;
  // The HUD's targets and the selected one (0: none).
  HudTargetMap& TargetMap() { return targetMap_; }
  uint64_t GetSelectedTarget() const { return (static_cast<uint64_t>(lockedTarget_[1]) << 32) | lockedTarget_[0]; }
  void SetSelectedTarget(uint64_t key) {
    lockedTarget_[0] = static_cast<uint32_t>(key);
    lockedTarget_[1] = static_cast<uint32_t>(key >> 32);
  }
  // Draws the marker of a target at the given distance-scaled size
  // (world/document/targets.cpp).
  void DrawTargetMarker(uint64_t key, int colour);
  // Level-group effects.
  void ParseGroupProperties();
  void UpdateButtons();
  void UpdateArcs();
  static void OnGroupEvent(PolygonGroup* group, int code);
  // The level-group records (hit points, buttons, zones, arcs, lights).
  GroupEffectRecords GroupEffects();
  // Frees them and forgets the callback world (before the world goes).
  void ReleaseGroupEffects();
  // The button map: group name -> button bits (world/document/level_group_effects.h).
  CMapStringToPtr& Buttons() { return buttons_; }
  // Model instances with "heal_ship" heal the ship near them.
  void HealFromObjects();
  // The heal and damage timers of contacts (game ms).
  uint32_t* GroupEventTimers() { return groupEventTimers_; }
  // Weapon selection and loadout (world/document/weapon_selection.cpp).
  void SelectGun(int gunBit);
  void SelectMissile(int missileBit);
  // 0: the next usable gun after the selected one; a gun bit: that gun when
  // it comes later in the cycle than the selected one (or nothing is
  // selected), else the selected one while usable.
  void CycleGun(int gun);
  void CycleMissile(int unused);
  void ResetNetworkLoadout();
  bool HasGun(int bits);
  bool HasMissile(int bits);
  // A gun the cycle may select: usable, and a laser only with energy cells.
  bool CanCycleTo(uint8_t gun);
  void SetSelectedGun(uint8_t bits);
  void ClearSelectedGun(uint8_t mask);
  void SetSelectedMissile(uint8_t bits);
  void ClearSelectedMissile(uint8_t mask);
  // Firing heats the gun: Freon takes 20 x amount first, the rest heats.
  void HeatGun(float amount);
  bool IsGunOverheated() const { return gunHeat_ > 0.95f; }
  uint32_t GetLastFireTime(int kind) const { return kind >= 0 && kind < kFireKinds ? lastFireTimes_[kind] : 0; }
  bool IsHomingToggleOn() const { return homingToggle_ != 0; }
  void ResetPlayerState();
  void RestoreInventory();
  void SaveInventory();
  // Animated objects, level pick-ups, respawn points, spinning clocks
  // (world/document/level_objects.cpp, records in level_objects.h).
  // Walks the level's instances once at level start: animation records,
  // pick-ups (single play or the host), respawn points.
  void SetUpLevelObjects();
  // The animation record of one "animated_object" instance that stays in
  // the level (its frames per second, "total_frames" or 10 frames): the
  // level start and the saved-game load.
  void AddLevelAnimation(Instance* instance);
  // A pick-up's mesh animates with the frame rate and count of its row of
  // the pick-up table (15 and 30 for a model in no row).
  void AddAnimatedObject(Instance* instance);
  // Every record of the instance goes. Whoever deletes an instance that may
  // have one calls this first, so no record outlives its instance.
  void RemoveAnimatedObject(Instance* instance);
  // The records (AnimatedObject, owned) and the respawn points (16 floats
  // each, owned), for the level start, the network respawn and tests.
  const CPtrList& AnimatedObjects() const { return animatedObjects_; }
  const CPtrList& RespawnPoints() const { return respawnPoints_; }
  void UpdateAnimatedObjects();
  void FindSpinningClocks();
  void UpdateSpinningClocks();
  // The animation records and clock hands go (they point into the level).
  void ReleaseLevelObjects();
  // The clock hands found: 0 hour, 1 minute, 2 second (null: none).
  PolygonGroup* GetClockHand(int hand) const { return hand >= 0 && hand < 3 ? clockHands_[hand] : nullptr; }
  // Flashing lights and texture animation.
  void LoadFlashingGroups();
  void LoadGroupTextureAnimations();
  void BuildTextureSequences();
  void UpdateFlashingGroups();
  void UpdateTextureAnimations();
  // Drops the records (ReleaseLevel, before the models go).
  void ReleaseSurfaceAnimation();
  // The records of the four above (null before a level is loaded).
  SurfaceAnimation* GetSurfaceAnimation() const { return surfaceAnimation_; }
  // Object factories (owner 0 is the local player; world/document/
  // object_factories.cpp and the effect files beside it). Each makes one
  // object with a fresh id, adds it to the object manager (nothing without
  // one) and plays its sound; nothing happens when the row's condition fails.
  void SpawnBulletMark(DPID owner, float x, float y, float z);
  void SpawnLaserMark(DPID owner, float x, float y, float z);
  // Only with the smoke option on; size 0 or less: the class's own.
  void SpawnStaticSmoke(DPID owner, float x, float y, float z, float size);
  void SpawnSmallExplosion(DPID owner, float x, float y, float z);
  // particles: a burst of sparks first; silent: no sound; variant: the frame
  // set (0..2); delay: ms before it shows and blasts (-1 none).
  void SpawnExplosion(DPID owner, float x, float y, float z, float size, float damage, bool particles, bool silent,
                      uint8_t variant, uint32_t delay);
  // The nuke: a size-30 explosion, a radius-100 blast, the flash and the
  // ring of fire.
  void SpawnBigExplosion(DPID owner, float x, float y, float z);
  // A force field's flash on the hit polygon (nothing for none).
  void SpawnForceField(WorldPolygon* polygon, float x, float y, float z, float size);
  void SpawnBomb(DPID owner, float x, float y, float z, float vx, float vy, float vz, uint8_t sticky);
  // One fire-wave segment: corners (x, z) inner previous, outer previous,
  // outer current, inner current; the centre; the inner edge's speed.
  void SpawnFireWave(DPID owner, const float corners[8], float x, float y, float z, float speed);
  // A plasma ball (a rubber ball) that passes by the ship instance; a
  // negative damage: the tuning table's, less up to 20 % at random (x 1.5
  // for an upgraded plasma ball).
  void SpawnFireBall(DPID owner, Instance* ship, float x, float y, float z, float vx, float vy, float vz,
                     uint8_t upgraded, float damage);
  void SpawnRubberBall(DPID owner, Instance* ship, float x, float y, float z, float vx, float vy, float vz,
                       float damage);
  // Only with the smoke option on; noSend for a copy of another player's.
  void SpawnSmoke(DPID owner, int noSend, float x, float y, float z, float size);
  void SpawnDust(DPID owner, float x, float y, float z, uint32_t colour, float size);
  void SpawnEnergyPulse(DPID owner, float x, float y, float z, float radius, float damage);
  void SpawnFlashLight(DPID owner, float x, float y, float z, float intensity, float fadeRate);
  void SpawnRespawnLight(DPID owner, float x, float y, float z);
  // Shields round the owner's ship; the static one not while one is up.
  void SpawnPlayerVortexShield(DPID owner);
  void SpawnStaticShield(DPID owner);
  // Shields round the enemy with that 64-bit id: a vortex shield for the
  // lifetime, or the static shield of a hit for 2000 ms.
  void SpawnEnemyVortexShield(uint64_t enemyId, float radius, int32_t lifetimeMs);
  void SpawnTimedVortexShield(uint64_t enemyId, float radius);
  // An uncloaking enemy's flash growing to the final radius.
  void SpawnSphere(DPID owner, float x, float y, float z, float finalRadius);
  // The level script's fire sphere: grows from radius 3 to the final radius
  // in about durationMs and bursts; a duration of 0 or less is refused.
  void SpawnFireSphere(DPID owner, float x, float y, float z, float finalRadius, int32_t durationMs);
  // Sparks (colours 0x00BBGGRR); nothing at particle level 0.
  void SpawnTracer(DPID owner, float x, float y, float z, float vx, float vy, float vz, uint32_t colour, float size,
                   bool bounces);
  void SpawnTracerBurst(DPID owner, float x, float y, float z, int count, uint32_t colour);
  void SpawnTracerSpray(DPID owner, float x, float y, float z, int count, uint32_t colour);
  void SpawnSparks(DPID owner, float x, float y, float z, float nx, float ny, float nz, uint32_t colour);
  // The part models "NAME-1.3ds", "NAME-2.3ds"... of modelName fly apart
  // from placement (the broken instance's matrix, or null); fast: speed 300,
  // else 150.
  void SpawnDebris(DPID owner, float x, float y, float z, const char* modelName, const float* placement, bool fast);
  // One falling part of the model (nothing for none).
  void SpawnFallingPart(DPID owner, float x, float y, float z, Model* part, const float* placement, bool fast);
  // A piece of the level's rubble ("debris%02d.3ds"); nothing without any.
  void SpawnRandomDebris(DPID owner, float x, float y, float z);
  // The cached centre of a part model by its (any case) file name; false,
  // nothing written, when not cached.
  bool GetDebrisPart(const char* partName, float* x, float* y, float* z) const;
  // Caches the part model's centre under its upper-cased name (once).
  void CacheDebrisPart(const char* partName, Model* part);
  void SpawnBackPack(DPID owner, float x, float y, float z);
  // The textures whose names start with prefix (any case) followed by their
  // number 0..30, gaps filled from above, numbered from 1 shifted down;
  // cached by prefix. None at all ends the program (CGameApp::FatalError).
  void LoadFrameSequence(const CString& prefix, Texture* frames[31], int* count);
  // The same without the fatal error: false, count 0, when no texture has
  // the prefix (saved games, whose prefixes come from a file).
  bool FindFrameSequence(const CString& prefix, Texture* frames[31], int* count);
  // The frame-sequence and debris-part caches go (they point into the level).
  void ReleaseEffectCaches();
  // The camera's position (the viewer record; the local ship's without one).
  void GetViewerPosition(float* x, float* y, float* z) const;
  // Every player, the enemies within radius and (unless noLevelDamage) the
  // level objects a sphere of radius touches; nothing below strength 0.01.
  void ApplyBlastDamage(float x, float y, float z, float radius, float strength, DPID source, bool noLevelDamage);
  // Within 1000 units of the local ship the explosion flash starts now.
  void FlashNearbyExplosion(float x, float y, float z);
  Model* GetBombModel() const { return nukeBombModel_; }
  Texture* GetFireWaveTexture() const { return fireWaveTexture_; }
  // Gun fire (world/document/gun_fire.cpp). Owner 0 is the local player,
  // whose shots are also sent to the others; the source instance is never
  // hit by its own shot.
  void FlushDeferredDeletes();
  void FireGun();
  void FireHitscan(DPID owner, Instance* source, float x0, float y0, float z0, float x1, float y1, float z1,
                   float damage);
  void FireBullet(DPID owner, Instance* source, float x, float y, float z, float vx, float vy, float vz,
                  float damage, uint8_t secondTexture);
  // 18 slugs; damage below 0: the tuning's slug damage with its spread.
  void FireAcceleratorSlug(DPID owner, Instance* source, float x, float y, float z, float vx, float vy, float vz,
                           float damage);
  // The words of a 0x4D30 message at offsets 44, 48, 52, 20, 24, 28, 32, 36,
  // 40, 56, 60 (direction, start, aim, segment length, damage, in that
  // order) and its bytes 64 (hit effects) and 65 (collide).
  void DischargeArc(DPID owner, Instance* source, const float words[11], uint8_t hitEffects, uint8_t collide);
  void AddArcSegment(float x0, float y0, float z0, float x1, float y1, float z1, float width, Texture* texture);
  // Bends a shot's end towards the nearest target in a narrow cone and
  // places the target marker on it.
  void AutoAim(float x0, float y0, float z0, float* x1, float* y1, float* z1);
  bool FindTargetInCone(float x0, float y0, float z0, float* ax, float* ay, float* az);
  void SetTargetMarker(int x, int y);
  bool IsPulseLaserUpgraded();
  int EffectPolygonCount() const { return effectPolygons_.GetCount(); }
  // Missile launch (world/document/missile_launch.cpp). Orientation: the
  // ship's 16 floats (rows side, up, forward, position).
  void FireMissile();
  BOOL LaunchPlayerHoming(DPID owner, Instance* ship, uint32_t targetLow, uint32_t targetHigh,
                          const float orientation[16], float radius);
  void LaunchPlayerRocket(DPID owner, Instance* ship, const float orientation[16], float radius);
  void LaunchMicroMissiles(DPID owner, Instance* ship, const float orientation[16], float radius);
  void ThrowNuke(DPID owner, const float orientation[16], float radius);
  BOOL LaunchHomingMissile(DPID owner, Instance* launcher, uint32_t targetLow, uint32_t targetHigh, float x, float y,
                           float z, float vx, float vy, float vz, float damage);
  BOOL LaunchHomingMissileWithTail(DPID owner, Instance* launcher, uint32_t targetLow, uint32_t targetHigh, float x,
                                   float y, float z, float vx, float vy, float vz, float tx, float ty, float tz,
                                   float damage);
  void LaunchMissile(DPID owner, Instance* launcher, float x, float y, float z, float vx, float vy, float vz,
                     float damage);
  void LaunchMissileWithTail(DPID owner, Instance* launcher, float x, float y, float z, float vx, float vy, float vz,
                             float tx, float ty, float tz, float damage);
  void LaunchSentryMissile(DPID owner, Instance* launcher, float x, float y, float z, float vx, float vy, float vz,
                           float damage);
  void LaunchSentryMissileWithTail(DPID owner, Instance* launcher, float x, float y, float z, float vx, float vy,
                                   float vz, float tx, float ty, float tz, float damage);
  void DeploySentry(DPID owner, float x, float y, float z);
  // The script's "launch_missile": a homing missile from the ship at the
  // enemy whose name starts with the text, else a rocket.
  void LaunchMissileFromTable(const CString& enemyName);
  void UpdateSatellite();
  // Damage to level objects (world/document/level_object_damage.cpp).
  BOOL DestroyLevelObject(PolygonGroup* group);
  // A level object takes damage (shots, and blasts through the group
  // callback).
  void DentObject(PolygonGroup* group, float damage);
  BOOL IsDestructible(WorldPolygon* polygon);
  // TRUE when a liquid or a force field absorbed the hit (no mark, no
  // ricochet); the polygon's group is dented either way.
  bool OnPolygonHit(WorldPolygon* polygon, float x, float y, float z, float damage);
  void BreakLevelObject(PolygonGroup* group);
  // A hole on the wall where a shot from (fx, fy, fz) struck
  // (world/document/hazard_zones.cpp).
  void OnSurfaceHit(WorldPolygon* polygon, float hx, float hy, float hz, float fx, float fy, float fz, float scale);
  const BulletHole& GetBulletHole(int slot) const { return holeRing_[slot]; }
  int GetBulletHolesUsed() const { return holeRingUsed_; }
  // Pick-up effects on the inventory (world/document/inventory_pickups.cpp).
  // The ammunition operations fill their counter up to its capacity with a
  // message of the item's amount and answer false, changing nothing, when
  // it was full already (the gun ammunitions also let the gun cycle take
  // their gun). Capacities: the tuning's for the gun ammunitions; rockets,
  // homing and micro missiles (cargo units + 1) x per unit; nukes, vortex
  // shields and sentries cargo units x per unit.
  bool AddCannonShells(int n);
  bool AddPlasmaBolts(int n);
  bool AddCASlugs(int n);
  bool AddEnergyCells(int n);
  bool AddTacticalNukes(int n);
  bool AddRockets(int n);
  bool AddHomingMissiles(int n);
  bool AddMicroMissiles(int n);
  bool AddVortexShields(int n);
  bool AddSentryMissiles(int n);
  // True when the autocannon was newly given; while it is usable a pick-up
  // raises its upgrade (at most 2) instead.
  bool PickUpAutocannon();
  void PickUpLaser();
  void PickUpPulseLaser();
  void PickUpCoreAccelerator();
  void PickUpMolniaArc();
  void PickUpPlasmaCoil();
  void PickUpSatelliteTransmitter();
  void PickUpCargoExtension();
  // Freon rises by n, at most 100.
  void AddFreon(int n);
  void AddOwnedGun(uint8_t bits);
  uint8_t GetAutocannonUpgrade() const { return autocannonUpgrade_; }
  // The cargo model ("cargo.3ds") that back packs show; tests may take it
  // away.
  Model* GetCargoModel() const { return cargoModel_; }
  void SetCargoModel(Model* model) { cargoModel_ = model; }
  // Hazard zones.
  void ApplyHazardZones();
  // Script cameras and countdown (single play only; the camera commands do
  // nothing in a network game). The four follower slots:
  static constexpr int kCameraPosition = 0;
  static constexpr int kCameraTarget = 1;
  static constexpr int kPlayerPosition = 2;
  static constexpr int kPlayerTarget = 3;
  // "camerapath": the ship stops, the script camera flies along the path;
  // without a camera target of its own it looks 200 ms ahead on the same
  // path. "cameratargetpath": the point the camera looks at. "playerpath":
  // the ship along the path, looking 200 ms ahead unless a player target
  // runs. "playertargetpath": the point the ship looks at.
  void CreateCustomCamera(const CString& path, float seconds);
  void StartCameraTargetPath(const CString& path, float seconds);
  void StartPlayerPath(const CString& path, float seconds);
  void StartPlayerTargetPath(const CString& path, float seconds);
  void UpdateCameras(int dtMs);
  // "stopcamera": the four followers go and the script camera ends.
  void ReleaseCameras();
  // "countdown": ms to go and the event raised (source "countdown") once it
  // has run out; a running countdown is replaced.
  void StartCountdown(int ms, const CString& event);
  void UpdateCountdown(int dtMs);
  // Flashes and telefrag.
  float GetExplosionFlash();
  void DecayHitFlash();
  void AddHitFlash(float amount);
  // The local ship dies when the point is within 1.8 times its collision
  // radius (a ship respawning on top of it); nothing for a point that is no
  // number or without a living local ship.
  void CheckTelefrag(float x, float y, float z);
  // "log": the level message of the key (upper-cased) in the message log,
  // then the spoken message of an "M" key or the notification sound.
  void ShowScriptMessage(const CString& key);

 private:
  // Binds the special textures by name in one pass over the texture list,
  // then checks that each is there (LoadLevel's last steps).
  void BindSpecialTextures();
  void CheckSpecialTextures();
  // The level start's marker instances: sensors, player starts, and in a
  // network game every instance that no object claims.
  void PlaceSensors();
  void PlacePlayerStarts();
  // Everything of a loaded level goes: the ship, the players, the managers,
  // the effects, the world and the engine's models and textures. The level
  // loader calls it first when the document already holds a level.
  void ReleaseLevel();
  // A level start that can't go on: the menus come back, with the message
  // when one is given; returns false.
  bool AbandonStart(const char* message);
  // Parts of the HUD (game/net_doc_hud.cpp): the black bars over and under
  // a script camera's picture; the mission-accomplished screen; the
  // scoreboard and the chat line of a network game.
  void DrawLetterbox();
  void DrawMissionAccomplished();
  void DrawScoreboardAndChat();
  // The saved game's body after the header, in file order (storing) and the
  // loader's steps after the header (game/net_doc_saved_game.cpp).
  void StoreSavedGame(CArchive& archive);
  void LoadSavedGameBody(CArchive& archive, const char* path);
  // The level's instances after a saved-game load: respawn points kept as
  // matrices, animated static objects kept (with their animation records),
  // every other instance deleted.
  void KeepSavedGameInstances();
  // A load that failed: what it read and the level go, the stand-by picture
  // with them.
  void AbandonSavedGameLoad(CArchive* archive);

  // -- camera bytes
  uint8_t reserved_ = 0;
  uint8_t scriptCamera_ = 0;  // a script camera flies
  // -- players
  PlayerMap players_;
  // -- object ids: seeded from the random numbers so that the ids of
  // different players rarely collide
  uint32_t nextObjectId_ = 0;
  // -- scoreboard: kills between the ten slots (row victim, column killer)
  int32_t killMatrix_[10][10] = {};
  CString scoreNames_[10];
  int32_t scoreSlotCount_ = 0;
  // -- view
  uint8_t statsOverlay_ = 0;  // the statistics overlay is shown
  uint8_t cheatByte_ = 0;
  CNetView* view_ = nullptr;
  // -- player: null before a level starts
  CDirectPlayer* localPlayer_ = nullptr;
  Instance* shipInstance_ = nullptr;  // draws the local ship
  uint8_t chaseView_ = 0;
  // -- camera
  Vec3 chaseOffset_ = {0, 0, 0};
  Vec3 cameraVector2_ = {0, -100, -10};
  Vec3 chaseCamera_ = {0, 0, 0};  // where the chase camera is
  // The game time up to which the chase camera has caught up (its 33-ms
  // steps); 0 until the first chase frame.
  uint32_t chaseStepTime_ = 0;
  std::vector<FlowLine> flowLines_;
  uint8_t shipCollision_ = 1;
  uint8_t electricDamage_ = 0;
  // -- world
  World* world_ = nullptr;
  View* viewer_ = nullptr;                       // the view's camera record
  CPathPoint* cameraSlots_[4] = {};              // camera position and target, player position and target (owned)
  Vec3 scriptLook_ = {0, 0, 1};                  // the script camera's last direction (unit)
  Model* shipModel_ = nullptr;                   // "hero.3ds"
  // -- debris: the level's "debris%02d.3ds" models one after the other
  Model* debrisModels_[20] = {};
  int32_t debrisCount_ = 0;
  // -- controls (written by the ship's controls)
  int32_t steering_ = 5;  // 1..9 on a 3 x 3 grid, 5 the centre
  uint8_t fireHeld_ = 0;
  // -- HUD: redraw counters of the missile-ready picture, the weapon slots,
  // one more panel and the message area (2 = draw twice)
  int32_t hudRedraw_[4] = {};
  // -- HUD fonts: small (6-pixel cells, the text renderer), large, large lit
  CBitmapFont fontSmall_;
  CBitmapFont fontLarge_;
  CBitmapFont fontLargeLit_;
  // -- timers (game ms): the object step's last time; the last use of each
  // gun and missile kind; the texture animations' last time; one more
  uint32_t objectStepTime_ = 0;
  uint32_t lastFireTimes_[12] = {};
  uint32_t textureAnimationTime_ = 0;
  uint32_t spareTime_ = 0;
  // -- pause and state bytes
  uint8_t frozen_ = 0;
  uint8_t pulsingDepthCue_ = 0;
  uint8_t clockPaused_ = 0;
  uint8_t ready_ = 0;
  // -- hit flash: level (0..40) and the time of its last decay
  float hitFlash_ = 0.0f;
  uint32_t hitFlashDecayTime_ = 0;
  // -- weapon
  uint8_t homingToggle_ = 0;    // rockets / homing missiles
  int32_t countdownMs_ = -1;    // the script's countdown; negative = off
  CString countdownEvent_;
  // -- network receive buffer (grown by the receive loop up to a ceiling)
  uint8_t* receiveBuffer_ = nullptr;
  int32_t receiveCapacity_ = 0;
  NetDuplicateFilter duplicates_;
  NetReceiveStats receiveStats_;
  // -- texts: LOGS.TXT, upper-case key -> text
  CMapStringToString texts_;
  // -- effect lists of the world simulation, filled from the level's group
  // properties
  CPtrList effectPolygons_;     // world polygons that live for one frame
  uint32_t lockedTarget_[2] = {};  // the selected target key, low and high
  HudTargetMap targetMap_;         // the HUD's targets (world/document/hud_targets.h)
  CMapStringToPtr frameSequences_;  // frame-sequence cache
  CMapStringToPtr debrisParts_;     // debris-part cache
  CMapStringToPtr damageableGroups_;  // group name -> structural record
  SurfaceAnimation* surfaceAnimation_ = nullptr;  // flashing groups, texture animation (owned)
  CPtrList animatedObjects_;
  CPtrList arcs_;
  CPtrList attachedLights_;  // AttachedLight records (owned)
  // -- frame: set while a frame renders (the frame event of a threaded
  // program; one thread needs only the flag)
  uint8_t frameRendering_ = 0;
  // -- weapons: gun bits 1 autocannon, 2 plasma coil, 4 laser, 8 pulse laser,
  // 16 molnia arc, 32 core accelerator, 64 satellite transmitter; missile
  // bits 1 rockets, 2 homing, 4 micro, 8 nuke, 32 vortex, 64 sentry
  uint8_t selectedMissile_ = 0;
  uint8_t selectedGun_ = 0;
  uint8_t ownedMissiles_ = 0;
  uint8_t ownedGuns_ = 0;
  uint8_t autocannonUpgrade_ = 0;  // 0..2
  uint8_t cargoUnits_ = 0;         // 0..2
  // -- radar: the image's width and height (equal); the game time of the
  // last rebuild and the blink deadline; shown
  int32_t radarValues_[2] = {};
  uint32_t radarTimes_[2] = {};
  uint8_t radarShown_ = 1;
  // the image (radarCapacity_ bytes, rows from the top)
  std::unique_ptr<uint8_t[]> radarImage_;
  int32_t radarCapacity_ = 0;
  // the beacon: shown while its group is, at the group's centre
  uint8_t beaconActive_ = 0;
  float beaconPosition_[3] = {};
  // the missile-ready state last drawn
  uint8_t missileReadyDrawn_ = 0;
  // -- hazards
  CPtrList hazardZones_;
  // -- console: the network chat line, null when closed
  CEditLine* console_ = nullptr;
  // -- ammunition: cannon shells, plasma bolts, tactical nukes,
  // core-accelerator slugs, rockets, homing, micro, sentry, vortex shields,
  // energy cells
  int32_t ammo_[10] = {};
  float gunHeat_ = 0.0f;  // above 0.95 blocks firing
  float freon_ = 0.0f;    // at most 100
  // -- identity: the level's "FILE_ID"
  uint8_t fileId_[4] = {};
  // -- strings
  CString strings_[7];
  // -- HUD message log: text, colour (palette index; 0 or less: the font's
  // own) and whether the line came with the latest message
  CString messageText_[kMessageLines];
  int32_t messageColour_[kMessageLines] = {};
  uint8_t messageFresh_[kMessageLines] = {};
  // -- marks: the camera's aim marker and the ring of bullet holes
  WorldPolygon* aimMarker_ = nullptr;
  BulletHole holeRing_[kBulletHoleSlots] = {};
  int32_t holeRingUsed_ = 1;
  int32_t holeRingNext_ = 0;
  // -- special textures
  Texture* bulletHoleTextures_[2] = {};
  // -- HUD pictures: weapon slots "W0A".."W9C" (weapon digit, then state
  // letter), missile ready and reloading, the ship's status by health and
  // shield ("HERO2d".."HERO4b") and by health alone ("HERO2".."HERO4")
  CPicture weaponPictures_[kHudWeaponPictures];
  CPicture missileReadyPicture_;
  CPicture missileReloadPicture_;
  CPicture shipShieldPictures_[kHudShipShieldPictures];
  CPicture shipPictures_[kHudShipPictures];
  // -- flashes
  uint32_t explosionFlashTime_ = 0;
  float explosionFlash_ = 0.0f;
  int32_t targetMarkerX_ = 0;
  int32_t targetMarkerY_ = 0;
  uint8_t targetMarkerShown_ = 0;
  int32_t shakeLevel_ = 0;  // 0..1500 through RaiseShake
  // -- state bytes
  uint8_t gameRunning_ = 0;
  std::atomic<uint8_t> loading_{0};  // read by the input thread
  // -- textures
  Texture* laserTexture_ = nullptr;
  Texture* pulseLaserTexture_ = nullptr;
  Texture* molniaTexture_ = nullptr;
  // -- upgrades and flags
  uint8_t laserUpgraded_ = 0;
  uint8_t pulseLaserUpgraded_ = 0;
  int32_t typedCounter_ = 0;
  uint8_t hudByte_ = 1;
  uint8_t hudOff_ = 0;  // the HUD and the cockpit are hidden
  uint8_t displaySwitching_ = 0;  // set for the duration of a display change
  uint8_t invulnerable_ = 0;
  uint8_t staticShield_ = 0;      // a static shield is up
  uint8_t surfaceBusy_ = 0;       // the screen surface is locked
  // -- radar: the beacon ring's radius in radar pixels
  float radarScale_ = 2.0f;
  // -- lists: respawn points (placement matrices, in turn for network
  // respawns) and two more
  CPtrList respawnPoints_;
  CPtrList lists_[2];
  // -- spinning clocks: the hour, minute and second hand groups
  PolygonGroup* clockHands_[3] = {};
  int32_t clockState_ = 0;
  // -- tuning
  TuningBlock tuning_ = {};
  // -- textures
  Texture* fireWaveTexture_ = nullptr;
  Texture* bulletTexture_ = nullptr;
  Texture* bodySkins_[8] = {};
  Texture* wingSkins_[8] = {};
  Texture* energyPulseFrames_[8] = {};
  // -- network statistics
  uint32_t bytesQueued_ = 0;  // in the own delivery layer
  uint32_t bytesReceived_ = 0;
  uint32_t bytesSent_ = 0;
  int32_t statisticsTime_ = 0;  // game time of the last rate update
  float receivedRate_ = 0.0f;   // bytes per second
  float sentRate_ = 0.0f;
  // -- event timers of the level groups
  uint32_t groupEventTimers_[2] = {};
  // -- flash bytes
  uint8_t hazardFlash_ = 0;  // the ship is inside a hazard zone
  uint8_t shieldHit_ = 0;
  // -- mission time (ms)
  int32_t missionTime_ = 0;
  // -- lockouts (ms during which the player can't fire)
  int32_t gunLockout_ = 0;
  int32_t missileLockout_ = 0;
  // -- buttons: group name -> button record
  CMapStringToPtr buttons_;
  // -- models
  Model* rocketModel_ = nullptr;
  Model* homingModel_ = nullptr;
  Model* nukeBombModel_ = nullptr;
  Model* cargoModel_ = nullptr;
  Model* sentryModel_ = nullptr;
  // -- camera target: the enemy the camera tracks; the beacon group of the
  // script command create_beacon
  void* cameraEnemy_ = nullptr;
  PolygonGroup* beaconGroup_ = nullptr;
  // -- settings: key bindings (17 actions x 2 keys), mouse and joystick
  int32_t keyBindings_[17][2] = {};
  float mouseSensitivityX_ = 0.0f;
  float mouseSensitivityY_ = 0.0f;
  uint8_t mouseSwap_ = 0;
  uint8_t joystickSwap_ = 0;
  uint8_t joystickEnable_ = 0;
  // -- latency
  int32_t lateMessages_[4] = {};
  float averageLatency_ = 0.0f;
  int32_t latencyValues_[3] = {};
};

extern CNetDoc* g_pNetDoc;
inline CNetDoc* GetNetDoc() { return g_pNetDoc; }

// Small services of the document's Part, used across the game
// (game/net_doc_services.cpp).

// Colours of the surface kinds (0x00BBGGRR): 1 water, 2 lava, 3 sludge; 0
// for any other.
int ColourForType(int type);
// The colour (0x00BBGGRR) of the texel under a point of the polygon,
// halfway to grey and brightened for sparks; white without a texture or for
// a very dark or system colour (world/document/tracer_effects.cpp).
uint32_t SurfaceColourAt(WorldPolygon* polygon, float x, float y, float z);
// The "surface" property, ignoring case: 1 "water", 2 "lava", 3 "sludge";
// 0 for anything else, no property or none given. The group's own list,
// then the world's and the global one; the polygon's first.
int GetSurfaceType(PolygonGroup* group);
int GetSurfaceType(WorldPolygon* polygon);
// Dresses the ship in the skins of a two-letter code: body from the first
// letter, wing from the second ('A' = 0, capped at 7; a character code of 64
// or below gives 0). Nothing for no ship or a code shorter than 2.
void ApplyShipSkin(Instance* ship, const CString& code);
// The palette entry 10..245 nearest to the colour by the HUD's weighting
// (green counts 5/4); the first of equals; 10 with no game entries loaded.
int NearestPaletteIndex(int r, int g, int b);
// The pick-up kind of a model (its row of the table, 0..32; the row's two
// numbers into a and b); -1 with a and b untouched when no row has it.
int FindPickupType(const char* modelName, int* a, int* b);
// Reads "LOGS.TXT" text into table: lines "KEY: text", keys of 3 to 8
// characters stored upper-cased (a later line replaces an earlier one), the
// text up to the line's end. The parse ends at the first line that has no
// ": " or whose key is shorter or longer; the lines before it are kept.
// Never reads past length; a NUL ends the text.
void ParseTextTable(const char* text, size_t length, CMapStringToString* table);
