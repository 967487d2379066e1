// One variant on an editor tab: its document, the view showing it and the two names it keeps.
#pragma once

#include "project/ui/TabImageView.h"

#include <QWidget>
#include <memory>

namespace ie {
class Document;
}

namespace vst::project {

/// A variant view: owns its document; the tab shows exactly one of its variant views.
class VariantView : public QWidget {
public:
    explicit VariantView(QWidget* parent = nullptr);
    ~VariantView() override;

    ie::Document& document() { return *m_document; }
    const ie::Document& document() const { return *m_document; }
    /// Replaces the document and shows it.
    void setDocument(std::unique_ptr<ie::Document> document);
    TabImageView* imageView() const { return m_view; }

    bool isModified() const;

    /// The project's file (empty for a copy that was never saved).
    QString TheFileName;
    /// The variant's display name, unique within the tab.
    QString VersionName;
    /// The name Save proposes when TheFileName is empty (a duplicate proposes its source's).
    QString proposedFileName;

private:
    std::unique_ptr<ie::Document> m_document;
    TabImageView* m_view;
};

} // namespace vst::project
