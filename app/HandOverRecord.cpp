#include "app/HandOverRecord.h"

#include <QtEndian>

namespace vst::app {

namespace {

template <typename T> void put(QByteArray& out, T value) {
    const T le = qToLittleEndian(value);
    out.append(reinterpret_cast<const char*>(&le), sizeof le);
}

template <typename T> T get(const QByteArray& in, qsizetype offset) {
    return qFromLittleEndian<T>(in.constData() + offset);
}

constexpr qsizetype kHeader = 4 + 8; // message, wParam
constexpr qsizetype kCopyDataHeader = kHeader + 8 + 4; // dwData, cbData
constexpr qsizetype kRestoreSize = kHeader + 8; // lParam

DecodeResult malformed() {
    return DecodeResult { DecodeResult::Malformed, 0, {} };
}

DecodeResult decodeCopyData(const QByteArray& bytes, InstanceMessage m) {
    if (bytes.size() < kCopyDataHeader) return {};
    m.dwData = get<std::uint64_t>(bytes, kHeader);
    const std::uint32_t cbData = get<std::uint32_t>(bytes, kHeader + 8);
    if (m.dwData != 0 || cbData < 4 || cbData % 2 != 0 || cbData > kMaxCopyDataBytes)
        return malformed();
    if (bytes.size() < kCopyDataHeader + qsizetype(cbData)) return {};
    const auto* units = reinterpret_cast<const char16_t*>(bytes.constData() + kCopyDataHeader);
    const qsizetype count = cbData / 2;
    qsizetype length = 0;
    while (length < count && qFromLittleEndian(units[length]) != 0)
        ++length;
    // The terminator must lie inside the stated count: nothing is read beyond it.
    if (length == count || length == 0) return malformed();
    QString path(length, Qt::Uninitialized);
    for (qsizetype i = 0; i < length; ++i)
        path[i] = QChar(qFromLittleEndian(units[i]));
    m.path = path;
    return DecodeResult { DecodeResult::Complete, kCopyDataHeader + cbData, m };
}

} // namespace

QByteArray encodeCopyData(const QString& path, std::uint64_t senderId) {
    QByteArray out;
    put<std::uint32_t>(out, kCopyDataMessage);
    put<std::uint64_t>(out, senderId);
    put<std::uint64_t>(out, 0);
    put<std::uint32_t>(out, std::uint32_t((path.size() + 1) * 2));
    for (QChar c : path)
        put<std::uint16_t>(out, c.unicode());
    put<std::uint16_t>(out, 0);
    return out;
}

QByteArray encodeRestoreInstance(std::uint64_t wParam, std::uint64_t lParam) {
    QByteArray out;
    put<std::uint32_t>(out, kRestoreInstanceMessage);
    put<std::uint64_t>(out, wParam);
    put<std::uint64_t>(out, lParam);
    return out;
}

DecodeResult decodeInstanceMessage(const QByteArray& bytes) {
    if (bytes.size() < kHeader) return {};
    InstanceMessage m;
    m.message = get<std::uint32_t>(bytes, 0);
    m.wParam = get<std::uint64_t>(bytes, 4);
    if (m.message == kCopyDataMessage) return decodeCopyData(bytes, m);
    if (m.message != kRestoreInstanceMessage) return malformed();
    if (bytes.size() < kRestoreSize) return {};
    m.lParam = get<std::uint64_t>(bytes, kHeader);
    return DecodeResult { DecodeResult::Complete, kRestoreSize, m };
}

} // namespace vst::app
