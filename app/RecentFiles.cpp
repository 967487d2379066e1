#include "app/RecentFiles.h"

#include "imaging/Error.h"

#include <QFile>
#include <QSaveFile>

namespace vst::app {

void RecentFiles::load(const QString& path) {
    m_items.clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        const QString item = line.trimmed();
        if (!item.isEmpty() && !m_items.contains(item) && m_items.size() < kMaxEntries)
            m_items.append(item);
    }
}

void RecentFiles::save(const QString& path) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) throw ie::Error("Unable to write " + path.toStdString());
    file.write(m_items.join('\n').toUtf8());
    if (!file.commit()) throw ie::Error("Unable to write " + path.toStdString());
}

void RecentFiles::add(const QString& file) {
    m_items.removeAll(file);
    m_items.prepend(file);
    while (m_items.size() > kMaxEntries)
        m_items.removeLast();
}

} // namespace vst::app
