#include "TFormAPIKey.h"

#include "ai/ApiKeyStore.h"
#include "app/Translation.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QUrl>

namespace vst::ai::ui {

using vst::app::Translate;

TLinkLabel::TLinkLabel(const QString& text, QWidget* parent)
    : QLabel(text, parent) {
    setCursor(Qt::PointingHandCursor);
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(31, 198, 243));
    setPalette(p);
}

void TLinkLabel::setUnderlined(bool on) {
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
}

void TLinkLabel::enterEvent(QEnterEvent* event) {
    setUnderlined(true);
    QLabel::enterEvent(event);
}

void TLinkLabel::leaveEvent(QEvent* event) {
    setUnderlined(false);
    QLabel::leaveEvent(event);
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    QDesktopServices::openUrl(QUrl(text()));
    QLabel::mouseReleaseEvent(event);
}

TFormAPIKey::TFormAPIKey(QWidget* parent)
    : QDialog(parent)
    , Label1(new QLabel(this))
    , lblURL(new TLinkLabel(QString::fromLatin1(kAccountPage), this))
    , Label2(new QLabel(this))
    , Edit1(new QLineEdit(this))
    , btGo(new QPushButton(this))
    , btClose(new QPushButton(this)) {
    setObjectName("FormAPIKey");
    setFixedSize(437, 163);
    Label1->setGeometry(16, 12, 405, 20);
    lblURL->setGeometry(16, 34, 405, 20);
    Label2->setGeometry(16, 70, 405, 20);
    Edit1->setGeometry(16, 92, 405, 24);
    btGo->setGeometry(250, 128, 80, 26);
    btClose->setGeometry(341, 128, 80, 26);
    Edit1->setObjectName("Edit1");
    btGo->setObjectName("btGo");
    btClose->setObjectName("btClose");
    btGo->setDefault(true);
    connect(btGo, &QPushButton::clicked, this, [this] { btGoClick(); });
    connect(btClose, &QPushButton::clicked, this, [this] { btCloseClick(); });
}

void TFormAPIKey::FormShow(const QString& storedKey) {
    setWindowTitle(Translate("API Key"));
    Label1->setText(Translate("To obtain an API key, you need to create an account here:"));
    Label2->setText(Translate("API Key") + ":");
    btGo->setText(Translate("OK"));
    btClose->setText(Translate("Cancel"));
    Edit1->setText(storedKey);
    Tag = 0;
}

void TFormAPIKey::btGoClick() {
    Tag = 1;
    accept();
}

void TFormAPIKey::btCloseClick() {
    reject();
}

void TFormAPIKey::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && btGo->isEnabled()) {
        btGoClick();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool ActionAI_APIKeyExecute(QWidget* parent) {
    const auto store = makeApiKeyStore();
    TFormAPIKey form(parent);
    std::string stored;
    try {
        stored = store->read().value_or("");
    } catch (const std::exception&) {
        // An unreadable keyring shows an empty field; storing a key still works or says why.
    }
    form.FormShow(QString::fromStdString(stored));
    form.exec();
    if (form.Tag != 1) return false;
    try {
        applyApiKey(*store, form.Edit1->text().toStdString());
    } catch (const std::exception& e) {
        QMessageBox::warning(parent, Translate("API Key"), QString::fromUtf8(e.what()));
        return false;
    }
    return true;
}

} // namespace vst::ai::ui
