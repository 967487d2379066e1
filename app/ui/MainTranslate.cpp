// The main window's texts in the current language, and the Language submenu.
#include "app/ui/Main.h"

#include "app/Translation.h"
#include "app/ui/MenuTable.h"
#include "app/ui/MessageDlg.h"

#include <QActionGroup>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>

namespace vst::app {

namespace {

// A caption ending in "..." is looked up without it and gets it back afterwards.
QString translatedCaption(const QString& caption) {
    const QString key = captionKey(caption);
    return key == caption ? Translate(caption) : Translate(key) + "...";
}

} // namespace

void TRovazEvaderurMainForm::TranslateInterface() {
    const auto& rows = menuTable();
    std::size_t title = 0;
    for (const MenuEntry& e : rows) {
        if (e.depth == 0) {
            if (title < m_topMenus.size()) m_topMenus[title++]->setTitle(Translate(e.caption));
        } else if (!e.isSeparator()) {
            if (QAction* a = action(e.action)) a->setText(translatedCaption(e.caption));
        }
    }
    setStartScreenTexts();
    btnAbort->setText(Translate("Abort"));
    btnTabsList->setToolTip(Translate("Tabs"));
    UpdateButtonStatus(); // the Undo and Redo captions depend on the history
    UpdateStatusCaption(false);
}

void TRovazEvaderurMainForm::setStartScreenTexts() {
    lblGettingStarted->setText(Translate("Getting Started:"));
    btnStartOpen->setText(Translate("Open") + "...");
    btnStartCreate->setText(Translate("Create") + "...");
    lblDragAndDrop->setText(Translate("or drag and drop any files here"));
}

void TRovazEvaderurMainForm::UpdateLanguageMenu() {
    QAction* addLanguage = action("ActionAddLanguage");
    mnuLanguage->clear();
    delete m_languageGroup;
    m_languageGroup = new QActionGroup(this);
    const TranslationTable& table = translationTable();
    const QStringList names = table.names();
    for (int i = 0; i < names.size(); ++i) {
        auto* item = new QAction(names[i], m_languageGroup);
        item->setObjectName(QString("ActionLanguage_%1").arg(i));
        item->setProperty("category", "Languages");
        item->setProperty("Tag", i);
        item->setCheckable(true);
        item->setChecked(i == currentLanguageIndex());
        connect(item, &QAction::triggered, this, [this, item] { LanguageMenuItemClick(item); });
        mnuLanguage->addAction(item);
    }
    mnuLanguage->addSeparator();
    addLanguage->setText(Translate("Add Language") + "...");
    addLanguage->setProperty("Tag", 10000);
    mnuLanguage->addAction(addLanguage);
}

void TRovazEvaderurMainForm::LanguageMenuItemClick(QAction* sender) {
    setCurrentLanguageIndex(sender->property("Tag").toInt());
    sender->setChecked(true);
    TranslateInterface();
}

QString TRovazEvaderurMainForm::addLanguageText() {
    const QString gap = "\r\n\r\n";
    return Translate("Do you want to help us to translate %s to your language?")
               .replace("%s", "Vistrelune")
        + gap
        + Translate("Please find the file ~transl.dt in the installation folder. Open it with "
                    "Notepad, and fill the empty lines with translated strings.")
        + gap
        + Translate("Replace the line [NEW_LANGUAGE_NAME]  with the name of your language, for "
                    "example: Italiano")
        + gap
        + Translate("Replace the line [NEW_LANGUAGE_CODE]  with the two-character language code, "
                    "for example: it")
        + "\r\n"
        + Translate("The following language codes are currently supported: en (English), de "
                    "(German), es (Spanish), it (Italian), fr (French), pt (Portuguese), nl "
                    "(Dutch), tr (Turkish), pl (Polish), ar (Arabic), cn (Chinese), jp "
                    "(Japanese), kr (Korean).")
        + gap
        + Translate("Save the file as transl.dt by rewriting the existing file (UTF-8 encoding).")
        + gap
        + Translate("Restart %s, and select newly added language in menu -> View -> Language.")
              .replace("%s", "Vistrelune")
        + gap
        + Translate("Send us the transl.dt if you want to see your translation in the next "
                    "version of the software.")
        + " (support@vistrelune.example)" + "\r\n" + gap + Translate("THANK YOU!");
}

void TRovazEvaderurMainForm::AddLanguageClick() {
    TranslatedMessageDlg(addLanguageText(), TMsgDlgType::mtInformation, mbOK);
}

} // namespace vst::app
