// A save of the main window waits for the engine in a nested event loop: the
// user's shortcuts, a second save and closing the window are refused until
// it is over. A save or an open that fails says why, in the user's language,
// and a write-protected picture is not replaced.

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "engine/CProcessEngine.h"
#include "mainwindow/CFileSaveDialog.h"
#include "mainwindow/CMainWindow.h"

#include "FileSizeLimit.h"
#include "TestFiles.h"
#include "TestWindow.h"
#include "UnprivilegedScope.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTranslator>
#include <QUndoStack>

#include <functional>
#include <memory>
#include <optional>
#include <sys/stat.h>

namespace {

// A notice's text and the cause given under it.
using Notice = QPair<QString, QString>;

// The notices shown while `run` runs, each answered Ok; a save's options
// dialog takes its offered answer, and `optionsAsked` counts them.
QList<Notice> noticesDuring(const std::function<void()>& run, int* optionsAsked = nullptr)
{
    QList<Notice> notices;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&notices, optionsAsked] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<CFileSaveDialog*>(modal)) {
            if (optionsAsked)
                ++*optionsAsked;
            dialog->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            notices.append({box->text(), box->informativeText()});
            box->button(QMessageBox::Ok)->click();
        }
    });
    user.start(0);
    run();
    return notices;
}

} // namespace

class TestMainWindowSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void inputRefusedWhileSaving();
    void failedSaveSaysWhy_data();
    void failedSaveSaysWhy();
    void failedOpenSaysWhy_data();
    void failedOpenSaysWhy();

private:
    QAction* action(const QString& name) const { return m_window->findChild<QAction*>(name); }

    QTemporaryDir m_folder;
    CProcessEngine* m_engine = nullptr;
    CMainWindow* m_window = nullptr;
};

void TestMainWindowSave::initTestCase()
{
    m_window = makeTestWindow(CBaseApplication::StandaloneMode, &m_engine);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));

    const QString photo = m_folder.filePath(QStringLiteral("photo.jpg"));
    QImage picture(640, 480, QImage::Format_RGB888);
    picture.fill(QColor(90, 140, 60));
    QVERIFY(picture.save(photo));
    QVERIFY(m_window->openFile(photo, QString()));
    QTRY_VERIFY_WITH_TIMEOUT(m_window->isUndoBaselineSet() && m_window->isIdle(), 60000);
}

void TestMainWindowSave::cleanupTestCase()
{
    destroyTestWindow(m_window, m_engine);
}

void TestMainWindowSave::inputRefusedWhileSaving()
{
    const QString copy = m_folder.filePath(QStringLiteral("copy.jpg"));
    const int steps = CUndoController::instance()->undoStack()->count();
    QTRY_VERIFY(action(QStringLiteral("action_Close"))->isEnabled());

    // The options dialog takes its offered answer; once the save waits for
    // the engine, the user closes the picture and the window, turns the
    // picture and saves again.
    bool tried = false;
    bool secondSave = true;
    QTimer user;
    connect(&user, &QTimer::timeout, this, [&] {
        if (auto* dialog = qobject_cast<CFileSaveDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
            return;
        }
        if (tried || !m_window->isSaveRunning())
            return;
        tried = true;
        QTest::keySequence(m_window, action(QStringLiteral("action_Close"))->shortcut());
        QTest::keySequence(m_window, action(QStringLiteral("actionRotate_Right"))->shortcut());
        m_window->close();
        secondSave = m_window->doSaveFile(m_folder.filePath(QStringLiteral("second.jpg")), QString());
    });
    user.start(0);
    QVERIFY(m_window->doSaveFile(copy, QStringLiteral("jpg")));
    user.stop();

    QVERIFY(tried);
    QVERIFY(!secondSave);
    QVERIFY(!QFile::exists(m_folder.filePath(QStringLiteral("second.jpg"))));
    QCOMPARE(QImage(copy).size(), QSize(640, 480));
    QVERIFY(m_window->isVisible());
    QVERIFY(m_engine->isPictureLoaded());
    QCOMPARE(CUndoController::instance()->undoStack()->count(), steps);

    // Afterwards the window takes the user's commands again.
    QTRY_VERIFY(action(QStringLiteral("action_Close"))->isEnabled());
    QVERIFY(m_window->isEnabled());
}

void TestMainWindowSave::failedSaveSaysWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cause");
    // Whether the JPEG options are asked: not when the file is refused anyway.
    QTest::addColumn<bool>("optionsAsked");

    const QString notSaved = QStringLiteral("The file could not be saved.");
    QTest::newRow("write-protected file")
        << "protected.jpg"
        << "en"
        << "The file could not be saved. Please check that you have the required permissions."
        << "The file is write-protected." << false;
    QTest::newRow("folder that does not exist") << "missing/copy.jpg"
                                                << "en" << notSaved << "The folder does not exist." << false;
    QTest::newRow("name too long") << QString(300, 'n') + ".jpg"
                                   << "en" << notSaved << "The file name is too long." << false;
    QTest::newRow("named pipe") << "pipe.jpg"
                                << "en" << notSaved << "This is a folder, a pipe or a device, not a picture file."
                                << false;
    QTest::newRow("loop of symbolic links")
        << "loop.jpg"
        << "en" << notSaved << "The path leads round a loop of symbolic links." << false;
    QTest::newRow("full disk") << "full.jpg"
                               << "en" << notSaved
                               << "The file would be larger than the disk or the file format allows." << true;
    QTest::newRow("write-protected file, in German")
        << "protected.jpg"
        << "de"
        << QString::fromUtf8(
               "Die Datei konnte nicht gespeichert werden. Bitte prüfen Sie, ob Sie die nötigen Rechte haben.")
        << "Die Datei ist schreibgeschützt." << false;
    // A pipe is named in every language.
    QTest::newRow("named pipe, in French")
        << "pipe.jpg"
        << "fr" << QString::fromUtf8("Le fichier n’a pas pu être enregistré.")
        << QString::fromUtf8("Il s’agit d’un dossier, d’un tube ou d’un périphérique, pas d’un fichier image.")
        << false;
    QTest::newRow("named pipe, in German")
        << "pipe.jpg"
        << "de"
        << "Die Datei konnte nicht gespeichert werden."
        << QString::fromUtf8("Dies ist ein Ordner, eine Pipe oder ein Gerät, keine Bilddatei.") << false;
    QTest::newRow("named pipe, in Japanese")
        << "pipe.jpg"
        << "ja" << QString::fromUtf8("ファイルを保存できませんでした。")
        << QString::fromUtf8("これはフォルダー、パイプまたはデバイスで、画像ファイルではありません。") << false;
    QTest::newRow("full disk, in German")
        << "full.jpg"
        << "de"
        << "Die Datei konnte nicht gespeichert werden."
        << QString::fromUtf8("Die Datei wäre größer, als der Datenträger oder das Dateiformat zulässt.") << true;
}

// The notice keeps the permission sentence for a permission failure and names
// every cause under it; a write-protected picture stays as it was, even for
// the superuser, who may write any file, and a pipe stays a pipe. What refuses
// the file does so before the options are asked.
void TestMainWindowSave::failedSaveSaysWhy()
{
    QFETCH(QString, name);
    QFETCH(QString, language);
    QFETCH(QString, text);
    QFETCH(QString, cause);
    QFETCH(bool, optionsAsked);

    QTranslator translator;
    if (language != QLatin1String("en")) {
        QVERIFY(translator.load(QStringLiteral(":/translations/navik_%1.qm").arg(language)));
        QCoreApplication::installTranslator(&translator);
    }
    const QString path = m_folder.filePath(name);
    const QByteArray original("the picture saved before");
    const bool writeProtected = name == QLatin1String("protected.jpg");
    if (writeProtected) {
        QVERIFY(writeFile(path, original));
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    } else if (name == QLatin1String("pipe.jpg")) {
        QVERIFY(mkfifo(QFile::encodeName(path).constData(), 0600) == 0);
    } else if (name == QLatin1String("loop.jpg")) {
        QVERIFY(QFile::link(path, path));
    }
    const QStringList before = QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System);

    bool saved = true;
    int asked = 0;
    const QList<Notice> notices = noticesDuring(
        [&] {
            std::unique_ptr<FileSizeLimit> fullDisk;
            if (name == QLatin1String("full.jpg"))
                fullDisk = std::make_unique<FileSizeLimit>(4096);
            saved = m_window->doSaveFile(path, QStringLiteral("jpg"));
        },
        &asked);
    QCoreApplication::removeTranslator(&translator);

    QVERIFY(!saved);
    QCOMPARE(notices, QList<Notice>({{text, cause}}));
    QCOMPARE(asked, optionsAsked ? 1 : 0);
    QCOMPARE(QDir(m_folder.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System), before);
    if (writeProtected) {
        QCOMPARE(readFile(path), original);
        QCOMPARE(QFile::permissions(path) & (QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther),
                 QFile::Permissions());
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner));
    }
    if (name == QLatin1String("pipe.jpg")) {
        struct stat info;
        QVERIFY(lstat(QFile::encodeName(path).constData(), &info) == 0 && S_ISFIFO(info.st_mode));
    }
    if (writeProtected || name == QLatin1String("pipe.jpg") || name == QLatin1String("loop.jpg"))
        QVERIFY(QFile::remove(path));
}

void TestMainWindowSave::failedOpenSaysWhy_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("cause");

    const QString notOpened = QStringLiteral("Sorry, file could not be opened");
    const QString notSupported = QStringLiteral("Sorry, but this file type is not supported. Please, try again.");
    QTest::newRow("missing") << "missing.jpg" << notOpened << "The file does not exist.";
    QTest::newRow("empty") << "empty.jpg" << notOpened << "The file is empty.";
    QTest::newRow("a JPEG without read permission")
        << "unreadable.jpg" << notOpened << "You have no permission to read this file.";
    QTest::newRow("text named as a JPEG")
        << "text.jpg" << notSupported << "The file is neither a JPEG nor a TIFF picture.";
    // Cut short after its header: the window tries to open it.
    QTest::newRow("damaged") << "damaged.jpg" << notOpened << "The picture in the file is damaged or incomplete.";
}

// An open that fails names the cause under the notice; only a file of
// another type gets the not-supported notice.
void TestMainWindowSave::failedOpenSaysWhy()
{
    QFETCH(QString, name);
    QFETCH(QString, text);
    QFETCH(QString, cause);

    // A folder that anyone may enter, so that only the file's own mode counts.
    QTemporaryDir folder;
    QVERIFY(QFile::setPermissions(
        folder.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ExeGroup | QFile::ExeOther));
    const QString path = folder.filePath(name);
    const QByteArray photo = readFile(m_folder.filePath(QStringLiteral("photo.jpg")));
    if (name == QLatin1String("empty.jpg"))
        QVERIFY(writeFile(path, QByteArray()));
    else if (name == QLatin1String("unreadable.jpg"))
        QVERIFY(writeFile(path, photo) && QFile::setPermissions(path, {}));
    else if (name == QLatin1String("text.jpg"))
        QVERIFY(writeFile(path, "a shopping list"));
    else if (name == QLatin1String("damaged.jpg"))
        QVERIFY(writeFile(path, photo.left(photo.size() / 2)));

    m_window->setPictureChanged(false);
    bool opened = true;
    bool unprivileged = true;
    const QList<Notice> notices = noticesDuring([&] {
        // Only where the file's mode is to count: the window writes files of
        // its own elsewhere.
        std::optional<UnprivilegedScope> scope;
        if (name == QLatin1String("unreadable.jpg"))
            unprivileged = scope.emplace().isUnprivileged();
        opened = m_window->saveOldAndOpenNewFile(path);
    });
    if (!unprivileged)
        QSKIP("the superuser could not act as an ordinary user");
    QVERIFY(!opened);
    QCOMPARE(notices, QList<Notice>({{text, cause}}));
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestMainWindowSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindowsave.moc"
