// The model reader and path networks: the input is an "OBJECTS" member.
// When it loads, a few of its models are placed in an empty world, follow
// their paths for a few steps and are posed at their animation times.
#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/animation.h"
#include "engine/data_archive.h"
#include "engine/instance.h"
#include "engine/model.h"
#include "engine/path.h"
#include "engine/world.h"
#include "fuzz/support/fuzz_support.h"
#include "tools/builder/rooms_level.h"

namespace {

void Exercise(Model* model, World* world) {
  if (ModelFindByHash(model->nameHash) == nullptr) FuzzFault("a loaded model can't be found by its hash");
  Instance* instance = InstanceCreate(world, model, 10, 20, 30, 0.5f, 0, 0, 0);
  if (!instance) return;
  if (model->firstJunction && model->firstJunction->firstOut) instance->pathSegment = model->firstJunction->firstOut;
  InstanceQueuePathChoice(instance, 1, 1);
  for (const float seconds : {0.0f, 0.25f, 3.0f, 40.0f}) {
    // Bounded, so that a path of segments of no length can't hold the run.
    InstanceFollowPathBounded(instance, seconds, 1 << 12);
    InstanceUpdateMatrix(instance);
    for (InstanceNode* node = InstanceFirstNode(instance); node; node = node->nextInInstance) {
      if (!node->parent) InstanceNodeUpdate(node, instance->animTime);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = FuzzWriteMemberArchive("objects.can", "OBJECTS", data, size);
  if (ArchiveOpen(path.c_str()) && ArchiveFindMember("OBJECTS") && ModelsReload()) {
    ArchiveClose();
    World* world = RoomsWorldCreate();
    int placed = 0;
    for (Model* model = ModelListHead(); model && placed < 8; model = model->next, ++placed) Exercise(model, world);
    FuzzNote(std::to_string(placed) + " models placed");
    WorldFree(world);
  }
  FuzzEngineReset();
  return 0;
}
