// The translation sources: up to date with the texts of the code, every text
// translated into French, German and Japanese, and every translation keeping
// the placeholders (%1, %2, ...) of its source.

#include "TestFiles.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

const QString kSourceFolder = QStringLiteral(QUILLET_SOURCE_DIR "/resources/translations");

struct Message
{
    QString context;
    QString source;
    QString translation;
    bool unfinished = false;
};

QList<Message> messagesOf(const QByteArray& catalog)
{
    QList<Message> messages;
    QXmlStreamReader reader(catalog);
    QString context;
    Message message;
    while (!reader.atEnd()) {
        if (!reader.readNextStartElement())
            continue;
        if (reader.name() == u"name") {
            context = reader.readElementText();
        } else if (reader.name() == u"message") {
            message = Message{context, {}, {}, false};
        } else if (reader.name() == u"source") {
            message.source = reader.readElementText();
        } else if (reader.name() == u"translation") {
            message.unfinished = reader.attributes().value(QStringLiteral("type")) == QStringLiteral("unfinished");
            message.translation = reader.readElementText();
            messages << message;
        }
    }
    return messages;
}

QSet<QString> placeholders(const QString& text)
{
    static const QRegularExpression marker(QStringLiteral("%\\d+"));
    QSet<QString> found;
    for (const QRegularExpressionMatch& match : marker.globalMatch(text))
        found << match.captured();
    return found;
}

} // namespace

class TestCatalogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_updated;

private Q_SLOTS:
    void initTestCase()
    {
        // The catalogs as the update script leaves them, made beside the
        // repository's own.
        for (const QString& name : QDir(kSourceFolder).entryList({"navik_*.ts"}))
            QVERIFY(QFile::copy(kSourceFolder + '/' + name, m_updated.filePath(name)));
        QProcess update;
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("LUPDATE"), QStringLiteral(LUPDATE_PROGRAM));
        update.setProcessEnvironment(environment);
        update.start(QStringLiteral("bash"),
                     {QStringLiteral(QUILLET_SOURCE_DIR "/scripts/update-translations.sh"), m_updated.path()});
        QVERIFY(update.waitForFinished(120000));
        QVERIFY2(update.exitStatus() == QProcess::NormalExit && update.exitCode() == 0,
                 update.readAllStandardError().constData());
    }

    void catalog_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("everyTextTranslated");
        // English translates only the texts whose source is a key or differs.
        QTest::newRow("en") << "en" << false;
        QTest::newRow("fr") << "fr" << true;
        QTest::newRow("de") << "de" << true;
        QTest::newRow("ja") << "ja" << true;
    }

    void catalog()
    {
        QFETCH(QString, language);
        QFETCH(bool, everyTextTranslated);
        const QString name = QStringLiteral("navik_%1.ts").arg(language);
        const QByteArray committed = readFile(kSourceFolder + '/' + name);
        QVERIFY2(readFile(m_updated.filePath(name)) == committed,
                 "the catalog does not match the texts of the code: run scripts/update-translations.sh");

        const QList<Message> messages = messagesOf(committed);
        QVERIFY(!messages.isEmpty());
        for (const Message& message : messages) {
            const QString where = message.context + " / " + message.source;
            if (everyTextTranslated)
                QVERIFY2(!message.unfinished && !message.translation.isEmpty(), qPrintable("untranslated: " + where));
            if (!message.translation.isEmpty())
                QVERIFY2(placeholders(message.translation) == placeholders(message.source),
                         qPrintable("placeholders differ: " + where));
        }
    }

    // German names saving one way throughout, as the desktop does:
    // "Speichern", never "Sichern".
    void germanSavesWithOneWord()
    {
        static const QRegularExpression saving(QStringLiteral("\\bsav(e|ed|es|ing)\\b"),
                                               QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression otherWord(QStringLiteral("sicher(n|t|ung)"),
                                                  QRegularExpression::CaseInsensitiveOption);
        int saveTexts = 0;
        for (const Message& message : messagesOf(readFile(kSourceFolder + "/navik_de.ts"))) {
            if (!message.source.contains(saving))
                continue;
            ++saveTexts;
            QVERIFY2(!message.translation.contains(otherWord),
                     qPrintable(message.source + " -> " + message.translation));
        }
        QVERIFY(saveTexts > 5);
    }
};

QTEST_GUILESS_MAIN(TestCatalogs)
#include "tst_catalogs.moc"
