// Message boxes with translated captions and buttons, shown through one replaceable presenter
// so tests can answer them.
#pragma once

#include <QMap>
#include <QString>

namespace vst::app {

enum class TMsgDlgType { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

/// Standard buttons, combinable.
enum TMsgDlgBtn : unsigned {
    mbYes = 1 << 0,
    mbNo = 1 << 1,
    mbOK = 1 << 2,
    mbCancel = 1 << 3,
    mbNoToAll = 1 << 4,
    mbYesToAll = 1 << 5,
};
using TMsgDlgButtons = unsigned;

/// What a dialog returns.
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrYes = 6,
    mrNo = 7,
    mrYesToAll = 10,
    mrNoToAll = 9,
};

/// One message as it is to be shown, texts already translated.
struct MessageRequest {
    QString text;
    TMsgDlgType type = TMsgDlgType::mtInformation;
    TMsgDlgButtons buttons = mbOK;
    int helpContext = 0;
    QString caption; ///< empty for the standard caption (custom type, plain messages)
    QMap<TMsgDlgBtn, QString> buttonTexts;
};

/// Shows messages; the program's shows a QMessageBox, tests answer from a script.
class MessagePresenter {
public:
    virtual ~MessagePresenter() = default;
    virtual int present(const MessageRequest& request) = 0;
};

/// Replaces the presenter (nullptr restores the message-box one).
void setMessagePresenter(MessagePresenter* presenter);

/// The request TranslatedMessageDlg shows: caption and button texts translated.
MessageRequest translatedRequest(
    const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext);

/// Shows `msg` modally with translated caption and buttons; returns the modal result.
int TranslatedMessageDlg(
    const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext = 0);

/// A plain message with an OK button and the application's caption.
void ShowMessage(const QString& msg);

} // namespace vst::app
