// The fatal-error texts, the composition of style sheets, the logo icon and
// the size texts.

#include "utils/CErrStrings.h"
#include "utils/CLanguageManager.h"
#include "utils/CSettings.h"
#include "utils/MacOSNativeGlue.h"
#include "utils/SizeText.h"
#include "utils/StyleSheets.h"

#include "RecordingLogger.h"
#include "TestFiles.h"

#include <QApplication>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <functional>
#include <memory>

using namespace NAVIK_tarl1;

namespace {

// Installs one of the program's catalogs for as long as it lives.
class Catalog
{
public:
    explicit Catalog(const QString& abbreviation)
    {
        if (abbreviation.isEmpty())
            return;
        m_translator = std::make_unique<QTranslator>();
        if (m_translator->load(QStringLiteral(":/translations/navik_%1.qm").arg(abbreviation)))
            QCoreApplication::installTranslator(m_translator.get());
    }
    ~Catalog()
    {
        if (m_translator)
            QCoreApplication::removeTranslator(m_translator.get());
    }

private:
    std::unique_ptr<QTranslator> m_translator;
};

struct Alert
{
    int count = 0;
    QString title;
    QString text;
};

// Runs `show` and answers every message box it opens, noting what it said.
Alert answeringAlerts(const std::function<void()>& show)
{
    Alert alert;
    QTimer answerer;
    answerer.setInterval(10);
    QObject::connect(&answerer, &QTimer::timeout, [&alert] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            ++alert.count;
            alert.title = box->windowTitle();
            alert.text = box->text();
            box->done(QMessageBox::Ok);
        }
    });
    answerer.start();
    show();
    return alert;
}

using ShowAlert = void (CErrStrings::*)() const;

QString resourceText(const QString& path)
{
    return QString::fromLatin1(readFile(path));
}

int assertionCount(const RecordingLogger& logger)
{
    return int(logger.linesAt('E').filter(QStringLiteral("ASSERT in")).size());
}

} // namespace

Q_DECLARE_METATYPE(ShowAlert)

class TestStyleAndTexts : public QObject
{
    Q_OBJECT

    RecordingLogger& m_logger = RecordingLogger::install();

private Q_SLOTS:
    void init()
    {
        CSettings().clear();
        m_logger.lines.clear();
    }

    void alertTexts_data()
    {
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<ShowAlert>("show");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");

        // Without a catalog the texts are their sources, keys included.
        QTest::newRow("no catalog, free space") << "" << &CErrStrings::ShowSmallFreeSpaceDialog << "Error"
                                                << "Mac free space drive message";
        QTest::newRow("English, free space")
            << "en" << &CErrStrings::ShowSmallFreeSpaceDialog << "Error"
            << "Navik Quillet cannot start since there is not enough free space on your system disk.";
        QTest::newRow("English, out of memory")
            << "en" << &CErrStrings::ShowOutOfMemoryDialog << "Error"
            << "Navik Quillet must close because there is not enough memory available.\n"
               "Please close some other programs and try to start Navik Quillet again.";
        QTest::newRow("English, out of memory in the host")
            << "en" << &CErrStrings::ShowOutOfMemoryInPhotoshopDialog << "Error"
            << "Navik Quillet has run out of memory. The application may now become unstable. Please close "
               "Navik Quillet and Photoshop, quit all other programs running, and try again.";
        QTest::newRow("English, unhandled exception")
            << "en" << &CErrStrings::ShowUnhandledExceptionDialog << "Error"
            << "Navik Quillet must close because of an unhandled exception.";
        // Both places of the product name are filled in a translation too.
        QTest::newRow("French, out of memory in the host")
            << "fr" << &CErrStrings::ShowOutOfMemoryInPhotoshopDialog << "Erreur"
            << QString::fromUtf8("Navik Quillet n'a plus assez de mémoire. L'application risque de devenir "
                                 "instable. Veuillez fermer Navik Quillet et Photoshop, quitter tous les "
                                 "autres programmes en cours d'exécution, puis réessayer.");
    }

    void alertTexts()
    {
        QFETCH(QString, catalog);
        QFETCH(ShowAlert, show);
        QFETCH(QString, title);
        QFETCH(QString, text);
        CErrStrings strings;
        const Catalog installed(catalog);
        strings.Retranslate();

        const Alert alert = answeringAlerts([&] { (strings.*show)(); });
        QCOMPARE(alert.count, 1);
        QCOMPARE(alert.title, title);
        QCOMPARE(alert.text, text);
    }

    void clearedTextsShowNothing()
    {
        CErrStrings strings;
        strings.ClearData();
        QCOMPARE(answeringAlerts([&] { strings.ShowOutOfMemoryDialog(); }).count, 0);
        strings.Retranslate();
        QCOMPARE(answeringAlerts([&] { strings.ShowOutOfMemoryDialog(); }).count, 1);
    }

    void fatalErrorsShowTheirAlertAsAMessageBox_data()
    {
        QTest::addColumn<QString>("failure");
        QTest::addColumn<QString>("alert"); // empty: none
        QTest::addColumn<int>("outcome");
        QTest::newRow("out of memory") << "memory" << "Error: Out of memory. Program will be closed."
                                       << int(FatalError::OutOfMemory);
        // Not even the box finds memory: its text goes to the standard error.
        QTest::newRow("out of memory, none left for the box")
            << "no memory left" << QString() << int(FatalError::OutOfMemory);
        QTest::newRow("another exception") << "other" << "Error: Unhandled exception. Program will be closed."
                                           << int(FatalError::UnhandledException);
        QTest::newRow("no failure") << "none" << QString() << int(FatalError::None);
    }

    void fatalErrorsShowTheirAlertAsAMessageBox()
    {
        // In a process of its own: the body fails the way a program's would.
        QFETCH(QString, failure);
        QFETCH(QString, alert);
        QFETCH(int, outcome);
        QProcess probe;
        probe.start(QStringLiteral(FATAL_ERROR_PROBE), {failure});
        QVERIFY(probe.waitForFinished(60000));
        QCOMPARE(probe.exitStatus(), QProcess::NormalExit);
        const QString output = QString::fromUtf8(probe.readAllStandardOutput());
        const QString errors = QString::fromUtf8(probe.readAllStandardError());
        QStringList expected;
        if (!alert.isEmpty())
            expected << "alert: " + alert;
        expected << QStringLiteral("outcome: %1").arg(outcome);
        QCOMPARE(output.split('\n', Qt::SkipEmptyParts), expected);
        // Shown, not written to standard error.
        QVERIFY2(alert.isEmpty() || !errors.contains(alert.section(": ", 1)), qPrintable(errors));
        if (failure == QLatin1String("no memory left"))
            QVERIFY2(errors.contains(QLatin1String("Error: Out of memory. Program will be closed.")), qPrintable(errors));
    }

    void styleSheetComposition_data()
    {
        QTest::addColumn<bool>("appendCurrent");
        QTest::addColumn<QByteArray>("ownFile"); // written to a file that is passed as the path
        QTest::addColumn<QString>("expectedBase");
        QTest::addColumn<bool>("expectedOwn");
        QTest::addColumn<int>("assertions");

        const QString custom = resourceText(QStringLiteral(":/qss/custom.qss"));
        QVERIFY(!custom.isEmpty());
        QTest::newRow("default") << false << QByteArray() << custom << false << 0;
        QTest::newRow("present sheet appended") << true << QByteArray() << custom << true << 0;
        QTest::newRow("sheet file, up to its NUL")
            << false << QByteArray("QLabel { color: red; }\0junk", 27) << "QLabel { color: red; }" << false << 0;
        // A sheet that cannot be read counts as empty, and is logged.
        QTest::newRow("missing sheet file") << false << QByteArray("missing") << "" << false << 1;
    }

    void styleSheetComposition()
    {
        QFETCH(bool, appendCurrent);
        QFETCH(QByteArray, ownFile);
        QFETCH(QString, expectedBase);
        QFETCH(bool, expectedOwn);
        QFETCH(int, assertions);
        QTemporaryDir folder;
        QString path;
        if (ownFile == "missing")
            path = folder.filePath(QStringLiteral("missing.qss"));
        else if (!ownFile.isEmpty()) {
            path = folder.filePath(QStringLiteral("own.qss"));
            QVERIFY(writeFile(path, ownFile));
        }

        const QString own = QStringLiteral("QPushButton { color: blue; }");
        QWidget widget;
        widget.setStyleSheet(own);
        setCustomStyleSheet(&widget, appendCurrent, path);

        const QString platform = resourceText(QStringLiteral(":/qss/mac.qss"));
        QCOMPARE(widget.styleSheet(), expectedBase + platform + (expectedOwn ? own : QString()));
        QCOMPARE(assertionCount(m_logger), assertions);
    }

    void noLanguageSheetForFrench()
    {
        CLanguageManager::instance()->loadLanguages();
        QWidget english;
        setCustomStyleSheet(&english);
        CLanguageManager::instance()->setCurrentLanguageNumber(1036);
        QCOMPARE(CLanguageManager::instance()->currentLanguageAbbrv(), QStringLiteral("fr"));
        QWidget french;
        setCustomStyleSheet(&french);
        QCOMPARE(french.styleSheet(), english.styleSheet());
        QCOMPARE(m_logger.linesAt('E'), QStringList());
    }

    void logoIconHasEverySize()
    {
        QVERIFY(loadAppLogoIcon());
        QCOMPARE(QApplication::windowIcon().availableSizes().size(), 8);
    }

    void sizeText_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("unit");
        QTest::addColumn<int>("dpiX");
        QTest::addColumn<int>("dpiY");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("assertions");
        const QSize photo(3000, 2000);
        QTest::newRow("pixels") << photo << 0 << 72 << 72 << "3000 x 2000 px" << 0;
        QTest::newRow("inches") << photo << 1 << 72 << 72 << "41.67 x 27.78 in" << 0;
        QTest::newRow("centimetres") << photo << 2 << 72 << 72 << "105.8 x 70.6 cm" << 0;
        QTest::newRow("millimetres") << photo << 3 << 72 << 72 << "1058 x 706 mm" << 0;
        QTest::newRow("empty, pixels") << QSize(0, 0) << 0 << 72 << 72 << "0 x 0 px" << 0;
        QTest::newRow("empty, inches") << QSize(0, 0) << 1 << 72 << 72 << "0.00 x 0.00 in" << 0;
        QTest::newRow("each axis its resolution") << QSize(300, 300) << 1 << 100 << 50 << "3.00 x 6.00 in" << 0;
        // An unknown unit: the pixel numbers, no unit word, logged before and after.
        QTest::newRow("unit 4") << photo << 4 << 72 << 72 << "3000 x 2000 " << 2;
        QTest::newRow("unit -1") << photo << -1 << 72 << 72 << "3000 x 2000 " << 2;
    }

    void sizeText()
    {
        QFETCH(QSize, size);
        QFETCH(int, unit);
        QFETCH(int, dpiX);
        QFETCH(int, dpiY);
        QFETCH(QString, text);
        QFETCH(int, assertions);
        QCOMPARE(sizeToString(size, unit, dpiX, dpiY), text);
        QCOMPARE(assertionCount(m_logger), assertions);
    }

    void sizeTextUsesTheStoredUnitAndTheScreen()
    {
        const QSize photo(3000, 2000);
        QCOMPARE(sizeToString(photo), QStringLiteral("3000 x 2000 px"));

        setSettingsValue(QStringLiteral("imageSizeUnits"), 1);
        int dpiX = 0;
        int dpiY = 0;
        getScreenDpi(&dpiX, &dpiY);
        QCOMPARE(sizeToString(photo), sizeToString(photo, 1, dpiX, dpiY));

        // The unit word is translated.
        const Catalog french(QStringLiteral("fr"));
        QVERIFY(sizeToString(photo).endsWith(QStringLiteral(" po")));
    }

    void unknownStoredUnitGivesPixels()
    {
        for (const QVariant& unit : {QVariant(4), QVariant(-1), QVariant(QStringLiteral("cm"))}) {
            setSettingsValue(QStringLiteral("imageSizeUnits"), unit);
            QCOMPARE(sizeToString(QSize(3000, 2000)), QStringLiteral("3000 x 2000 px"));
        }
        QCOMPARE(assertionCount(m_logger), 0);
    }
};

QTEST_MAIN(TestStyleAndTexts)
#include "tst_styleandtexts.moc"
