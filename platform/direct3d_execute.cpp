// Decoding of execute buffers: every length and index is checked against
// the buffer before it is used, since the stream is whatever the program
// wrote into it.
#include <cstring>

#include "platform/direct3d.h"

namespace {

template <typename Record>
Record ReadRecord(const std::vector<uint8_t>& bytes, size_t at) {
  Record record;
  std::memcpy(&record, bytes.data() + at, sizeof(Record));
  return record;
}

// The data-record size each opcode's instruction must declare.
int RecordSize(BYTE opcode) {
  switch (opcode) {
    case D3DOP_PROCESSVERTICES: return sizeof(D3DPROCESSVERTICES);
    case D3DOP_STATELIGHT:
    case D3DOP_STATERENDER: return sizeof(D3DSTATE);
    case D3DOP_TRIANGLE: return sizeof(D3DTRIANGLE);
    case D3DOP_LINE: return sizeof(D3DLINE);
    case D3DOP_EXIT: return -1;  // any: it has no records
    default: return 0;
  }
}

bool Fail(std::string* error, const std::string& why) {
  if (error) *error = why;
  return false;
}

}  // namespace

bool Direct3DDecodeExecute(const std::vector<uint8_t>& bytes, const D3DEXECUTEDATA& data, Direct3DProgram* program,
                           std::string* error) {
  program->vertices.clear();
  program->instructions.clear();
  const uint64_t size = bytes.size();
  const uint64_t vertexEnd = uint64_t{data.dwVertexOffset} + uint64_t{data.dwVertexCount} * sizeof(D3DTLVERTEX);
  if (vertexEnd > size) return Fail(error, "vertex section outside the buffer");
  const uint64_t streamEnd = uint64_t{data.dwInstructionOffset} + data.dwInstructionLength;
  if (streamEnd > size) return Fail(error, "instruction section outside the buffer");
  const uint32_t vertexCount = data.dwVertexCount;
  program->vertices.resize(vertexCount);
  if (vertexCount)
    std::memcpy(program->vertices.data(), bytes.data() + data.dwVertexOffset, vertexCount * sizeof(D3DTLVERTEX));

  uint64_t at = data.dwInstructionOffset;
  while (at + sizeof(D3DINSTRUCTION) <= streamEnd) {
    const auto header = ReadRecord<D3DINSTRUCTION>(bytes, static_cast<size_t>(at));
    at += sizeof(D3DINSTRUCTION);
    const int expected = RecordSize(header.bOpcode);
    if (expected == 0) return Fail(error, "opcode " + std::to_string(header.bOpcode) + " not drawn here");
    Direct3DInstruction instruction;
    instruction.opcode = header.bOpcode;
    if (header.bOpcode == D3DOP_EXIT) {
      program->instructions.push_back(std::move(instruction));
      return true;
    }
    if (header.bSize != expected) return Fail(error, "record size does not match its opcode");
    const uint64_t recordsEnd = at + uint64_t{header.bSize} * header.wCount;
    if (recordsEnd > streamEnd) return Fail(error, "records run past the instruction section");
    for (uint32_t k = 0; k < header.wCount; ++k, at += header.bSize) {
      const auto offset = static_cast<size_t>(at);
      switch (header.bOpcode) {
        case D3DOP_PROCESSVERTICES: {
          const auto pv = ReadRecord<D3DPROCESSVERTICES>(bytes, offset);
          if (uint64_t{pv.wStart} + pv.dwCount > vertexCount || uint64_t{pv.wDest} + pv.dwCount > vertexCount)
            return Fail(error, "processed vertices outside the vertex section");
          instruction.processVertices.push_back(pv);
          break;
        }
        case D3DOP_STATELIGHT:
        case D3DOP_STATERENDER: instruction.states.push_back(ReadRecord<D3DSTATE>(bytes, offset)); break;
        case D3DOP_TRIANGLE: {
          const auto t = ReadRecord<D3DTRIANGLE>(bytes, offset);
          if (t.v1 >= vertexCount || t.v2 >= vertexCount || t.v3 >= vertexCount)
            return Fail(error, "triangle names a vertex outside the vertex section");
          instruction.triangles.push_back(t);
          break;
        }
        case D3DOP_LINE: {
          const auto l = ReadRecord<D3DLINE>(bytes, offset);
          if (l.v1 >= vertexCount || l.v2 >= vertexCount)
            return Fail(error, "line names a vertex outside the vertex section");
          instruction.lines.push_back(l);
          break;
        }
      }
    }
    program->instructions.push_back(std::move(instruction));
  }
  return Fail(error, "the stream ends without an exit");
}
