#include <time.h>
#include <CLI/CLI.hpp>
#if defined(__EMSCRIPTEN__)
#include <emscripten/emscripten.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "app/CameraControl.h"
#include "app/Renderer.h"
#include "bench/reference/ReferenceChunk.h"
#include "tools/Commands.h"
#include "tools/ProgressBar.h"
#include "world/Chunk.h"
#include "world/Noise.h"
#include "world/TerrainGenerator.h"

namespace {

using TClock = std::chrono::steady_clock;

double MillisecondsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// Which clock the figures are on. On a machine shared with other work, wall
// time would also count the time others hold the cores, so CPU time is taken
// wherever the system has it; on an idle machine the two agree for one busy
// thread.
enum class TBenchClock {
  ThreadCpu,       // the calling thread's CPU time (and the process's for the pool)
  NodeProcessCpu,  // Node's process.cpuUsage(): the whole process, Node's own threads too
  Wall,            // neither: the one-thread figures are wall time, the pool's CPU unknown
};

#if defined(__EMSCRIPTEN__)
// CPU ms of the Node process (user + system), or -1 outside Node.
// JavaScript, which clang-format would break (=== into == =).
// clang-format off
EM_JS(double, NodeProcessCpuMs, (), {
  if (typeof process === 'undefined' || typeof process.cpuUsage !== 'function') return -1;
  const usage = process.cpuUsage();
  return (usage.user + usage.system) / 1000;
});
// clang-format on
#else
double NodeProcessCpuMs() {
  return -1.0;
}
#endif

double CpuMilliseconds(clockid_t clock) {
  timespec now{};
  clock_gettime(clock, &now);
  return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

// Emscripten's clock_gettime knows the wall clocks alone and fails on the
// CPU-time ones (it would leave 0 behind), but under Node the process's CPU
// time can be had from Node itself. While the one-thread figures are taken,
// the bench's process runs no other thread of its own.
TBenchClock ChooseClock() {
  timespec now{};
  if (clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now) == 0 &&
      clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now) == 0)
    return TBenchClock::ThreadCpu;
  return NodeProcessCpuMs() >= 0.0 ? TBenchClock::NodeProcessCpu : TBenchClock::Wall;
}

const TBenchClock kClock = ChooseClock();

// ms on kClock, for the one-thread figures.
double ThreadMilliseconds() {
  switch (kClock) {
    case TBenchClock::ThreadCpu:
      return CpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
    case TBenchClock::NodeProcessCpu:
      return NodeProcessCpuMs();
    case TBenchClock::Wall:
      break;
  }
  return std::chrono::duration<double, std::milli>(TClock::now().time_since_epoch()).count();
}

// CPU ms of the whole process, or 0 on the wall clock.
double ProcessMilliseconds() {
  switch (kClock) {
    case TBenchClock::ThreadCpu:
      return CpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
    case TBenchClock::NodeProcessCpu:
      return NodeProcessCpuMs();
    case TBenchClock::Wall:
      break;
  }
  return 0.0;
}

struct TSummary {
  double Median, Min, P90, Max;
};

TSummary Summarise(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
  // Nearest rank: the smallest sample with at least 90 % of them at or below it.
  const std::size_t p90 = (9 * n + 9) / 10 - 1;
  return {median, samples.front(), samples[p90], samples.back()};
}

void PrintRow(const char* name, const std::vector<double>& reference,
              const std::vector<double>& fast) {
  const TSummary r = Summarise(reference);
  const TSummary f = Summarise(fast);
  std::printf("%-16s %8.2f %7.2f %7.2f %7.2f   %7.2f %7.2f %7.2f %7.2f %8.1fx\n", name, r.Median,
              r.Min, r.P90, r.Max, f.Median, f.Min, f.P90, f.Max, r.Median / f.Median);
}

std::vector<double> Sum(const std::vector<double>& a, const std::vector<double>& b) {
  std::vector<double> sum(a.size());
  for (std::size_t n = 0; n < a.size(); ++n) sum[n] = a[n] + b[n];
  return sum;
}

double Total(const std::vector<double>& samples) {
  double total = 0.0;
  for (double sample : samples) total += sample;
  return total;
}

bool SameChunk(const TChunk& a, const TChunk& b) {
  return std::memcmp(a.VoxelData, b.VoxelData, sizeof a.VoxelData) == 0 &&
         std::memcmp(a.Height, b.Height, sizeof a.Height) == 0 &&
         std::memcmp(a.Light, b.Light, sizeof a.Light) == 0 && a.VertexData == b.VertexData;
}

// ms per chunk of each step on kClock, built one chunk at a time on one thread.
struct TOneThreadTimes {
  std::vector<double> ReferenceGenerate, ReferenceMesh, Generate, Mesh;
  std::size_t Faces = 0;
  std::size_t Identical = 0;  // chunks whose two builds agree byte for byte
};

// The straightforward build and TChunk's own take turns chunk by chunk, so
// that a busy machine slows both alike.
TOneThreadTimes TimeOneThread(const std::vector<TChunkPosition>& square, TProgressBar& progress) {
  TOneThreadTimes times;
  for (const auto& [x, z] : square) {
    progress.Show("one thread:", times.Generate.size(), square.size());
    std::shared_ptr<TChunk> reference = TChunk::NewUnregistered(x, z);
    double start = ThreadMilliseconds();
    ReferenceGenerateData(*reference);
    times.ReferenceGenerate.push_back(ThreadMilliseconds() - start);
    start = ThreadMilliseconds();
    ReferenceBuildVertexData(*reference);
    times.ReferenceMesh.push_back(ThreadMilliseconds() - start);

    std::shared_ptr<TChunk> chunk = TChunk::NewUnregistered(x, z);
    start = ThreadMilliseconds();
    chunk->GenerateData();
    times.Generate.push_back(ThreadMilliseconds() - start);
    start = ThreadMilliseconds();
    chunk->BuildVertexData();
    times.Mesh.push_back(ThreadMilliseconds() - start);

    times.Faces += static_cast<std::size_t>(chunk->VertexCount / 4);
    times.Identical += SameChunk(*chunk, *reference) ? 1 : 0;
  }
  return times;
}

// The noise work of the square: the octave-samples of Noise3D that
// GetTerrainBlock spends on its cells (untimed).
TTerrainGenerator::TTally CountNoiseWork(const std::vector<TChunkPosition>& square) {
  TTerrainGenerator generator;
  TTerrainGenerator::TTally tally;
  TVoxelGrid voxels;
  for (const auto& [x, z] : square) generator.Generate(x, z, voxels, &tally);
  return tally;
}

struct TPoolTimes {
  double WallMs = 0.0;
  double CpuMs = 0.0;  // of the whole process; 0 on the wall clock
};

// The real pool on the whole square, from the first request until the last
// chunk reached the finished queue. Finished chunks are taken off the queue
// here without uploading (there is no window); they have no buffer yet.
TPoolTimes TimeWorkerPool(const std::vector<TChunkPosition>& square, TProgressBar& progress) {
  TChunk::InitThreads();
  const TClock::time_point start = TClock::now();
  const double cpuStart = ProcessMilliseconds();
  for (const auto& [x, z] : square) TChunk::CreateChunk(x, z, nullptr);
  std::size_t finished = 0;
  while (finished < square.size()) {
    {
      std::lock_guard lock(TChunk::FinishedMutex);
      finished += TChunk::FinishedQueue.size();
      TChunk::FinishedQueue.clear();
    }
    progress.Show("worker pool:", finished, square.size());
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  const TPoolTimes times{MillisecondsSince(start), ProcessMilliseconds() - cpuStart};
  // The pool's chunks were registered by CreateChunk, as the viewer's are.
  TRenderRegistry::MeshList.clear();
  return times;
}

void PrintReport(std::size_t chunks, const TOneThreadTimes& one,
                 const TTerrainGenerator::TTally& tally, const TPoolTimes& pool) {
  std::printf(
      "%zu chunks of the initial square, %zu faces; fast and reference identical: %zu/%zu\n\n",
      chunks, one.Faces, one.Identical, chunks);
  std::printf("%-16s %-31s   %-31s %9s\n",
              kClock == TBenchClock::Wall ? "wall ms / chunk" : "CPU ms per chunk",
              "reference (step by step)", "fast (TChunk)", "ratio");
  std::printf("%-16s %8s %7s %7s %7s   %7s %7s %7s %7s %9s\n", "one thread", "median", "min", "p90",
              "max", "median", "min", "p90", "max", "(median)");
  PrintRow("GenerateData", one.ReferenceGenerate, one.Generate);
  PrintRow("BuildVertexData", one.ReferenceMesh, one.Mesh);
  PrintRow("both", Sum(one.ReferenceGenerate, one.ReferenceMesh), Sum(one.Generate, one.Mesh));

  const double samples = static_cast<double>(tally.OctaveSamples());
  std::printf(
      "\nNoise3D work of the square: %.3g octave-samples (%.1f per cell), as GetTerrainBlock "
      "spends them\n",
      samples, samples / static_cast<double>(tally.Cells()));
  std::printf("  per second on one core: reference %.1f million, fast %.1f million\n",
              samples / Total(one.ReferenceGenerate) / 1e3, samples / Total(one.Generate) / 1e3);
  if (kClock == TBenchClock::Wall) {
    std::printf("\n%d-worker pool (fast): %.0f ms wall for %zu chunks (%u cores)\n",
                TChunk::MAX_WORKER_THREADS, pool.WallMs, chunks,
                std::thread::hardware_concurrency());
    std::printf(
        "\nThis system has no CPU-time clock: the one-thread times are wall time, on one thread\n"
        "with nothing else of this process running; a busy machine makes them longer.\n");
    return;
  }
  std::printf("\n%d-worker pool (fast): %.0f ms wall for %zu chunks, %.0f ms CPU (%u cores)\n",
              TChunk::MAX_WORKER_THREADS, pool.WallMs, chunks, pool.CpuMs,
              std::thread::hardware_concurrency());
  if (kClock == TBenchClock::NodeProcessCpu) {
    std::printf(
        "\nNode gives threads no CPU-time clock: the CPU times are the whole process's\n"
        "(Node's process.cpuUsage), Node's own threads, such as its compiler, included.\n");
  }
}

int RunBench() {
  CreateNoiseTables();
  // The chunks the viewer queues first, in its order.
  const std::vector<TChunkPosition> square = InitialChunks(ViewRadius);
  TProgressBar progress;
  const TOneThreadTimes one = TimeOneThread(square, progress);
  const TTerrainGenerator::TTally tally = CountNoiseWork(square);
  const TPoolTimes pool = TimeWorkerPool(square, progress);
  progress.Clear();
  PrintReport(square.size(), one, tally, pool);
  return one.Identical == square.size() ? 0 : 1;
}

}  // namespace

void AddBenchCommand(CLI::App& tool, int& status) {
  CLI::App* command = tool.add_subcommand("bench", "time chunk generation and meshing");
  command->footer(
      "Builds the viewer's first 10 x 10 chunks one at a time, with the fast build and with\n"
      "the straightforward reference build, and prints their CPU times side by side (under\n"
      "Node the whole process's, wall times where there is no CPU-time clock at all); then\n"
      "times the worker pool on the same chunks. Status 1 if the two builds differ.");
  command->callback([&status] { status = RunBench(); });
}
