#include "app/Translation.h"

#include "imaging/Error.h"

#include <QFile>
#include <QFileInfo>
#include <array>
#include <utility>

namespace vst::app {

namespace {

struct TranslationState {
    TranslationTable table;
    int index = 0;
    QString code = QStringLiteral("en");
};

TranslationState& state() {
    static TranslationState s;
    return s;
}

} // namespace

TranslationTable TranslationTable::fromLines(const QStringList& lines) {
    bool ok = false;
    const int n = lines.isEmpty() ? 0 : lines.front().trimmed().toInt(&ok);
    if (!ok || n <= 0)
        throw ie::Error("The translation table does not start with a language count");
    const int rows = int((lines.size() - 1) / n);
    if (rows < 2) throw ie::Error("The translation table is too short");
    TranslationTable table;
    table.m_columns.resize(std::size_t(n));
    for (int c = 0; c < n; ++c) {
        QStringList& column = table.m_columns[std::size_t(c)];
        column.reserve(rows);
        for (int r = 0; r < rows; ++r)
            column.append(lines.at(r * n + c + 1));
    }
    return table;
}

TranslationTable TranslationTable::fromFile(const QString& path) {
    QFile file(path);
    if (!file.exists() || !file.open(QIODevice::ReadOnly))
        throw ie::Error(
            ("Cannot find translation file:" + QFileInfo(path).absoluteFilePath()).toStdString());
    QByteArray bytes = file.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    QStringList lines = QString::fromUtf8(bytes).split('\n');
    for (QString& line : lines)
        if (line.endsWith('\r')) line.chop(1);
    // A final line break ends the last line; it does not start another.
    if (!lines.isEmpty() && lines.back().isEmpty()) lines.removeLast();
    return fromLines(lines);
}

QStringList TranslationTable::codes() const {
    QStringList out;
    for (const QStringList& column : m_columns)
        out.append(column.at(1));
    return out;
}

QStringList TranslationTable::names() const {
    QStringList out;
    for (const QStringList& column : m_columns)
        out.append(column.at(0));
    return out;
}

QString TranslationTable::lookup(const QString& english, int column) const {
    if (column <= 0 || column >= languageCount()) return english;
    const qsizetype row = m_columns.front().indexOf(english);
    if (row < 0) return english;
    const QString& text = m_columns[std::size_t(column)].at(row);
    return text.isEmpty() ? english : text;
}

QString languageCodeFor(QLocale::Language language) {
    static const std::array<std::pair<QLocale::Language, const char*>, 15> kCodes { {
        { QLocale::Arabic, "ar" },
        { QLocale::Chinese, "cn" },
        { QLocale::Czech, "cs" },
        { QLocale::German, "de" },
        { QLocale::Greek, "el" },
        { QLocale::Spanish, "es" },
        { QLocale::French, "fr" },
        { QLocale::Hungarian, "hu" },
        { QLocale::Italian, "it" },
        { QLocale::Japanese, "jp" },
        { QLocale::Korean, "kr" },
        { QLocale::Dutch, "nl" },
        { QLocale::Polish, "pl" },
        { QLocale::Portuguese, "pt" },
        { QLocale::Turkish, "tr" },
    } };
    for (const auto& [lang, code] : kCodes)
        if (lang == language) return QString::fromLatin1(code);
    return QStringLiteral("en");
}

QString SystemLanguageCode() {
    // The interface language comes first in uiLanguages; it may differ from the number format.
    const QStringList ui = QLocale::system().uiLanguages();
    const QLocale locale = ui.isEmpty() ? QLocale::system() : QLocale(ui.front());
    return languageCodeFor(locale.language());
}

void LoadTranslation(const QString& folder, const QString& storedLanguage) {
    TranslationState& s = state();
    s.code = storedLanguage.isEmpty() ? SystemLanguageCode() : storedLanguage;
    s.index = 0;
    try {
        s.table = TranslationTable::fromFile(folder + "/transl.dt");
        s.index = std::max(0, int(s.table.codes().indexOf(s.code)));
    } catch (const std::exception&) {
        // A missing or damaged table means English, without a message.
        s.table = TranslationTable();
        s.index = 0;
    }
}

QString Translate(const QString& english) {
    const TranslationState& s = state();
    return s.index == 0 ? english : s.table.lookup(english, s.index);
}

const TranslationTable& translationTable() {
    return state().table;
}

int currentLanguageIndex() {
    return state().index;
}

void setCurrentLanguageIndex(int index) {
    TranslationState& s = state();
    if (index < 0 || index >= s.table.languageCount()) return;
    s.index = index;
    s.code = s.table.cell(1, index);
}

QString CurrentLanguage() {
    return state().code;
}

void setCurrentLanguage(const QString& code) {
    state().code = code;
}

} // namespace vst::app
