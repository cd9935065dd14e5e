// Pixel-exact reference frames and BSP insertion results. The reference
// files in tests/tools/reference/ were made by the engine before any of
// its frame, lighting and insertion passes were made faster; every such
// change must leave them exactly as they are: the same pixels and the same
// statistics counters for a fixed set of views of the demo mission and of
// a level of rooms, and the same BSP (nodes, fragments in list order,
// welded vertex pool) after building levels and changing them at run time.
//
// On a mismatch the frame is written as a PNG under the build tree
// ("frames/reference-<name>.png"); the three small frames have their
// reference PNGs beside the checksums. When the demo content changes on
// purpose, set KORVANE_WRITE_REFERENCE to a folder and run the tests: they
// write new reference files there instead of comparing.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "engine/bsp.h"
#include "engine/palette.h"
#include "engine/particle.h"
#include "engine/polygon_group.h"
#include "engine/pool.h"
#include "engine/render_world.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "engine/world_polygon.h"
#include "render/raster_state.h"
#include "render/render_stats.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/demo_data.h"
#include "tools/builder/demo_level.h"
#include "tools/builder/rooms_level.h"
#include "tools/builder/world_writer.h"
#include "tools/frame/frame_png.h"
#include "tools/frame/mission_frame.h"
#include "tools/frame/rooms_views.h"

namespace {

constexpr float kDegrees = 3.14159265f / 180.0f;
constexpr RenderFlags kUnlit = kRenderWorld | kRenderCameraMatrix | kRenderPerspective;
constexpr int kRooms = 70;

std::string ReferenceFolder() { return std::string(KORVANE_SOURCE_DIR) + "/tests/tools/reference"; }
const char* WriteFolder() { return std::getenv("KORVANE_WRITE_REFERENCE"); }

// 64-bit FNV-1a.
class Hash {
 public:
  void Bytes(const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    for (std::size_t i = 0; i < size; ++i) value_ = (value_ ^ p[i]) * 0x100000001b3ull;
  }
  template <typename T>
  void Value(const T& v) {
    Bytes(&v, sizeof v);
  }
  std::string Hex() const {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(value_));
    return text;
  }

 private:
  std::uint64_t value_ = 0xcbf29ce484222325ull;
};

// name -> the rest of its line, from a reference file of "name values..."
// lines.
std::map<std::string, std::string> ReadReference(const std::string& file) {
  std::map<std::string, std::string> entries;
  std::ifstream in(ReferenceFolder() + "/" + file);
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    const std::size_t space = line.find(' ');
    if (space != std::string::npos) entries[line.substr(0, space)] = line.substr(space + 1);
  }
  return entries;
}

// Compares results with the reference file, or writes them as the new
// reference when KORVANE_WRITE_REFERENCE is set.
void CheckAgainstReference(const std::string& file, const std::map<std::string, std::string>& results) {
  if (const char* folder = WriteFolder()) {
    std::ofstream out(std::string(folder) + "/" + file);
    out << "# name, then what the test compares (tests/tools/reference_frames_test.cpp)\n";
    for (const auto& [name, values] : results) out << name << ' ' << values << '\n';
    return;
  }
  const auto reference = ReadReference(file);
  ASSERT_FALSE(reference.empty()) << "no reference file " << file;
  EXPECT_EQ(reference.size(), results.size());
  for (const auto& [name, values] : results) {
    const auto found = reference.find(name);
    ASSERT_NE(found, reference.end()) << name << " has no reference";
    EXPECT_EQ(values, found->second) << name;
  }
}

std::string FramesFolder() {
  const std::string folder = std::string(KORVANE_BINARY_DIR) + "/frames";
  std::filesystem::create_directories(folder);
  return folder;
}

// The pixels of a palette PNG as FramePngBytes writes them (stored deflate
// blocks, filter 0 on every row); empty when the file is not of that kind.
std::vector<std::uint8_t> ReadStoredPng(const std::string& path, int* width, int* height) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<std::uint8_t> file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  auto u32 = [&](std::size_t at) {
    return (std::uint32_t{file[at]} << 24) | (std::uint32_t{file[at + 1]} << 16) | (std::uint32_t{file[at + 2]} << 8) |
           file[at + 3];
  };
  std::vector<std::uint8_t> deflated;
  for (std::size_t at = 8; at + 12 <= file.size();) {
    const std::uint32_t length = u32(at);
    if (at + 12 + length > file.size()) return {};
    const std::string type(file.begin() + static_cast<long>(at) + 4, file.begin() + static_cast<long>(at) + 8);
    if (type == "IHDR") {
      *width = static_cast<int>(u32(at + 8));
      *height = static_cast<int>(u32(at + 12));
    } else if (type == "IDAT") {
      deflated.insert(deflated.end(), file.begin() + static_cast<long>(at) + 8,
                      file.begin() + static_cast<long>(at + 8 + length));
    }
    at += 12 + length;
  }
  std::vector<std::uint8_t> raw;
  for (std::size_t at = 2; at + 5 <= deflated.size();) {  // past the zlib header
    const bool last = deflated[at] & 1;
    const std::size_t length = deflated[at + 1] | (deflated[at + 2] << 8);
    if ((deflated[at] & 6) != 0 || at + 5 + length > deflated.size()) return {};
    raw.insert(raw.end(), deflated.begin() + static_cast<long>(at) + 5,
               deflated.begin() + static_cast<long>(at + 5 + length));
    at += 5 + length;
    if (last) break;
  }
  std::vector<std::uint8_t> pixels;
  const std::size_t row = static_cast<std::size_t>(*width) + 1;
  if (*width <= 0 || raw.size() != row * static_cast<std::size_t>(*height)) return {};
  for (int y = 0; y < *height; ++y) {
    if (raw[y * row] != 0) return {};
    pixels.insert(pixels.end(), raw.begin() + static_cast<long>(y * row + 1),
                  raw.begin() + static_cast<long>((y + 1) * row));
  }
  return pixels;
}

// --- frames ---------------------------------------------------------------

struct FrameCase {
  std::string name;
  const FramePlacement* placement;  // null: the player start
  RenderFlags flags;
  int width, height;
  std::function<void(MissionScene*)> prepare;  // null: the scene as loaded
  std::function<void()> finish;                // undoes what prepare set outside the scene
  bool keepPng;                                // a small frame kept as a reference PNG too
};

class ReferenceFramesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    temp_ = new TempFolder();
    std::string error;
    // The builder's polygons take their flat and line colours from the
    // palette loaded at the time; the references were made with none
    // loaded, as the data builder runs.
    PaletteReset();
    ASSERT_TRUE(WriteDemoData(temp_->Path(), &error)) << error;
    temp_->MakeFolder("rooms");
    ASSERT_TRUE(WriteRoomsMission(temp_->Join("rooms"), kRooms, &error)) << error;
  }
  static void TearDownTestSuite() {
    delete temp_;
    temp_ = nullptr;
  }

  // Renders every case from a freshly loaded mission and checks the frames
  // with their counters against the reference file.
  void CheckFrames(const std::string& mission, const std::vector<FrameCase>& cases, const std::string& file) {
    const auto reference = ReadReference(file);
    std::map<std::string, std::string> results;
    for (const FrameCase& c : cases) {
      SCOPED_TRACE(c.name);
      MissionScene scene;
      std::string error;
      ASSERT_TRUE(MissionSceneLoad(temp_->Join("TEXTURES.CAN"), temp_->Join(mission), &scene, &error)) << error;
      if (c.prepare) c.prepare(&scene);
      float camera[16];
      if (c.placement) {
        const std::vector<float> matrix = PlacementCamera(*c.placement);
        std::copy(matrix.begin(), matrix.end(), camera);
      } else {
        MissionStartCamera(scene, camera);
      }
      FrameOptions options;
      options.flags = c.flags;
      options.width = c.width;
      options.height = c.height;
      FrameImage image;
      EXPECT_TRUE(RenderMissionFrame(&scene, camera, options, &image));
      if (c.finish) c.finish();
      MissionSceneFree(&scene);

      Hash hash;
      hash.Bytes(image.pixels.data(), image.pixels.size());
      std::ostringstream line;
      line << hash.Hex() << ' ' << g_StatNodes << ' ' << g_StatPolysRendered << ' ' << g_StatPolysVisible << ' '
           << g_PixelsDrawn;
      results[c.name] = line.str();

      const std::string png = c.name + ".png";
      std::string writeError;
      if (const char* folder = WriteFolder()) {
        if (c.keepPng) {
          EXPECT_TRUE(WriteFramePng(std::string(folder) + "/" + png, image, &writeError)) << writeError;
        }
        continue;
      }
      const auto found = reference.find(c.name);
      if (found == reference.end() || found->second != results[c.name]) {
        WriteFramePng(FramesFolder() + "/reference-" + png, image, &writeError);
      }
      if (c.keepPng) {
        int width = 0, height = 0;
        const std::vector<std::uint8_t> pixels = ReadStoredPng(ReferenceFolder() + "/" + png, &width, &height);
        EXPECT_EQ(width, image.width);
        EXPECT_EQ(height, image.height);
        EXPECT_TRUE(pixels == image.pixels) << "differs from " << png;
      }
    }
    CheckAgainstReference(file, results);
  }

  static TempFolder* temp_;
};
TempFolder* ReferenceFramesTest::temp_ = nullptr;

struct Viewpoint {
  const char* name;
  FramePlacement placement;
};

FramePlacement Place(Vec3 position, Vec3 degrees) {
  return {position, {degrees.x * kDegrees, degrees.y * kDegrees, degrees.z * kDegrees}};
}

const Viewpoint kDemoViews[] = {
    {"hangar_corner", Place({300, 0, -300}, {0, -40, 0})},
    {"corridor_to_door", Place({0, 20, 450}, {0, 0, 0})},
    {"pump_room", Place({0, -50, 950}, {10, 0, 0})},
    {"pump_room_back", Place({150, 0, 1400}, {0, 200, 0})},
    {"lava_corridor", Place({400, 20, 1180}, {0, 90, 0})},
    {"control_room", Place({950, 0, 1180}, {0, 90, 0})},
    {"looking_up_at_the_fan", Place({0, 0, 1100}, {80, 0, 0})},
    {"crate_corner", Place({330, 70, -260}, {0, 180, 0})},
};

const FramePlacement* DemoView(const char* name) {
  for (const Viewpoint& v : kDemoViews) {
    if (std::string(v.name) == name) return &v.placement;
  }
  return nullptr;
}

void OpenDoorAndRun(MissionScene* scene) {
  GroupSetMoverState(GroupFindByName(scene->world, kDemoDoorGroup), 1.0f, 0.0f);
  WorldUpdate(scene->world, 1500);
}

TEST_F(ReferenceFramesTest, DemoMissionFramesAreUnchanged) {
  std::vector<FrameCase> cases;
  cases.push_back({"demo_start", nullptr, kRenderFlagsDefault, 640, 480, nullptr, nullptr, false});
  for (const Viewpoint& v : kDemoViews) {
    cases.push_back({std::string("demo_") + v.name, &v.placement, kRenderFlagsDefault, 640, 480, nullptr, nullptr,
                     false});
  }
  for (const char* name : {"hangar_corner", "pump_room", "control_room"}) {
    cases.push_back({std::string("demo_") + name + "_unlit", DemoView(name), kUnlit, 640, 480, nullptr, nullptr, false});
  }
  cases.push_back({"demo_pump_room_no_spots", DemoView("pump_room"), kRenderFlagsDefault & ~kRenderLightSpots, 640,
                   480, nullptr, nullptr, false});
  cases.push_back({"demo_pump_room_no_instance_light", DemoView("pump_room"),
                   kRenderFlagsDefault & ~kRenderInstanceLighting, 640, 480, nullptr, nullptr, false});
  cases.push_back({"demo_hangar_half", DemoView("hangar_corner"), kRenderFlagsDefault | kRenderHalfResolution, 640,
                   480, nullptr, nullptr, false});
  cases.push_back({"demo_start_320", nullptr, kRenderFlagsDefault, 320, 240, nullptr, nullptr, false});
  for (const char* name : {"corridor_to_door", "looking_up_at_the_fan"}) {
    cases.push_back({std::string("demo_") + name + "_door_open", DemoView(name), kRenderFlagsDefault, 640, 480,
                     OpenDoorAndRun, nullptr, false});
  }
  cases.push_back({"demo_pump_room_particles", DemoView("pump_room"), kRenderFlagsDefault, 640, 480,
                   [](MissionScene* scene) {
                     for (int i = 0; i < 12; ++i) {
                       ParticleCreate(scene->world, -150.0f + 25 * i, -60.0f + 7 * i, 1150.0f + 20 * (i % 4),
                                      4.0f + i, 20 + 9 * i);
                     }
                   },
                   nullptr, false});
  cases.push_back({"demo_crate_zbuffer", DemoView("crate_corner"), kRenderFlagsDefault, 640, 480,
                   [](MissionScene*) { ZBufferAllocate(640, 480); }, [] { ZBufferRelease(); }, false});
  cases.push_back({"small_demo_start", nullptr, kRenderFlagsDefault, 160, 120, nullptr, nullptr, true});
  cases.push_back({"small_demo_pump_room", DemoView("pump_room"), kRenderFlagsDefault, 160, 120, nullptr, nullptr,
                   true});
  CheckFrames("M1.CAN", cases, "demo_frames.txt");
}

TEST_F(ReferenceFramesTest, LevelOfRoomsFramesAreUnchanged) {
  static const std::vector<FramePlacement> views = RoomsLevelViews(kRooms);
  std::vector<FrameCase> cases;
  cases.push_back({"rooms_start", nullptr, kRenderFlagsDefault, 640, 480, nullptr, nullptr, false});
  for (std::size_t i = 0; i < views.size(); ++i) {
    cases.push_back({"rooms_view" + std::to_string(i), &views[i], kRenderFlagsDefault, 640, 480, nullptr, nullptr,
                     false});
  }
  for (std::size_t i : {0u, 2u}) {
    cases.push_back({"rooms_view" + std::to_string(i) + "_unlit", &views[i], kUnlit, 640, 480, nullptr, nullptr,
                     false});
  }
  cases.push_back({"small_rooms_view5", &views[5], kRenderFlagsDefault, 160, 120, nullptr, nullptr, true});
  CheckFrames("rooms/M1.CAN", cases, "rooms_frames.txt");
}

// --- insertion results ------------------------------------------------------

// Everything insertion decides: the world member as written (nodes, planes
// and boxes, fragments with their vertices, the welded pool with its
// buckets, chains, free list and counts) and, node by node, the order of
// the node's fragments, which the member does not keep.
std::string StructureHash(World* world) {
  std::vector<std::uint8_t> member;
  EXPECT_TRUE(WriteWorldMember(world, {}, {}, &member));
  Hash hash;
  hash.Bytes(member.data(), member.size());
  std::map<const WorldPolygon*, int> ordinal;
  for (const WorldPolygon* p = world->firstPolygon; p; p = p->next) ordinal.emplace(p, static_cast<int>(ordinal.size()));
  std::vector<const BspNode*> pending = {world->bspRoot};
  int nodes = 0;
  while (!pending.empty()) {
    const BspNode* node = pending.back();
    pending.pop_back();
    if (!node) continue;
    ++nodes;
    hash.Value(node->fragmentCount);
    for (const BspFragment* f = node->firstFragment; f; f = f->next) {
      hash.Value(ordinal[f->polygon]);
      hash.Value(f->back);
      for (int i = 0; i < f->vertexCount; ++i) hash.Value(f->vertices[i].vertex);
    }
    pending.push_back(node->back);
    pending.push_back(node->front);
  }
  hash.Value(nodes);
  return hash.Hex();
}

WorldPolygon* Quad(World* world, Vec3 a, Vec3 b, Vec3 c, Vec3 d, int n = 4) {
  const float x[] = {a.x, b.x, c.x, d.x}, y[] = {a.y, b.y, c.y, d.y}, z[] = {a.z, b.z, c.z, d.z};
  const float light[] = {0.5f, 0.6f, 0.7f, 0.8f};
  return PolygonCreate(world, n, x, y, z, light, nullptr);
}

// A square decal lying on the floor, facing up.
WorldPolygon* FloorDecal(World* world, float x0, float z0, float size) {
  return Quad(world, {x0, kRoomsFloor, z0 + size}, {x0 + size, kRoomsFloor, z0 + size}, {x0 + size, kRoomsFloor, z0},
              {x0, kRoomsFloor, z0});
}

// Decals on busy planes, polygons cut by many planes, deletions that prune
// the tree and free pool entries, creations that reuse them, and a group
// that moves its polygons through the tree.
void EditRooms(World* world, int rooms) {
  std::vector<WorldPolygon*> made;
  for (int room : {0, 5, rooms - 1}) {
    const Vec3 c = RoomCorner(rooms, room);
    made.push_back(FloorDecal(world, c.x + 110, c.z + 110, 30));  // inside a tile
    made.push_back(FloorDecal(world, c.x + 90, c.z + 20, 20));    // across two tiles
    made.push_back(FloorDecal(world, c.x + 15, c.z + 20, 10));    // inside a hazard strip and its tile
  }
  const Vec3 c0 = RoomCorner(rooms, 0), c2 = RoomCorner(rooms, 2);
  // A wall decal, a slab across three rooms and an upright sheet along them.
  made.push_back(Quad(world, {c0.x, -20, c0.z + 40}, {c0.x, -20, c0.z + 80}, {c0.x, 20, c0.z + 80},
                      {c0.x, 20, c0.z + 40}));
  made.push_back(Quad(world, {c0.x + 50, 0, c0.z + 300}, {c2.x + 350, 0, c0.z + 300}, {c2.x + 350, 0, c0.z + 100},
                      {c0.x + 50, 0, c0.z + 100}));
  made.push_back(Quad(world, {c0.x + 30, -100, c0.z + 200}, {c2.x + 370, -100, c0.z + 200},
                      {c2.x + 370, 80, c0.z + 200}, {c0.x + 30, 80, c0.z + 200}));
  // Deletions: decals, a floor tile and a wall piece of the first room.
  PolygonDelete(made[0]);
  PolygonDelete(made[4]);
  PolygonDelete(world->firstPolygon);
  WorldPolygon* wall = world->firstPolygon;
  for (int i = 0; i < 40 && wall->next; ++i) wall = wall->next;
  PolygonDelete(wall);
  // New polygons reuse the freed entries.
  for (int room : {1, 2}) {
    const Vec3 c = RoomCorner(rooms, room);
    FloorDecal(world, c.x + 210, c.z + 210, 40);
  }
  // A group of two sheets that slides through the rooms.
  PolygonGroup* group = GroupCreate(world, "sheets", nullptr);
  for (float z : {120.0f, 180.0f}) {
    WorldPolygon* sheet = Quad(world, {c0.x + 60, -60, c0.z + z}, {c0.x + 160, -60, c0.z + z},
                               {c0.x + 160, 60, c0.z + z}, {c0.x + 60, 60, c0.z + z}, -4);
    PolygonSetGroup(sheet, group, 0);
  }
  GroupInvalidate(group);
  GroupSetSlideMover(group, 2 * kRoomsPitch, 0, 0, 1.0f, 0.0f);
  for (float position : {0.0f, 0.3f, 0.55f, 1.0f}) {
    GroupSetMoverState(group, position, 0.0f);
    WorldRebuildGroups(world);
  }
}

TEST(ReferenceInsertionTest, BuiltAndEditedWorldsAreUnchanged) {
  // Untextured polygons take their colours from the loaded palette: none.
  PaletteReset();
  std::map<std::string, std::string> results;
  {
    World* world = RoomsWorldCreate();
    RoomsLevel level;
    BuildRoomsLevel(world, kRooms, &level);
    results["rooms_built"] = StructureHash(world);
    WorldFree(world);
  }
  {
    World* world = RoomsWorldCreate();
    RoomsLevel level;
    BuildRoomsLevel(world, 18, &level);
    EditRooms(world, 18);
    results["rooms_edited"] = StructureHash(world);
    WorldFree(world);
  }
  {
    World* world = PoolNew<World>();
    VertexPoolInit(world, 1);
    world->bspRoot = BspNodeCreate(0, -1, 0, -100);
    DemoLevel level;
    BuildDemoLevel(world, &level);
    results["demo_built"] = StructureHash(world);
    // The door to several places, the fan round part of its turn.
    PolygonGroup* door = GroupFindByName(world, kDemoDoorGroup);
    for (float position : {0.25f, 1.0f, 0.6f}) {
      GroupSetMoverState(door, position, 0.0f);
      WorldUpdate(world, 700);
      WorldRebuildGroups(world);
    }
    results["demo_moved"] = StructureHash(world);
    WorldFree(world);
  }
  CheckAgainstReference("world_structure.txt", results);
}

}  // namespace
