// The API key dialog: texts, the stored key, Enter confirms, the result in Tag.
#include "ai/ui/TFormAPIKey.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

using vst::ai::ui::TFormAPIKey;

namespace {
void ensureApp() {
    static int argc = 1;
    static char name[] = "test_ai_ui";
    static char* argv[] = { name, nullptr };
    if (!QApplication::instance()) new QApplication(argc, argv);
}
} // namespace

TEST(AiKeyDialog, ShowsTheStoredKeyAndItsTexts) {
    ensureApp();
    TFormAPIKey form;
    form.Tag = 5;
    form.FormShow("sk-1");
    EXPECT_EQ(form.windowTitle(), "API Key");
    EXPECT_EQ(form.Label2->text(), "API Key:");
    EXPECT_EQ(form.btGo->text(), "OK");
    EXPECT_EQ(form.btClose->text(), "Cancel");
    EXPECT_EQ(form.Edit1->text(), "sk-1");
    EXPECT_EQ(form.Tag, 0);
    EXPECT_EQ(form.size(), QSize(437, 163));
    EXPECT_EQ(form.lblURL->palette().color(QPalette::WindowText), QColor(31, 198, 243));
}

TEST(AiKeyDialog, EnterConfirmsAndCancelLeavesTagZero) {
    ensureApp();
    TFormAPIKey form;
    form.FormShow("");
    QTimer::singleShot(0, &form, [&] {
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(&form, &enter);
    });
    form.exec();
    EXPECT_EQ(form.Tag, 1);
    TFormAPIKey cancelled;
    cancelled.FormShow("");
    QTimer::singleShot(0, &cancelled, [&] { cancelled.btClose->click(); });
    cancelled.exec();
    EXPECT_EQ(cancelled.Tag, 0);
}

// Fontconfig keeps a cache for the whole process the first time a widget lays out text.
extern "C" const char* __lsan_default_suppressions() {
    return "leak:libfontconfig\n";
}
