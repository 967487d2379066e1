// The API key: trimmed and checked when stored, kept owner-only, and replacing the client.
#include "AiTestSupport.h"
#include "support/TestImages.h"

#include "ai/AiClientHolder.h"
#include "ai/ApiKeyStore.h"

#include <QFile>

#include <gtest/gtest.h>

#include <cstdlib>
#include <sys/stat.h>

using namespace vst::ai;

namespace {
struct MemoryStore : ApiKeyStore {
    std::optional<std::string> value;
    int writes = 0;
    std::optional<std::string> read() const override { return value; }
    void write(const std::string& key) override {
        value = key;
        ++writes;
    }
};
} // namespace

TEST(AiKey, SettingsFileHoldsTheTrimmedKeyReadableByTheOwnerOnly) {
    const std::string path = vst::test::scratchDir("ai-key") + "/sub/apikey.ini";
    SettingsFileKeyStore store(path);
    EXPECT_FALSE(store.read());
    EXPECT_EQ(storeApiKey(store, "  sk-123\r\n"), "sk-123");
    EXPECT_EQ(store.read(), "sk-123");
    struct stat info { };
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
    storeApiKey(store, "sk-456");
    EXPECT_EQ(SettingsFileKeyStore(path).read(), "sk-456");
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);
}

TEST(AiKey, KeyWithControlCharactersInsideIsRefused) {
    MemoryStore store;
    EXPECT_THROW(storeApiKey(store, "sk\x1b-1"), std::runtime_error);
    EXPECT_THROW(storeApiKey(store, "sk\n-1"), std::runtime_error);
    EXPECT_EQ(store.writes, 0);
}

TEST(AiKey, WithoutASessionBusTheSettingsFileIsUsed) {
    ::unsetenv("DBUS_SESSION_BUS_ADDRESS");
    EXPECT_FALSE(KeyringKeyStore::available());
    EXPECT_TRUE(dynamic_cast<SettingsFileKeyStore*>(makeApiKeyStore().get()));
}

TEST(AiKey, ApplyingAKeyReplacesTheClientUnlessItIsBlank) {
    MemoryStore store;
    setCurrentAiClient(nullptr);
    applyApiKey(store, " key-1\n");
    auto first = currentAiClient();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->Token(), "key-1");
    applyApiKey(store, "key-1"); // the same key still makes a new client
    EXPECT_NE(currentAiClient(), first);
    applyApiKey(store, "   ");
    EXPECT_EQ(store.value, "");
    EXPECT_EQ(currentAiClient()->Token(), "key-1");
    setCurrentAiClient(nullptr);
}
