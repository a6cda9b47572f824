#include "utils/CLanguageManager.h"
#include "utils/CSettings.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

using namespace NAVIK_tarl1;

namespace {

const QString kLanguageKey = QStringLiteral("NavikAppLanguage");
const QString kFirstTimeKey = QStringLiteral("NavikAppFirstTime");

int rowOf(const QString& abbreviation)
{
    QStandardItemModel* model = CLanguageManager::instance()->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->item(row, CLanguageManager::AbbreviationColumn)->text() == abbreviation)
            return row;
    }
    return -1;
}

// What LanguageStartProbe printed, by key.
QMap<QString, QString> runStartUnder(const QString& systemLanguage)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANGUAGE"), systemLanguage);
    QProcess probe;
    probe.setProcessEnvironment(environment);
    probe.start(QStringLiteral(LANGUAGE_PROBE), QStringList());
    if (!probe.waitForFinished(60000) || probe.exitStatus() != QProcess::NormalExit)
        return {};
    QMap<QString, QString> values;
    for (const QString& line : QString::fromUtf8(probe.readAllStandardOutput()).split(QLatin1Char('\n'))) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0)
            values.insert(line.left(equals), line.mid(equals + 1));
    }
    return values;
}

} // namespace

class TestLanguageManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { CSettings().clear(); }

    void modelIsBuiltOnceFromTheCatalogs()
    {
        CLanguageManager* manager = CLanguageManager::instance();
        QCOMPARE(manager->langCount(), 0);
        QCOMPARE(manager->currentLanguageIndex(), -1);
        QCOMPARE(manager->currentLanguageAbbrv(), QString());

        manager->loadLanguages();
        // Qt's own catalogs and the country list lie in the same folder and
        // are no languages.
        QStringList rows;
        QStandardItemModel* model = manager->model();
        for (int row = 0; row < model->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < model->columnCount(); ++column)
                cells << model->item(row, column)->text();
            rows << cells.join(QLatin1Char('|'));
        }
        rows.sort();
        const QStringList expected = {
            QString::fromUtf8("Deutsch|1031|:/translations/navik_de.qm|de"),
            QString::fromUtf8("English|1033|:/translations/navik_en.qm|en"),
            QString::fromUtf8("Français|1036|:/translations/navik_fr.qm|fr"),
            QString::fromUtf8("日本語|1041|:/translations/navik_ja.qm|ja"),
        };
        QCOMPARE(rows, expected);
        QCOMPARE(manager->langCount(), 4);

        // Built once: neither step rebuilds it.
        manager->loadLanguages();
        manager->createLanguageModel({"Other"}, {"1"}, {":/x.qm"}, {"x"});
        QCOMPARE(model->rowCount(), 4);
    }

    void readers_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<uint>("number");
        QTest::addColumn<QString>("abbreviation");
        QTest::newRow("nothing stored") << QVariant() << 1033u << "en";
        QTest::newRow("Japanese") << QVariant(1041u) << 1041u << "ja";
        QTest::newRow("not a number") << QVariant(QStringLiteral("French")) << 1033u << "en";
        QTest::newRow("no catalog for it") << QVariant(2052u) << 2052u << "";
    }

    void readers()
    {
        QFETCH(QVariant, stored);
        QFETCH(uint, number);
        QFETCH(QString, abbreviation);
        CLanguageManager* manager = CLanguageManager::instance();
        manager->loadLanguages();
        if (stored.isValid())
            setSettingsValue(kLanguageKey, stored);
        QCOMPARE(manager->currentLanguageNumber(), number);
        QCOMPARE(manager->currentLanguageAbbrv(), abbreviation);
        QCOMPARE(manager->currentLanguageIndex(), rowOf(abbreviation));
    }

    void changeLanguage_data()
    {
        QTest::addColumn<uint>("before");
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("changed");
        QTest::addColumn<uint>("after");
        CLanguageManager::instance()->loadLanguages();
        QTest::newRow("another language") << 1033u << rowOf("fr") << true << 1036u;
        QTest::newRow("the same language") << 1036u << rowOf("fr") << false << 1036u;
        // An empty combo box gives -1: the stored choice must survive it.
        QTest::newRow("no row") << 1031u << -1 << false << 1031u;
        QTest::newRow("past the last row") << 1031u << 4 << false << 1031u;
    }

    void changeLanguage()
    {
        QFETCH(uint, before);
        QFETCH(int, row);
        QFETCH(bool, changed);
        QFETCH(uint, after);
        CLanguageManager* manager = CLanguageManager::instance();
        manager->setCurrentLanguageNumber(before);
        QSignalSpy spy(manager, &CLanguageManager::languageChanged);

        QCOMPARE(manager->changeLanguage(row), changed);
        QCOMPARE(manager->currentLanguageNumber(), after);
        QCOMPARE(spy.count(), changed ? 1 : 0);
        // The new language waits for the next start: no catalog was installed.
        QCOMPARE(QCoreApplication::translate("CLanguageManager", "language name"),
                 QStringLiteral("language name"));
    }

    void startUnderSystemLanguage_data()
    {
        QTest::addColumn<QString>("systemLanguage");
        QTest::addColumn<QVariant>("storedBefore"); // a start before this one when valid
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("changes");
        QTest::addColumn<QString>("abbreviation");
        QTest::addColumn<QString>("languageName");
        QTest::addColumn<QString>("qtText");

        QTest::newRow("first start, French") << "fr" << QVariant() << "1036" << "1" << "fr"
                                             << QString::fromUtf8("Français") << "Fichiers de type :";
        QTest::newRow("first start, German") << "de" << QVariant() << "1031" << "1" << "de"
                                             << "Deutsch" << "Dateien des Typs:";
        QTest::newRow("first start, Japanese") << "ja" << QVariant() << "1041" << "1" << "ja"
                                               << QString::fromUtf8("日本語")
                                               << QString::fromUtf8("ファイルの種類:");
        // No exact match: English, which is the default, so nothing is stored.
        QTest::newRow("first start, French of Canada") << "fr_CA" << QVariant() << "none" << "0" << "en"
                                                       << "English" << "Format:";
        QTest::newRow("first start, British English") << "en_GB" << QVariant() << "none" << "0" << "en"
                                                      << "English" << "Format:";
        QTest::newRow("later start keeps the choice") << "fr" << QVariant(1031u) << "1031" << "0" << "de"
                                                      << "Deutsch" << "Dateien des Typs:";
        QTest::newRow("later start, no catalog") << "fr" << QVariant(2052u) << "2052" << "0" << ""
                                                 << "language name" << "Files of type:";
    }

    void startUnderSystemLanguage()
    {
        QFETCH(QString, systemLanguage);
        QFETCH(QVariant, storedBefore);
        QFETCH(QString, stored);
        QFETCH(QString, changes);
        QFETCH(QString, abbreviation);
        QFETCH(QString, languageName);
        QFETCH(QString, qtText);
        if (storedBefore.isValid()) {
            setSettingsValue(kLanguageKey, storedBefore);
            setSettingsValue(kFirstTimeKey, false);
        }

        const QMap<QString, QString> start = runStartUnder(systemLanguage);
        QVERIFY2(!start.isEmpty(), "the start did not end normally");
        QCOMPARE(start.value("stored"), stored);
        QCOMPARE(start.value("changes"), changes);
        QCOMPARE(start.value("firstTime"), QStringLiteral("false"));
        QCOMPARE(start.value("abbreviation"), abbreviation);
        QCOMPARE(start.value("languageName"), languageName);
        QCOMPARE(start.value("qtText"), qtText);
    }
};

QTEST_GUILESS_MAIN(TestLanguageManager)
#include "tst_languagemanager.moc"
