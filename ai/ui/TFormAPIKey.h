// The API key dialog: the link to the service's key page and the key field.
#pragma once

#include <QDialog>
#include <QLabel>

class QLineEdit;
class QPushButton;

namespace vst::ai::ui {

/// A label drawn as a link: hand cursor, the link colour, underlined while the mouse is over it.
class TLinkLabel : public QLabel {
public:
    explicit TLinkLabel(const QString& text, QWidget* parent = nullptr);

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void setUnderlined(bool on);
};

/// The modal key dialog. Its Tag is the result: 1 after OK, 0 otherwise.
class TFormAPIKey : public QDialog {
public:
    /// The service's page where users create their keys.
    static constexpr const char* kAccountPage = "https://platform.stability.ai/account/keys";

    explicit TFormAPIKey(QWidget* parent = nullptr);

    int Tag = 0;
    QLabel* Label1;
    TLinkLabel* lblURL;
    QLabel* Label2;
    QLineEdit* Edit1;
    QPushButton* btGo;
    QPushButton* btClose;

    /// Sets the texts, puts `storedKey` into Edit1 and resets Tag.
    void FormShow(const QString& storedKey);
    void btGoClick();
    void btCloseClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

/// The whole key change: shows the dialog with the stored key; after OK stores the typed key
/// and replaces the process-wide client (when the key is not blank). Returns true after OK.
/// A key the store refuses is reported in a message box and nothing changes.
bool ActionAI_APIKeyExecute(QWidget* parent);

} // namespace vst::ai::ui
