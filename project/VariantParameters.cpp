#include "VariantParameters.h"

#include "imaging/Error.h"

#include <optional>

namespace vst::project {

namespace {

// The value of the first pair starting with `key`, or none when no pair does.
std::optional<QString> valueOf(const QString& text, const QString& key) {
    qsizetype pairStart = 0;
    while (pairStart < text.size()) {
        const qsizetype end = text.indexOf(u';', pairStart);
        if (QStringView(text).sliced(pairStart).startsWith(key)) {
            if (end < 0) return QString();
            const qsizetype valueStart = pairStart + key.size();
            return text.mid(valueStart, std::max<qsizetype>(0, end - valueStart));
        }
        if (end < 0) break;
        pairStart = end + 1;
    }
    return std::nullopt;
}

int toInteger(const QString& s) {
    bool ok = false;
    const int v = s.toInt(&ok, 10);
    if (!ok) throw ie::Error("'" + s.toStdString() + "' is not a valid integer value");
    return v;
}

bool toBoolean(const QString& s) {
    if (s.compare(u"True", Qt::CaseInsensitive) == 0) return true;
    if (s.compare(u"False", Qt::CaseInsensitive) == 0) return false;
    bool ok = false;
    const int v = s.toInt(&ok, 10);
    if (!ok) throw ie::Error("'" + s.toStdString() + "' is not a valid boolean value");
    return v != 0;
}

} // namespace

void SaveProjectParametersIntoFileDescription(Variant& v) {
    // One multi-argument arg(): a "%2" inside the name must not be substituted.
    v.Description
        = QStringLiteral("VersionName=%1;LockAspectRatio=%2;SnapToGrid=%3;GridCellSize=%4;DPI=%5;")
              .arg(v.VersionName, QString::number(v.LayersResizeAspectRatio),
                  QString::number(v.SnapToPos ? -1 : 0), QString::number(v.LayersSnapDist),
                  QString::number(v.DpiX));
}

void ReadProjectParametersFromFileDescription(Variant& v) {
    const QString& text = v.Description;
    if (auto name = valueOf(text, QStringLiteral("VersionName="))) v.VersionName = *name;
    if (auto mode = valueOf(text, QStringLiteral("LockAspectRatio=")))
        v.LayersResizeAspectRatio = toInteger(*mode);
    if (auto snap = valueOf(text, QStringLiteral("SnapToGrid="))) v.SnapToPos = toBoolean(*snap);
    if (auto cell = valueOf(text, QStringLiteral("GridCellSize=")))
        v.LayersSnapDist = toInteger(*cell);
    if (auto dpi = valueOf(text, QStringLiteral("DPI="))) v.DpiX = v.DpiY = toInteger(*dpi);
}

} // namespace vst::project
