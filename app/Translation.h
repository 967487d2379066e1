// The interface language: the translation table, the current language and the lookup of texts.
#pragma once

#include <QString>

namespace vst::app {

/// The text in the current interface language; the English text itself when there is no
/// translation. Every user-visible English text passes through here when shown.
QString Translate(const QString& english);

} // namespace vst::app
