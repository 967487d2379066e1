// The recent-files list kept in recent.txt (one path per line, UTF-8, newest first).
#pragma once

#include <QString>
#include <QStringList>

namespace vst::app {

/// The paths opened lately, newest first, without duplicates.
class RecentFiles {
public:
    /// Most entries kept.
    static constexpr int kMaxEntries = 20;

    /// Reads `path` when it exists; a missing or unreadable file leaves the list empty.
    void load(const QString& path);
    /// Writes the list to `path` atomically (UTF-8, replacing the file). Throws ie::Error.
    void save(const QString& path) const;
    /// Puts `file` first (moving it when already listed).
    void add(const QString& file);
    const QStringList& items() const { return m_items; }
    void clear() { m_items.clear(); }

private:
    QStringList m_items;
};

} // namespace vst::app
