#include "math/FormatFloat.h"

#include <gtest/gtest.h>

#include <limits>

namespace {

struct TFormatCase {
  float Value;
  const char* Text;
};

TEST(FormatFloatTest, CutsNineSignificantDigitsToFixedNineCharacterFields) {
  const float nan = std::numeric_limits<float>::quiet_NaN();
  const float inf = std::numeric_limits<float>::infinity();
  const TFormatCase cases[] = {
      {1.0f, " 1.00000 "},
      {-1.0f, "-1.00000 "},
      {0.5f, " 0.50000 "},
      {0.0f, " 0.00000 "},
      {123.456f, " 123.456 "},
      {-123.456f, "-123.456 "},
      // The cut ignores the number's structure: exponents and long integer parts are lost.
      {1e10f, " 1.00000 "},
      {12345678.0f, " 1234567 "},
      {-12345678.0f, "-1234567 "},
      {-1e-7f, "-1.00000 "},
      // -0.0 compares equal to 0 and so takes the non-negative branch, sign and all.
      {-0.0f, " -0.0000 "},
      // NaN fails the >= 0 test and takes the negative branch; short texts are padded.
      {nan, "nan      "},
      {-nan, "-nan     "},
      {inf, " inf     "},
      {-inf, "-inf     "},
  };
  for (const TFormatCase& c : cases) {
    SCOPED_TRACE(c.Text);
    EXPECT_EQ(FormatFloat(c.Value), c.Text);
  }
}

}  // namespace
