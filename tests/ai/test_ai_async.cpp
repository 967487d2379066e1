// The asynchronous runner, job polling, cancelling, key replacement and concurrent requests.
#include "AiTestSupport.h"

#include "ai/AiClientHolder.h"
#include "ai/JobPolling.h"
#include "ai/StabilitySender.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

using namespace vst::ai;
using vst::test::clientFor;
using vst::test::FakeService;
using vst::test::pumpUntil;

namespace {

// Records every callback in order with the thread it ran on.
struct Recorder {
    std::vector<std::string> events;
    bool offUiThread = false;

    template <class T> TAsynCallBack<T> callbacks(QObject* sender) {
        TAsynCallBack<T> cb;
        cb.Sender = sender;
        cb.OnStart = [this](QObject*) { note("start"); };
        cb.OnSuccess = [this](QObject*, T& r) { note("success:" + r.Image.substr(0, 4)); };
        cb.OnError = [this](QObject*, const QString& m) { note("error:" + m.toStdString()); };
        return cb;
    }
    void note(const std::string& e) {
        offUiThread |= QThread::currentThread() != QCoreApplication::instance()->thread();
        events.push_back(e);
    }
    bool finished() const { return events.size() >= 2; }
};

class AiAsync : public ::testing::Test {
protected:
    void SetUp() override { vst::test::ensureApplication(); }
    const std::vector<std::uint8_t> png = vst::test::pngOf(64, 64);
};

} // namespace

TEST_F(AiAsync, StartThenResultArriveInOrderOnTheUiThread) {
    FakeService fake;
    fake.setDelayMs(100);
    auto client = clientFor(fake.baseUrl());
    Recorder rec;
    QObject sender;
    client->StableImage().Edit().RemoveBackground(
        [png = png](TRemoveBackground& p) { p.Image(png).OutputFormat(TOutPutFormat::png); },
        [&] { return rec.callbacks<Common::TStableImage>(&sender); });
    ASSERT_TRUE(pumpUntil([&] { return rec.finished(); }));
    ASSERT_EQ(rec.events.size(), 2u);
    EXPECT_EQ(rec.events[0], "start");
    EXPECT_EQ(rec.events[1].rfind("success:", 0), 0u);
    EXPECT_FALSE(rec.offUiThread);
}

TEST_F(AiAsync, FailedCheckDeliversStartThenTheMessageAndSendsNothing) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    Recorder rec;
    client->StableImage().Edit().Outpaint([png = png](TOutpaint& p) { p.Image(png).Left(2500); },
        [&] { return rec.callbacks<Common::TStableImage>(nullptr); });
    ASSERT_TRUE(pumpUntil([&] { return rec.finished(); }));
    EXPECT_EQ(rec.events,
        (std::vector<std::string> { "start", "error:left must be in [0..2000] : 2500" }));
    EXPECT_EQ(fake.requestCount(), 0);
}

TEST_F(AiAsync, CallbacksOfADestroyedSenderAreDropped) {
    FakeService fake;
    fake.setDelayMs(300);
    auto client = clientFor(fake.baseUrl());
    Recorder rec;
    auto* sender = new QObject;
    client->StableImage().Edit().RemoveBackground(
        [png = png](TRemoveBackground& p) { p.Image(png).OutputFormat(TOutPutFormat::png); },
        [&] { return rec.callbacks<Common::TStableImage>(sender); });
    delete sender; // the view closed before the answer
    pumpUntil([&] { return fake.requestCount() == 1; });
    pumpUntil([] { return false; }, 600);
    EXPECT_TRUE(rec.events.empty());
}

TEST_F(AiAsync, AsyncRequestCanBeCancelled) {
    vst::test::RawServer stalled("");
    auto client = clientFor(stalled.baseUrl());
    Recorder rec;
    const CancelToken token = client->StableImage().Edit().RemoveBackground(
        [png = png](TRemoveBackground& p) { p.Image(png); },
        [&] { return rec.callbacks<Common::TStableImage>(nullptr); });
    pumpUntil([&] { return !rec.events.empty(); });
    token.cancel();
    ASSERT_TRUE(pumpUntil([&] { return rec.finished(); }));
    EXPECT_EQ(rec.events.back(), "error:The request was cancelled.");
}

TEST_F(AiAsync, ReplacingTheKeyWhileARequestRunsKeepsTheOldClientAlive) {
    FakeService fake("new-key");
    fake.setDelayMs(400);
    setCurrentAiClient(clientFor(fake.baseUrl(), "old-key"));
    Recorder rec;
    currentAiClient()->StableImage().Edit().RemoveBackground(
        [png = png](TRemoveBackground& p) { p.Image(png).OutputFormat(TOutPutFormat::png); },
        [&] { return rec.callbacks<Common::TStableImage>(nullptr); });
    std::weak_ptr<IStabilityAI> old = currentAiClient();
    ASSERT_TRUE(replaceAiClientForKey("new-key\n"));
    currentAiClient()->setBaseURL(fake.baseUrl());
    EXPECT_FALSE(old.expired()); // held by the running request
    ASSERT_TRUE(pumpUntil([&] { return rec.finished(); }));
    // The old request went out with the key it started with.
    EXPECT_EQ(rec.events.back().rfind("error:error (401)", 0), 0u) << rec.events.back();
    EXPECT_TRUE(pumpUntil([&] { return old.expired(); }));
    EXPECT_NO_THROW(currentAiClient()->StableImage().Edit().RemoveBackground(
        [png = png](TRemoveBackground& p) { p.Image(png).OutputFormat(TOutPutFormat::png); }));
    EXPECT_FALSE(replaceAiClientForKey(" \r\n")); // a blank key keeps the client
    EXPECT_TRUE(currentAiClient());
    setCurrentAiClient(nullptr);
}

TEST_F(AiAsync, TenConcurrentRequestsShareOneClient) {
    FakeService fake;
    fake.setDelayMs(50);
    auto client = clientFor(fake.baseUrl());
    std::atomic<int> ok { 0 };
    std::vector<std::thread> threads;
    for (int i = 0; i < 10; ++i)
        threads.emplace_back([&] {
            const auto r
                = client->StableImage().Edit().RemoveBackground([png = png](TRemoveBackground& p) {
                      p.Image(png).OutputFormat(TOutPutFormat::png);
                  });
            ok += r.Image.empty() ? 0 : 1;
        });
    for (auto& t : threads)
        t.join();
    Recorder rec[10];
    for (auto& r : rec)
        client->StableImage().Upscale().Fast(
            [png = png](TUpscaleFast& p) { p.Image(png).OutputFormat(TOutPutFormat::png); },
            [&r] { return r.callbacks<Common::TStableImage>(nullptr); });
    ASSERT_TRUE(pumpUntil([&] {
        for (auto& r : rec)
            if (!r.finished()) return false;
        return true;
    }));
    EXPECT_EQ(ok.load(), 10);
    for (auto& r : rec)
        EXPECT_EQ(r.events[1].rfind("success:", 0), 0u);
    for (const auto& request : fake.requests()) {
        EXPECT_EQ(request.header("authorization"), "Bearer test-key");
        EXPECT_EQ(request.header("accept"), "application/json");
    }
    EXPECT_EQ(fake.requestCount(), 20);
}

TEST_F(AiAsync, JobIsPolledUntilItsResultArrives) {
    FakeService fake;
    fake.setPollsBeforeDone(2);
    auto client = clientFor(fake.baseUrl());
    const auto first = client->StableImage().Edit().ReplaceBackgroundAndRelight(
        [png = png](TReplaceBackgroundAndRelight& p) {
            p.SubjectImage(png).BackgroundPrompt("beach").OutputFormat(TOutPutFormat::png);
        });
    ASSERT_FALSE(first.Id.empty());
    EXPECT_TRUE(first.Image.empty());
    int waits = 0;
    const auto done = waitForJob(client->StableImage().Results(), first.Id,
        std::chrono::milliseconds(20), [&](const Common::TResults& r) {
            EXPECT_EQ(r.Status, "in-progress");
            ++waits;
        });
    EXPECT_EQ(waits, 2);
    EXPECT_FALSE(done.Image.empty());
    EXPECT_EQ(done.Image, done.Result);
    EXPECT_EQ(fake.requestCount(), 4);
}

namespace {
struct FakeSender : TStabilitySender {
    QStringList log;
    int images = 0, timers = 0;
    void reportText(const QString& t) override { log << t; }
    void reportImage(const Common::TStableImage& r) override {
        (void)r.GetStream();
        ++images;
    }
    void armCheckResultTimer() override { ++timers; }
};
} // namespace

TEST_F(AiAsync, ReportResultsFollowsTheJobProtocol) {
    FakeSender sender;
    Common::TResults first;
    first.Id = "j1";
    ReportResults(&sender, first); // identifier only: nothing shown
    EXPECT_EQ(sender.Id, "j1");
    EXPECT_EQ(sender.timers, 1);
    EXPECT_TRUE(sender.log.isEmpty());
    Common::TResults running;
    running.Status = "in-progress";
    ReportResults(&sender, running);
    EXPECT_EQ(
        sender.log, QStringList { "Operation in progress. Checking the result in 30 seconds..." });
    Common::TResults done;
    done.Image = "aGk=";
    ReportResults(&sender, done);
    EXPECT_EQ(sender.images, 1);
    EXPECT_EQ(sender.log.last(), "Operation ended successfully");
    ReportStart(&sender);
    EXPECT_EQ(sender.log.last(), "Request sended. Please wait...");
}
