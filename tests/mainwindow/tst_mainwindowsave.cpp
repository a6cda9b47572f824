// A save of the main window waits for the engine in a nested event loop: the
// user's shortcuts, a second save and closing the window are refused until
// it is over.

#include "correction/CCorrectionModuleHost.h"
#include "correction/CUndoController.h"
#include "engine/CProcessEngine.h"
#include "mainwindow/CFileSaveDialog.h"
#include "mainwindow/CMainWindow.h"

#include "TestWindow.h"

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUndoStack>

class TestMainWindowSave : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void inputRefusedWhileSaving();

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

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestMainWindowSave test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindowsave.moc"
