#pragma once

#include <thread>
#include <type_traits>
#include <utility>

// A thread that is joined when it goes: std::jthread without the stop token,
// which the C++ library of the WebAssembly build does not have.
class TJoiningThread {
 public:
  template <class TFunction>
    requires(!std::is_same_v<std::decay_t<TFunction>, TJoiningThread>)
  explicit TJoiningThread(TFunction&& function) : Thread_(std::forward<TFunction>(function)) {}
  TJoiningThread(TJoiningThread&&) noexcept = default;
  TJoiningThread& operator=(TJoiningThread&& other) noexcept {
    Join();
    Thread_ = std::move(other.Thread_);
    return *this;
  }
  ~TJoiningThread() { Join(); }

 private:
  void Join() {
    if (Thread_.joinable()) Thread_.join();
  }

  std::thread Thread_;
};
