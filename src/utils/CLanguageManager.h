#pragma once

// The user-interface languages: which exist (one per application catalog in
// ":/translations/"), which one the user chose (a Windows language number in
// the settings) and the installation of its catalogs at start. A language
// chosen while the program runs is stored at once but takes effect at the
// next start; the installed catalogs are never exchanged at run time.

#include "utils/UtilsGlobal.h"

#include <QObject>
#include <QStandardItemModel>
#include <QString>
#include <QStringList>

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT CLanguageManager : public QObject
{
    Q_OBJECT
public:
    // Columns of the language model; every cell is a display-role string.
    enum Column { NameColumn = 0, NumberColumn = 1, PathColumn = 2, AbbreviationColumn = 3 };

    static CLanguageManager* instance();
    ~CLanguageManager() override;

    // The languages found, one row each; the preferences show column 0.
    QStandardItemModel* model();

    // Builds the model, takes the system language on the very first start and
    // installs the catalogs of the current language into the application
    // (which must exist: it owns the translators).
    void loadLanguageForApp();

    unsigned int currentLanguageNumber() const;
    void setCurrentLanguageNumber(unsigned int number);
    // Model row of the stored language, or -1.
    int currentLanguageIndex();
    // "en", "fr", "de" or "ja" for the stored language; empty without a row.
    QString currentLanguageAbbrv();
    // The model's column count: 4 once built, 0 before.
    int langCount();

    // The two steps that build the model, each only while it is empty.
    void loadLanguages();
    void createLanguageModel(const QStringList& names, const QStringList& numbers,
                             const QStringList& paths, const QStringList& abbreviations);

public Q_SLOTS:
    // Stores the language of a model row. True when the stored language
    // changed; a row outside the model changes nothing.
    bool changeLanguage(int row);

Q_SIGNALS:
    void languageChanged();

private:
    CLanguageManager();
    void takeSystemLanguageOnFirstStart();
    int rowOfLanguage(unsigned int number);
    void installCatalog(const QString& path);

    QStandardItemModel m_model;
};

} // namespace NAVIK_tarl1
