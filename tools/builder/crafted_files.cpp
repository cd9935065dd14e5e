#include "tools/builder/crafted_files.h"

#include <algorithm>
#include <cstring>

#include "engine/bsp.h"
#include "engine/pool.h"
#include "engine/vertex_pool.h"
#include "engine/world.h"
#include "tools/builder/archive_writer.h"
#include "tools/builder/byte_writer.h"
#include "tools/builder/model_writer.h"
#include "tools/builder/world_writer.h"

namespace {

// Settings no real level has, so that the bytes after them (the vertex
// pool) can be found in the member.
constexpr WorldMemberSettings kMarkedSettings{1234.5f, 0.125f, 0.875f};

void PutI32(std::vector<uint8_t>* bytes, size_t at, int32_t value) {
  for (int i = 0; i < 4; ++i) (*bytes)[at + i] = static_cast<uint8_t>(static_cast<uint32_t>(value) >> (8 * i));
}

}  // namespace

std::vector<uint8_t> CraftedMissionWithPoolClaim(int32_t entries) {
  World* world = PoolNew<World>();
  VertexPoolInit(world, 1);
  world->bspRoot = BspNodeCreate(0, -1, 0, 0);
  std::vector<uint8_t> member;
  const bool written = WriteWorldMember(world, {}, kMarkedSettings, &member);
  WorldFree(world);
  if (!written) return {};
  ByteWriter marker;
  marker.F32(kMarkedSettings.depthCueFar);
  marker.F32(kMarkedSettings.flatShadeLow);
  marker.F32(kMarkedSettings.flatShadeHigh);
  const std::vector<uint8_t>& m = marker.Data();
  const auto at = std::search(member.begin(), member.end(), m.begin(), m.end());
  if (at == member.end()) return {};
  // The pool: fragment count, used, capacity, ...
  const size_t pool = static_cast<size_t>(at - member.begin()) + m.size();
  PutI32(&member, pool + 4, entries);
  PutI32(&member, pool + 8, entries);

  ArchiveWriter archive;
  if (!archive.AddMember("OBJECTS", ObjectsMember({})) || !archive.AddMember("M1.CCW", std::move(member))) return {};
  return archive.Build();
}
