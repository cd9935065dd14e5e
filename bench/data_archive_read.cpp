// Reading a large archive member through the engine's small reads, beside a
// plain buffered read of the same bytes. A level load is mostly ArchiveReadInt
// and short ArchiveReadFloats, so their throughput bounds the load time.
//
// Prints, after the benchmarks, each archive read's throughput as a ratio of
// the plain read's.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "engine/data_archive.h"
#include "tests/support/temp_folder.h"
#include "tools/builder/archive_writer.h"

namespace {

constexpr int kValues = 8 * 1024 * 1024;  // 32 MB of i32 and float values
constexpr int kMemberOffset = 4;

TempFolder g_Temp;
const std::string g_Path = g_Temp.Join("values.can");
std::map<std::string, double> g_BytesPerSecond;

void WriteBenchArchive() {
  std::vector<uint8_t> member(static_cast<size_t>(kValues) * 4);
  for (int i = 0; i < kValues; ++i) {
    const uint32_t value = static_cast<uint32_t>(i) * 2654435761u;
    std::memcpy(&member[static_cast<size_t>(i) * 4], &value, 4);
  }
  ArchiveWriter archive;
  archive.AddMember("VALUES", std::move(member));
  if (!archive.WriteFile(g_Path)) std::fprintf(stderr, "cannot write %s\n", g_Path.c_str());
}

// Runs body once per iteration with its own clock and records the best
// throughput under name.
template <typename Body>
void Measure(benchmark::State& state, const char* name, Body body) {
  double best = 0;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    body();
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    state.SetIterationTime(elapsed.count());
    const double rate = static_cast<double>(kValues) * 4 / elapsed.count();
    if (rate > best) best = rate;
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kValues * 4);
  g_BytesPerSecond[name] = best;
}

// The baseline: the C library's buffered stream, 4096-byte blocks, each
// value decoded from the block.
void BM_PlainBufferedRead(benchmark::State& state) {
  Measure(state, "plain", [] {
    std::FILE* file = std::fopen(g_Path.c_str(), "rb");
    std::fseek(file, kMemberOffset, SEEK_SET);
    uint8_t block[4096];
    uint32_t sum = 0;
    size_t left = static_cast<size_t>(kValues) * 4;
    while (left > 0) {
      const size_t want = left < sizeof(block) ? left : sizeof(block);
      const size_t got = std::fread(block, 1, want, file);
      if (got == 0) break;
      for (size_t i = 0; i + 4 <= got; i += 4) {
        int32_t value;
        std::memcpy(&value, block + i, 4);
        sum += static_cast<uint32_t>(value);
      }
      left -= got;
    }
    benchmark::DoNotOptimize(sum);
    std::fclose(file);
  });
}

void BM_ArchiveReadInt(benchmark::State& state) {
  Measure(state, "ArchiveReadInt", [] {
    ArchiveOpen(g_Path.c_str());
    ArchiveFindMember("VALUES");
    uint32_t sum = 0;
    int value;
    for (int i = 0; i < kValues; ++i) {
      ArchiveReadInt(&value);
      sum += static_cast<uint32_t>(value);
    }
    benchmark::DoNotOptimize(sum);
    ArchiveClose();
  });
}

// Floats as the record readers take them: a position (3), then a key's 16
// floats of matrix, and so on; here runs of 3 and 16 in turn.
void BM_ArchiveReadFloats(benchmark::State& state) {
  Measure(state, "ArchiveReadFloats", [] {
    ArchiveOpen(g_Path.c_str());
    ArchiveFindMember("VALUES");
    float values[16];
    float sum = 0;
    for (int read = 0; read + 19 <= kValues; read += 19) {
      ArchiveReadFloats(values, 3);
      sum += values[0];
      ArchiveReadFloats(values, 16);
      sum += values[15];
    }
    benchmark::DoNotOptimize(sum);
    ArchiveClose();
  });
}

// A record-like mix: an int, a vec3, an int, a float.
void BM_ArchiveReadMixed(benchmark::State& state) {
  Measure(state, "mixed", [] {
    ArchiveOpen(g_Path.c_str());
    ArchiveFindMember("VALUES");
    int a = 0, b = 0;
    float x = 0, y = 0, z = 0, f = 0;
    uint32_t sum = 0;
    for (int read = 0; read + 6 <= kValues; read += 6) {
      ArchiveReadInt(&a);
      ArchiveReadVec3(&x, &y, &z);
      ArchiveReadInt(&b);
      ArchiveReadFloat(&f);
      sum += static_cast<uint32_t>(a + b) + static_cast<uint32_t>(x + y + z + f != 0);
    }
    benchmark::DoNotOptimize(sum);
    ArchiveClose();
  });
}

BENCHMARK(BM_PlainBufferedRead)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ArchiveReadInt)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ArchiveReadFloats)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);
BENCHMARK(BM_ArchiveReadMixed)->UseManualTime()->Unit(benchmark::kMillisecond)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
  WriteBenchArchive();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  const double plain = g_BytesPerSecond["plain"];
  if (plain > 0) {
    std::printf("\nbest throughput against the plain buffered read (%.0f MB/s):\n", plain / 1e6);
    for (const auto& [name, rate] : g_BytesPerSecond) {
      if (name != "plain") std::printf("  %-18s %7.0f MB/s  ratio %.2f\n", name.c_str(), rate / 1e6, rate / plain);
    }
  }
  return 0;
}
