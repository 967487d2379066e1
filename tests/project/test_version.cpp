#include "app/Version.h"

#include <gtest/gtest.h>
#include <string>

TEST(Version, TitleIsNameAndVersion) {
    EXPECT_EQ(std::string(vst::app::appTitle()),
        std::string(vst::app::kAppName) + " " + vst::app::kAppVersion);
}
