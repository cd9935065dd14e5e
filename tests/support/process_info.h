#pragma once
// What tests and benchmarks ask about their own process: its id, the files it
// has open, the memory and processor time it uses.
#include <cstddef>

// The process id (for names that test programs running in parallel must not
// share).
int ProcessId();
// How many files the process has open now.
int OpenFileCount();
// Bytes of the heap in use now.
std::size_t HeapBytesInUse();
// The most memory the process has held in RAM so far, in bytes.
std::size_t PeakResidentBytes();
// Seconds of processor time the calling thread has used (what a benchmark
// times on a machine that other work shares).
double ThreadCpuSeconds();
