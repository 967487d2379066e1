// The settings store: every remembered option read once at start and written once at closing,
// under the value names and types the program has always used.
#pragma once

#include "app/OptionFields.h"

#include <QString>
#include <climits>
#include <memory>
#include <vector>

class QSettings;

namespace vst::app {

/// How a value is stored and what it restores.
enum class SettingKind {
    Integer,
    Color, ///< integer 0x00BBGGRR
    Boolean, ///< integer 0 or 1, any non-zero reads as true
    String,
    FontStyle, ///< "101": bold, italic, underline
    WindowLeft,
    WindowTop,
    WindowWidth,
    WindowHeight,
    WindowMaximized, ///< "window_m": 1 maximised
    StayOnTop, ///< exactly 1 is true
    Language, ///< the process-wide language code
    ApiKey, ///< the process-wide AI service key, as typed
};

/// One stored value: its name, how it is stored and the field it restores.
struct SettingDef {
    const char* name;
    SettingKind kind;
    int TOptionFields::*integer = nullptr;
    TColor TOptionFields::*color = nullptr;
    bool TOptionFields::*boolean = nullptr;
    QString TOptionFields::*string = nullptr;
    TFontStyle TOptionFields::*fontStyle = nullptr;
    /// Integers outside this range keep their default: a damaged or hand-edited value must not
    /// reach code that indexes lists with it.
    int min = INT_MIN;
    int max = INT_MAX;
};

/// The 121 values in the order they are written.
const std::vector<SettingDef>& settingsSchema();

/// The store the program uses: an INI file under the user's configuration folder.
std::unique_ptr<QSettings> openSettingsStore();

/// True when the store holds any value (false on a first run).
bool settingsKeyExists(QSettings& store);

/// Reads every stored value into `fields`; absent values keep what `fields` holds (the
/// defaults). A value of the wrong type stops the read there: earlier values are kept, later
/// ones keep their defaults, and `stoppedAt` (when given) names the value. Returns false on a
/// first run, when nothing changes.
bool LoadSettingsFromRegistry(
    QSettings& store, TOptionFields& fields, QString* stoppedAt = nullptr);

/// Writes every value of the schema in order. Errors are swallowed.
void SaveSettingsInRegistry(QSettings& store, const TOptionFields& fields);

/// "101" style text of a font style, and back (missing characters count as "0").
QString fontStyleToText(const TFontStyle& style);
TFontStyle fontStyleFromText(const QString& text);

/// The stored AI service key, kept as typed (the AI client trims it).
QString& storedApiKey();

} // namespace vst::app
