// The translation table: its file layout, the lookup rules and a row for every shown text.
#include "app/Translation.h"
#include "app/ui/MenuTable.h"
#include "app/ui/MessageDlg.h"

#include <QDirIterator>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace vst::app;

namespace {

void writeTable(const QString& path, const QByteArray& text) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(text);
}

QString sourceDir() {
    return QString::fromUtf8(VST_SOURCE_DIR);
}

class TranslationTest : public ::testing::Test {
protected:
    void TearDown() override { LoadTranslation(m_dir.path() + "/missing"); }
    QTemporaryDir m_dir;
};

} // namespace

TEST_F(TranslationTest, RowsFillWholeLanguageColumnsAndTheRestIsIgnored) {
    QStringList lines { "3" };
    for (int i = 0; i < 20; ++i)
        lines << QString("t%1").arg(i);
    const TranslationTable t = TranslationTable::fromLines(lines);
    EXPECT_EQ(t.languageCount(), 3);
    EXPECT_EQ(t.rowCount(), 6);
    EXPECT_EQ(t.cell(1, 2), "t5"); // row 1, column 3: line 1*3+3
    EXPECT_EQ(t.cell(5, 0), "t15");
}

TEST_F(TranslationTest, FirstMatchWinsEmptyCellsAndMissingRowsShowEnglish) {
    writeTable(m_dir.path() + "/transl.dt",
        "\xEF\xBB\xBF"
        "2\r\nEnglish\r\nDeutsch\r\nen\r\nde\r\nOpen\r\nÖffnen\r\nOpen\r\nAuf\r\nSave\r\n\r\n");
    LoadTranslation(m_dir.path(), "de");
    EXPECT_EQ(currentLanguageIndex(), 1);
    EXPECT_EQ(Translate("Open"), QString::fromUtf8("Öffnen"));
    EXPECT_EQ(Translate("Save"), "Save");
    EXPECT_EQ(Translate("Close"), "Close");
    EXPECT_EQ(Translate("open"), "open"); // exact, case-sensitive
    setCurrentLanguageIndex(0);
    EXPECT_EQ(Translate("Open"), "Open");
    EXPECT_EQ(CurrentLanguage(), "en");
}

TEST_F(TranslationTest, UnknownCodesAndBrokenTablesFallBackToEnglish) {
    writeTable(m_dir.path() + "/transl.dt", "2\nEnglish\nDeutsch\nen\nde\nOpen\nAuf\n");
    LoadTranslation(m_dir.path(), "xx");
    EXPECT_EQ(currentLanguageIndex(), 0);
    EXPECT_EQ(CurrentLanguage(), "xx"); // kept, written back unchanged
    for (const QByteArray& bad : { QByteArray("two\nEnglish\n"), QByteArray("2\nEnglish\n") }) {
        writeTable(m_dir.path() + "/transl.dt", bad);
        LoadTranslation(m_dir.path(), "de");
        EXPECT_EQ(currentLanguageIndex(), 0);
        EXPECT_EQ(translationTable().languageCount(), 0);
    }
    EXPECT_THROW(TranslationTable::fromFile(m_dir.path() + "/none.dt"), std::exception);
}

TEST(LanguageCodes, SystemLanguagesMapToTheProgramsCodes) {
    EXPECT_EQ(languageCodeFor(QLocale::German), "de");
    EXPECT_EQ(languageCodeFor(QLocale::Chinese), "cn");
    EXPECT_EQ(languageCodeFor(QLocale::Japanese), "jp");
    EXPECT_EQ(languageCodeFor(QLocale::Korean), "kr");
    EXPECT_EQ(languageCodeFor(QLocale::Swedish), "en");
}

TEST_F(TranslationTest, MessageBoxesInGermanHaveTranslatedCaptionAndButtons) {
    LoadTranslation(sourceDir() + "/data", "de");
    const MessageRequest error = translatedRequest("x", TMsgDlgType::mtError, mbOK, 0);
    EXPECT_EQ(error.caption, "Fehler");
    EXPECT_EQ(error.buttonTexts.value(mbOK), "OK");
    const MessageRequest q
        = translatedRequest("x", TMsgDlgType::mtConfirmation, mbYes | mbNo | mbCancel, 0);
    EXPECT_EQ(q.caption, QString::fromUtf8("Bestätigen"));
    EXPECT_EQ(q.buttonTexts.value(mbYes), "Ja");
    EXPECT_EQ(q.buttonTexts.value(mbNo), "Nein");
    EXPECT_EQ(q.buttonTexts.value(mbCancel), "Abbrechen");
}

namespace {

// Every Translate("...") literal in the sources, adjacent literals joined as the compiler does.
QStringList translateLiterals() {
    static const QRegularExpression call(R"re(Translate\(\s*((?:"(?:[^"\\]|\\.)*"\s*)+)\))re");
    static const QRegularExpression piece(R"re("((?:[^"\\]|\\.)*)")re");
    QStringList out;
    for (const char* folder :
        { "app", "project", "tools", "adjust", "ai", "dialogs", "engine/view" }) {
        QDirIterator it(sourceDir() + "/" + folder, { "*.cpp", "*.h" }, QDir::Files,
            QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile f(it.next());
            if (!f.open(QIODevice::ReadOnly)) continue;
            const QString text = QString::fromUtf8(f.readAll());
            for (auto m = call.globalMatch(text); m.hasNext();) {
                QString literal;
                for (auto p = piece.globalMatch(m.next().captured(1)); p.hasNext();)
                    literal += p.next().captured(1);
                out << literal.replace("\\\"", "\"").replace("\\\\", "\\");
            }
        }
    }
    return out;
}

} // namespace

TEST(TranslationTable, EveryShownTextHasARowInEveryShippedLanguage) {
    const TranslationTable t = TranslationTable::fromFile(sourceDir() + "/data/transl.dt");
    ASSERT_EQ(t.codes(), QStringList({ "en", "de", "fr", "es", "it", "pt" }));
    QStringList keys;
    for (int r = 0; r < t.rowCount(); ++r)
        keys << t.cell(r, 0);
    QStringList texts = translateLiterals();
    for (const MenuEntry& e : menuTable())
        if (!e.caption.isEmpty()) texts << captionKey(e.caption);
    for (const char* b : { "Yes", "No", "OK", "Cancel", "No to All", "Pixels", "Inches",
             "Centimeters", "Millimeters" })
        texts << b;
    ASSERT_GT(texts.size(), 200);
    for (const QString& text : texts) {
        const qsizetype row = keys.indexOf(text);
        EXPECT_GE(row, 0) << "no row for \"" << text.toStdString() << "\"";
        if (row < 0) continue;
        for (int c = 1; c < t.languageCount(); ++c)
            EXPECT_FALSE(t.cell(int(row), c).isEmpty())
                << text.toStdString() << " in " << t.cell(1, c).toStdString();
    }
}

TEST(TranslationTable, TheTemplateHasOneMoreEmptyColumn) {
    const TranslationTable t = TranslationTable::fromFile(sourceDir() + "/data/transl.dt");
    const TranslationTable tmpl = TranslationTable::fromFile(sourceDir() + "/data/~transl.dt");
    ASSERT_EQ(tmpl.languageCount(), t.languageCount() + 1);
    ASSERT_EQ(tmpl.rowCount(), t.rowCount());
    const int last = tmpl.languageCount() - 1;
    EXPECT_EQ(tmpl.cell(0, last), "[NEW_LANGUAGE_NAME]");
    EXPECT_EQ(tmpl.cell(1, last), "[NEW_LANGUAGE_CODE]");
    for (int r = 2; r < tmpl.rowCount(); ++r) {
        EXPECT_TRUE(tmpl.cell(r, last).isEmpty());
        EXPECT_EQ(tmpl.cell(r, 0), t.cell(r, 0));
    }
}
