#include "scene/Light.h"

#include <gtest/gtest.h>

#include "scene/RenderRegistry.h"

namespace {

TEST(LightTest, LightsRegisterInOrderOfCreation) {
  TRenderRegistry::LightList.clear();
  auto plain = TLight::New();
  auto directional = TLight::Create(TLight::KIND_DIRECTIONAL);
  auto spot = TLight::Create(TLight::KIND_SPOT);
  ASSERT_EQ(TRenderRegistry::LightList.size(), 3u);
  EXPECT_EQ(TRenderRegistry::LightList[0], plain);
  EXPECT_EQ(TRenderRegistry::LightList[1], directional);
  EXPECT_EQ(TRenderRegistry::LightList[2], spot);
  EXPECT_EQ(plain->Kind, 0);
  EXPECT_EQ(directional->Kind, TLight::KIND_DIRECTIONAL);
  EXPECT_EQ(spot->Kind, TLight::KIND_SPOT);
}

}  // namespace
