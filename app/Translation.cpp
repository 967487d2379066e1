#include "app/Translation.h"

namespace vst::app {

// Until the table is loaded, texts are shown as written.
QString Translate(const QString& english) { return english; }

} // namespace vst::app
