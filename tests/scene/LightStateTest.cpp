#include <GL/glew.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>

#include "scene/Light.h"
#include "tests/support/GlTest.h"

namespace {

using TFour = std::array<float, 4>;

constexpr float kTolerance = 1e-6f;
const TFour kBlack = {0, 0, 0, 0};
// What OpenGL holds for a light that nothing has positioned.
const TFour kDefaultPosition = {0, 0, 1, 0};

class LightStateTest : public GlTest {
 protected:
  void SetUp() override {
    GlTest::SetUp();
    SavedAmbient = TLight::AmbientColor;
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
  }
  void TearDown() override {
    TLight::AmbientColor = SavedAmbient;
    GlTest::TearDown();
  }

  // Unused components keep a marker, so a three-float query shows as such.
  static TFour Get(GLenum light, GLenum name) {
    TFour v = {-7, -7, -7, -7};
    glGetLightfv(light, name, v.data());
    return v;
  }
  static float GetScalar(GLenum light, GLenum name) { return Get(light, name)[0]; }

  static ::testing::AssertionResult Near(const TFour& actual, const TFour& expected) {
    for (int i = 0; i < 4; ++i) {
      if (!(std::fabs(actual[i] - expected[i]) <= kTolerance)) {
        return ::testing::AssertionFailure()
               << "(" << actual[0] << ", " << actual[1] << ", " << actual[2] << ", " << actual[3]
               << ") != (" << expected[0] << ", " << expected[1] << ", " << expected[2] << ", "
               << expected[3] << ")";
      }
    }
    return ::testing::AssertionSuccess();
  }

  TVector4 SavedAmbient;
};

TEST_F(LightStateTest, EnableLightTurnsTheLightOnWithAllColoursBlack) {
  const TFour bright = {0.3f, 0.4f, 0.5f, 0.6f};
  for (GLenum name : {GL_AMBIENT, GL_DIFFUSE, GL_SPECULAR})
    glLightfv(GL_LIGHT3, name, bright.data());
  TLight::EnableLight(GL_LIGHT3);
  EXPECT_TRUE(glIsEnabled(GL_LIGHT3));
  EXPECT_TRUE(Near(Get(GL_LIGHT3, GL_AMBIENT), kBlack));
  EXPECT_TRUE(Near(Get(GL_LIGHT3, GL_DIFFUSE), kBlack));
  EXPECT_TRUE(Near(Get(GL_LIGHT3, GL_SPECULAR), kBlack));
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(LightStateTest, AmbientLightHasOnlyTheScaledAmbientColour) {
  struct TCase {
    const char* Name;
    bool SetStartUpColour;
    TFour Ambient;
  };
  const TCase cases[] = {
      {"class default", false, {0.5f, 0.5f, 0.5f, 1.0f}},
      {"start-up colour", true, {180.0f / 256, 180.0f / 256, 160.0f / 256, 1.0f}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    if (c.SetStartUpColour) TLight::SetAmbientColor(180, 180, 160);
    TLight::SetStateAmbient(GL_LIGHT0);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT0));
    EXPECT_TRUE(Near(Get(GL_LIGHT0, GL_AMBIENT), c.Ambient));
    // Light 0 starts with a white diffuse and specular colour; the ambient light has neither.
    EXPECT_TRUE(Near(Get(GL_LIGHT0, GL_DIFFUSE), kBlack));
    EXPECT_TRUE(Near(Get(GL_LIGHT0, GL_SPECULAR), kBlack));
    EXPECT_TRUE(Near(Get(GL_LIGHT0, GL_POSITION), kDefaultPosition));
    EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
  }
}

TEST_F(LightStateTest, DirectionalLightShinesFromItsRotatedZAxis) {
  auto light = TLight::Create(TLight::KIND_DIRECTIONAL);
  light->Rotate(45, -30, 0);
  light->SetColor(255, 255, 128);
  glLoadMatrixf(light->GetVectorTransform()->A);
  light->SetState(GL_LIGHT1);

  EXPECT_TRUE(glIsEnabled(GL_LIGHT1));
  EXPECT_TRUE(Near(Get(GL_LIGHT1, GL_DIFFUSE), {255.0f / 256, 255.0f / 256, 128.0f / 256, 1}));
  EXPECT_TRUE(Near(Get(GL_LIGHT1, GL_AMBIENT), kBlack));
  EXPECT_TRUE(Near(Get(GL_LIGHT1, GL_SPECULAR), kBlack));
  // RotX(45) * RotY(-30) * (0, 0, 1, 0), in eye coordinates.
  const float yz = std::sqrt(3.0f / 8.0f);
  EXPECT_TRUE(Near(Get(GL_LIGHT1, GL_POSITION), {0.5f, -yz, yz, 0}));
  EXPECT_EQ(GetScalar(GL_LIGHT1, GL_CONSTANT_ATTENUATION), 1.0f);
  EXPECT_EQ(GetScalar(GL_LIGHT1, GL_LINEAR_ATTENUATION), 0.0f);
  EXPECT_EQ(GetScalar(GL_LIGHT1, GL_QUADRATIC_ATTENUATION), 0.0f);
  EXPECT_EQ(GetScalar(GL_LIGHT1, GL_SPOT_CUTOFF), 180.0f);  // not a spot
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

TEST_F(LightStateTest, PointLightAttenuatesLinearlyOverItsRange) {
  struct TCase {
    float Range;  // 0 keeps the default
    float Linear;
  };
  const TCase cases[] = {{0, 0.01f}, {50, 0.02f}, {4, 0.25f}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Range);
    auto light = TLight::Create(TLight::KIND_POINT);
    if (c.Range != 0) light->SetRange(c.Range);
    light->Rotate(10, 20, 30);
    glLoadMatrixf(light->GetVectorTransform()->A);
    light->SetState(GL_LIGHT1);
    EXPECT_TRUE(Near(Get(GL_LIGHT1, GL_POSITION), {0, 0, 0, 1}));
    EXPECT_TRUE(Near(Get(GL_LIGHT1, GL_DIFFUSE), {255.0f / 256, 255.0f / 256, 255.0f / 256, 1}));
    EXPECT_EQ(GetScalar(GL_LIGHT1, GL_CONSTANT_ATTENUATION), 0.0f);
    EXPECT_FLOAT_EQ(GetScalar(GL_LIGHT1, GL_LINEAR_ATTENUATION), c.Linear);
    EXPECT_EQ(GetScalar(GL_LIGHT1, GL_QUADRATIC_ATTENUATION), 0.0f);
    EXPECT_EQ(GetScalar(GL_LIGHT1, GL_SPOT_CUTOFF), 180.0f);
    EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
  }
}

TEST_F(LightStateTest, SpotLightPointsAlongItsZAxisWithItsCone) {
  struct TCase {
    bool SetCone;
    float Cutoff, Exponent;
  };
  const TCase cases[] = {{false, 30, 45}, {true, 20, 10}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Cutoff);
    auto light = TLight::Create(TLight::KIND_SPOT);
    if (c.SetCone) light->SetConeAngles(20, 10);
    light->SetRange(25);
    light->Rotate(0, 90, 0);
    glLoadMatrixf(light->GetVectorTransform()->A);
    light->SetState(GL_LIGHT2);
    EXPECT_TRUE(glIsEnabled(GL_LIGHT2));
    EXPECT_TRUE(Near(Get(GL_LIGHT2, GL_POSITION), {0, 0, 0, 1}));
    // A quarter yaw carries +Z to -X; OpenGL reports three components.
    EXPECT_TRUE(Near(Get(GL_LIGHT2, GL_SPOT_DIRECTION), {-1, 0, 0, -7}));
    EXPECT_EQ(GetScalar(GL_LIGHT2, GL_CONSTANT_ATTENUATION), 0.0f);
    EXPECT_FLOAT_EQ(GetScalar(GL_LIGHT2, GL_LINEAR_ATTENUATION), 0.04f);
    EXPECT_EQ(GetScalar(GL_LIGHT2, GL_QUADRATIC_ATTENUATION), 0.0f);
    EXPECT_EQ(GetScalar(GL_LIGHT2, GL_SPOT_CUTOFF), c.Cutoff);
    EXPECT_EQ(GetScalar(GL_LIGHT2, GL_SPOT_EXPONENT), c.Exponent);
    EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
  }
}

TEST_F(LightStateTest, LightOfNoKindIsOnlyEnabledAndColoured) {
  const TFour placed = {1, 2, 3, 1};
  glLightfv(GL_LIGHT4, GL_POSITION, placed.data());
  glLightf(GL_LIGHT4, GL_CONSTANT_ATTENUATION, 0.5f);
  glLightf(GL_LIGHT4, GL_SPOT_CUTOFF, 60.0f);

  auto light = TLight::New();
  light->SetColor(64, 128, 32);
  light->Rotate(0, 90, 0);
  glLoadMatrixf(light->GetVectorTransform()->A);
  light->SetState(GL_LIGHT4);

  EXPECT_TRUE(glIsEnabled(GL_LIGHT4));
  EXPECT_TRUE(Near(Get(GL_LIGHT4, GL_DIFFUSE), {0.25f, 0.5f, 0.125f, 1}));
  EXPECT_TRUE(Near(Get(GL_LIGHT4, GL_AMBIENT), kBlack));
  EXPECT_TRUE(Near(Get(GL_LIGHT4, GL_SPECULAR), kBlack));
  EXPECT_TRUE(Near(Get(GL_LIGHT4, GL_POSITION), placed));
  EXPECT_EQ(GetScalar(GL_LIGHT4, GL_CONSTANT_ATTENUATION), 0.5f);
  EXPECT_EQ(GetScalar(GL_LIGHT4, GL_SPOT_CUTOFF), 60.0f);
  EXPECT_EQ(TakeGlError(), static_cast<unsigned>(GL_NO_ERROR));
}

}  // namespace
