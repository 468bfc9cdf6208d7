#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "scene/RenderRegistry.h"
#include "tools/Commands.h"
#include "world/Chunk.h"
#include "world/Noise.h"

namespace {

using TClock = std::chrono::steady_clock;

double MillisecondsSince(TClock::time_point start) {
  return std::chrono::duration<double, std::milli>(TClock::now() - start).count();
}

// The 10 x 10 chunks the viewer queues first, in its order: x from 4 down to
// -5, and for each x, z from -5 to 4.
std::vector<std::pair<int, int>> InitialSquare() {
  std::vector<std::pair<int, int>> square;
  for (int x = 4; x >= -5; --x) {
    for (int z = -5; z <= 4; ++z) square.emplace_back(x, z);
  }
  return square;
}

// Progress on the terminal only; a redirected stderr stays clean.
class TProgress {
 public:
  TProgress() : Enabled(isatty(STDERR_FILENO) != 0) {}
  void Show(const char* what, std::size_t done, std::size_t total) const {
    if (Enabled) std::fprintf(stderr, "\r\033[K%s %zu/%zu", what, done, total);
  }
  void Clear() const {
    if (Enabled) std::fputs("\r\033[K", stderr);
  }

 private:
  bool Enabled;
};

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

void PrintRow(const char* name, const TSummary& s) {
  std::printf("%-18s %8.2f %8.2f %8.2f %8.2f\n", name, s.Median, s.Min, s.P90, s.Max);
}

}  // namespace

int RunBenchCommand(const std::vector<std::string>& args) {
  if (!args.empty()) {
    std::fputs("usage: voxeltool bench\n", stderr);
    return 2;
  }
  CreateNoiseTables();
  const std::vector<std::pair<int, int>> square = InitialSquare();
  const TProgress progress;

  // One thread, one chunk at a time, each step timed on its own.
  std::vector<double> generate, mesh;
  std::size_t faces = 0;
  for (const auto& [x, z] : square) {
    progress.Show("one thread:", generate.size(), square.size());
    std::shared_ptr<TChunk> chunk = TChunk::New();
    chunk->ChunkX = x;
    chunk->ChunkZ = z;
    const TClock::time_point start = TClock::now();
    chunk->GenerateData();
    generate.push_back(MillisecondsSince(start));
    const TClock::time_point meshed = TClock::now();
    chunk->BuildVertexData();
    mesh.push_back(MillisecondsSince(meshed));
    faces += static_cast<std::size_t>(chunk->VertexCount / 4);
    TRenderRegistry::MeshList.clear();
  }

  // The real pool on the whole square, from the first request until the last
  // chunk reached the finished queue. Finished chunks are taken off the queue
  // here without uploading (there is no window); they have no buffer yet.
  TChunk::InitThreads();
  const TClock::time_point poolStart = TClock::now();
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
  const double poolMs = MillisecondsSince(poolStart);
  TRenderRegistry::MeshList.clear();
  progress.Clear();

  std::printf("%zu chunks of the initial square, %zu faces\n\n", square.size(), faces);
  std::printf("%-18s %8s %8s %8s %8s\n", "ms per chunk", "median", "min", "p90", "max");
  PrintRow("GenerateData", Summarise(generate));
  PrintRow("BuildVertexData", Summarise(mesh));
  std::printf("\n%d-worker pool: %.0f ms wall for %zu chunks (%.2f ms per chunk, %u cores)\n",
              TChunk::MAX_WORKER_THREADS, poolMs, square.size(),
              poolMs / static_cast<double>(square.size()), std::thread::hardware_concurrency());
  return 0;
}
