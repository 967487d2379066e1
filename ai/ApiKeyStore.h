// Where the user's API key is kept: the system keyring when one is reachable, else a settings
// file only the user can read.
#pragma once

#include <memory>
#include <optional>
#include <string>

namespace vst::ai {

/// One place the key can live.
class ApiKeyStore {
public:
    virtual ~ApiKeyStore() = default;
    /// The stored key; nothing when none was stored.
    virtual std::optional<std::string> read() const = 0;
    /// Replaces the stored key. Throws std::runtime_error when it cannot be written.
    virtual void write(const std::string& key) = 0;
};

/// The value "APIKey" of an INI file, kept readable and writable by its owner only.
class SettingsFileKeyStore : public ApiKeyStore {
public:
    /// `path` empty: "Vistrelune/apikey.ini" in the user's config folder.
    explicit SettingsFileKeyStore(std::string path = {});
    std::optional<std::string> read() const override;
    void write(const std::string& key) override;
    const std::string& path() const { return m_path; }

private:
    std::string m_path;
};

/// The key in the desktop's secret service (libsecret).
class KeyringKeyStore : public ApiKeyStore {
public:
    /// True when a secret service answers on the session bus.
    static bool available();
    std::optional<std::string> read() const override;
    void write(const std::string& key) override;
};

/// The keyring when reachable, else the settings file.
std::unique_ptr<ApiKeyStore> makeApiKeyStore();

/// Stores the key trimmed of blanks and line breaks; refuses a key with control characters
/// inside (std::runtime_error). Returns what was stored.
std::string storeApiKey(ApiKeyStore& store, const std::string& typed);

/// The whole key change: stores the key, then makes a new process-wide client when it is not
/// blank (a blank key keeps the old client; the edits refuse to run without a key anyway).
void applyApiKey(ApiKeyStore& store, const std::string& typed);

} // namespace vst::ai
