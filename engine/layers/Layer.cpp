#include "Layer.h"

#include "Font.h"

#include <QDateTime>
#include <algorithm>
#include <cstdlib>

namespace ie {

double Layer::effectiveOpacity() const {
    return std::clamp(opacity, 0.0, 1.0) * std::clamp(transparency, 0, 255) / 255.0;
}

void Layer::touchModified() {
    // Days since 1899-12-30 in local time, the usual spreadsheet date convention.
    static const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    const QDateTime now = QDateTime::currentDateTime();
    modifiedDate = epoch.msecsTo(now) / 86'400'000.0;
}

int Font::pixelSize() const {
    // A positive height is a cell height, which includes the internal leading (about 1/8).
    if (height < 0) return -height;
    return std::max(1, height * 7 / 8);
}

} // namespace ie
