// The main window with its editor tabs: files from outside, tab order and captions, closing with
// unsaved work, duplicates, the close glyph and the language menu.
#include "app/SettingsStore.h"
#include "app/Translation.h"
#include "app/ui/Main.h"
#include "app/ui/MessageDlg.h"
#include "document/Document.h"
#include "io/ImageIO.h"
#include "io/codecs/TiffPages.h"
#include "project/ui/ClosePageControl.h"
#include "project/ui/CloseTabSheet.h"
#include "project/ui/VariantView.h"
#include "support/TestImages.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <deque>
#include <gtest/gtest.h>

using namespace vst::app;
using vst::project::VariantView;

namespace {

/// Answers message boxes from a queue and remembers what they said.
class ScriptedPresenter : public MessagePresenter {
public:
    int present(const MessageRequest& r) override {
        shown.push_back(r);
        if (answers.empty()) return mrCancel;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    std::deque<int> answers;
    std::vector<MessageRequest> shown;
};

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        CommandLineHandled = false;
        setMessagePresenter(&m_presenter);
        QFile::remove(openSettingsStore()->fileName());
        m_folders = MainFormFolders { m_dir.path() + "/install", m_dir.path() + "/data",
            m_dir.path() + "/docs", m_dir.path() + "/tmp" };
    }
    void TearDown() override { setMessagePresenter(nullptr); }

    QString image(const QString& name, int w = 40, int h = 30) {
        const QString path = m_dir.path() + "/" + name;
        ie::io::saveImage(path.toStdString(), vst::test::photoLike(w, h));
        return path;
    }
    QString pages(const QString& name, int count) {
        const QString path = m_dir.path() + "/" + name;
        std::vector<ie::Bitmap> list;
        for (int i = 0; i < count; ++i)
            list.push_back(vst::test::noise(20 + i, 10, ie::PixelFormat::Rgb24, unsigned(i + 1)));
        ie::io::writeTiffPages(path.toStdString(), list, {});
        return path;
    }
    std::unique_ptr<TRovazEvaderurMainForm> form(const QString& commandLine = {}) {
        return std::make_unique<TRovazEvaderurMainForm>(commandLine, m_folders);
    }
    static QStringList fileNames(TRovazEvaderurMainForm& f) {
        QStringList out;
        for (int i = 0; i < f.editorTabs().tabCount(); ++i)
            out << QFileInfo(f.editorTabs().GetImageEnView(i)->TheFileName).fileName();
        return out;
    }
    static void modify(VariantView* view) {
        view->document().saveUndo("Brush");
        view->document().setModified(true);
    }

    QTemporaryDir m_dir;
    MainFormFolders m_folders;
    ScriptedPresenter m_presenter;
};

} // namespace

TEST_F(MainFormTest, DroppedFilesOpenEveryPageInDropOrderAndAbortStopsAfterThePage) {
    const QStringList files { image("a.png"), pages("b.tif", 5), image("c.png") };
    auto f = form();
    f->WMDropFiles(files);
    EXPECT_EQ(fileNames(*f),
        QStringList({ "a.png", "b.tif", "b.tif", "b.tif", "b.tif", "b.tif", "c.png" }));
    EXPECT_EQ(f->editorTabs().GetImageEnView(3)->document().layers().canvasWidth(), 22);

    auto g = form();
    int opened = 0;
    g->onPageOpened = [&] {
        if (++opened == 3) g->NeedAbort = true; // pressed during the second file's second page
    };
    g->WMDropFiles(files);
    EXPECT_EQ(g->editorTabs().tabCount(), 3);
    EXPECT_FALSE(g->NeedAbort);
}

TEST_F(MainFormTest, AFileHandedInBeforeTheWindowShowsIsNotOpenedAgain) {
    const QString a = image("a.png");
    auto f = form(a);
    f->handleInstanceMessage(InstanceMessage { kCopyDataMessage, 1, 0, 0, a });
    f->FormShow();
    EXPECT_EQ(f->editorTabs().tabCount(), 1);
    // A record naming no existing file is ignored.
    f->handleInstanceMessage(InstanceMessage { kCopyDataMessage, 1, 0, 0, a + ".gone" });
    EXPECT_EQ(f->editorTabs().tabCount(), 1);

    CommandLineHandled = false;
    auto g = form(a);
    g->FormShow();
    EXPECT_EQ(g->editorTabs().tabCount(), 1);
    EXPECT_TRUE(CommandLineHandled);
}

TEST_F(MainFormTest, OnlyTheRightPairRestoresTheWindow) {
    auto f = form();
    f->showMinimized();
    QCoreApplication::processEvents();
    f->WMRestoreInstance(1111, 2223);
    EXPECT_TRUE(f->isMinimized());
    f->WMRestoreInstance(1111, 2222);
    EXPECT_FALSE(f->isMinimized());
}

TEST_F(MainFormTest, NewTabsGoAfterTheActiveOneAndCaptionsFollowTheFileKind) {
    auto f = form();
    auto& tabs = f->editorTabs();
    for (const char* n : { "one.png", "two.png", "three.png" })
        tabs.CreateEditorTab(image(n), 0, false, 0, 0, 0, Qt::white, 0);
    tabs.pgcEditor()->setCurrentIndex(0);
    tabs.CreateEditorTab(image("b.jpg"), 0, false, 0, 0, 0, Qt::white, 0);
    EXPECT_EQ(tabs.pgcEditor()->currentIndex(), 1);
    EXPECT_EQ(tabs.pgcEditor()->tabText(1), "b");
    EXPECT_EQ(tabs.pgcEditor()->tabToolTip(1), "b");
    EXPECT_EQ(f->windowTitle(), "b - Vistrelune");

    modify(tabs.ActiveImageEnView());
    tabs.UpdatePageCaptionAndHint(-1);
    EXPECT_EQ(tabs.pgcEditor()->tabText(1), "b *");

    // Saved as a project with an upper-case extension: the caption keeps it, the hint is the
    // full path, and Save writes there again without asking.
    const QString project = m_dir.path() + "/Trip.VSTL";
    f->askSaveFileName = [&](const QString&) { return project; };
    f->ActionSaveExecute();
    f->askSaveFileName = nullptr;
    EXPECT_EQ(tabs.pgcEditor()->tabText(1), "Trip.VSTL");
    EXPECT_EQ(tabs.pgcEditor()->tabToolTip(1), project);
    modify(tabs.ActiveImageEnView());
    f->ActionSaveExecute();
    EXPECT_EQ(f->action("ActionSave")->property("Tag").toInt(), 1);
    tabs.CreateEditorTab(project, 0, false, 0, 0, 0, Qt::white, 0);
    EXPECT_EQ(tabs.ActiveImageEnView()->document().layers().canvasWidth(), 40);
    EXPECT_EQ(tabs.ActiveImageEnView()->VersionName, "Original");
}

TEST_F(MainFormTest, CancelWhileClosingKeepsTheEarlierTabsAndStillSavesTheSettings) {
    auto f = form();
    auto& tabs = f->editorTabs();
    for (const char* n : { "one.png", "two.png", "three.png" })
        tabs.CreateEditorTab(image(n), 0, false, 0, 0, 0, Qt::white, 0);
    modify(tabs.GetImageEnView(1));
    f->fields().fCurrentBrushWidth = 64;
    m_presenter.answers = { mrCancel };
    EXPECT_FALSE(f->close());
    EXPECT_EQ(fileNames(*f), QStringList({ "one.png", "two.png" }));
    ASSERT_EQ(m_presenter.shown.size(), 1u);
    EXPECT_EQ(m_presenter.shown[0].text, "Save changes to \"two\"?");
    EXPECT_TRUE(m_presenter.shown[0].buttons & mbNoToAll);
    EXPECT_FALSE(f->editorTabs().ClosingAllTabs);
    auto store = openSettingsStore();
    EXPECT_EQ(store->allKeys().size(), 121);
    EXPECT_EQ(store->value("CurrentBrushWidth").toInt(), 64);

    // Close All asks without No to All; No closes unsaved.
    m_presenter.answers = { mrNo };
    EXPECT_TRUE(tabs.ActionCloseAllExecute());
    EXPECT_FALSE(m_presenter.shown.back().buttons & mbNoToAll);
    EXPECT_EQ(tabs.tabCount(), 0);
}

TEST_F(MainFormTest, ADuplicateHasNoProjectFileSoSavingItCantOverwriteTheSource) {
    auto f = form();
    auto& tabs = f->editorTabs();
    const QString project = m_dir.path() + "/source.vstl";
    tabs.CreateEditorTab(image("s.png", 50, 20), 0, false, 0, 0, 0, Qt::white, 0);
    f->askSaveFileName = [&](const QString&) { return project; };
    f->ActionSaveExecute();
    const QByteArray before = vst::test::readFile(project.toStdString()).c_str();
    const auto sizeBefore = QFileInfo(project).size();

    f->action("ActionImageDuplicate")->trigger();
    ASSERT_EQ(tabs.tabCount(), 2);
    VariantView* copy = tabs.ActiveImageEnView();
    EXPECT_TRUE(copy->TheFileName.isEmpty());
    EXPECT_EQ(copy->document().layers().canvasWidth(), 50);
    EXPECT_EQ(tabs.pgcEditor()->tabText(1), "source.vstl");
    QString proposed;
    f->askSaveFileName = [&](const QString& p) {
        proposed = p;
        return QString();
    };
    modify(copy);
    f->ActionSaveExecute();
    EXPECT_EQ(proposed, project);
    EXPECT_EQ(f->action("ActionSave")->property("Tag").toInt(), 0);
    EXPECT_EQ(QFileInfo(project).size(), sizeBefore);
    (void)before;
}

TEST_F(MainFormTest, TheCloseGlyphClosesOnlyWhenReleasedOnIt) {
    auto f = form();
    f->resize(1200, 700);
    f->show();
    auto& tabs = f->editorTabs();
    tabs.CreateEditorTab(image("a.png"), 0, false, 0, 0, 0, Qt::white, 0);
    tabs.CreateEditorTab(image("b.png"), 0, false, 0, 0, 0, Qt::white, 0);
    QCoreApplication::processEvents();
    auto* bar = tabs.pgcEditor()->handler();
    const QPoint glyph = bar->closeButtonRect(1).center();
    const QPoint away = bar->tabRect(0).center();
    QTest::mousePress(bar, Qt::LeftButton, {}, glyph);
    EXPECT_TRUE(bar->fCloseButtonPushed);
    QMouseEvent move(
        QEvent::MouseMove, away, bar->mapToGlobal(away), Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(bar, &move);
    EXPECT_FALSE(bar->fCloseButtonPushed);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, away);
    EXPECT_EQ(tabs.tabCount(), 2);

    QTest::mousePress(bar, Qt::LeftButton, {}, glyph);
    QCoreApplication::sendEvent(bar, &move);
    QMouseEvent back(
        QEvent::MouseMove, glyph, bar->mapToGlobal(glyph), Qt::NoButton, Qt::LeftButton, {});
    QCoreApplication::sendEvent(bar, &back);
    EXPECT_TRUE(bar->fCloseButtonPushed);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, glyph);
    EXPECT_EQ(fileNames(*f), QStringList({ "a.png" }));
}

TEST_F(MainFormTest, TheLanguageMenuSwitchesTheInterface) {
    LoadTranslation(QString::fromUtf8(VST_SOURCE_DIR) + "/data", "en");
    auto f = form();
    QMenu* menu = f->action("ActionLanguage0")->menu();
    QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 6 + 2);
    EXPECT_EQ(items.front()->text(), "English");
    EXPECT_TRUE(items.front()->isChecked());
    EXPECT_EQ(items.back()->objectName(), "ActionAddLanguage");
    EXPECT_EQ(items.back()->text(), "Add Language...");
    f->LanguageMenuItemClick(items[1]);
    EXPECT_EQ(CurrentLanguage(), "de");
    EXPECT_EQ(f->action("ActionSaveAs")->text(), "Speichern unter...");
    EXPECT_EQ(f->action("ActionUndo")->text(), QString::fromUtf8("Letzte Änderung rückgängig"));
    EXPECT_FALSE(f->action("ActionImageSize")->isEnabled());
    EXPECT_TRUE(f->action("ActionAlwaysOnTop")->isEnabled());
    setCurrentLanguageIndex(0);
    LoadTranslation(m_dir.path());
}
