#pragma once

#include <chrono>
#include <string>

// Progress of a long command, drawn on standard error only when that is a
// terminal, so a redirected standard error stays clean. Redraws at most ten
// times a second, and always when the work is done.
class TProgressBar {
 public:
  TProgressBar();
  ~TProgressBar() { Clear(); }  // also when a failure unwinds, before its message
  TProgressBar(const TProgressBar&) = delete;
  TProgressBar& operator=(const TProgressBar&) = delete;

  // "what [#####.....]  50% done/total"; 0 <= done <= total.
  void Show(const std::string& what, long long done, long long total);
  // Removes the bar, leaving the cursor at the start of an empty line.
  void Clear();
  bool Enabled() const { return Enabled_; }

 private:
  bool Enabled_;
  bool Drawn_ = false;
  std::chrono::steady_clock::time_point LastDrawn_;
};
