#include <sys/resource.h>
#include <unistd.h>

#include <mutex>
#include <thread>
#include <utility>

#include "world/Chunk.h"

void TChunk::CreateChunk(int x, int z, std::function<int(TChunk&)> callback) {
  std::shared_ptr<TChunk> chunk = New();
  chunk->ChunkX = x;
  chunk->ChunkZ = z;
  chunk->GenerationCallback = std::move(callback);
  {
    std::lock_guard lock(WorkMutex);
    WorkQueue.push_front(std::move(chunk));
  }
  // After the unlock, so a woken worker always finds its chunk.
  WorkSemaphore.release();
}

void TChunk::UpdateChunks() {
  std::lock_guard lock(FinishedMutex);
  if (FinishedQueue.empty()) return;
  TChunk& chunk = *FinishedQueue.front();
  chunk.BuildMesh();
  chunk.Hidden = 0;
  if (chunk.GenerationCallback) chunk.GenerationCallback(chunk);
  // Often the last reference (streaming may have dropped the chunk already), so
  // the chunk and its buffer go here, on the main thread.
  FinishedQueue.pop_front();
}

void TChunk::InitThreads() {
  for (int slot = 0; slot < MAX_WORKER_THREADS; ++slot) {
    std::thread worker(WaitForWork);
    WorkerThreads[slot] = worker.native_handle();
    // Nothing ever joins a worker: the process ends with _Exit while they may
    // still be building, and a joinable std::thread would abort on destruction.
    worker.detach();
  }
}

void TChunk::WaitForWork() {
  // Building chunks is background work: the main thread, which draws and reads
  // the keyboard, goes first when both want a core. (On Linux the nice value
  // belongs to the thread.)
  setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), WORKER_NICENESS);
  for (;;) {
    WorkSemaphore.acquire();
    std::shared_ptr<TChunk> chunk;
    {
      std::lock_guard lock(WorkMutex);
      chunk = std::move(WorkQueue.back());
      WorkQueue.pop_back();
    }
    chunk->GenerateData();
    chunk->BuildVertexData();
    // Hand the reference over rather than copy it: if the worker kept one, it
    // could be the last and the chunk's destructor (which deletes an OpenGL
    // buffer) would run here, off the main thread.
    std::lock_guard lock(FinishedMutex);
    FinishedQueue.push_back(std::move(chunk));
  }
}
