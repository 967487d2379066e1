#include "project/ui/VariantView.h"

#include "document/Document.h"

#include <QVBoxLayout>

namespace vst::project {

VariantView::VariantView(QWidget* parent)
    : QWidget(parent)
    , m_document(std::make_unique<ie::Document>())
    , m_view(new TabImageView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_view);
    m_view->setDocument(m_document.get());
}

VariantView::~VariantView() = default;

void VariantView::setDocument(std::unique_ptr<ie::Document> document) {
    m_view->setDocument(document.get());
    m_document = std::move(document);
}

bool VariantView::isModified() const {
    return m_document->isModified();
}

} // namespace vst::project
