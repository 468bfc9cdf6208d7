#include "app/Program.h"

#include "app/CameraControl.h"
#include "app/Renderer.h"
#include "blocks/BlockClass.h"
#include "blocks/LuaHandler.h"
#include "scene/Camera.h"
#include "scene/Light.h"
#include "world/Chunk.h"
#include "world/Noise.h"

void TProgram::Startup(TPlatform& platform) {
  // The class-wide state (registries, queues, enumerant tables, the ambient
  // colour) is built before main runs; of it only the workers need starting.
  // They wait on the semaphore until the first chunk is queued at the end.
  TChunk::InitThreads();

  // Everything the workers read without locks is complete before that first
  // chunk: the noise tables, the block registry and the AO tile coordinates.
  CreateNoiseTables();

  TRenderer::Graphics3D(platform, 1024, 768);

  TLuaHandler::Init();
  TBlockClass::Init();

  MainCamera = TCamera::Create();
  MainCamera->SetAOV(60.0f);
  MainCamera->SetViewport(0, 0, 1024, 768);
  MainCamera->SetClsColor(128, 128, 128);
  MainCamera->SetRange(1.0f, 500.0f);
  PlaceCameraAtStart();

  TLight::SetAmbientColor(180, 180, 160);
  const std::shared_ptr<TLight> sun = TLight::Create(TLight::KIND_DIRECTIONAL);
  sun->Rotate(45.0f, -30.0f, 0.0f);
  sun->SetColor(255, 255, 128);

  platform.CreateTimer(60.0);
  CreateInitialChunks(platform);
}

bool TProgram::ExitRequested(TPlatform& platform) {
  if (platform.KeyHits(TPlatform::KEY_ESCAPE) != 0) return true;
  return platform.CloseRequested();
}

void TProgram::UpdateFrame(TPlatform& platform) {
  // Drawing comes first and the camera moves last, so each frame shows the
  // camera where the previous frame left it, and a chunk uploaded here is
  // first drawn next frame.
  TRenderer::RenderWorld();
  ++FramesDrawn;
  UpdateChunkStreaming();
  TChunk::UpdateChunks();
  UpdateCameraControl(platform);
}

int TProgram::Run(TPlatform& platform) {
  static bool ran = false;
  if (ran) return 0;
  ran = true;

  Startup(platform);
  while (!ExitRequested(platform)) {
    UpdateFrame(platform);
    platform.Flip();
    platform.WaitTimer();
  }
  return 0;
}
