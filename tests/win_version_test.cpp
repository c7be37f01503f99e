// Version text read from the executable's own version resource; built twice, once with the
// resource that the build makes from the project's version and once without any.
#include "base/version.h"

#include <gtest/gtest.h>

TEST(WinVersion, TextComesFromTheVersionResource)
{
#ifdef KESTRO_VERSION_NUMBERS
    const std::string text = ProgramVersionText();
    EXPECT_EQ(text, FormatVersionText(KESTRO_VERSION_NUMBERS));
    // Shaped vNN.NN.NN whatever the numbers: the build number is not shown.
    ASSERT_EQ(text.size(), 9u);
    EXPECT_EQ(text[0], 'v');
    EXPECT_EQ(text[3], '.');
    EXPECT_EQ(text[6], '.');
#else
    EXPECT_EQ(ProgramVersionText(), "");
#endif
}
