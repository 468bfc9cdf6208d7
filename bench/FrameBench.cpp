// vx_frame_bench [--frames N] [--free-running]: the viewer as a person sees it
// start, timed. Runs the viewer's own start-up and frame loop (TProgram::Run)
// in a window on the current display, the mouse left alone, and prints how
// long it took from main to the first full view (TFirstViewWatch, the frame
// voxeltool shot saves) and the time from one shown frame to the next: while
// the start square loads, and for N frames of flight after it. Run it from a
// folder holding the data files, with a display (xvfb-run -a without one).
#include <CLI/CLI.hpp>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/FirstViewWatch.h"
#include "app/Program.h"
#include "platform/GlfwPlatform.h"

namespace {

using TClock = std::chrono::steady_clock;

double MillisecondsBetween(TClock::time_point from, TClock::time_point to) {
  return std::chrono::duration<double, std::milli>(to - from).count();
}

// The real platform, timing each frame: when the timer's wait ended (the
// frame's work starts) and when its swap returned (the frame is shown).
class TTimedPlatform : public TPlatform {
 public:
  TTimedPlatform(TGlfwPlatform::TOptions options, int flightFrames)
      : Real_(options), FlightFrames_(flightFrames) {}

  bool OpenWindow(int width, int height, std::string& error) override {
    return Real_.OpenWindow(width, height, error);
  }
  int KeyHits(int key) override {
    if (key == KEY_ESCAPE && Done()) return 1;
    return Real_.KeyHits(key);
  }
  bool CloseRequested() override { return Real_.CloseRequested(); }
  int MouseXMotion() override { return 0; }
  int MouseYMotion() override { return 0; }
  void MoveMouse(int, int) override {}
  void CreateTimer(double ticksPerSecond) override {
    Real_.CreateTimer(ticksPerSecond);
    Woke_ = TClock::now();
  }
  void WaitTimer() override {
    Real_.WaitTimer();
    Woke_ = TClock::now();
  }
  void Flip() override {
    const bool full = FirstView_.FrameIsFull();
    Real_.Flip();
    const TClock::time_point shown = TClock::now();
    Shown_.push_back(shown);
    Work_.push_back(MillisecondsBetween(Woke_, shown));
    if (full && FirstFull_ < 0) FirstFull_ = static_cast<int>(Shown_.size()) - 1;
  }

  bool Done() const {
    return FirstFull_ >= 0 && static_cast<int>(Shown_.size()) > FirstFull_ + FlightFrames_;
  }
  // Index into Shown() of the first full view, or -1.
  int FirstFull() const { return FirstFull_; }
  const std::vector<TClock::time_point>& Shown() const { return Shown_; }
  // Per frame, ms from the end of the wait before it to its swap's end.
  const std::vector<double>& Work() const { return Work_; }

 private:
  TGlfwPlatform Real_;
  int FlightFrames_;
  TFirstViewWatch FirstView_;
  TClock::time_point Woke_;
  std::vector<TClock::time_point> Shown_;
  std::vector<double> Work_;
  int FirstFull_ = -1;
};

struct TSummary {
  std::size_t Count;
  double Median, P90, Mean, Min, Max;
};

TSummary Summarise(std::vector<double> samples) {
  if (samples.empty()) return {0, 0.0, 0.0, 0.0, 0.0, 0.0};
  std::sort(samples.begin(), samples.end());
  const std::size_t n = samples.size();
  const double median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
  // Nearest rank, as voxeltool bench takes it.
  const std::size_t p90 = (9 * n + 9) / 10 - 1;
  double total = 0.0;
  for (double sample : samples) total += sample;
  return {n, median, samples[p90], total / static_cast<double>(n), samples.front(), samples.back()};
}

void PrintRow(const char* name, const std::vector<double>& samples) {
  const TSummary s = Summarise(samples);
  std::printf("  %-22s %6zu %8.2f %8.2f %8.2f %8.2f %8.2f\n", name, s.Count, s.Median, s.P90,
              s.Mean, s.Min, s.Max);
}

// Frame-to-frame times of the shown frames first + 1 .. last (indices).
std::vector<double> Intervals(const std::vector<TClock::time_point>& shown, int first, int last) {
  std::vector<double> intervals;
  for (int n = first + 1; n <= last; ++n)
    intervals.push_back(MillisecondsBetween(shown[n - 1], shown[n]));
  return intervals;
}

int Measure(const TClock::time_point started, bool freeRunning, int flightFrames) {
  TGlfwPlatform::TOptions options;
  options.FreeRunning = freeRunning;
  TTimedPlatform platform(options, flightFrames);
  TProgram::Run(platform);
  if (!platform.Done()) {
    std::fputs("vx_frame_bench: the viewer ended before the frames were timed\n", stderr);
    return 1;
  }
  const auto& shown = platform.Shown();
  const int full = platform.FirstFull();
  const int last = static_cast<int>(shown.size()) - 1;
  std::printf("first full view: frame %d, %.0f ms after main (%s)\n", full + 1,
              MillisecondsBetween(started, shown[full]),
              freeRunning ? "free-running: no 60 Hz wait" : "paced at 60 Hz, as the viewer");
  std::printf("  %-22s %6s %8s %8s %8s %8s %8s\n", "ms", "frames", "median", "p90", "mean", "min",
              "max");
  PrintRow("interval, loading", Intervals(shown, 0, full));
  PrintRow("interval, flight", Intervals(shown, full, last));
  const std::vector<double>& work = platform.Work();
  PrintRow("work, loading", std::vector<double>(work.begin(), work.begin() + full + 1));
  PrintRow("work, flight", std::vector<double>(work.begin() + full + 1, work.end()));
  std::printf(
      "(interval: from one frame's swap to the next; work: from the end of the timer's wait to "
      "the swap's end; loading: frames 1..%d, flight: the %d after)\n",
      full + 1, flightFrames);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const TClock::time_point started = TClock::now();
  CLI::App app("Times the viewer's start-up and frames in a window on the current display.",
               "vx_frame_bench");
  int flightFrames = 300;
  bool freeRunning = false;
  app.add_option("--frames", flightFrames, "frames of flight to time after the first full view")
      ->check(CLI::Range(1, 100000))
      ->capture_default_str();
  app.add_flag("--free-running", freeRunning, "no 60 Hz wait between frames");
  CLI11_PARSE(app, argc, argv);
  const int status = Measure(started, freeRunning, flightFrames);
  // Like the viewer: the workers are neither stopped nor joined.
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}
