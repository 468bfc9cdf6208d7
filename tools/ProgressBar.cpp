#include "tools/ProgressBar.h"

#include <unistd.h>

#include <cstdio>

namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

}  // namespace

TProgressBar::TProgressBar() : Enabled_(isatty(STDERR_FILENO) != 0) {}

void TProgressBar::Show(const std::string& what, long long done, long long total) {
  if (!Enabled_) return;
  const auto now = std::chrono::steady_clock::now();
  if (Drawn_ && done < total && now - LastDrawn_ < kRedrawInterval) return;
  LastDrawn_ = now;
  Drawn_ = true;
  const double share = total > 0 ? static_cast<double>(done) / static_cast<double>(total) : 1.0;
  const int filled = static_cast<int>(share * kBarWidth);
  std::string bar(static_cast<std::size_t>(filled), '#');
  bar.resize(kBarWidth, '.');
  std::fprintf(stderr, "\r\033[K%s [%s] %3d%% %lld/%lld", what.c_str(), bar.c_str(),
               static_cast<int>(share * 100.0), done, total);
  std::fflush(stderr);
}

void TProgressBar::Clear() {
  if (!Enabled_ || !Drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  Drawn_ = false;
}
