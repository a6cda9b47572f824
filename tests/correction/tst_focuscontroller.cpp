// The focus controller's Tab order over a group of controls: the cycle with
// its wrap and skips, and leaving the group: a click on another control, or
// the focus in another window (a dialog), hands Tab back to Qt.

#include "correction/FocusController.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

class TestFocusController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cycle();
    void leavingTheGroup();
};

void TestFocusController::cycle()
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    QList<QLineEdit*> edits;
    for (int i = 0; i < 4; ++i) {
        edits.append(new QLineEdit(&window));
        layout->addWidget(edits.last());
    }
    FocusController controller(&window, {edits[0], edits[1], edits[2], edits[3]});
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    edits[2]->hide();

    QTest::mouseClick(edits[1], Qt::LeftButton);
    QCOMPARE(controller.currentIndex(), 1);
    // Tab skips the hidden member and wraps at the end; Backtab wraps back.
    const QList<std::pair<Qt::Key, int>> steps = {
        {Qt::Key_Tab, 3}, {Qt::Key_Tab, 0}, {Qt::Key_Backtab, 3}, {Qt::Key_Backtab, 1}};
    for (const auto& [key, expected] : steps) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QCOMPARE(controller.currentIndex(), expected);
        QCOMPARE(QApplication::focusWidget(), edits[expected]);
    }
    // With no member left to take the focus the group lets go.
    for (QLineEdit* edit : edits)
        edit->setEnabled(false);
    QTest::keyClick(&window, Qt::Key_Tab);
    QCOMPARE(controller.currentIndex(), -1);
}

void TestFocusController::leavingTheGroup()
{
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* first = new QLineEdit(&window);
    auto* second = new QLineEdit(&window);
    auto* label = new QLabel(QStringLiteral("label"), &window);
    auto* outside = new QLineEdit(&window);
    auto* next = new QLineEdit(&window);
    for (QWidget* widget : {static_cast<QWidget*>(first), static_cast<QWidget*>(second), static_cast<QWidget*>(label),
                            static_cast<QWidget*>(outside), static_cast<QWidget*>(next)})
        layout->addWidget(widget);
    FocusController controller(&window, {first, second});
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));

    // A click on a label, which takes no focus, keeps the group.
    QTest::mouseClick(second, Qt::LeftButton);
    QTest::mouseClick(label, Qt::LeftButton);
    QCOMPARE(controller.currentIndex(), 1);

    // Tab in a dialog opened meanwhile stays in the dialog.
    QDialog dialog(&window);
    auto* dialogLayout = new QVBoxLayout(&dialog);
    auto* dialogFirst = new QLineEdit(&dialog);
    auto* dialogSecond = new QLineEdit(&dialog);
    dialogLayout->addWidget(dialogFirst);
    dialogLayout->addWidget(dialogSecond);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    dialog.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &dialog);
    dialogFirst->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), dialogFirst);
    QTest::keyClick(dialogFirst, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), dialogSecond);
    dialog.close();
    window.activateWindow();
    QTRY_COMPARE(QApplication::activeWindow(), &window);

    // A click into a text field outside the group: Tab there is Qt's own.
    QTest::mouseClick(outside, Qt::LeftButton);
    QCOMPARE(controller.currentIndex(), -1);
    QTest::keyClick(outside, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), next);
}

QTEST_MAIN(TestFocusController)
#include "tst_focuscontroller.moc"
