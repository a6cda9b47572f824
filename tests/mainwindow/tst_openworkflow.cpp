// Opening a picture in the main window with a real process engine: what the
// window records of it, how it greys and gives back its controls around an
// open and a render, the size labels, and rendering errors before and after
// the picture is on screen.

#include "correction/CUndoController.h"
#include "engine/CProcessEngine.h"
#include "mainwindow/CMainWindow.h"
#include "shell/CPerformanceLogger.h"
#include "utils/CScripting.h"
#include "utils/SizeText.h"
#include "view/CBeforeAfterView.h"

#include "TestWindow.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QStackedWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QUndoCommand>
#include <QUndoStack>

using namespace NAVIK_tarl1;

namespace {

const QString kNotOpened = QStringLiteral("Sorry, file could not be opened");

// How many times script mode recorded the notice (among far fewer notices
// than the bound).
int noticeCount(const QString& text)
{
    int count = 0;
    for (int index = 0; index < 1000; ++index)
        count += CScripting::getInstance()->isMessageBoxShown(text, index) ? 1 : 0;
    return count;
}

} // namespace

class TestOpenWorkflow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void performanceReportNamesThePicture();
    void sizeLabelsWaitForBothSizes();
    void wholeWindowOffDuringOpen();
    void renderLeavesOtherWindowTheKeyboard();
    void failedOpenKeepsPictureControlsOff();
    void renderErrorBeforePictureShownClosesItOnce();
    void renderErrorAfterPictureShown_data();
    void renderErrorAfterPictureShown();

private:
    // Opens the test picture and waits until it is rendered and the window
    // takes input again.
    bool openPicture();
    template<typename T = QWidget>
    T* child(const char* name) const
    {
        return m_window->findChild<T*>(QLatin1String(name));
    }
    // No render runs or waits and the delayed enabling has run.
    bool controlsSettled() const;

    QTemporaryDir m_folder;
    QString m_photo;
    CProcessEngine* m_engine = nullptr;
    CMainWindow* m_window = nullptr;
};

void TestOpenWorkflow::initTestCase()
{
    const QString script = m_folder.filePath(QStringLiteral("test.js"));
    QFile file(script);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("scripting.startTest.connect(function () {});\n");
    file.close();

    m_photo = m_folder.filePath(QStringLiteral("photo.jpg"));
    QImage picture(640, 480, QImage::Format_RGB888);
    picture.fill(QColor(90, 140, 60));
    QVERIFY(picture.save(m_photo));

    m_window = makeTestWindow(CBaseApplication::StandaloneMode, &m_engine);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
    // Script mode from here on (a script named at the first show would run
    // and close the window): notices are recorded instead of shown.
    CScripting::getInstance()->setPathToScript(script);
}

void TestOpenWorkflow::cleanupTestCase()
{
    destroyTestWindow(m_window, m_engine);
}

bool TestOpenWorkflow::controlsSettled() const
{
    // A disable greys the menu bar at once, the enable after it comes late.
    return m_window->isIdle() && m_window->menuBar()->isEnabled();
}

bool TestOpenWorkflow::openPicture()
{
    if (!m_window->openFile(m_photo, QString()))
        return false;
    return QTest::qWaitFor([this] { return m_window->isUndoBaselineSet() && controlsSettled(); }, 60000);
}

// A saved performance report names the picture and its size.
void TestOpenWorkflow::performanceReportNamesThePicture()
{
    QVERIFY(openPicture());
    const std::shared_ptr<CPerformanceLogger> logger = CPerformanceLogger::instance();
    logger->addUserAction(QStringLiteral("open"), 5);
    const QString report = m_folder.filePath(QStringLiteral("report.xml"));
    logger->saveReport(report);
    QFile file(report);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    QVERIFY2(text.contains(QStringLiteral("<Picture width=\"640\" Height=\"480\">%1</Picture>").arg(m_photo)),
             qPrintable(text));
}

// The three labels show nothing until both sizes are known; the after and
// single labels show the result, whichever scene the views showed before
// the open.
void TestOpenWorkflow::sizeLabelsWaitForBothSizes()
{
    auto* before = child<QLabel>("labelDBeforeSize");
    auto* after = child<QLabel>("labelDAfterSize");
    auto* single = child<QLabel>("labelSingleSize");
    // The views showed the before picture when the next one was opened.
    emit child<CBeforeAfterView>("graphicsViewSingle")->switchedToOtherScene();
    QVERIFY(openPicture());
    QCOMPARE(before->text(), sizeToString(QSize(640, 480)));

    // An initial size that differs from the result tells which one a label shows.
    QVERIFY(QMetaObject::invokeMethod(m_window, "onInitialImageSizeChanged", Q_ARG(QSize, QSize(100, 50))));
    QCOMPARE(before->text(), sizeToString(QSize(100, 50)));
    QCOMPARE(after->text(), sizeToString(QSize(640, 480)));
    QCOMPARE(single->text(), sizeToString(QSize(640, 480)));

    // After a reset the result size is not known yet: a known initial size alone shows nothing.
    m_window->doResetBeforeOpen();
    QVERIFY(QMetaObject::invokeMethod(m_window, "onInitialImageSizeChanged", Q_ARG(QSize, QSize(640, 480))));
    for (QLabel* label : {before, after, single})
        QVERIFY2(label->text().isEmpty(), qPrintable(label->objectName()));
}

// While a picture opens the whole window is off but for undo and redo;
// while it only renders, the menu bar alone is greyed and the picture, the
// panels and the tool bar stay in use. Afterwards the window has the keyboard.
void TestOpenWorkflow::wholeWindowOffDuringOpen()
{
    QVERIFY(openPicture());
    auto* undo = child<QAction>("actionUndo");
    const bool undoEnabled = undo->isEnabled();
    const QList<QWidget*> parts = {child("settingsWidget"), child("stackedWidget"), child("toolBar"),
                                   m_window->menuBar()};
    QList<QAction*> windowActions;
    for (QAction* action : m_window->actions())
        if (action != undo && action != child<QAction>("actionRedo"))
            windowActions.append(action);
    QVERIFY(windowActions.contains(child<QAction>("actionCrop")));

    m_window->setControlsEnabled(true, false);
    for (QWidget* part : parts)
        QVERIFY2(!part->isEnabled(), qPrintable(part->objectName()));
    for (QAction* action : windowActions)
        QVERIFY2(!action->isEnabled(), qPrintable(action->text()));
    QCOMPARE(undo->isEnabled(), undoEnabled);

    m_window->setControlsEnabled(true, true);
    QTRY_VERIFY(controlsSettled());
    for (QWidget* part : parts)
        QVERIFY2(part->isEnabled(), qPrintable(part->objectName()));
    for (QAction* action : windowActions)
        QVERIFY2(action->isEnabled(), qPrintable(action->text()));
    QTRY_COMPARE(QApplication::activeWindow(), m_window);
    QVERIFY(QApplication::focusWidget());
    QCOMPARE(QApplication::focusWidget()->window(), m_window);

    // A render alone.
    m_window->setControlsEnabled(false, false);
    QVERIFY(!m_window->menuBar()->isEnabled());
    for (QWidget* part : parts.mid(0, 3))
        QVERIFY2(part->isEnabled(), qPrintable(part->objectName()));
    m_window->setControlsEnabled(false, true);
    QTRY_VERIFY(controlsSettled());
    QVERIFY(m_window->menuBar()->isEnabled());
}

// The end of a render does not pull the keyboard away from a field of
// another window (a floating palette's, a tool's).
void TestOpenWorkflow::renderLeavesOtherWindowTheKeyboard()
{
    QVERIFY(openPicture());
    QWidget other;
    auto* field = new QLineEdit(&other);
    other.show();
    QVERIFY(QTest::qWaitForWindowExposed(&other));
    other.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&other));
    field->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), field);

    m_window->setControlsEnabled(false, false);
    m_window->setControlsEnabled(false, true);
    QTRY_VERIFY(controlsSettled());
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::activeWindow(), &other);
    QCOMPARE(QApplication::focusWidget(), field);

    other.close();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window));
}

// A failed open over a picture on screen: the window shows the start page,
// as after Close, and without a picture the panels and the crop command stay
// off, also once the window takes input again.
void TestOpenWorkflow::failedOpenKeepsPictureControlsOff()
{
    QVERIFY(openPicture());
    QVERIFY(child<QStackedWidget>("stackedWidget")->currentWidget() != child("recentFilesPage"));
    // A JPEG cut short: its header opens, its pixels do not.
    QFile whole(m_photo);
    QVERIFY(whole.open(QIODevice::ReadOnly));
    const QByteArray bytes = whole.readAll();
    const QString broken = m_folder.filePath(QStringLiteral("broken.jpg"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes.left(bytes.size() / 3));
    file.close();
    QVERIFY(!m_window->openFile(broken, QString()));
    QTRY_VERIFY(controlsSettled());
    QVERIFY(!m_engine->isPictureLoaded());
    QCOMPARE(child<QStackedWidget>("stackedWidget")->currentWidget(), child("recentFilesPage"));
    QVERIFY(child("stackedWidget")->isEnabled());
    QVERIFY(!child("settingsWidget")->isEnabled());
    QVERIFY(!child<QAction>("actionCrop")->isEnabled());
}

// A render that fails before anything of the picture was shown: the picture
// did not open. One notice, the picture closed once.
void TestOpenWorkflow::renderErrorBeforePictureShownClosesItOnce()
{
    const int notices = noticeCount(kNotOpened);
    QVERIFY(m_window->openFile(m_photo, QString()));
    QVERIFY(!m_window->isUndoBaselineSet());
    QVERIFY(QMetaObject::invokeMethod(m_engine, "processingError", Q_ARG(int, 0)));
    QVERIFY(QMetaObject::invokeMethod(m_engine, "processingError", Q_ARG(int, 0)));
    QCOMPARE(noticeCount(kNotOpened), notices + 1);
    QVERIFY(!m_engine->isPictureLoaded());
    QCOMPARE(child<QStackedWidget>("stackedWidget")->currentWidget(), child("recentFilesPage"));
    QTRY_VERIFY(controlsSettled());
}

void TestOpenWorkflow::renderErrorAfterPictureShown_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("notice");
    QTest::newRow("anchor points") << QStringLiteral("Move point")
                                   << QStringLiteral("Perspective correction cannot be applied from current anchor "
                                                     "points location");
    QTest::newRow("automatic distortion")
        << QStringLiteral("Activate auto distortion correction")
        << QStringLiteral("Navik Quillet cannot find the EXIF data it needs in this file. It is probably not the "
                          "original image file.");
}

// A render that fails once the picture is shown takes the failing change
// back with a message that names it.
void TestOpenWorkflow::renderErrorAfterPictureShown()
{
    QFETCH(QString, step);
    QFETCH(QString, notice);
    QVERIFY(openPicture());
    QUndoStack* stack = CUndoController::instance()->undoStack();
    const int steps = stack->count();
    stack->push(new QUndoCommand(step));
    const int notices = noticeCount(notice);
    const int notOpened = noticeCount(kNotOpened);
    QVERIFY(QMetaObject::invokeMethod(m_engine, "processingError", Q_ARG(int, 0)));
    QCOMPARE(noticeCount(notice), notices + 1);
    QCOMPARE(noticeCount(kNotOpened), notOpened);
    QCOMPARE(stack->count(), steps);
    QVERIFY(stack->undoText() != step);
    QVERIFY(m_engine->isPictureLoaded());
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestOpenWorkflow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_openworkflow.moc"
