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
#include "tools/JoiningThread.h"

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
      : Region_(region), Total_(region.Count()), Window_(window), Build_(std::move(build)) {
    Slots_.resize(static_cast<std::size_t>(window));
    Workers_.reserve(static_cast<std::size_t>(threads));
    try {
      for (int n = 0; n < threads; ++n) Workers_.emplace_back([this] { Work(); });
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
    std::unique_lock lock(Mutex_);
    if (Failure_) std::rethrow_exception(Failure_);
    if (Taken_ == Total_) return std::nullopt;
    TSlot& slot = Slots_[static_cast<std::size_t>(Taken_ % Window_)];
    DoneCondition_.wait(lock, [&] { return slot.has_value() || Failure_; });
    if (Failure_) std::rethrow_exception(Failure_);
    std::optional<TResult> result = std::move(slot);
    slot.reset();
    ++Taken_;
    lock.unlock();
    WorkCondition_.notify_all();
    return result;
  }

  long long Count() const { return Total_; }

 private:
  using TSlot = std::optional<TResult>;

  void Stop() {
    {
      std::lock_guard lock(Mutex_);
      Stopping_ = true;
    }
    WorkCondition_.notify_all();
  }

  void Work() {
    std::unique_lock lock(Mutex_);
    for (;;) {
      WorkCondition_.wait(lock, [&] {
        return Stopping_ || Failure_ || Started_ == Total_ || Started_ < Taken_ + Window_;
      });
      if (Stopping_ || Failure_ || Started_ == Total_) return;
      const long long n = Started_++;
      lock.unlock();
      const int x = static_cast<int>(Region_.X0 + n % Region_.Width());
      const int z = static_cast<int>(Region_.Z0 + n / Region_.Width());
      TSlot result;
      std::exception_ptr failure;
      try {
        result.emplace(Build_(x, z));
      } catch (...) {
        failure = std::current_exception();
      }
      lock.lock();
      if (failure) {
        if (!Failure_) Failure_ = failure;
      } else {
        Slots_[static_cast<std::size_t>(n % Window_)] = std::move(result);
      }
      DoneCondition_.notify_all();
      if (failure) WorkCondition_.notify_all();
    }
  }

  const TChunkRegion Region_;
  const long long Total_;
  const long long Window_;
  const TBuild Build_;

  std::mutex Mutex_;
  std::condition_variable WorkCondition_;  // a chunk may be started, or the farm stops
  std::condition_variable DoneCondition_;  // a result is ready, or a build failed
  std::vector<TSlot> Slots_;               // result of chunk n in slot n % Window_
  long long Started_ = 0;                  // chunks handed to workers
  long long Taken_ = 0;                    // results handed to the caller
  bool Stopping_ = false;
  std::exception_ptr Failure_;

  // Last, so they are joined before anything they use goes.
  std::vector<TJoiningThread> Workers_;
};
