#include "project/ui/CloseTabSheet.h"

#include "project/ui/VariantView.h"

#include <QVBoxLayout>

namespace vst::project {

TCloseTabSheet::TCloseTabSheet(QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

void TCloseTabSheet::addView(VariantView* view, bool visible) {
    view->setParent(this);
    layout()->addWidget(view);
    view->setVisible(visible);
    if (!visible) view->hide();
}

std::vector<VariantView*> TCloseTabSheet::views() const {
    std::vector<VariantView*> out;
    for (QObject* child : children())
        if (auto* view = dynamic_cast<VariantView*>(child)) out.push_back(view);
    return out;
}

VariantView* TCloseTabSheet::visibleView() const {
    // The hidden flag, not on-screen visibility: a tab that is not the current page still has
    // its chosen variant.
    for (VariantView* view : views())
        if (!view->isHidden()) return view;
    return nullptr;
}

bool TCloseTabSheet::Close() {
    bool canClose = true;
    if (fOnCloseQuery) fOnCloseQuery(this, canClose);
    const std::function<void()> onClose = fOnClose;
    if (canClose) delete this;
    if (onClose) onClose();
    return canClose;
}

bool TCloseTabSheet::isModified() const {
    for (VariantView* view : views())
        if (view->isModified()) return true;
    return false;
}

} // namespace vst::project
