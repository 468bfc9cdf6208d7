// voxeltool shot [--at X Y Z] [--turn YAW PITCH] [--frames N] [--out FILE.png]:
// runs the viewer's own start-up and frame loop in a window on the current
// display, without mouse input, and saves what the window shows once every
// initial chunk is on screen (or after N frames). With --at or --turn the
// camera starts there and holds still instead of flying on.
#include <GL/glew.h>
// After GLEW, which must come before any other OpenGL header.
#include <CLI/CLI.hpp>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/CameraControl.h"
#include "app/FirstViewWatch.h"
#include "app/Program.h"
#include "app/Renderer.h"
#include "gpu/Image.h"
#include "platform/GlfwPlatform.h"
#include "tools/ChunkRegion.h"
#include "tools/Commands.h"
#include "tools/DataPack.h"
#include "tools/OutputFile.h"
#include "tools/PngFile.h"
#include "world/Chunk.h"

namespace {

// The real platform, with the mouse left alone and a hook before each frame is
// shown, where the finished back buffer can be read.
class TShotPlatform : public TPlatform {
 public:
  // A place the camera holds still at, in world coordinates (double: far out a
  // float cannot even hold the place asked for).
  struct THold {
    double X = 0.0, Y = 0.0, Z = 0.0;
  };

  TShotPlatform(int frames, std::optional<THold> hold) : Frames_(frames), Hold_(hold) {}

  bool OpenWindow(int width, int height, std::string& error) override {
    return Real_.OpenWindow(width, height, error);
  }
  int KeyHits(int key) override {
    if (key == KEY_ESCAPE && Done_) return 1;
    return Real_.KeyHits(key);
  }
  bool CloseRequested() override { return Real_.CloseRequested(); }
  int MouseXMotion() override { return 0; }
  int MouseYMotion() override { return 0; }
  void MoveMouse(int, int) override {}
  void CreateTimer(double ticksPerSecond) override { Real_.CreateTimer(ticksPerSecond); }
  void WaitTimer() override { Real_.WaitTimer(); }

  void Flip() override {
    ++Shown_;
    const bool full = FirstView_.FrameIsFull();
    const bool ready = Frames_ > 0 ? Shown_ >= Frames_ : full;
    if (ready && !Done_) {
      Picture_ = Capture();
      Done_ = true;
    }
    if (Hold_) HoldStill();
    Real_.Flip();
  }

  // Before the next frame is drawn: the camera back where it was asked to be
  // (undoing the frame's step forward), with the world's origin moved to the
  // corner of the start square's centre chunk. Far out, world coordinates in
  // single precision would put chunks a block or more off, with cracks
  // between them; near the camera they are exact. Streaming, which looks at
  // the camera after drawing, then finds it in the chunk it last saw and
  // queues and drops nothing; start-up already queued the square around the
  // real place.
  void HoldStill() {
    if (!Shifted_) {
      OriginChunkX_ = CameraChunkX;
      OriginChunkZ_ = CameraChunkZ;
    }
    const auto x = static_cast<float>(Hold_->X - TChunk::CHUNK_WIDTH * double(OriginChunkX_));
    const auto z = static_cast<float>(Hold_->Z - TChunk::CHUNK_DEPTH * double(OriginChunkZ_));
    MainCamera->Locate(x, static_cast<float>(Hold_->Y), z);
    if (!Shifted_) {
      CameraChunkX = CameraChunkCoordinate(x);
      CameraChunkZ = CameraChunkCoordinate(z);
      Shifted_ = true;
    }
    for (const auto& mesh : TRenderRegistry::MeshList) {
      if (auto* chunk = dynamic_cast<TChunk*>(mesh.get()); chunk && chunk->Hidden == 0) {
        chunk->Locate(static_cast<float>(TChunk::CHUNK_WIDTH * (chunk->ChunkX - OriginChunkX_)),
                      0.0f,
                      static_cast<float>(TChunk::CHUNK_DEPTH * (chunk->ChunkZ - OriginChunkZ_)));
      }
    }
  }

  // Once Done: what the window showed.
  const TImage& Picture() const { return Picture_; }
  bool Done() const { return Done_; }
  int Shown() const { return Shown_; }

 private:
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
  std::optional<THold> Hold_;
  bool Shifted_ = false;
  int OriginChunkX_ = 0, OriginChunkZ_ = 0;
  TFirstViewWatch FirstView_;
  int Shown_ = 0;
  bool Done_ = false;
  TImage Picture_;
};

struct TShotOptions {
  int Frames = 0;  // 0: once every initial chunk is on screen
  std::string Out = "shot.png";
  std::vector<double> At;  // X Y Z, or empty: the viewer's start
  std::vector<int> Turn;   // yaw and pitch in degrees, or empty: the viewer's start
};

// The square around the camera's chunk must lie within the coordinates the
// generator accepts.
void CheckPlace(double x, double z) {
  const long long limit =
      static_cast<long long>(TChunk::CHUNK_WIDTH) * (TChunkRegion::MAX_COORDINATE - ViewRadius);
  if (!(std::fabs(x) <= limit && std::fabs(z) <= limit))
    throw CLI::ValidationError("--at", "X and Z must lie within +-" + std::to_string(limit));
}

int RunShot(const TShotOptions& options) {
  if (!options.At.empty()) {
    CheckPlace(options.At[0], options.At[2]);
    CameraStart.X = static_cast<float>(options.At[0]);
    CameraStart.Y = static_cast<float>(options.At[1]);
    CameraStart.Z = static_cast<float>(options.At[2]);
  }
  if (!options.Turn.empty()) {
    // The viewer keeps its pitch within these limits too.
    if (options.Turn[1] < -90 || options.Turn[1] > 90)
      throw CLI::ValidationError("--turn", "PITCH must be from -90 to 90 degrees");
    CameraStart.Yaw = options.Turn[0];
    CameraStart.Pitch = options.Turn[1];
  }
  std::optional<TShotPlatform::THold> hold;
  if (!options.At.empty()) {
    hold = {options.At[0], options.At[1], options.At[2]};
  } else if (!options.Turn.empty()) {
    hold = {CameraStart.X, CameraStart.Y, CameraStart.Z};
  }
  // The file is opened only once the picture is taken: start-up ends the
  // process on a fatal error, which would leave a temporary file behind. What
  // can be refused without opening it is refused before the window opens.
  TOutputFile::CheckPath(options.Out);
  TDataPack::Use("voxeltool shot");
  TShotPlatform platform(options.Frames, hold);
  TProgram::Run(platform);
  if (!platform.Done()) {
    std::fputs("voxeltool shot: ended before the picture was taken\n", stderr);
    return 1;
  }
  WritePngFile(platform.Picture(), options.Out);
  // Standard output holds the picture alone.
  if (options.Out != "-") std::printf("%s: frame %d\n", options.Out.c_str(), platform.Shown());
  return 0;
}

}  // namespace

void AddShotCommand(CLI::App& tool, int& status) {
  CLI::App* command = tool.add_subcommand("shot", "save a picture of what the viewer shows");
  command->footer(
      "Runs the viewer's own start-up and frame loop in a window on the current display,\n"
      "without mouse input, and saves what the window shows as a PNG once every chunk of\n"
      "the first square is on screen. Needs an OpenGL display (without one: xvfb-run -a).\n"
      "With --at or --turn the camera starts at that place and direction instead of the\n"
      "viewer's (0 100 0, turned 90 0: along +X), loads the square of chunks the viewer\n"
      "would hold there and holds still while it waits for them. Without them the picture\n"
      "is exactly the viewer's first view.");
  auto options = std::make_shared<TShotOptions>();
  command->add_option("--at", options->At, "the camera's place, world coordinates (blocks)")
      ->expected(3)
      ->type_name("X Y Z")
      ->check(CLI::Range(-1.0e9, 1.0e9));
  command->add_option("--turn", options->Turn, "the camera's yaw (90: along +X) and pitch (up)")
      ->expected(2)
      ->type_name("YAW PITCH")
      ->check(CLI::Range(-1000000, 1000000));
  command->add_option("--frames", options->Frames, "take the picture after N frames instead")
      ->type_name("N")
      ->check(CLI::Range(1, 1000000));
  command->add_option("--out", options->Out, "the picture to write, - for standard output")
      ->type_name("FILE.png")
      ->capture_default_str();
  command->callback([options, &status] { status = RunShot(*options); });
}
