// The messages a second start sends to the running instance: a file to open (the hand-over
// record: dwData 0, cbData = (n + 1) * 2, the UTF-16 path with its terminator) or the
// bring-to-front request.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace vst::app {

/// Message numbers as the two instances exchange them.
inline constexpr std::uint32_t kCopyDataMessage = 74;
inline constexpr std::uint32_t kRestoreInstanceMessage = 1026;
/// The only pair of the bring-to-front request that counts.
inline constexpr std::uint64_t kRestoreWParam = 1111;
inline constexpr std::uint64_t kRestoreLParam = 2222;
/// Longest record accepted: a path of 32767 UTF-16 units and its terminator.
inline constexpr std::uint32_t kMaxCopyDataBytes = (32767 + 1) * 2;

/// One decoded message.
struct InstanceMessage {
    std::uint32_t message = 0;
    std::uint64_t wParam = 0; ///< the sender's process id for a hand-over
    std::uint64_t lParam = 0;
    std::uint64_t dwData = 0;
    QString path; ///< the handed-over path, up to its terminator
};

/// The wire form of a hand-over of `path` (little-endian: message, wParam, dwData, cbData,
/// then cbData bytes of UTF-16 with the terminating zero).
QByteArray encodeCopyData(const QString& path, std::uint64_t senderId);
/// The wire form of message 1026 with the given pair.
QByteArray encodeRestoreInstance(
    std::uint64_t wParam = kRestoreWParam, std::uint64_t lParam = kRestoreLParam);

/// Result of decoding the start of a byte stream.
struct DecodeResult {
    enum Status { NeedMore, Malformed, Complete } status = NeedMore;
    qsizetype consumed = 0; ///< bytes of a complete message
    InstanceMessage message;
};

/// Decodes one message from the start of `bytes`. A record is read only up to its stated byte
/// count, never past it; an unknown message, an odd, too small or too large byte count, a
/// missing terminator, an empty path or a dwData other than 0 is Malformed.
DecodeResult decodeInstanceMessage(const QByteArray& bytes);

} // namespace vst::app
