#include "app/SettingsStore.h"

#include "app/Translation.h"
#include "imaging/Error.h"

#include <QFileInfo>
#include <QSettings>
#include <optional>

namespace vst::app {

namespace {

using F = TOptionFields;

SettingDef integer(const char* name, int F::*field, int min = INT_MIN, int max = INT_MAX) {
    SettingDef d { name, SettingKind::Integer };
    d.integer = field;
    d.min = min;
    d.max = max;
    return d;
}

SettingDef color(const char* name, TColor F::*field) {
    SettingDef d { name, SettingKind::Color };
    d.color = field;
    d.min = 0;
    d.max = 0xFFFFFF;
    return d;
}

SettingDef boolean(const char* name, bool F::*field) {
    SettingDef d { name, SettingKind::Boolean };
    d.boolean = field;
    return d;
}

SettingDef string(const char* name, QString F::*field) {
    SettingDef d { name, SettingKind::String };
    d.string = field;
    return d;
}

SettingDef fontStyle(const char* name, TFontStyle F::*field) {
    SettingDef d { name, SettingKind::FontStyle };
    d.fontStyle = field;
    return d;
}

SettingDef special(const char* name, SettingKind kind) {
    return SettingDef { name, kind };
}

// Sizes of tool tips and shapes, and percentages.
constexpr int kMaxSize = 10000;

std::vector<SettingDef> buildSchema() {
    return {
        special("window_x", SettingKind::WindowLeft),
        special("window_y", SettingKind::WindowTop),
        special("window_w", SettingKind::WindowWidth),
        special("window_h", SettingKind::WindowHeight),
        special("window_m", SettingKind::WindowMaximized),
        color("background_normal", &F::fBackgroundColor_Normal),
        color("background_fullscreen", &F::fBackgroundColor_FullScreen),
        integer("zoomfilter", &F::fZoomFilter, 0, 18),
        special("CurrentLanguage", SettingKind::Language),
        string("SaveFile_RecentExtension", &F::fSaveFile_RecentExtension),
        string("SaveFile_RecentFolder", &F::fSaveFile_RecentFolder),
        string("OpenFile_RecentFolder", &F::fOpenFile_RecentFolder),
        integer("CurrentBrushType", &F::fCurrentBrushType, 0, 3),
        color("CurrentBrushColor", &F::fCurrentBrushColor),
        color("CurrentBrushGradient_Color1", &F::fCurrentBrushGradient_Color1),
        color("CurrentBrushGradient_Color2", &F::fCurrentBrushGradient_Color2),
        string("CurrentBrushTexture_Name", &F::fCurrentBrushTexture_Name),
        integer("CurrentBrushTexture_Step", &F::fCurrentBrushTexture_Step, 0, kMaxSize),
        integer("CurrentBrushSpray_Density", &F::fCurrentBrushSpray_Density, 0, kMaxSize),
        string("CurrentBrushShape_Name", &F::fCurrentBrushShape_Name),
        integer("CurrentBrushWidth", &F::fCurrentBrushWidth, 1, kMaxSize),
        integer("CurrentBrushHeight", &F::fCurrentBrushHeight, 1, kMaxSize),
        integer("CurrentBrushFeather", &F::fCurrentBrushFeather, 0, kMaxSize),
        integer("CurrentBrushAngle", &F::fCurrentBrushAngle, -360, 360),
        integer("CurrentBrushTransparency", &F::fCurrentBrushOpacity, 0, 100),
        integer("CurrentBrushOperation", &F::fCurrentBrushOperation, 0, 255),
        integer("CurrentRetouch_SmudgePressure", &F::fCurrentRetouch_SmudgePressure),
        integer("CurrentRetouch_SmudgeBlur", &F::fCurrentRetouch_SmudgeBlur),
        integer("CurrentRetouch_BlurRadius", &F::fCurrentRetouch_BlurRadius),
        integer("CurrentRetouch_MotionBlurAngle", &F::fCurrentRetouch_MotionBlurAngle),
        integer("CurrentRetouch_MotionBlurSigma", &F::fCurrentRetouch_MotionBlurSigma),
        integer("CurrentRetouch_MotionBlurRadius", &F::fCurrentRetouch_MotionBlurRadius),
        integer("CurrentRetouch_AutoSharpenRate", &F::fCurrentRetouch_AutoSharpenRate),
        integer("CurrentRetouch_AutosharpenIntensity", &F::fCurrentRetouch_AutosharpenIntensity),
        integer("CurrentRetouch_SharpenNeighbourhood", &F::fCurrentRetouch_SharpenNeighbourhood),
        integer("CurrentRetouch_SharpenIntensity", &F::fCurrentRetouch_SharpenIntensity),
        integer("CurrentRetouch_UnsharpenRadius", &F::fCurrentRetouch_UnsharpenRadius),
        integer("CurrentRetouch_UnsharpenThreshold", &F::fCurrentRetouch_UnsharpenThreshold),
        integer("CurrentRetouch_UnsharpenAmount", &F::fCurrentRetouch_UnsharpenAmount),
        integer("CurrentRetouch_SmoothRadius", &F::fCurrentRetouch_SmoothRadius),
        integer("CurrentRetouch_PixelizeBlockSize", &F::fCurrentRetouch_PixelizeBlockSize),
        integer(
            "CurrentRetouch_BrightnessAdjustment_Up", &F::fCurrentRetouch_BrightnessAdjustment_Up),
        integer("CurrentRetouch_BrightnessAdjustment_Down",
            &F::fCurrentRetouch_BrightnessAdjustment_Down),
        integer("CurrentRetouch_SaturationAmount_Up", &F::fCurrentRetouch_SaturationAmount_Up),
        integer("CurrentRetouch_SaturationAmount_Down", &F::fCurrentRetouch_SaturationAmount_Down),
        integer("CurrentRetouch_WaveLength", &F::fCurrentRetouch_WaveLength),
        integer("CurrentRetouch_WavePhase", &F::fCurrentRetouch_WavePhase),
        integer("CurrentRetouch_WaveAmplitude", &F::fCurrentRetouch_WaveAmplitude),
        integer("CurrentRetouchType", &F::fCurrentRetouchType, 0, 12),
        integer("CurrentRetouchHeight", &F::fCurrentRetouchHeight, 1, kMaxSize),
        integer("CurrentRetouchWidth", &F::fCurrentRetouchWidth, 1, kMaxSize),
        integer("CurrentRetouchShape", &F::fCurrentRetouchShape, 0, 1),
        integer("CurrentRetouchFeathering", &F::fCurrentRetouchFeathering, 0, kMaxSize),
        integer("CurrentPencilSize", &F::fCurrentPencilSize, 1, kMaxSize),
        integer("CurrentCloneWidth", &F::fCurrentCloneWidth, 1, kMaxSize),
        integer("CurrentCloneHeight", &F::fCurrentCloneHeight, 1, kMaxSize),
        integer("CurrentCloneFeathering", &F::fCurrentCloneFeathering, 0, kMaxSize),
        integer("CurrentCloneShape", &F::fCurrentCloneShape, 0, 1),
        integer("CurrentEraser", &F::fCurrentEraserType, 0, 1),
        integer("CurrentEraserShape", &F::fCurrentEraserShape, 0, 1),
        integer("CurrentEraserWidth", &F::fCurrentEraserWidth, 1, kMaxSize),
        integer("CurrentEraserHeight", &F::fCurrentEraserHeight, 1, kMaxSize),
        integer("CurrentEraser_Standard_Feathering", &F::fCurrentEraser_Standard_Feathering, 0,
            kMaxSize),
        integer("CurrentEraser_Smart_Tolerance", &F::fCurrentEraser_Smart_Tolerance, 0, 100),
        integer("CurrentEraserTransparency", &F::fCurrentEraserTransparency, 0, 100),
        integer("CurrentShape", &F::fCurrentShape, 0, 255),
        color("CurrentShapeBorderColor", &F::fCurrentShapeBorderColor),
        integer("CurrentShapeBorderWidth", &F::fCurrentShapeBorderWidth, 0, kMaxSize),
        boolean("CurrentShapeFill", &F::fCurrentShapeFilledByColor),
        color("CurrentShapeFillColor1", &F::fCurrentShapeFillColor1),
        color("CurrentShapeFillColor2", &F::fCurrentShapeFillColor2),
        integer("CurrentShapeGradient", &F::fCurrentShapeGradient, 0, 255),
        color("CurrentLineColor", &F::fCurrentLineColor),
        integer("CurrentLineWidth", &F::fCurrentLineWidth, 0, kMaxSize),
        integer("CurrentLineCurve", &F::fCurrentLineCurveSize, -1000, 1000),
        integer("CurrentLineShapeSize", &F::fCurrentLineShapeSize, 0, kMaxSize),
        integer("CurrentLineStyle", &F::fCurrentLineStyle, 0, 255),
        integer("CurrentLineStartShape", &F::fCurrentLineStartShape, 0, 255),
        integer("CurrentLineEndShape", &F::fCurrentLineEndShape, 0, 255),
        integer("CurrentPolylineInputMethod", &F::fCurrentPolylineInputMethod, 0, 1),
        boolean("CurrentPolylineFilled", &F::fCurrentPolylineFilledByColor),
        boolean("CurrentPolylineClosed", &F::fCurrentPolylineClosed),
        color("CurrentPolylineColor1", &F::fCurrentPolylineColor1),
        color("CurrentPolylineColor2", &F::fCurrentPolylineColor2),
        integer("CurrentPolylineBorderWidth", &F::fCurrentPolylineBorderWidth, 0, kMaxSize),
        color("CurrentPolylineBorderColor", &F::fCurrentPolylineBorderColor),
        integer("CurrentPolylineGradient", &F::fCurrentPolylineGradient, 0, 255),
        boolean("CurrentPathClosed", &F::fCurrentPathClosed),
        boolean("CurrentText_HeaderFontFilledByColor", &F::fCurrentText_HeaderFontFilledByColor),
        string("CurrentText_HeaderFontName", &F::fCurrentText_HeaderFontName),
        integer("CurrentText_HeaderFontSize", &F::fCurrentText_HeaderFontSize, 1, kMaxSize),
        color("CurrentText_HeaderFontColor1", &F::fCurrentText_HeaderFontColor1),
        color("CurrentText_HeaderFontColor2", &F::fCurrentText_HeaderFontColor2),
        integer("CurrentText_HeaderFontGradient", &F::fCurrentText_HeaderFontGradient, 0, 255),
        fontStyle("CurrentText_HeaderFontStyle", &F::fCurrentText_HeaderFontStyle),
        integer("CurrentText_HeaderFontBorder", &F::fCurrentText_HeaderFontBorder, 0, kMaxSize),
        color("CurrentText_HeaderFontBorderColor", &F::fCurrentText_HeaderFontBorderColor),
        integer("CurrentText_FormattedAlignment", &F::fCurrentText_FormattedAlignment, 0, 3),
        string("CurrentText_FormattedFontName", &F::fCurrentText_FormattedFontName),
        integer("CurrentText_FormattedFontSize", &F::fCurrentText_FormattedFontSize, 1, kMaxSize),
        color("CurrentText_FormattedFontColor", &F::fCurrentText_FormattedFontColor),
        fontStyle("CurrentText_FormattedFontStyle", &F::fCurrentText_FormattedFontStyle),
        integer("CurrentText_FormattedNumbering", &F::fCurrentText_FormattedNumbering, 0, 255),
        integer("CurrentText_FormattedLineSpacing", &F::fCurrentText_FormattedLineSpacing, 0, 2),
        integer("CurrentFillMode", &F::fCurrentFillMode, 0, 1),
        integer("CurrentFillOpacityValue", &F::fCurrentFillOpacityValue, 0, 100),
        integer("CurrentFillTolerance", &F::fCurrentFillTolerance, 0, 100),
        integer("CurrentMeasure", &F::fCurrentMeasure, 0, 2),
        integer("CurrentHorizon", &F::fCurrentHorizonType, 0, 255),
        boolean("CurrentHorizonAutoCrop", &F::fCurrentHorizonAutoCrop),
        boolean("CurrentHorizonFill", &F::fCurrentHorizonFill),
        color("CurrentHorizonFillColor", &F::fCurrentHorizonFillColor),
        special("StayOnTop", SettingKind::StayOnTop),
        boolean("CurrentShowRulers", &F::fCurrentShowRulers),
        integer("CurrentShowRulersUnits", &F::fCurrentShowRulersUnits, 0, 3),
        integer("CurrentHealingWidth", &F::fCurrentHealingWidth, 1, kMaxSize),
        integer("CurrentHealingHeight", &F::fCurrentHealingHeight, 1, kMaxSize),
        integer("CurrentHealing_Range", &F::fCurrentHealing_Range, 0, kMaxSize),
        integer("CurrentHealingMethod", &F::fCurrentHealingMethod, 0, 1),
        special("APIKey", SettingKind::ApiKey),
        integer("CurrentBrushGradient_Type", &F::fCurrentBrushGradient_Type, 0, 255),
    };
}

struct WrongType { };

// Integers and Booleans are numbers; the INI layer hands them over as text.
int readInteger(const QVariant& value) {
    bool ok = false;
    const qlonglong n = value.typeId() == QMetaType::QString
        ? value.toString().trimmed().toLongLong(&ok)
        : value.toLongLong(&ok);
    if (!ok || value.typeId() == QMetaType::QStringList || n < INT_MIN || n > UINT_MAX)
        throw WrongType {};
    // Colours above 0x7FFFFFFF written by older builds as unsigned still read as the same bits.
    return int(static_cast<std::int32_t>(static_cast<std::uint32_t>(n)));
}

QString readString(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) throw WrongType {};
    return value.toString();
}

bool inRange(const SettingDef& d, int v) {
    return v >= d.min && v <= d.max;
}

void readValue(const SettingDef& d, const QVariant& value, TOptionFields& f) {
    switch (d.kind) {
    case SettingKind::Integer:
        if (const int v = readInteger(value); inRange(d, v)) f.*d.integer = v;
        break;
    case SettingKind::Color:
        if (const int v = readInteger(value); inRange(d, v)) f.*d.color = TColor(v);
        break;
    case SettingKind::Boolean:
        f.*d.boolean = readInteger(value) != 0;
        break;
    case SettingKind::String:
        f.*d.string = readString(value);
        break;
    case SettingKind::FontStyle:
        f.*d.fontStyle = fontStyleFromText(readString(value));
        break;
    case SettingKind::WindowLeft:
        f.window.left = readInteger(value);
        break;
    case SettingKind::WindowTop:
        f.window.top = readInteger(value);
        break;
    case SettingKind::WindowWidth:
        f.window.width = std::max(0, readInteger(value));
        f.window.stored = f.window.width > 0;
        break;
    case SettingKind::WindowHeight:
        f.window.height = std::max(0, readInteger(value));
        break;
    case SettingKind::WindowMaximized:
        f.window.maximized = readInteger(value) == 1;
        break;
    case SettingKind::StayOnTop:
        f.fStayOnTop = readInteger(value) == 1;
        break;
    case SettingKind::Language:
        setCurrentLanguage(readString(value));
        break;
    case SettingKind::ApiKey:
        storedApiKey() = readString(value);
        break;
    }
}

QVariant storedValue(const SettingDef& d, const TOptionFields& f) {
    switch (d.kind) {
    case SettingKind::Integer:
        return f.*d.integer;
    case SettingKind::Color:
        return int(f.*d.color);
    case SettingKind::Boolean:
        return f.*d.boolean ? 1 : 0;
    case SettingKind::String:
        return f.*d.string;
    case SettingKind::FontStyle:
        return fontStyleToText(f.*d.fontStyle);
    case SettingKind::WindowLeft:
        return f.window.left;
    case SettingKind::WindowTop:
        return f.window.top;
    case SettingKind::WindowWidth:
        return f.window.width;
    case SettingKind::WindowHeight:
        return f.window.height;
    case SettingKind::WindowMaximized:
        return f.window.maximized ? 1 : 0;
    case SettingKind::StayOnTop:
        return f.fStayOnTop ? 1 : 0;
    case SettingKind::Language:
        return CurrentLanguage();
    case SettingKind::ApiKey:
        return storedApiKey();
    }
    return {};
}

} // namespace

const std::vector<SettingDef>& settingsSchema() {
    static const std::vector<SettingDef> schema = buildSchema();
    return schema;
}

std::unique_ptr<QSettings> openSettingsStore() {
    return std::make_unique<QSettings>(
        QSettings::IniFormat, QSettings::UserScope, "Vistrelune", "Vistrelune");
}

bool settingsKeyExists(QSettings& store) {
    return QFileInfo::exists(store.fileName()) && !store.allKeys().isEmpty();
}

bool LoadSettingsFromRegistry(QSettings& store, TOptionFields& fields, QString* stoppedAt) {
    if (!settingsKeyExists(store)) return false;
    for (const SettingDef& d : settingsSchema()) {
        const QVariant value = store.value(d.name);
        if (!value.isValid()) continue;
        try {
            readValue(d, value, fields);
        } catch (const WrongType&) {
            if (stoppedAt) *stoppedAt = d.name;
            break;
        }
    }
    return true;
}

void SaveSettingsInRegistry(QSettings& store, const TOptionFields& fields) {
    try {
        for (const SettingDef& d : settingsSchema())
            store.setValue(d.name, storedValue(d, fields));
        store.sync();
    } catch (...) {
        // A failed write leaves the store partly updated; nothing is reported.
    }
}

QString fontStyleToText(const TFontStyle& s) {
    return QString("%1%2%3")
        .arg(s.bold ? '1' : '0')
        .arg(s.italic ? '1' : '0')
        .arg(s.underline ? '1' : '0');
}

TFontStyle fontStyleFromText(const QString& text) {
    const auto flag = [&](int i) { return text.size() > i && text[i] == '1'; };
    return TFontStyle { flag(0), flag(1), flag(2) };
}

QString& storedApiKey() {
    static QString key;
    return key;
}

} // namespace vst::app
