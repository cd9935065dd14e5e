#pragma once
// What the fuzz harnesses share. The engine's readers read files through the
// archive reader, so a harness writes its input into a file of its own
// folder first; and the engine keeps its state in globals, so each input
// ends by putting everything back as the next one expects it.
#include <cstddef>
#include <cstdint>
#include <string>

// The process's own folder for input files, made at first use and removed
// when the process ends.
const std::string& FuzzFolder();
// Writes the bytes as the file name of FuzzFolder() and returns its path.
std::string FuzzWriteFile(const char* name, const std::uint8_t* data, std::size_t size);
// Writes an archive holding the bytes as its only member and returns the
// archive's path (empty when the member name is too long).
std::string FuzzWriteMemberArchive(const char* file, const char* member, const std::uint8_t* data, std::size_t size);
// The demo "TEXTURES.CAN", written by the data builder at first use, for
// harnesses of missions. Aborts when it can't be written.
const std::string& FuzzDemoTexturesPath();
// Makes sure the demo models are loaded (after FuzzEngineReset freed them),
// for harnesses of world members, whose instances name them. Aborts when they
// can't be.
void FuzzLoadDemoModels();
// After each input: the archive reader closed with no saved state, the object
// table released, every model, texture and library-wide property freed.
void FuzzEngineReset();
// With KORVANE_FUZZ_VERBOSE set, says on stderr what became of an input
// (for checking that a seed reaches as deep as it should).
void FuzzNote(const std::string& what);
// Aborts with the message: a harness's own check found a fault.
[[noreturn]] void FuzzFault(const char* what);
