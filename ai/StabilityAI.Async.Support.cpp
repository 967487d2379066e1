#include "StabilityAI.Async.Support.h"

namespace vst::ai::detail {

void queueToUiThread(std::function<void()> call) {
    if (QObject* dispatcher = QCoreApplication::instance())
        QMetaObject::invokeMethod(dispatcher, std::move(call), Qt::QueuedConnection);
}

} // namespace vst::ai::detail
