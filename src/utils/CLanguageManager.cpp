#include "utils/CLanguageManager.h"

#include "utils/CSettings.h"
#include "utils/Logger.h"
#include "utils/MacOSNativeGlue.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTranslator>

#include <memory>

namespace NAVIK_tarl1 {

namespace {

const char kLanguageKey[] = "NavikAppLanguage";
const char kFirstTimeKey[] = "NavikAppFirstTime";
const unsigned int kEnglish = 1033;

const char kCatalogFolder[] = ":/translations/";
const char kCatalogPrefix[] = "navik_";
const char kQtCatalogPath[] = ":/translations/qt_%1.qm";

// Every application catalog answers these two texts with its language's own
// name and Windows language number; Qt's catalogs do not.
const char kCatalogContext[] = "CLanguageManager";
const char* const kLanguageNameText = QT_TRANSLATE_NOOP("CLanguageManager", "language name");
const char* const kLanguageNumberText = QT_TRANSLATE_NOOP("CLanguageManager", "language number");

std::shared_ptr<CLanguageManager> s_instance;

QString settingsKey(const char* key)
{
    return QString::fromLatin1(key);
}

// "de" for "navik_de.qm": after the last prefix, before the last dot.
QString abbreviationOf(const QString& fileName)
{
    const qsizetype start = fileName.lastIndexOf(QLatin1String(kCatalogPrefix));
    const qsizetype from = start < 0 ? 0 : start + qsizetype(qstrlen(kCatalogPrefix));
    const qsizetype dot = fileName.lastIndexOf(QLatin1Char('.'));
    return fileName.mid(from, dot < from ? -1 : dot - from);
}

} // namespace

CLanguageManager* CLanguageManager::instance()
{
    if (!s_instance)
        s_instance.reset(new CLanguageManager());
    return s_instance.get();
}

CLanguageManager::CLanguageManager() = default;

// The installed translators are children of the application object, not ours.
CLanguageManager::~CLanguageManager() = default;

QStandardItemModel* CLanguageManager::model()
{
    return &m_model;
}

void CLanguageManager::loadLanguageForApp()
{
    loadLanguages();
    takeSystemLanguageOnFirstStart();

    const int row = rowOfLanguage(currentLanguageNumber());
    if (row < 0)
        return; // No catalog: the interface shows its English source texts.
    installCatalog(m_model.item(row, PathColumn)->text());

    // Installed last, so Qt consults it before the application catalog.
    const QString qtCatalog = QString::fromLatin1(kQtCatalogPath).arg(currentLanguageAbbrv());
    if (QFile::exists(qtCatalog))
        installCatalog(qtCatalog);
}

void CLanguageManager::takeSystemLanguageOnFirstStart()
{
    if (!getSettingsValue(settingsKey(kFirstTimeKey), true).toBool())
        return;
    const unsigned int systemLanguage = static_cast<unsigned int>(MacOSGetSysLanguageNum());
    if (systemLanguage != currentLanguageNumber()) {
        setCurrentLanguageNumber(systemLanguage);
        Q_EMIT languageChanged();
    }
    setSettingsValue(settingsKey(kFirstTimeKey), false);
}

void CLanguageManager::installCatalog(const QString& path)
{
    // Translators are installed into, and owned by, the application object.
    if (!QCoreApplication::instance())
        return;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (translator->load(path))
        QCoreApplication::installTranslator(translator);
}

bool CLanguageManager::changeLanguage(int row)
{
    // An empty combo box asks for row -1: that is no choice at all, and must
    // not wipe the stored one.
    if (row < 0 || row >= m_model.rowCount())
        return false;
    const unsigned int number = m_model.item(row, NumberColumn)->text().toUInt();
    if (number == currentLanguageNumber())
        return false;
    setCurrentLanguageNumber(number);
    Q_EMIT languageChanged();
    return true;
}

unsigned int CLanguageManager::currentLanguageNumber() const
{
    bool ok = false;
    const unsigned int number = getSettingsValue(settingsKey(kLanguageKey), kEnglish).toUInt(&ok);
    return ok ? number : kEnglish;
}

void CLanguageManager::setCurrentLanguageNumber(unsigned int number)
{
    setSettingsValue(settingsKey(kLanguageKey), number);
}

int CLanguageManager::currentLanguageIndex()
{
    return rowOfLanguage(currentLanguageNumber());
}

QString CLanguageManager::currentLanguageAbbrv()
{
    const int row = currentLanguageIndex();
    return row < 0 ? QString() : m_model.item(row, AbbreviationColumn)->text();
}

int CLanguageManager::langCount()
{
    return m_model.columnCount();
}

int CLanguageManager::rowOfLanguage(unsigned int number)
{
    for (int row = 0; row < m_model.rowCount(); ++row) {
        if (m_model.item(row, NumberColumn)->text().toUInt() == number)
            return row;
    }
    return -1;
}

void CLanguageManager::loadLanguages()
{
    LOG_TRACE();
    if (m_model.rowCount() > 0 || m_model.columnCount() > 0)
        return;

    QStringList names, numbers, paths, abbreviations;
    // Folder order, unsorted: the first catalog of a language number wins.
    const QDir folder(QString::fromLatin1(kCatalogFolder), QStringLiteral("*.qm"), QDir::NoSort,
                      QDir::Files);
    for (const QString& fileName : folder.entryList()) {
        const QString path = QString::fromLatin1(kCatalogFolder) + fileName;
        QTranslator catalog;
        if (!catalog.load(path))
            continue;
        const QString name = catalog.translate(kCatalogContext, kLanguageNameText);
        const QString number = catalog.translate(kCatalogContext, kLanguageNumberText);
        if (name.isEmpty() || number.isEmpty())
            continue;
        names << name;
        numbers << number;
        paths << path;
        abbreviations << abbreviationOf(fileName);
    }
    createLanguageModel(names, numbers, paths, abbreviations);
}

void CLanguageManager::createLanguageModel(const QStringList& names, const QStringList& numbers,
                                           const QStringList& paths, const QStringList& abbreviations)
{
    if (m_model.rowCount() > 0 || m_model.columnCount() > 0)
        return;
    if (numbers.size() != names.size() || paths.size() != names.size())
        return;
    m_model.setColumnCount(4);
    m_model.setRowCount(int(names.size()));
    for (int row = 0; row < names.size(); ++row) {
        m_model.setItem(row, NameColumn, new QStandardItem(names.at(row)));
        m_model.setItem(row, NumberColumn, new QStandardItem(numbers.at(row)));
        m_model.setItem(row, PathColumn, new QStandardItem(paths.at(row)));
        m_model.setItem(row, AbbreviationColumn, new QStandardItem(abbreviations.value(row)));
    }
}

} // namespace NAVIK_tarl1
