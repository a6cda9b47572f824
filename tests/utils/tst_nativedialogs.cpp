#include "utils/CNativeDialogs.h"
#include "utils/CScripting.h"
#include "utils/MacOSNativeGlue.h"

#include "FileDialogAnswer.h"
#include "ForkedRun.h"
#include "TestFiles.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <functional>

using namespace NAVIK_tarl1;

namespace {

const QString kJpegTiff = QStringLiteral("JPEG Image files (*.jpg *.jpeg);;TIFF Image files (*.tif *.tiff)");

// Runs `inspect` on the next file dialog that opens; it has to close it.
void onNextFileDialog(const std::function<void(QFileDialog*)>& inspect)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, inspect] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            inspect(dialog);
        }
    });
    timer->start(10);
}

} // namespace

class TestNativeDialogs : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    std::shared_ptr<CNativeDialogs> m_dialogs = CNativeDialogs::getInstance();

    void setScriptMode(bool on)
    {
        QFile script(m_dir.filePath("dialogs.js"));
        QVERIFY(script.open(QIODevice::WriteOnly));
        script.write(on ? "var answer = 1;\n" : "");
        script.close();
        CScripting::getInstance()->setPathToScript(script.fileName());
        QCOMPARE(CScripting::getInstance()->isScriptingMode(), on);
    }

    // One question of each kind, as a script sees it: its answer as text.
    QString ask(const QString& kind)
    {
        if (kind == QLatin1String("open"))
            return m_dialogs->getOpenFileName(nullptr, "Open", m_dir.path(), kJpegTiff);
        if (kind == QLatin1String("save"))
            return m_dialogs->getSaveFileName(nullptr, "Save", m_dir.path(), kJpegTiff);
        if (kind == QLatin1String("folder"))
            return m_dialogs->getExistingDirectory(nullptr, "Folder", m_dir.path());
        return m_dialogs->getOpenFileNames(nullptr, "Open", m_dir.path(), kJpegTiff).join(QLatin1Char('|'));
    }

    void predefine(const QString& kind, const QString& answer)
    {
        if (kind == QLatin1String("open"))
            m_dialogs->setOpenFileName(answer);
        else if (kind == QLatin1String("save"))
            m_dialogs->setSaveFileName(answer);
        else if (kind == QLatin1String("folder"))
            m_dialogs->setExistingDirectory(answer);
        else
            m_dialogs->setOpenFileNames(QVariantList{answer});
    }

private Q_SLOTS:
    void setterOrderIsTheScriptInterface()
    {
        const QMetaObject* meta = m_dialogs->metaObject();
        QCOMPARE(meta->className(), "NAVIK_tarl1::CNativeDialogs");
        const QList<QByteArray> names = {"setOpenFileName", "setOpenFileNames", "setSaveFileName",
                                         "setExistingDirectory"};
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(meta->method(meta->methodOffset() + i).name(), names.at(i));
    }

    void scriptAnswerIsUsedOnceThenFails_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("open") << "open";
        QTest::newRow("save") << "save";
        QTest::newRow("folder") << "folder";
        QTest::newRow("several") << "several";
    }

    void scriptAnswerIsUsedOnceThenFails()
    {
        QFETCH(QString, kind);
        setScriptMode(true);
        predefine(kind, "A");
        predefine(kind, "B"); // The later answer replaces the earlier one.
        QCOMPARE(ask(kind), QStringLiteral("B"));

        const int signal = signalEndingChildRunning([&] { ask(kind); });
        QCOMPARE(signal, SIGKILL);
        const QStringList report = readLines(m_dir.filePath("dialogsReport.txt"));
        QCOMPARE(report.mid(report.size() - 2), QStringList({"getOpenFileName have't got predefined value", "FAIL"}));
    }

    void answersOfOneKindDoNotServeAnother()
    {
        setScriptMode(true);
        m_dialogs->setSaveFileName("/photos/out.jpg");
        m_dialogs->setExistingDirectory("/photos");
        QCOMPARE(ask("folder"), QStringLiteral("/photos"));
        QCOMPARE(ask("save"), QStringLiteral("/photos/out.jpg"));
    }

    void fileListTakesEachValueAsText()
    {
        setScriptMode(true);
        m_dialogs->setOpenFileNames({"old.jpg", "older.jpg", "oldest.jpg"});
        m_dialogs->setOpenFileNames({1, "name.jpg"});
        QCOMPARE(m_dialogs->getOpenFileNames(nullptr, "Open", QString(), QString()),
                 QStringList({"1", "name.jpg"}));
    }

    void folderDialogOffersFoldersOnly()
    {
        setScriptMode(false);
        bool foldersOnly = false;
        onNextFileDialog([&](QFileDialog* dialog) {
            foldersOnly = dialog->fileMode() == QFileDialog::Directory
                && dialog->testOption(QFileDialog::ShowDirsOnly);
            dialog->reject();
        });
        const QString folder = m_dialogs->getExistingDirectory(nullptr, "Folder", m_dir.path(),
                                                               QFileDialog::DontResolveSymlinks);
        QVERIFY(foldersOnly);
        QVERIFY(folder.isEmpty());
    }

    void openPanelAllowsTheFilterTypes_data()
    {
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QStringList>("types");
        // The name the dialog shows beside the patterns: a filter of one entry keeps its own.
        QTest::addColumn<QString>("name");
        QTest::newRow("jpg and tif") << "Images (*.jpg *.tif)" << QStringList{"jpg", "tif"} << "Images";
        QTest::newRow("two entries") << kJpegTiff << QStringList{"jpg", "jpeg", "tif", "tiff"} << "";
        QTest::newRow("bare star") << "All files (*)" << QStringList() << "";
        QTest::newRow("star dot star") << "*.*" << QStringList() << "";
        QTest::newRow("duplicates kept") << "*.jpg;;*.jpg" << QStringList{"jpg", "jpg"} << "";
        QTest::newRow("patterns without a name") << "*.jpg *.tif" << QStringList{"jpg", "tif"} << "";
    }

    void openPanelAllowsTheFilterTypes()
    {
        QFETCH(QString, filter);
        QFETCH(QStringList, types);
        QFETCH(QString, name);
        QCOMPARE(allowedFileTypes(filter), types);

        setScriptMode(false);
        const QString photo = m_dir.filePath("photo.jpg");
        QFile(photo).open(QIODevice::WriteOnly);
        QStringList offered;
        onNextFileDialog([&](QFileDialog* dialog) {
            offered = dialog->nameFilters();
            typeFileName(*dialog, photo);
            static_cast<QDialog*>(dialog)->accept(); // protected in QFileDialog
        });
        QCOMPARE(m_dialogs->getOpenFileName(nullptr, "Open", m_dir.path(), filter), photo);
        if (types.isEmpty()) {
            QVERIFY(offered.isEmpty() || offered == QStringList{QFileDialog::tr("All Files (*)")});
        } else {
            types.removeDuplicates();
            const QString patterns = "*." + types.join(" *.");
            QCOMPARE(offered, QStringList{name.isEmpty() ? patterns : name + " (" + patterns + ")"});
        }
    }

    void savePanelProposesTheNameAndKeepsTheFilter()
    {
        setScriptMode(false);
        const QString proposed = m_dir.filePath("boats_NavikQlt.tif");
        QString folder;
        QStringList filters;
        onNextFileDialog([&](QFileDialog* dialog) {
            folder = dialog->directory().absolutePath();
            filters = dialog->nameFilters();
            static_cast<QDialog*>(dialog)->accept(); // QFileDialog hides it
        });
        QString selectedFilter = QStringLiteral("TIFF Image files (*.tif *.tiff)");
        const QString chosen = m_dialogs->getSaveFileName(nullptr, "Save", proposed, kJpegTiff, &selectedFilter);
        QCOMPARE(folder, m_dir.path());
        QCOMPARE(filters, kJpegTiff.split(";;"));
        QCOMPARE(chosen, proposed);
        QCOMPARE(selectedFilter, QStringLiteral("TIFF Image files (*.tif *.tiff)"));
    }

    void savePanelAddsTheExtensionOfTheChosenFilter()
    {
        setScriptMode(false);
        onNextFileDialog([&](QFileDialog* dialog) {
            dialog->selectNameFilter(kJpegTiff.split(";;").at(1));
            emit dialog->filterSelected(kJpegTiff.split(";;").at(1));
            typeFileName(*dialog, QStringLiteral("corrected"));
            static_cast<QDialog*>(dialog)->accept(); // protected in QFileDialog
        });
        QString selectedFilter;
        const QString chosen = m_dialogs->getSaveFileName(nullptr, "Save", m_dir.path(), kJpegTiff, &selectedFilter);
        QCOMPARE(chosen, m_dir.filePath("corrected.tif"));
        QCOMPARE(selectedFilter, kJpegTiff.split(";;").at(1));
    }

    // A new name longer than the folder takes is handed over, for the save to
    // say why it cannot be written (Qt's own dialog kept it without a word).
    void savePanelHandsOverANameTooLong()
    {
        setScriptMode(false);
        const QString name = QString(300, QLatin1Char('a')) + QStringLiteral(".jpg");
        onNextFileDialog([&](QFileDialog* dialog) {
            typeFileName(*dialog, name);
            auto* field = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            QVERIFY(field);
            QTest::keyClick(field, Qt::Key_Return);
            // Still open: closed, so that the test fails instead of waiting.
            if (dialog->isVisible())
                dialog->reject();
        });
        QString selectedFilter;
        QCOMPARE(m_dialogs->getSaveFileName(nullptr, "Save", m_dir.path(), kJpegTiff, &selectedFilter),
                 m_dir.filePath(name));
    }

    void cancelledSavePanelStillReportsTheFilter()
    {
        setScriptMode(false);
        onNextFileDialog([](QFileDialog* dialog) { dialog->reject(); });
        QString selectedFilter = QStringLiteral("no such filter");
        QVERIFY(m_dialogs->getSaveFileName(nullptr, "Save", m_dir.path(), kJpegTiff, &selectedFilter).isEmpty());
        // No entry matched, so the first one was shown and is reported back.
        QCOMPARE(selectedFilter, kJpegTiff.split(";;").at(0));
    }
};

QTEST_MAIN(TestNativeDialogs)
#include "tst_nativedialogs.moc"
