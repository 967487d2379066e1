// The settings store: a first run, value types, the special values and damaged values.
#include "app/SettingsStore.h"
#include "app/Translation.h"

#include <QSettings>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vst::app;

namespace {

class SettingsTest : public ::testing::Test {
protected:
    QSettings store() { return QSettings(m_dir.path() + "/settings.ini", QSettings::IniFormat); }
    void put(const QString& name, const QVariant& value) {
        QSettings s = store();
        s.setValue(name, value);
    }
    TOptionFields load(QString* stoppedAt = nullptr) {
        QSettings s = store();
        TOptionFields f;
        EXPECT_TRUE(LoadSettingsFromRegistry(s, f, stoppedAt));
        return f;
    }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(SettingsTest, FirstRunChangesNothingAndTheWriteStoresAll121Values) {
    QSettings s = store();
    TOptionFields f;
    f.fCurrentBrushWidth = 77;
    EXPECT_FALSE(LoadSettingsFromRegistry(s, f));
    EXPECT_EQ(f.fCurrentBrushWidth, 77);
    ASSERT_EQ(settingsSchema().size(), 121u);
    SaveSettingsInRegistry(s, TOptionFields {});
    EXPECT_EQ(s.allKeys().size(), 121);
    EXPECT_EQ(s.value("background_normal").toInt(), 2368032);
    EXPECT_EQ(s.value("CurrentText_HeaderFontStyle").toString(), "000");
    EXPECT_EQ(s.value("CurrentHorizonAutoCrop").toInt(), 1);
    EXPECT_EQ(s.value("CurrentBrushGradient_Type").toInt(), 1);
    EXPECT_EQ(s.value("CurrentBrushTransparency").toInt(), 100);
}

TEST_F(SettingsTest, ValuesRoundTripThroughTheStore) {
    TOptionFields f;
    f.fCurrentBrushOpacity = 30;
    f.fCurrentShapeFilledByColor = true;
    f.fCurrentText_FormattedFontName = "Liberation Sans, Bold";
    f.fCurrentText_HeaderFontStyle = { true, false, true };
    f.fCurrentBrushColor = 0x00FF8000;
    f.window = { 10, 20, 900, 700, true, true };
    {
        QSettings s = store();
        SaveSettingsInRegistry(s, f);
    }
    const TOptionFields back = load();
    EXPECT_EQ(back.fCurrentBrushOpacity, 30);
    EXPECT_TRUE(back.fCurrentShapeFilledByColor);
    EXPECT_EQ(back.fCurrentText_FormattedFontName, f.fCurrentText_FormattedFontName);
    EXPECT_EQ(back.fCurrentText_HeaderFontStyle, f.fCurrentText_HeaderFontStyle);
    EXPECT_EQ(back.fCurrentBrushColor, 0x00FF8000u);
    EXPECT_TRUE(back.window.maximized);
    EXPECT_EQ(back.window.width, 900);
}

TEST_F(SettingsTest, SpecialValuesReadAsTheirRulesSay) {
    put("StayOnTop", 2);
    put("window_m", 3);
    put("CurrentText_HeaderFontStyle", "101");
    put("CurrentText_FormattedFontStyle", "1");
    put("CurrentShowRulers", 5);
    put("APIKey", "  key  ");
    put("CurrentLanguage", "fr");
    const TOptionFields f = load();
    EXPECT_FALSE(f.fStayOnTop);
    EXPECT_FALSE(f.window.maximized);
    EXPECT_EQ(f.fCurrentText_HeaderFontStyle, (TFontStyle { true, false, true }));
    EXPECT_EQ(f.fCurrentText_FormattedFontStyle, (TFontStyle { true, false, false }));
    EXPECT_TRUE(f.fCurrentShowRulers);
    EXPECT_EQ(storedApiKey(), "  key  ");
    EXPECT_EQ(CurrentLanguage(), "fr");
    put("StayOnTop", 1);
    EXPECT_TRUE(load().fStayOnTop);
}

TEST_F(SettingsTest, AWronglyTypedValueStopsTheReadThere) {
    put("zoomfilter", 5); // before the bad value: kept
    put("CurrentBrushWidth", "wide");
    put("CurrentBrushHeight", 33); // after it: default
    put("CurrentHealingMethod", 0);
    QString stopped;
    const TOptionFields f = load(&stopped);
    EXPECT_EQ(stopped, "CurrentBrushWidth");
    EXPECT_EQ(f.fZoomFilter, 5);
    EXPECT_EQ(f.fCurrentBrushWidth, 20);
    EXPECT_EQ(f.fCurrentBrushHeight, 20);
    EXPECT_EQ(f.fCurrentHealingMethod, 1);
}

TEST_F(SettingsTest, OutOfRangeValuesKeepTheirDefaults) {
    struct Case {
        const char* name;
        int stored;
        int TOptionFields::*field;
        int expected;
    };
    const Case cases[] = {
        { "zoomfilter", 19, &TOptionFields::fZoomFilter, 0 },
        { "zoomfilter", -1, &TOptionFields::fZoomFilter, 0 },
        { "zoomfilter", 18, &TOptionFields::fZoomFilter, 18 },
        { "CurrentShowRulersUnits", 4, &TOptionFields::fCurrentShowRulersUnits, 0 },
        { "CurrentRetouchType", 13, &TOptionFields::fCurrentRetouchType, 0 },
        { "CurrentBrushWidth", 0, &TOptionFields::fCurrentBrushWidth, 20 },
        { "CurrentBrushTransparency", 101, &TOptionFields::fCurrentBrushOpacity, 100 },
        { "CurrentHealingMethod", 2, &TOptionFields::fCurrentHealingMethod, 1 },
    };
    for (const Case& c : cases) {
        put(c.name, c.stored);
        EXPECT_EQ(load().*c.field, c.expected) << c.name << " = " << c.stored;
    }
    put("background_normal", -5);
    EXPECT_EQ(load().fBackgroundColor_Normal, 2368032u);
}
