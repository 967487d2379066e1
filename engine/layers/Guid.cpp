#include "Guid.h"

#include <QUuid>
#include <algorithm>
#include <cstring>

namespace ie {

Guid Guid::generate() {
    const QByteArray raw = QUuid::createUuid().toRfc4122();
    Guid g;
    std::memcpy(g.bytes.data(), raw.constData(), g.bytes.size());
    return g;
}

bool Guid::isNull() const {
    return std::all_of(bytes.begin(), bytes.end(), [](std::uint8_t b) { return b == 0; });
}

} // namespace ie
