#include "app/Renderer.h"

#include <GL/glew.h>

#include <string>

#include "gpu/Mesh.h"
#include "platform/FatalError.h"
#include "scene/Camera.h"
#include "scene/Light.h"

void TRenderer::Graphics3D(TPlatform& platform, int width, int height) {
  ScreenWidth = width;
  ScreenHeight = height;
  std::string error;
  if (!platform.OpenWindow(width, height, error)) FatalError("voxelview: " + error + "\n");
}

void TRenderer::RenderWorld() {
  // Start-up creates the camera before the first frame; without one there is
  // no view to draw.
  if (!CurrentCamera) return;
  const TCamera& camera = *CurrentCamera;
  const float s = COLOR_SCALE;

  glEnable(GL_DEPTH_TEST);
  glClearColor(camera.ClsColor.X * s, camera.ClsColor.Y * s, camera.ClsColor.Z * s,
               camera.ClsColor.W * s);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

  if (camera.FogMode == TCamera::FOG_ENABLED) {
    glEnable(GL_FOG);
    glFogi(GL_FOG_MODE, GL_LINEAR);
    glFogf(GL_FOG_START, camera.FogRangeMin);
    glFogf(GL_FOG_END, camera.FogRangeMax);
    const GLfloat fogColor[4] = {camera.FogColor.X * s, camera.FogColor.Y * s,
                                 camera.FogColor.Z * s, camera.FogColor.W * s};
    glFogfv(GL_FOG_COLOR, fogColor);
  } else {
    glDisable(GL_FOG);
  }

  // The view transform is folded into the projection, so the model-view matrix
  // holds only each object's own transform and lighting and fog work in world
  // coordinates.
  glMatrixMode(GL_PROJECTION);
  glLoadMatrixf(camera.ProjectionMatrix.A);
  glMultMatrixf(camera.GetInvTransform()->A);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();

  glEnable(GL_LIGHTING);
  glEnable(GL_COLOR_MATERIAL);
  glShadeModel(GL_SMOOTH);
  TLight::SetStateAmbient(GL_LIGHT0);

  GLint maxLights = 0;
  glGetIntegerv(GL_MAX_LIGHTS, &maxLights);
  int light = GL_LIGHT1;
  for (const std::shared_ptr<TLight>& entry : LightList) {
    if (light - GL_LIGHT0 >= maxLights) break;
    glLoadMatrixf(entry->GetVectorTransform()->A);
    entry->SetState(light);
    ++light;
  }

  // Meshes wind the faces meant to be seen clockwise, so the counter-clockwise
  // (front) faces are the ones to cull.
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);

  for (const std::shared_ptr<TMesh>& mesh : MeshList) {
    if (mesh->Hidden != 0) continue;
    glLoadMatrixf(mesh->GetTransform()->A);
    mesh->Draw();
  }
}
