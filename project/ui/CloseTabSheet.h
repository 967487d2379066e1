// An editor tab: a page of the editor page control holding one project's variant views, with a
// close button drawn on its tab.
#pragma once

#include <QRect>
#include <QWidget>
#include <functional>
#include <vector>

namespace vst::project {

class VariantView;

/// The tab page; its variant views are its children in variant order.
class TCloseTabSheet : public QWidget {
public:
    explicit TCloseTabSheet(QWidget* parent = nullptr);

    /// Adds a variant view at the end; it is hidden unless `visible`.
    void addView(VariantView* view, bool visible);
    /// The variant views in order (0 is the main variant).
    std::vector<VariantView*> views() const;
    /// The first view whose visible flag is set, or none.
    VariantView* visibleView() const;
    bool isModified() const;

    /// Asks the close query handler, then frees the tab when allowed and calls the close
    /// handler. True when the tab was closed.
    bool Close();

    QString fOriginalFileName;
    QRect fCloseButtonRect;
    std::function<void(TCloseTabSheet*, bool&)> fOnCloseQuery;
    std::function<void()> fOnClose;
};

} // namespace vst::project
