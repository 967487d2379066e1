#include "ApiKeyStore.h"

#include "AiClientHolder.h"
#include "ApiKeyText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

#include <fcntl.h>
#include <stdexcept>
#include <unistd.h>

namespace vst::ai {
namespace {
constexpr auto kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

std::string defaultKeyFile() {
    return (QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)
        + "/Vistrelune/apikey.ini")
        .toStdString();
}

// Created owner-only before anything is written into it, so the key is never readable by
// others, not even for a moment; the settings writer keeps the permissions on replace.
void createOwnerOnly(const QString& path) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    const int fd = ::open(path.toLocal8Bit().constData(), O_WRONLY | O_CREAT, 0600);
    if (fd < 0) throw std::runtime_error("Could not create the key file " + path.toStdString());
    ::close(fd);
    QFile::setPermissions(path, kOwnerOnly);
}
} // namespace

SettingsFileKeyStore::SettingsFileKeyStore(std::string path)
    : m_path(path.empty() ? defaultKeyFile() : std::move(path)) { }

std::optional<std::string> SettingsFileKeyStore::read() const {
    const QSettings settings(QString::fromStdString(m_path), QSettings::IniFormat);
    if (!settings.contains("APIKey")) return std::nullopt;
    return settings.value("APIKey").toString().toStdString();
}

void SettingsFileKeyStore::write(const std::string& key) {
    const QString path = QString::fromStdString(m_path);
    createOwnerOnly(path);
    {
        QSettings settings(path, QSettings::IniFormat);
        settings.setValue("APIKey", QString::fromStdString(key));
        settings.sync();
        if (settings.status() != QSettings::NoError)
            throw std::runtime_error("Could not write the key file " + m_path);
    }
    QFile::setPermissions(path, kOwnerOnly);
}

std::unique_ptr<ApiKeyStore> makeApiKeyStore() {
    if (KeyringKeyStore::available()) return std::make_unique<KeyringKeyStore>();
    return std::make_unique<SettingsFileKeyStore>();
}

std::string storeApiKey(ApiKeyStore& store, const std::string& typed) {
    if (keyHasControlCharacters(typed))
        throw std::runtime_error("The API key holds control characters; paste it again.");
    const std::string key = trimmedKey(typed);
    store.write(key);
    return key;
}

void applyApiKey(ApiKeyStore& store, const std::string& typed) {
    replaceAiClientForKey(storeApiKey(store, typed));
}

} // namespace vst::ai
