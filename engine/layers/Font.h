// The font of text, line-label and angle-label layers as the project file stores it.
#pragma once

#include "ColorRef.h"

#include <QString>
#include <cstdint>

namespace ie {

/// Bits of Font::style.
enum FontStyleBits : std::uint8_t {
    kFontBold = 1,
    kFontItalic = 2,
    kFontUnderline = 4,
    kFontStrikeOut = 8,
};

/// A font: face name, character set, colour, height and style bits.
struct Font {
    QString name = QStringLiteral("Arial");
    std::uint8_t charset = 1; ///< character set number (1 = the system default)
    ColorRef color = 0; ///< text colour
    /// Negative: character height in pixels; positive: cell height in pixels (characters are a
    /// little smaller).
    int height = -16;
    std::uint8_t style = 0; ///< FontStyleBits
    friend bool operator==(const Font&, const Font&) = default;

    bool bold() const { return style & kFontBold; }
    bool italic() const { return style & kFontItalic; }
    bool underline() const { return style & kFontUnderline; }
    bool strikeOut() const { return style & kFontStrikeOut; }
    /// The character height in pixels, whatever the sign convention of `height`.
    int pixelSize() const;
};

} // namespace ie
