// The editor page control: tabs 250 pixels wide in the program's colours, each with a close
// glyph that closes the tab when pressed and released on it.
#pragma once

#include <QTabBar>
#include <QTabWidget>

namespace vst::project {

class TCloseTabSheet;

/// The tab row; draws the tabs and handles the close glyph's mouse rules.
class TClosePageControlHandler : public QTabBar {
public:
    explicit TClosePageControlHandler(QWidget* parent = nullptr);

    /// The glyph rectangle of tab `index` as drawn.
    QRect closeButtonRect(int index) const;

    TCloseTabSheet* fMouseDownTab = nullptr;
    bool fCloseButtonPushed = false;

protected:
    QSize tabSizeHint(int index) const override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    TCloseTabSheet* sheetAt(int index) const;
    int sheetIndex(const TCloseTabSheet* sheet) const;
    void drawTab(QPainter& p, int index);
    void drawGlyph(QPainter& p, const QRect& r, bool pushed);
};

/// `pgcEditor`: a tab widget whose tab row is a TClosePageControlHandler.
class TEditorPageControl : public QTabWidget {
public:
    explicit TEditorPageControl(QWidget* parent = nullptr);
    TClosePageControlHandler* handler() const { return m_handler; }
    TCloseTabSheet* sheet(int index) const;

private:
    TClosePageControlHandler* m_handler;
};

} // namespace vst::project
