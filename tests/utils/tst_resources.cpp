// The resource tree: every path the program opens by name, every image the
// style sheets use, the catalogs and the state table.

#include <QDir>
#include <QDomDocument>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QTranslator>

#include <functional>

int qInitResources_navik();
int qCleanupResources_navik();

namespace {

QString readResource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList namedPathLines()
{
    QFile list(QStringLiteral(QUILLET_TEST_DATA_DIR "/named-resource-paths.txt"));
    if (!list.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    QStringList lines;
    for (const QString& line : QString::fromUtf8(list.readAll()).split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty() && !line.startsWith(QLatin1Char('#')))
            lines << line.trimmed();
    }
    return lines;
}

// Every message Qt's style-sheet parser prints while a sheet is applied.
QStringList g_warnings;
void collectWarnings(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type == QtWarningMsg)
        g_warnings << message;
}

} // namespace

class TestResources : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namedPathResolves_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<bool>("present");
        const QStringList lines = namedPathLines();
        QVERIFY2(lines.size() > 100, "the list of named paths is missing");
        for (const QString& line : lines) {
            const QStringList words = line.split(QLatin1Char(' '));
            const bool present = !words[0].startsWith(QLatin1Char('!'));
            const QString path = present ? words[0] : words[0].mid(1);
            QSize size;
            if (words.size() > 1) {
                const QStringList wh = words[1].split(QLatin1Char('x'));
                size = QSize(wh.value(0).toInt(), wh.value(1).toInt());
            }
            QTest::newRow(qPrintable(path)) << path << size << present;
        }
    }

    void namedPathResolves()
    {
        QFETCH(QString, path);
        QFETCH(QSize, size);
        QFETCH(bool, present);
        QCOMPARE(QFile::exists(path), present);
        if (present && path.endsWith(QLatin1String(".png"))) {
            const QImage image(path);
            QVERIFY(!image.isNull());
            if (size.isValid())
                QCOMPARE(image.size(), size);
        }
    }

    void styleSheetUrlsResolve_data()
    {
        QTest::addColumn<QString>("sheet");
        QTest::newRow("custom") << ":/qss/custom.qss";
        QTest::newRow("mac") << ":/qss/mac.qss";
        QTest::newRow("win") << ":/qss/win.qss";
        QTest::newRow("fault_courier") << ":/qss/fault_courier.qss";
    }

    void styleSheetUrlsResolve()
    {
        QFETCH(QString, sheet);
        const QString text = readResource(sheet);
        QVERIFY(!text.isEmpty());
        static const QRegularExpression url(QStringLiteral("url\\(\\s*([^)\\s]+)\\s*\\)"));
        QStringList missing;
        for (const QRegularExpressionMatch& match : url.globalMatch(text)) {
            const QString path = match.captured(1);
            if (QImage(path).isNull())
                missing << path;
        }
        QVERIFY2(missing.isEmpty(), qPrintable(missing.join(QLatin1Char(' '))));
    }

    void styleSheetsParse()
    {
        const QString sheets = readResource(":/qss/custom.qss") + readResource(":/qss/mac.qss");
        g_warnings.clear();
        const QtMessageHandler previous = qInstallMessageHandler(collectWarnings);
        QLabel widget;
        widget.setStyleSheet(sheets);
        widget.ensurePolished();
        qInstallMessageHandler(previous);
        QVERIFY2(g_warnings.isEmpty(), qPrintable(g_warnings.join(QLatin1Char('\n'))));
    }

    void everyImageInTheTreeLoads()
    {
        // A broken render or a truncated file shows up as an image that does
        // not decode, wherever it lies in the tree.
        QStringList broken;
        std::function<void(const QString&)> walk = [&](const QString& folder) {
            const QDir dir(folder);
            for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot))
                walk(folder + QLatin1Char('/') + sub);
            for (const QString& file : dir.entryList({QStringLiteral("*.png")}, QDir::Files)) {
                if (QImage(folder + QLatin1Char('/') + file).isNull())
                    broken << folder + QLatin1Char('/') + file;
            }
        };
        walk(QStringLiteral(":/icons"));
        QVERIFY2(broken.isEmpty(), qPrintable(broken.join(QLatin1Char(' '))));
    }

    void stateTableIsWellFormed()
    {
        QFile file(QStringLiteral(":/other/CorrectionsStateMachine.xml"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QDomDocument document;
        QVERIFY(document.setContent(&file));
        QCOMPARE(document.documentElement().tagName(), QStringLiteral("modules"));
    }

    void catalogsAnswerTheLanguageManager_data()
    {
        QTest::addColumn<QString>("catalog");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("number");
        QTest::newRow("en") << "navik_en.qm" << "English" << "1033";
        QTest::newRow("fr") << "navik_fr.qm" << QString::fromUtf8("Français") << "1036";
        QTest::newRow("de") << "navik_de.qm" << "Deutsch" << "1031";
        QTest::newRow("ja") << "navik_ja.qm" << QString::fromUtf8("日本語") << "1041";
    }

    void catalogsAnswerTheLanguageManager()
    {
        QFETCH(QString, catalog);
        QFETCH(QString, name);
        QFETCH(QString, number);
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/translations/") + catalog));
        QCOMPARE(translator.translate("CLanguageManager", "language name"), name);
        QCOMPARE(translator.translate("CLanguageManager", "language number"), number);
    }

    void qtCatalogs()
    {
        QTranslator english;
        QVERIFY(english.load(QStringLiteral(":/translations/qt_en.qm")));
        QCOMPARE(english.translate("QFileDialog", "Files of type:"), QStringLiteral("Format:"));
        for (const char* language : {"fr", "de", "ja"}) {
            QTranslator translator;
            QVERIFY2(translator.load(QStringLiteral(":/translations/qt_%1.qm").arg(QLatin1String(language))),
                     language);
            QVERIFY(!translator.isEmpty());
        }
    }

    void treeCanBeUnregisteredAndRegisteredAgain()
    {
        const QString path = QStringLiteral(":/qss/custom.qss");
        QVERIFY(QFile::exists(path));
        QCOMPARE(qCleanupResources_navik(), 1);
        QVERIFY(!QFile::exists(path));
        QCOMPARE(qInitResources_navik(), 1);
        QVERIFY(QFile::exists(path));
    }
};

QTEST_MAIN(TestResources)
#include "tst_resources.moc"
