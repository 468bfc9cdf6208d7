#pragma once

#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "tools/ChunkRegion.h"

// Builds the chunks of a region on threads of its own and hands what was made
// of each chunk to the calling thread in region order: rows of increasing z,
// each row from X0 to X1. A worker starts chunk n only while n lies less than
// `window` chunks past the next one the caller takes, so at most `window`
// results wait or are being made at any time, whatever the region's size.
//
// The workers share nothing but the queue below: `build` must touch only its
// own chunk and tables that are read-only while the farm runs. No chunk is put
// into any registry; what `build` keeps of a chunk is up to it.
template <class TResult>
class TChunkFarm {
 public:
  // Runs on a worker thread for chunk (x, z) of the region.
  using TBuild = std::function<TResult(int x, int z)>;

  // threads >= 1, window >= 1.
  TChunkFarm(const TChunkRegion& region, int threads, long long window, TBuild build)
      : Region(region), Total(region.Count()), Window(window), Build(std::move(build)) {
    Slots.resize(static_cast<std::size_t>(window));
    Workers.reserve(static_cast<std::size_t>(threads));
    try {
      for (int n = 0; n < threads; ++n) Workers.emplace_back([this] { Work(); });
    } catch (...) {
      // The threads already started must stop before they are joined.
      Stop();
      throw;
    }
  }

  // Workers finish the chunk in hand, then stop and are joined.
  ~TChunkFarm() { Stop(); }

  TChunkFarm(const TChunkFarm&) = delete;
  TChunkFarm& operator=(const TChunkFarm&) = delete;

  // The result of the next chunk in region order, once it is made; nullopt
  // after the last one. The first exception a worker's `build` throws is
  // thrown here, and no further results are given.
  std::optional<TResult> Next() {
    std::unique_lock lock(Mutex);
    if (Failure) std::rethrow_exception(Failure);
    if (Taken == Total) return std::nullopt;
    TSlot& slot = Slots[static_cast<std::size_t>(Taken % Window)];
    DoneCondition.wait(lock, [&] { return slot.has_value() || Failure; });
    if (Failure) std::rethrow_exception(Failure);
    std::optional<TResult> result = std::move(slot);
    slot.reset();
    ++Taken;
    lock.unlock();
    WorkCondition.notify_all();
    return result;
  }

  long long Count() const { return Total; }

 private:
  using TSlot = std::optional<TResult>;

  void Stop() {
    {
      std::lock_guard lock(Mutex);
      Stopping = true;
    }
    WorkCondition.notify_all();
  }

  void Work() {
    std::unique_lock lock(Mutex);
    for (;;) {
      WorkCondition.wait(lock, [&] {
        return Stopping || Failure || Started == Total || Started < Taken + Window;
      });
      if (Stopping || Failure || Started == Total) return;
      const long long n = Started++;
      lock.unlock();
      const int x = static_cast<int>(Region.X0 + n % Region.Width());
      const int z = static_cast<int>(Region.Z0 + n / Region.Width());
      TSlot result;
      std::exception_ptr failure;
      try {
        result.emplace(Build(x, z));
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      if (failure) {
        if (!Failure) Failure = failure;
      } else {
        Slots[static_cast<std::size_t>(n % Window)] = std::move(result);
      }
      DoneCondition.notify_all();
      if (failure) WorkCondition.notify_all();
    }
  }

  const TChunkRegion Region;
  const long long Total;
  const long long Window;
  const TBuild Build;

  std::mutex Mutex;
  std::condition_variable WorkCondition;  // a chunk may be started, or the farm stops
  std::condition_variable DoneCondition;  // a result is ready, or a build failed
  std::vector<TSlot> Slots;               // result of chunk n in slot n % Window
  long long Started = 0;                  // chunks handed to workers
  long long Taken = 0;                    // results handed to the caller
  bool Stopping = false;
  std::exception_ptr Failure;

  // Last, so they are joined before anything they use goes.
  std::vector<std::jthread> Workers;
};
