// The hand-over record and the single-instance server: layout, hostile records, and a second
// start handing over a file or asking the first to come to the front.
#include "app/HandOverRecord.h"
#include "app/ui/SingleInstance.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QtEndian>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

using namespace vst::app;

TEST(HandOverRecord, NonAsciiPathsKeepTheirLayoutAndSurvive) {
    const QString path = QString::fromUtf8("/tmp/fotos/Straße 日本 😀.jpg");
    const QByteArray bytes = encodeCopyData(path, 42);
    const std::uint32_t cbData = qFromLittleEndian<std::uint32_t>(bytes.constData() + 20);
    EXPECT_EQ(cbData, std::uint32_t((path.size() + 1) * 2));
    EXPECT_EQ(bytes.size(), 24 + qsizetype(cbData));
    // Bytes after the stated count belong to no record and are not read.
    const DecodeResult r = decodeInstanceMessage(bytes + QByteArray("\x41\x00\x42\x00", 4));
    ASSERT_EQ(r.status, DecodeResult::Complete);
    EXPECT_EQ(r.consumed, bytes.size());
    EXPECT_EQ(r.message.path, path);
    EXPECT_EQ(r.message.wParam, 42u);
    EXPECT_EQ(decodeInstanceMessage(bytes.left(bytes.size() - 1)).status, DecodeResult::NeedMore);
}

TEST(HandOverRecord, MalformedRecordsAreRefused) {
    const QByteArray good = encodeCopyData("/a.jpg", 1);
    const auto withCount = [&](std::uint32_t cb) {
        QByteArray b = good;
        qToLittleEndian(cb, b.data() + 20);
        return b;
    };
    QByteArray noTerminator = good;
    noTerminator[noTerminator.size() - 2] = 'x';
    QByteArray dwData = good;
    dwData[12] = 1;
    QByteArray unknown = good;
    unknown[0] = 75;
    for (const QByteArray& bad : { withCount(3), withCount(2), withCount(kMaxCopyDataBytes + 2),
             noTerminator, dwData, unknown, encodeCopyData("", 1) })
        EXPECT_EQ(decodeInstanceMessage(bad).status, DecodeResult::Malformed);
    const DecodeResult restore = decodeInstanceMessage(encodeRestoreInstance(7, 8));
    ASSERT_EQ(restore.status, DecodeResult::Complete);
    EXPECT_EQ(restore.message.wParam, 7u);
    EXPECT_EQ(restore.message.lParam, 8u);
}

namespace {

// Runs a second start's send on its own thread while the first instance serves events here.
bool sendWhileServing(const QByteArray& message, const QString& folder) {
    std::atomic<bool> done = false;
    bool sent = false;
    std::thread client([&] {
        sent = sendToRunningInstance(message, folder, 5000);
        done = true;
    });
    QElapsedTimer timer;
    timer.start();
    while (!done && timer.elapsed() < 10000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    client.join();
    return sent;
}

} // namespace

TEST(SingleInstance, TheSecondStartFindsTheLockAndHandsOver) {
    QTemporaryDir dir;
    TSingleInstance first(dir.path());
    ASSERT_TRUE(first.tryLock());
    TSingleInstance second(dir.path());
    EXPECT_FALSE(second.tryLock());
    std::vector<InstanceMessage> received;
    ASSERT_TRUE(first.listen([&](const InstanceMessage& m) { received.push_back(m); }));
    const QString path = QString::fromUtf8("/tmp/Ünïcødé/фото.png");
    EXPECT_TRUE(sendWhileServing(encodeCopyData(path, 5), dir.path()));
    EXPECT_TRUE(sendWhileServing(encodeRestoreInstance(), dir.path()));
    sendWhileServing(QByteArray(64, 'x'), dir.path()); // dropped, no answer
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].path, path);
    EXPECT_EQ(received[1].message, kRestoreInstanceMessage);
}

TEST(SingleInstance, WithoutARunningInstanceNothingIsSent) {
    QTemporaryDir dir;
    EXPECT_FALSE(sendToRunningInstance(encodeRestoreInstance(), dir.path(), 200));
}
