#include "app/ui/MessageDlg.h"

#include "app/Translation.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <array>
#include <utility>

namespace vst::app {

namespace {

struct ButtonInfo {
    TMsgDlgBtn button;
    const char* english;
    QMessageBox::ButtonRole role;
    TModalResult result;
};

constexpr std::array<ButtonInfo, 6> kButtons { {
    { mbYes, "Yes", QMessageBox::YesRole, mrYes },
    { mbYesToAll, "Yes to All", QMessageBox::YesRole, mrYesToAll },
    { mbNo, "No", QMessageBox::NoRole, mrNo },
    { mbNoToAll, "No to All", QMessageBox::NoRole, mrNoToAll },
    { mbOK, "OK", QMessageBox::AcceptRole, mrOk },
    { mbCancel, "Cancel", QMessageBox::RejectRole, mrCancel },
} };

QMessageBox::Icon iconOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return QMessageBox::Warning;
    case TMsgDlgType::mtError:
        return QMessageBox::Critical;
    case TMsgDlgType::mtInformation:
        return QMessageBox::Information;
    case TMsgDlgType::mtConfirmation:
        return QMessageBox::Question;
    case TMsgDlgType::mtCustom:
        break;
    }
    return QMessageBox::NoIcon;
}

class MessageBoxPresenter : public MessagePresenter {
public:
    int present(const MessageRequest& r) override {
        QMessageBox box(iconOf(r.type),
            r.caption.isEmpty() ? QApplication::applicationDisplayName() : r.caption, r.text,
            QMessageBox::NoButton, QApplication::activeWindow());
        std::vector<std::pair<QAbstractButton*, TModalResult>> results;
        for (const ButtonInfo& b : kButtons)
            if (r.buttons & b.button)
                results.emplace_back(
                    box.addButton(r.buttonTexts.value(b.button), b.role), b.result);
        box.exec();
        for (const auto& [button, result] : results)
            if (box.clickedButton() == button) return result;
        // Closing the box without a button counts as Cancel when there is one.
        return (r.buttons & mbCancel) ? mrCancel : mrNone;
    }
};

MessagePresenter*& presenterSlot() {
    static MessagePresenter* presenter = nullptr;
    return presenter;
}

MessagePresenter& presenter() {
    static MessageBoxPresenter standard;
    MessagePresenter* p = presenterSlot();
    return p ? *p : standard;
}

QString captionOf(TMsgDlgType type) {
    switch (type) {
    case TMsgDlgType::mtWarning:
        return Translate("Warning");
    case TMsgDlgType::mtError:
        return Translate("Error");
    case TMsgDlgType::mtInformation:
        return Translate("Information");
    case TMsgDlgType::mtConfirmation:
        return Translate("Confirm");
    case TMsgDlgType::mtCustom:
        break;
    }
    return {};
}

} // namespace

void setMessagePresenter(MessagePresenter* p) {
    presenterSlot() = p;
}

MessageRequest translatedRequest(
    const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
    MessageRequest r { msg, type, buttons, helpContext, captionOf(type), {} };
    for (const ButtonInfo& b : kButtons)
        if (buttons & b.button)
            // "Yes to All" keeps the standard caption, as the other unlisted buttons do.
            r.buttonTexts[b.button]
                = b.button == mbYesToAll ? QString(b.english) : Translate(b.english);
    return r;
}

int TranslatedMessageDlg(
    const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext) {
    return presenter().present(translatedRequest(msg, type, buttons, helpContext));
}

void ShowMessage(const QString& msg) {
    MessageRequest r { msg, TMsgDlgType::mtCustom, mbOK, 0, {}, {} };
    r.buttonTexts[mbOK] = Translate("OK");
    presenter().present(r);
}

} // namespace vst::app
