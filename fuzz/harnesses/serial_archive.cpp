// The class library's archive (CArchive), which saved games are read
// through: the input is an archive stream. Objects (lists, and records of
// the shape saved games have), strings and counts are read from it in turn
// until it is refused or ends; every object it made is then deleted once.
//
// CFuzzRecord, as the data builder's seeds write it (schema 2): u16 id,
// string name, i32 value, double weight, its schema's extra i32 from schema 2
// on, then a child object of any class.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/support/fuzz_support.h"
#include "platform/framework/file.h"
#include "platform/framework/ob_list.h"
#include "platform/framework/serial_archive.h"

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
    if (ar.IsStoring()) FuzzFault("a record stored while loading");
    const UINT schema = ar.GetObjectSchema();
    ar >> id >> name >> value >> weight;
    if (schema >= 2) ar >> extra;
    ar >> child;
  }
};

IMPLEMENT_SERIAL_CLASS(CFuzzRecord, CObject, VERSIONABLE_SCHEMA | 2)

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CMemFile file(std::vector<std::uint8_t>(data, data + size));
  std::vector<CObject*> made;
  {
    CArchive ar(&file, CArchive::load);
    try {
      for (int step = 0; step < 64; ++step) {
        CObject* object = ar.ReadObject(step % 3 == 2 ? RUNTIME_CLASS(CObList) : nullptr);
        if (object && step % 3 == 2 && !object->IsKindOf(RUNTIME_CLASS(CObList))) {
          FuzzFault("an object of another class than the one asked for");
        }
        ar.ReadStringValue();
        ar.ReadCount();
      }
    } catch (const CException&) {
      // A refusal is the expected end of most inputs.
    }
    made = ar.LoadedObjects();
    FuzzNote(std::to_string(made.size()) + " objects");
    ar.Abort();
  }
  for (CObject* object : made) delete object;
  return 0;
}
