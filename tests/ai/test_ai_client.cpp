// The client's transport: settings checks, addresses, headers, decoding, errors, time-outs.
#include "AiTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>
#include <typeinfo>

using namespace vst::ai;
using vst::test::CannedAnswer;
using vst::test::clientFor;
using vst::test::errorBody;
using vst::test::FakeService;
using vst::test::RawServer;

namespace {

Common::TStableImage removeBackground(IStabilityAI& client, const RequestOptions& o = {}) {
    const auto png = vst::test::pngOf(64, 64);
    return client.StableImage().Edit().RemoveBackground(
        [png](TRemoveBackground& p) { p.Image(png).OutputFormat(TOutPutFormat::png); }, o);
}

template <class E, class F> E expectThrow(F&& f) {
    try {
        f();
    } catch (const E& e) {
        return e;
    } catch (const std::exception& e) {
        ADD_FAILURE() << "wrong exception " << typeid(e).name() << ": " << e.what();
        throw;
    }
    ADD_FAILURE() << "nothing was thrown";
    throw std::logic_error("no exception");
}

} // namespace

TEST(AiClient, MissingSettingsFailBeforeAnyTraffic) {
    FakeService fake;
    struct Case {
        std::string token, base, message;
    };
    const Case cases[] = {
        { "", fake.baseUrl(), "Token is empty!" },
        { " \r\n", fake.baseUrl(), "Token is empty!" },
        { "", "", "Token is empty!" },
        { "test-key", "", "Base url is empty!" },
        { "te\x01st", fake.baseUrl(),
            "The API key holds control characters; enter it again in "
            "the API key dialog." },
    };
    for (const Case& c : cases) {
        auto client = clientFor(c.base, c.token);
        const auto e = expectThrow<StabilityAIExceptionAPI>([&] { removeBackground(*client); });
        EXPECT_EQ(e.what(), c.message) << c.token << " " << c.base;
    }
    EXPECT_EQ(fake.requestCount(), 0);
}

TEST(AiClient, KeyIsTrimmedOfBlanksAndLineBreaksWhenSent) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl(), "  test-key\r\n");
    EXPECT_NO_THROW(removeBackground(*client));
    EXPECT_EQ(fake.lastRequest().header("authorization"), "Bearer test-key");
}

TEST(AiClient, UrlIsBaseSlashPathAndATrailingSlashGivesADoubleSlash) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl() + "/");
    EXPECT_EQ(client->API().ComposeUrl("v1/x"), fake.baseUrl() + "//v1/x");
    const auto e
        = expectThrow<StabilityAIExceptionNotFoundError>([&] { removeBackground(*client); });
    EXPECT_EQ(fake.lastRequest().path, "//v2beta/stable-image/edit/remove-background");
    EXPECT_EQ(e.Code(), 404);
}

TEST(AiClient, Status202IsDecodedLike200) {
    FakeService fake;
    fake.queueAnswer({ 202, R"({"image":"aGVsbG8=","finish_reason":"success","seed":5})" });
    auto client = clientFor(fake.baseUrl());
    const auto result = removeBackground(*client);
    EXPECT_EQ(result.Image, "aGVsbG8=");
    ASSERT_TRUE(result.FinishReason);
    EXPECT_EQ(*result.FinishReason, Common::TFinishReason::SUCCESS);
    EXPECT_EQ(result.Seed, 5);
    const auto bytes = result.GetStream();
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "hello");
}

TEST(AiClient, ErrorBodyGivesTheExceptionWithItsFieldsAndMessage) {
    FakeService fake;
    fake.queueAnswer({ 400, errorBody("a1", "bad_request", { "x", "y" }) });
    auto client = clientFor(fake.baseUrl());
    const auto e
        = expectThrow<StabilityAIExceptionBadRequestError>([&] { removeBackground(*client); });
    EXPECT_EQ(e.Code(), 400);
    EXPECT_EQ(e.Id(), "a1");
    EXPECT_EQ(e.Name(), "bad_request");
    EXPECT_EQ(e.Errors(), "x\ny");
    EXPECT_STREQ(e.what(), "error (400) - type bad_request\r\nx\ny");
}

TEST(AiClient, EachStatusWithAnErrorBodyRaisesItsClass) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    const std::pair<int, const std::type_info*> table[] = {
        { 400, &typeid(StabilityAIExceptionBadRequestError) },
        { 401, &typeid(StabilityAIExceptionUnauthorizedError) },
        { 403, &typeid(StabilityAIExceptionContentModerationError) },
        { 404, &typeid(StabilityAIExceptionNotFoundError) },
        { 413, &typeid(StabilityAIExceptionPayloadTooLargeError) },
        { 422, &typeid(StabilityAIExceptionInvalidLanguageError) },
        { 429, &typeid(StabilityAIExceptionRateLimitExceededError) },
        { 500, &typeid(StabilityAIExceptionInternalServerError) },
        { 502, &typeid(StabilityAIException) },
        { 418, &typeid(StabilityAIException) },
    };
    for (const auto& [status, type] : table) {
        fake.queueAnswer({ status, errorBody("e", "n", { "m" }) });
        try {
            removeBackground(*client);
            ADD_FAILURE() << status;
        } catch (const StabilityAIException& e) {
            EXPECT_EQ(typeid(e), *type) << status;
            EXPECT_EQ(e.Code(), status);
            EXPECT_EQ(
                std::string(e.what()), "error (" + std::to_string(status) + ") - type n\r\nm");
        }
    }
}

TEST(AiClient, UndecodableAnswersRaiseInvalidResponse) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    const CannedAnswer answers[] = {
        { 502, "<html><body>Bad gateway</body></html>", "text/html" },
        { 200, "", "application/json" },
        { 200, "[1,2]", "application/json" },
        { 200, R"({"image":"x","finish_reason":"MAYBE"})", "application/json" },
        { 200, R"({"image":12})", "application/json" },
        { 500, "", "text/plain" },
    };
    for (const CannedAnswer& answer : answers) {
        fake.queueAnswer(answer);
        const auto e
            = expectThrow<StabilityAIExceptionInvalidResponse>([&] { removeBackground(*client); });
        EXPECT_EQ(e.Code(), answer.status);
        EXPECT_EQ(std::string(e.what()),
            "error " + std::to_string(answer.status) + ": Empty or invalid response");
    }
}

TEST(AiClient, HeadersGoOutInOrderAuthorizationFirstThenAccept) {
    RawServer server(vst::test::rawJsonAnswer(200, R"({"image":"aGk="})"));
    auto client = clientFor(server.baseUrl());
    client->API().setClientId(std::string(256, 'c')); // exactly 256 is accepted
    removeBackground(*client);
    const std::string raw = server.received();
    const auto auth = raw.find("authorization: Bearer test-key\r\n");
    const auto accept = raw.find("accept: application/json\r\n");
    const auto clientId = raw.find("stability-client-id: ccc");
    ASSERT_NE(auth, std::string::npos) << raw;
    ASSERT_NE(accept, std::string::npos) << raw;
    EXPECT_LT(auth, accept);
    EXPECT_LT(accept, clientId);
    EXPECT_NE(raw.find("Accept-Charset: utf-8\r\n"), std::string::npos);
    EXPECT_NE(raw.find("Content-Type: multipart/form-data; boundary="), std::string::npos);
}

TEST(AiClient, ClientHeadersLongerThan256AreRefused) {
    TStabilityAIAPI api;
    const std::string tooLong(257, 'x');
    const std::pair<void (TStabilityAIAPI::*)(const std::string&), std::string> setters[] = {
        { &TStabilityAIAPI::setClientId, "stability-client-id" },
        { &TStabilityAIAPI::setClientUserId, "stability-client-user-id" },
        { &TStabilityAIAPI::setClientVersion, "stability-client-version" },
    };
    for (const auto& [setter, name] : setters) {
        try {
            (api.*setter)(tooLong);
            ADD_FAILURE() << name;
        } catch (const std::runtime_error& e) {
            EXPECT_EQ(std::string(e.what()), name + " length must be lower than 256 chars : (257)");
        }
    }
    api.setToken("k");
    api.setClientUserId("u");
    const THeaders expected
        = { { "authorization", "Bearer k" }, { "h", "v" }, { "stability-client-user-id", "u" } };
    EXPECT_EQ(api.ComposeHeaders({ { "h", "v" } }), expected);
}

TEST(AiClient, JsonBodiesArePlainAsciiWithEscapes) {
    RawServer server(vst::test::rawJsonAnswer(200, R"({"id":"1"})"));
    auto client = clientFor(server.baseUrl());
    QJsonObject body;
    body["text"] = QString::fromUtf8("caf\xc3\xa9");
    const auto response = client->API().SendJson("v1/x", body, {});
    EXPECT_EQ(response.status, 200);
    for (int i = 0; i < 100 && server.received().find("caf") == std::string::npos; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_NE(server.received().find(R"("text":"caf\u00e9")"), std::string::npos)
        << server.received();
}

TEST(AiClient, StalledServerEndsWithTheTimeOutMessage) {
    RawServer server(""); // accepts, reads, never answers
    auto client = clientFor(server.baseUrl());
    client->API().setTimeouts(5, 1);
    const auto e = expectThrow<TransportError>([&] { removeBackground(*client); });
    EXPECT_STREQ(e.what(), "The service sent nothing for 1 seconds; the request was stopped.");
}

TEST(AiClient, RunningRequestCanBeCancelled) {
    RawServer server("");
    auto client = clientFor(server.baseUrl());
    const RequestOptions options;
    std::thread canceller([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        options.Cancel.cancel();
    });
    const auto start = std::chrono::steady_clock::now();
    const auto e = expectThrow<RequestCancelled>([&] { removeBackground(*client, options); });
    canceller.join();
    EXPECT_STREQ(e.what(), "The request was cancelled.");
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(60));
}

TEST(AiClient, UnreachableServiceGivesATransportError) {
    int port = 0;
    {
        RawServer closed("x"); // take a free port, then close it
        port = std::stoi(closed.baseUrl().substr(closed.baseUrl().rfind(':') + 1));
    }
    auto client = clientFor("http://127.0.0.1:" + std::to_string(port));
    const auto e = expectThrow<TransportError>([&] { removeBackground(*client); });
    EXPECT_EQ(std::string(e.what()).rfind("Could not reach the service (", 0), 0u) << e.what();
}

TEST(AiClient, GetFileRaisesOnErrorBodiesAndKeepsOtherBodies) {
    FakeService fake;
    auto client = clientFor(fake.baseUrl());
    std::string body;
    fake.queueAnswer({ 404, errorBody("i", "not_found", { "gone" }) });
    EXPECT_THROW(client->API().GetFile("v1/f", body), StabilityAIExceptionNotFoundError);
    fake.queueAnswer({ 503, "down", "text/plain" });
    EXPECT_NO_THROW(client->API().GetFile("v1/f", body));
    EXPECT_EQ(body, "down");
}
