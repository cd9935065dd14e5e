#include "tools/builder/fuzz_seeds.h"

#include <cstdint>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "platform/framework/file.h"
#include "platform/framework/ob_list.h"
#include "platform/framework/serial_archive.h"
#include "platform/enet/enet_network.h"
#include "platform/process_services.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/bmp_writer.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/crafted_files.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/demo_models.h"
#include "tools/builder/model_writer.h"
#include "tools/builder/object_graph_writer.h"
#include "tools/builder/palette_builder.h"
#include "tools/builder/rooms_level.h"
#include "tools/builder/saved_game_writer.h"
#include "tools/builder/smacker_writer.h"
#include "tools/builder/texture_writer.h"

// Records of the shape the class-library harness registers (CFuzzRecord,
// fuzz/harnesses/serial_archive.cpp): u16 id, string, i32, double, i32 (from
// schema 2 on), a child object. The class is registered by name wherever
// this file is linked, so only the seed writer links it, never a harness.
class CFuzzRecord : public CObject {
  DECLARE_SERIAL_CLASS(CFuzzRecord)
 public:
  uint16_t id = 0;
  CString name;
  int32_t value = 0;
  double weight = 0;
  int32_t extra = 0;
  CObject* child = nullptr;
  void Serialize(CArchive& ar) override {
    if (ar.IsStoring()) ar << id << name << value << weight << extra << child;
  }
};
IMPLEMENT_SERIAL_CLASS(CFuzzRecord, CObject, VERSIONABLE_SCHEMA | 2)

namespace {

using Bytes = std::vector<uint8_t>;
using Seeds = std::map<std::string, Bytes>;

Bytes TextBytes(const std::string& text) { return Bytes(text.begin(), text.end()); }

// The demo models a world's instances and a path need, without the larger
// ones.
std::vector<BuilderModel> SmallModels() {
  std::vector<BuilderModel> small;
  for (BuilderModel& model : MakeDemoModels()) {
    if (model.name == kDemoTestRigModel || model.name == kDemoSensorModel || model.name == kDemoPlayerStartModel) {
      small.push_back(std::move(model));
    }
  }
  return small;
}

// Seeds of the data-archive harness: archives of a few members.
Seeds ArchiveSeeds() {
  ArchiveWriter three;
  three.AddMember("FIRST", TextBytes("one two three"));
  three.AddMember("EMPTY", {});
  ByteWriter numbers;
  for (int i = 0; i < 40; ++i) numbers.I32(i * 7919);
  numbers.CString("text at the end");
  three.AddMember("M1.CCW", numbers.Data());
  return {{"three-members", three.Build()}, {"no-members", ArchiveWriter().Build()},
          {"pool-claim", CraftedMissionWithPoolClaim(536870911)}};
}

// The object-graph harness reads steps (see fuzz/harnesses/object_graph.cpp):
// 0 a property list, 1 a node reference, 2 a leaf reference, 3 a string.
struct GraphNode {
  int code;
  const GraphNode* next;
  const GraphNode* prev;
};
void WriteNode(ObjectGraphWriter& graph, const GraphNode* node) {
  graph.Ref(kObjKindLight, node, [node](ObjectGraphWriter& g) {
    WritePropertyList(g.Out(), {{"name", "node"}, {"colour", "red"}});
    g.Out().I32(node->code);
    WriteNode(g, node->next);
    WriteNode(g, node->prev);
  });
}
struct GraphLeaf {
  int width;
  std::string name;
};
void WriteLeaf(ObjectGraphWriter& graph, const GraphLeaf* leaf) {
  graph.Ref(kObjKindTexture, leaf, [leaf](ObjectGraphWriter& g) {
    g.Out().I32(leaf->width);
    g.Out().CString(leaf->name);
  });
}

Seeds GraphSeeds() {
  // Three nodes in a ring both ways, one leaf named twice.
  GraphNode a{1, nullptr, nullptr}, b{2, nullptr, nullptr}, c{3, nullptr, nullptr};
  a.next = &b, b.next = &c, c.next = &a;
  a.prev = &c, b.prev = &a, c.prev = &b;
  const GraphLeaf leaf{64, "WALL01.BMP"};
  ByteWriter out;
  out.I32(0);
  WritePropertyList(out, {{"name", "first"}, {"speed", "12"}});
  {
    ObjectGraphWriter graph(out);
    out.I32(1);
    WriteNode(graph, &a);
    out.I32(2);
    WriteLeaf(graph, &leaf);
    out.I32(1);
    WriteNode(graph, &c);
    out.I32(2);
    WriteLeaf(graph, &leaf);
  }
  out.I32(3);
  out.CString("the end");
  return {{"ring-and-leaf", out.Data()}};
}

Seeds TextureSeeds() {
  const BuilderPalette palette = MakeDemoPalette();
  BuilderTexture plain{"WALL.BMP", 32, 32, {}, 0, {{"kind", "wall"}}};
  BuilderTexture keyed{"!GRID.BMP", 64, 32, {}, 0, {}};
  for (int i = 0; i < 32 * 32; ++i) plain.level0.push_back(static_cast<uint8_t>(10 + i % 32));
  for (int i = 0; i < 64 * 32; ++i) keyed.level0.push_back(i % 5 ? 255 : static_cast<uint8_t>(60 + i % 7));
  ArchiveWriter archive;
  if (!AddTextureArchive(&archive, palette, {plain, keyed})) return {};
  return {{"two-textures", archive.Build()}};
}

Seeds ModelSeeds() {
  return {{"small-models", ObjectsMember(SmallModels())}, {"no-models", ObjectsMember({})}};
}

Seeds WorldSeeds() { return {{"one-room", RoomsLevelMember(1)}}; }

Seeds MissionSeeds() {
  ArchiveWriter archive;
  if (!AddObjectsMember(&archive, SmallModels()) || !archive.AddMember("M1.CCW", RoomsLevelMember(1))) return {};
  return {{"one-room", archive.Build()}, {"pool-claim", CraftedMissionWithPoolClaim(536870911)}};
}


Seeds SerialArchiveSeeds() {
  CFuzzRecord leaf, parent;
  leaf.id = 2;
  leaf.name = "leaf";
  leaf.weight = 0.5;
  parent.id = 1;
  parent.name = "a name of more than a few letters";
  parent.value = -7;
  parent.child = &leaf;
  CObList inner, outer;
  inner.AddTail(&leaf);
  outer.AddTail(&parent);
  outer.AddTail(&inner);
  outer.AddTail(&leaf);
  CMemFile file;
  {
    CArchive ar(&file, CArchive::store);
    // The harness reads an object, a string and a count in turn.
    ar.WriteObject(&outer);
    ar << CString("saved game");
    ar.WriteCount(3);
    ar.WriteObject(&parent);
    ar << CString("");
    ar.WriteCount(0x12345);
    ar.WriteObject(nullptr);
    ar.Close();
  }
  return {{"lists-and-records", file.Data()}};
}

Seeds SettingsSeeds() {
  return {{"sections", TextBytes("[Settings]\nVolume=5\nName=Pilot \\\\ one\\r\\n\n; a comment\n\n"
                                 "[Keys]\nFire=57\nnot a setting\n[Recent File List]\nFile1=C:\\GAMES\\SAVE1.SAV\n")},
          {"empty", {}}};
}

Seeds InputScriptSeeds() {
  return {{"every-kind", TextBytes("# a comment\n"
                                   "100 key ESCAPE down\n120 key ESCAPE up\n200 press F1\n300 type hello\n"
                                   "400 mouse move 5 -3\n410 mouse wheel 1\n420 mouse down left\n430 mouse up left\n"
                                   "500 joystick plug 3 8\n510 joystick axis x -32768\n520 joystick button 2 down\n"
                                   "530 joystick hat 9000\n540 joystick hat centre\n550 joystick unplug\n"
                                   "600 joystick plug 2 4 nohat\n1000 quit\n")}};
}

Seeds PictureSeeds() {
  const BuilderPalette palette = MakeDemoPalette();
  BuilderPicture wide{9, 3, {}};
  for (int i = 0; i < 27; ++i) wide.pixels.push_back(static_cast<uint8_t>(i * 9));
  BuilderPicture dot{1, 1, {109}};
  return {{"nine-by-three", BmpFileBytes(wide, palette)}, {"one-pixel", BmpFileBytes(dot, palette)}};
}

Seeds SmackerSeeds(std::string* error) {
  SmackerMovie movie;
  movie.width = 16;
  movie.height = 8;
  movie.frameMicros = 100000;
  std::vector<uint8_t> palette, other;
  for (int i = 0; i < 768; ++i) {
    palette.push_back(SmackerLevelValue(i % 64));
    other.push_back(SmackerLevelValue((i * 3) % 64));
  }
  std::vector<uint8_t> pixels(16 * 8);
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<uint8_t>(i * 5);
  movie.frames.push_back({pixels, palette});
  pixels[20] = 1;
  movie.frames.push_back({pixels, {}});
  movie.frames.push_back({pixels, other});
  movie.sound.rate = 11025;
  for (int i = 0; i < 300; ++i) movie.sound.samples.push_back(static_cast<int16_t>(128 + i % 50));
  Bytes bytes;
  if (!SmackerFileBytes(movie, &bytes, error)) return {};
  return {{"three-frames", bytes}};
}

// Saved games of the demo mission: a plain one, and one with a moving group,
// a timed event, a damageable group and a looping sound on a group.
Seeds SavedGameSeeds() {
  SavedGameDescription plain;
  SavedGameDescription full;
  full.description = "FUZZ";
  full.nextMission = "M2.CAN";
  SavedGroupRecord sign;
  sign.name = kDemoBlinkingSignGroup;
  sign.moverType = -1;
  sign.values[1] = 0.5f;
  sign.values[2] = 1.0f;
  sign.values[4] = 2.0f;
  sign.running = 1;
  full.groups.push_back(sign);
  full.state.countdownMs = 12000;
  full.state.countdownEvent = "hide exit_sign";
  full.state.ammo[0] = 40;
  full.state.inventoryAmmo[2] = 3;
  full.timedEvents = {{"show exit_sign", 300}};
  full.damageable = {{kDemoHeldLampGroup, 5.0f, 2}};
  full.sounds = {{"HUM", 1, 2, 3, -100, kDemoBlinkingSignGroup}};
  Seeds seeds = {{"plain", WriteSavedGame(plain)}, {"full", WriteSavedGame(full)}};
  // Damaged ones, which the loader must refuse cleanly (under the
  // sanitizers too): cut in each part, lengths and counts far beyond the
  // file, classes it doesn't know or doesn't expect.
  SavedGameLayout at;
  const Bytes good = WriteSavedGame(full, &at);
  auto cut = [&good](size_t size) { return Bytes(good.begin(), good.begin() + static_cast<long>(size)); };
  auto word = [&good](size_t offset, uint32_t value) {
    Bytes bytes = good;
    for (int i = 0; i < 4; ++i) bytes[offset + i] = static_cast<uint8_t>(value >> (8 * i));
    return bytes;
  };
  auto byte = [&good](size_t offset, uint8_t value) {
    Bytes bytes = good;
    bytes[offset] = value;
    return bytes;
  };
  seeds["cut-in-group"] = cut(at.firstGroup + 40);
  seeds["cut-in-player"] = cut(at.playerClass + 30);
  seeds["cut-in-events"] = cut(at.events + 3);
  seeds["cut-in-sounds"] = cut(at.sounds + 6);
  seeds["huge-group-count"] = word(at.groupCount, 0x7FFFFFFF);
  seeds["huge-damageable-count"] = word(at.damageableCount, 0x7FFFFFFF);
  seeds["huge-sound-count"] = word(at.sounds, 0xFFFFFFFF);
  seeds["unknown-player-class"] = byte(at.playerClass + 12, 'X');
  seeds["unknown-list-class"] = byte(at.objectList + 6, 'X');
  seeds["huge-countdown-event"] = [&] {
    Bytes bytes = good;
    const uint8_t huge[] = {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x80};
    bytes.erase(bytes.begin() + static_cast<long>(at.countdownEvent));
    bytes.insert(bytes.begin() + static_cast<long>(at.countdownEvent), std::begin(huge), std::end(huge));
    return bytes;
  }();
  SavedGameDescription unknownGroup = full;
  unknownGroup.groups[0].name = "no_such_group";
  seeds["unknown-group"] = WriteSavedGame(unknownGroup);
  return seeds;
}

}  // namespace

// Network messages as the receive path gets them: a first byte of the
// harness's own (bit 0: the game's own delivery runs) and the message:
// code 0x32100000 + type, sender, time, then the fields.
Bytes NetMessage(uint8_t control, uint32_t type, size_t size, uint8_t action) {
  Bytes bytes(size + 1, 0);
  bytes[0] = control;
  const uint32_t words[3] = {0x32100000u + type, 0x20, 1000};
  for (int w = 0; w < 3; ++w) {
    for (int b = 0; b < 4; ++b) bytes[1 + 4 * w + b] = static_cast<uint8_t>(words[w] >> (8 * b));
  }
  if (size > 16) bytes[17] = action;
  return bytes;
}

Seeds NetReceiveSeeds() {
  Seeds seeds = {
      {"kill", NetMessage(0, 0x4D2E, 20, 1)},          {"kill-guaranteed", NetMessage(1, 0x14D2E, 20, 1)},
      {"missile", NetMessage(0, 0x4D02, 72, 1)},       {"arc", NetMessage(0, 0x4D30, 68, 1)},
      {"group-state", NetMessage(0, 0x4D29, 28, 2)},   {"supply", NetMessage(0, 0x4D0D, 84, 1)},
      {"back-pack", NetMessage(0, 0x4D3F, 116, 1)},    {"ack", NetMessage(1, 0x4B00, 12, 0)},
      {"game-state", NetMessage(0, 0x4D13, 736, 1)},
  };
  Bytes chat = NetMessage(1, 0x14D34, 20 + 5, 0);
  const char text[] = "A> HI";
  for (size_t i = 0; i < 5; ++i) chat[18 + i] = static_cast<uint8_t>(text[i]);
  seeds["chat"] = chat;
  return seeds;
}

namespace {

// The DirectPlay stand-in's packets as its harness takes them: a first byte
// choosing the state (0 hosting, 1 joining, 2 enumerating), then records of a
// control byte (kind | peer << 2), a 16-bit length and the bytes.
class FedPackets {
 public:
  explicit FedPackets(uint8_t state) { all_.U8(state); }
  void Add(DirectPlayFedPacket::Kind kind, uint8_t peer, const ByteWriter& packet) {
    all_.U8(static_cast<uint8_t>(kind | peer << 2));
    all_.U16(static_cast<uint16_t>(packet.Size()));
    all_.Bytes(packet.Data());
  }
  Bytes Take() { return all_.Take(); }

 private:
  ByteWriter all_;
};

void Guid(ByteWriter& w, const GUID& g) {
  w.U32(g.Data1);
  w.U16(g.Data2);
  w.U16(g.Data3);
  w.Bytes(g.Data4, 8);
}
void Text(ByteWriter& w, const std::string& text) {
  w.U8(static_cast<uint8_t>(text.size()));
  w.Bytes(text.data(), text.size());
}
void Player(ByteWriter& w, uint32_t id, const std::string& name, const Bytes& data) {
  w.U32(id);
  Text(w, name);
  Text(w, name + " LONG");
  w.U32(static_cast<uint32_t>(data.size()));
  w.Bytes(data);
}
ByteWriter Packet(char type) {
  ByteWriter w;
  w.U8(static_cast<uint8_t>(type));
  return w;
}
// The session description both the acceptance and an enumeration answer carry.
void Session(ByteWriter& w, uint32_t players) {
  w.U32(DPSESSION_MIGRATEHOST);
  Guid(w, kDirectPlayFeedInstance);
  Guid(w, kDirectPlayFeedApplication);
  w.U32(8);
  if (players) w.U32(players);
  for (uint32_t user = 1; user <= 4; ++user) w.U32(user);
  Text(w, "FEED");
}

Seeds DirectPlaySeeds() {
  using K = DirectPlayFedPacket;
  FedPackets host(0);
  ByteWriter join = Packet('J');
  Guid(join, kDirectPlayFeedInstance);
  host.Add(K::kConnect, 0, ByteWriter());
  host.Add(K::kPacket, 0, join);
  ByteWriter player = Packet('P');
  Player(player, 2u << 16 | 1, "PILOT", {1, 2, 3, 4});
  host.Add(K::kPacket, 0, player);
  ByteWriter data = Packet('S');
  data.U32(2u << 16 | 1);
  data.U32(2);
  data.U16(0x0505);
  host.Add(K::kPacket, 0, data);
  ByteWriter user = Packet('U');
  user.U32(2u << 16 | 1);
  user.U32(1u << 16 | 1);
  user.Bytes("HELLO", 5);
  host.Add(K::kPacket, 0, user);
  ByteWriter hello = Packet('H');
  hello.U16(3);
  Guid(hello, kDirectPlayFeedInstance);
  host.Add(K::kPacket, 1, hello);
  ByteWriter ask;
  ask.Bytes("KVEQ", 4);
  Guid(ask, kDirectPlayFeedApplication);
  host.Add(K::kDatagram, 2, ask);
  ByteWriter destroy = Packet('D');
  destroy.U32(2u << 16 | 1);
  host.Add(K::kPacket, 0, destroy);
  host.Add(K::kDisconnect, 1, ByteWriter());

  FedPackets joiner(1);
  ByteWriter accepted = Packet('A');
  accepted.U16(2);
  accepted.U16(1);
  Session(accepted, 0);
  accepted.U16(1);
  accepted.U16(3);
  accepted.U32(0x0100007F);
  accepted.U16(47624);
  accepted.U16(2);
  Player(accepted, 1u << 16 | 1, "HOST", {9, 9});
  Player(accepted, 3u << 16 | 1, "THIRD", {});
  joiner.Add(K::kPacket, 0, accepted);
  ByteWriter hostPlayer = Packet('P');
  Player(hostPlayer, 1u << 16 | 2, "SECOND", {7});
  joiner.Add(K::kPacket, 0, hostPlayer);
  joiner.Add(K::kPacket, 0, user);
  joiner.Add(K::kDisconnect, 0, ByteWriter());

  FedPackets refused(1);
  ByteWriter no = Packet('N');
  no.U32(static_cast<uint32_t>(DPERR_ACCESSDENIED));
  refused.Add(K::kPacket, 0, no);

  FedPackets looking(2);
  ByteWriter answer;
  answer.Bytes("KVER", 4);
  Session(answer, 3);
  answer.U32(0);
  answer.U16(0);
  looking.Add(K::kDatagram, 0, answer);
  looking.Add(K::kDatagram, 1, answer);
  return {{"host", host.Take()}, {"join", joiner.Take()}, {"refused", refused.Take()}, {"enumerate", looking.Take()}};
}

}  // namespace

bool WriteFuzzSeeds(const std::string& folder, std::string* error) {
  std::string smackerError;
  const std::map<std::string, Seeds> harnesses = {
      {"data_archive", ArchiveSeeds()},   {"object_graph", GraphSeeds()},       {"textures", TextureSeeds()},
      {"models", ModelSeeds()},           {"world", WorldSeeds()},              {"mission", MissionSeeds()},
      {"collision_frame", MissionSeeds()}, {"serial_archive", SerialArchiveSeeds()}, {"settings", SettingsSeeds()},
      {"input_script", InputScriptSeeds()}, {"pictures", PictureSeeds()},      {"smacker", SmackerSeeds(&smackerError)},
      {"net_receive", NetReceiveSeeds()}, {"saved_game", SavedGameSeeds()}, {"direct_play", DirectPlaySeeds()},
  };
  for (const auto& [harness, seeds] : harnesses) {
    if (seeds.empty()) {
      *error = "cannot make the seeds of " + harness + (smackerError.empty() ? "" : ": " + smackerError);
      return false;
    }
    const std::string place = folder + "/" + harness;
    if (!FolderCreate(place)) {
      *error = "cannot make the folder " + place;
      return false;
    }
    for (const auto& [name, bytes] : seeds) {
      // Only the seed named "empty" is meant to be; any other empty one could
      // not be built.
      if (bytes.empty() && name != "empty") {
        *error = "cannot make the seed " + harness + "/" + name;
        return false;
      }
      if (!WriteBytesToFile(place + "/" + name, bytes)) {
        *error = "cannot write " + place + "/" + name;
        return false;
      }
    }
  }
  return true;
}
