// The interface language: the translation table, the current language and the lookup of texts.
#pragma once

#include <QLocale>
#include <QString>
#include <QStringList>
#include <vector>

namespace vst::app {

/// The rows of transl.dt in memory: one column per language, column 0 the English keys.
class TranslationTable {
public:
    /// Builds the table from the lines of transl.dt (line 0 the language count N, then rows of N
    /// lines each; a trailing part that fills no whole row is ignored). Throws ie::Error for a
    /// first line that is not a positive number or a file too short for the two header rows.
    static TranslationTable fromLines(const QStringList& lines);
    /// Reads transl.dt (UTF-8, optional byte-order mark). Throws ie::Error
    /// ("Cannot find translation file:" + path) when missing, or as fromLines does.
    static TranslationTable fromFile(const QString& path);

    int languageCount() const { return int(m_columns.size()); }
    int rowCount() const { return m_columns.empty() ? 0 : int(m_columns.front().size()); }
    /// Row r of language column c (both 0-based).
    const QString& cell(int row, int column) const { return m_columns.at(column).at(row); }
    /// Row 1 of every column ("en", "de" ...).
    QStringList codes() const;
    /// Row 0 of every column, each language's name in its own language.
    QStringList names() const;
    /// The text of the first row whose key equals `english`, in `column`; `english` when no row
    /// matches or the cell is empty.
    QString lookup(const QString& english, int column) const;

private:
    std::vector<QStringList> m_columns;
};

/// The program's language code for a system language ("de", "cn", "jp" ...; "en" for the rest).
QString languageCodeFor(QLocale::Language language);
/// The code of the system's user-interface language.
QString SystemLanguageCode();

/// Picks the language (the stored "CurrentLanguage" when there is one, else the system's) and
/// loads `folder`/transl.dt. A missing or malformed table leaves English (index 0) silently.
void LoadTranslation(const QString& folder, const QString& storedLanguage = {});

/// The text in the current interface language; the English text itself when there is no
/// translation. Every user-visible English text passes through here when shown.
QString Translate(const QString& english);

/// The loaded table (empty before LoadTranslation or after a failed load).
const TranslationTable& translationTable();
/// The column used for lookups; 0 shows texts as written.
int currentLanguageIndex();
/// Switches the lookups to column `index` and CurrentLanguage to its code.
void setCurrentLanguageIndex(int index);
/// The current language code, as stored at exit.
QString CurrentLanguage();
/// Sets the stored code without switching the lookups (the settings read does this).
void setCurrentLanguage(const QString& code);

} // namespace vst::app
