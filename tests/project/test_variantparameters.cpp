#include "imaging/Error.h"
#include "project/VariantParameters.h"

#include <gtest/gtest.h>

using namespace vst::project;

TEST(VariantParameters, TextRoundTrips) {
    Variant v;
    v.VersionName = "Sky %2 = blue";
    v.LayersResizeAspectRatio = 4;
    v.SnapToPos = true;
    v.LayersSnapDist = 33;
    v.DpiX = 300;
    SaveProjectParametersIntoFileDescription(v);
    EXPECT_EQ(v.Description,
        "VersionName=Sky %2 = blue;LockAspectRatio=4;SnapToGrid=-1;GridCellSize=33;DPI=300;");
    Variant back;
    back.Description = v.Description;
    ReadProjectParametersFromFileDescription(back);
    EXPECT_EQ(back.VersionName, v.VersionName);
    EXPECT_EQ(back.LayersResizeAspectRatio, 4);
    EXPECT_TRUE(back.SnapToPos);
    EXPECT_EQ(back.LayersSnapDist, 33);
    EXPECT_EQ(back.DpiX, 300);
    EXPECT_EQ(back.DpiY, 300);
}

TEST(VariantParameters, ReadingRules) {
    const Variant defaults;
    struct Case {
        const char* text;
        const char* name; // expected VersionName
        int dpi;
        bool snap;
    } cases[] = {
        // Only the name and the resolution: the rest stays as configured.
        { "VersionName=Sky;DPI=300;", "Sky", 300, false },
        // Keys count only at the start of a pair: the name's "DPI=" is not the DPI.
        { "VersionName=myDPI=x;", "myDPI=x", 72, false },
        { "xVersionName=Bad;VersionName=Good;", "Good", 72, false },
        { "VersionName=First;VersionName=Second;", "First", 72, false },
        { "VersionName=NoEnd", "", 72, false }, // no ";" after it: an empty value
        { "", "", 72, false },
        { "SnapToGrid=True;", "", 72, true },
        { "SnapToGrid=false;", "", 72, false },
        { "SnapToGrid=5;", "", 72, true },
        { "SnapToGrid=0;", "", 72, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        Variant v;
        v.Description = c.text;
        ReadProjectParametersFromFileDescription(v);
        EXPECT_EQ(v.VersionName, c.name);
        EXPECT_EQ(v.DpiX, c.dpi);
        EXPECT_EQ(v.SnapToPos, c.snap);
        EXPECT_EQ(v.LayersSnapDist, defaults.LayersSnapDist);
        EXPECT_EQ(v.LayersResizeAspectRatio, defaults.LayersResizeAspectRatio);
    }
}

TEST(VariantParameters, NonNumbersStopTheLoad) {
    const struct {
        const char* text;
        const char* message;
    } cases[] = {
        { "DPI=abc;", "'abc' is not a valid integer value" },
        { "GridCellSize=;", "'' is not a valid integer value" },
        { "LockAspectRatio=1.5;", "'1.5' is not a valid integer value" },
        { "DPI=300", "'' is not a valid integer value" },
        { "SnapToGrid=yes;", "'yes' is not a valid boolean value" },
    };
    for (const auto& c : cases) {
        Variant v;
        v.Description = c.text;
        try {
            ReadProjectParametersFromFileDescription(v);
            ADD_FAILURE() << c.text << " was accepted";
        } catch (const ie::Error& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
    }
}
