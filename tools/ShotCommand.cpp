// voxeltool shot [--frames N] [--out FILE.png]: runs the viewer's own start-up
// and frame loop in a window on the current display, without mouse input, and
// saves what the window shows once every initial chunk is on screen (or after
// N frames).
#include <GL/glew.h>
// After GLEW, which must come before any other OpenGL header.
#include <CLI/CLI.hpp>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "app/CameraControl.h"
#include "app/Program.h"
#include "app/Renderer.h"
#include "gpu/Image.h"
#include "platform/GlfwPlatform.h"
#include "tools/Commands.h"
#include "world/Chunk.h"

namespace {

// The real platform, with the mouse left alone and a hook before each frame is
// shown, where the finished back buffer can be read.
class TShotPlatform : public TPlatform {
 public:
  TShotPlatform(int frames, std::string out) : Frames_(frames), Out_(std::move(out)) {}

  bool OpenWindow(int width, int height, std::string& error) override {
    return Real_.OpenWindow(width, height, error);
  }
  int KeyHits(int key) override {
    if (key == KEY_ESCAPE && Done_) return 1;
    return Real_.KeyHits(key);
  }
  bool CloseRequested() override { return Real_.CloseRequested(); }
  int MouseXSpeed() override { return 0; }
  int MouseYSpeed() override { return 0; }
  void MoveMouse(int, int) override {}
  void CreateTimer(double ticksPerSecond) override { Real_.CreateTimer(ticksPerSecond); }
  void WaitTimer() override { Real_.WaitTimer(); }

  void Flip() override {
    ++Shown_;
    // The frame being shown was drawn before this frame's upload, so it holds
    // every initial chunk once all of them were visible at the previous flip.
    const bool ready = Frames_ > 0 ? Shown_ >= Frames_ : AllVisibleAtLastFlip_;
    if (ready && !Done_) {
      Saved_ = Capture().SavePng(Out_);
      Done_ = true;
    }
    AllVisibleAtLastFlip_ = VisibleChunks() >= InitialChunkCount_;
    Real_.Flip();
  }

  bool Saved() const { return Saved_; }
  bool Done() const { return Done_; }
  int Shown() const { return Shown_; }

 private:
  static std::size_t VisibleChunks() {
    std::size_t visible = 0;
    for (const auto& mesh : TRenderer::MeshList) {
      if (mesh->Hidden == 0 && dynamic_cast<const TChunk*>(mesh.get())) ++visible;
    }
    return visible;
  }

  static TImage Capture() {
    TImage image;
    image.Width = TRenderer::ScreenWidth;
    image.Height = TRenderer::ScreenHeight;
    image.Pixels.resize(static_cast<std::size_t>(image.Width) * image.Height * 4);
    TImage flipped = image;
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, image.Width, image.Height, GL_RGBA, GL_UNSIGNED_BYTE, image.Pixels.data());
    // OpenGL's rows run bottom-up, an image's top-down; the window has no alpha to keep.
    for (int y = 0; y < image.Height; ++y) {
      const std::uint8_t* from = image.PixelAt(0, image.Height - 1 - y);
      std::uint8_t* to = flipped.PixelAt(0, y);
      for (int x = 0; x < image.Width; ++x) {
        to[4 * x + 0] = from[4 * x + 0];
        to[4 * x + 1] = from[4 * x + 1];
        to[4 * x + 2] = from[4 * x + 2];
        to[4 * x + 3] = 255;
      }
    }
    return flipped;
  }

  TGlfwPlatform Real_;
  int Frames_;
  std::string Out_;
  std::size_t InitialChunkCount_ = InitialChunks(ViewRadius).size();
  int Shown_ = 0;
  bool AllVisibleAtLastFlip_ = false;
  bool Done_ = false;
  bool Saved_ = false;
};

struct TShotOptions {
  int Frames = 0;  // 0: once every initial chunk is on screen
  std::string Out = "shot.png";
};

int RunShot(const TShotOptions& options) {
  const int frames = options.Frames;
  const std::string& out = options.Out;
  TShotPlatform platform(frames, out);
  TProgram::Run(platform);
  if (!platform.Done()) {
    std::fputs("voxeltool shot: ended before the picture was taken\n", stderr);
    return 1;
  }
  if (!platform.Saved()) {
    std::fprintf(stderr, "voxeltool shot: cannot write %s\n", out.c_str());
    return 1;
  }
  std::printf("%s: frame %d\n", out.c_str(), platform.Shown());
  return 0;
}

}  // namespace

void AddShotCommand(CLI::App& tool, int& status) {
  CLI::App* command = tool.add_subcommand("shot", "save a picture of what the viewer shows");
  command->footer(
      "Runs the viewer's own start-up and frame loop in a window on the current display,\n"
      "without mouse input, and saves what the window shows as a PNG once every chunk of\n"
      "the first square is on screen. Needs an OpenGL display (without one: xvfb-run -a).");
  auto options = std::make_shared<TShotOptions>();
  command->add_option("--frames", options->Frames, "take the picture after N frames instead")
      ->type_name("N")
      ->check(CLI::Range(1, 1000000));
  command->add_option("--out", options->Out, "the picture to write")
      ->type_name("FILE.png")
      ->capture_default_str();
  command->callback([options, &status] { status = RunShot(*options); });
}
