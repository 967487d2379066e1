// The API key in the desktop's secret service through libsecret.
#include "ApiKeyStore.h"

#include <libsecret/secret.h>

#include <cstdlib>
#include <stdexcept>

namespace vst::ai {
namespace {

const SecretSchema* schema() {
    static const SecretSchema s = [] {
        SecretSchema value {};
        value.name = "org.vistrelune.ApiKey";
        value.flags = SECRET_SCHEMA_NONE;
        value.attributes[0].name = "application";
        value.attributes[0].type = SECRET_SCHEMA_ATTRIBUTE_STRING;
        return value;
    }();
    return &s;
}

std::string takeMessage(GError* error) {
    std::string message = error && error->message ? error->message : "unknown error";
    g_clear_error(&error);
    return message;
}

} // namespace

bool KeyringKeyStore::available() {
    // Without a session bus libsecret would try to start one; that is no keyring to rely on.
    const char* bus = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    if (!bus || !*bus) return false;
    GError* error = nullptr;
    gchar* value = secret_password_lookup_sync(
        schema(), nullptr, &error, "application", "Vistrelune", nullptr);
    secret_password_free(value);
    const bool ok = error == nullptr;
    g_clear_error(&error);
    return ok;
}

std::optional<std::string> KeyringKeyStore::read() const {
    GError* error = nullptr;
    gchar* value = secret_password_lookup_sync(
        schema(), nullptr, &error, "application", "Vistrelune", nullptr);
    if (error)
        throw std::runtime_error(
            "Could not read the API key from the keyring: " + takeMessage(error));
    if (!value) return std::nullopt;
    std::string key = value;
    secret_password_free(value);
    return key;
}

void KeyringKeyStore::write(const std::string& key) {
    GError* error = nullptr;
    secret_password_store_sync(schema(), SECRET_COLLECTION_DEFAULT, "Vistrelune API key",
        key.c_str(), nullptr, &error, "application", "Vistrelune", nullptr);
    if (error)
        throw std::runtime_error(
            "Could not store the API key in the keyring: " + takeMessage(error));
}

} // namespace vst::ai
