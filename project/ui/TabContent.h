// What an editor tab opens: the documents of a project file's variants, one page of an image
// file, or a new blank image.
#pragma once

#include <QColor>
#include <QString>
#include <memory>
#include <vector>

namespace ie {
class Document;
}

namespace vst::project {

/// One variant as read for a tab.
struct TabVariant {
    std::unique_ptr<ie::Document> document;
    QString VersionName;
};

/// True for names ending in ".vstl" in any letter case.
bool isProjectFileName(const QString& name);
/// True for the camera RAW extensions the RAW import dialog handles.
bool isRawFileName(const QString& name);

/// Reads `name`: every variant of a project file, or page `pageIndex` of an image file with its
/// metadata and resolution. Throws ie::Error.
std::vector<TabVariant> loadTabContent(const QString& name, int pageIndex);

/// A blank background: 0 transparent, 1 white, 2 `custom`, at `dpi` in both directions.
std::unique_ptr<ie::Document> newBlankDocument(
    int width, int height, int bodyType, const QColor& custom, int dpi);

} // namespace vst::project
