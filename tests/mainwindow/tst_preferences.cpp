// The preferences dialog: what it shows of the settings, Save and Cancel
// through the window's Preferences action, the quick re-press of a slider
// that snaps it back to its default, the statistics label acting as the text
// of its check box, and the crash reporter following the crash-report choice.

#include "correction/CCorrectionModuleHost.h"
#include "crash/CrashReporterSetup.h"
#include "engine/CProcessEngine.h"
#include "mainwindow/CMainWindow.h"
#include "mainwindow/CPreferencesDlg.h"
#include "utils/CSettings.h"

#include "TestWindow.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QStackedWidget>
#include <QTest>
#include <QTimer>

using namespace NAVIK_tarl1;

namespace {

template <typename T>
T* child(QObject* parent, const char* name)
{
    T* found = parent->findChild<T*>(QString::fromLatin1(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

void clearSettings()
{
    CSettings settings;
    settings.clear();
}

} // namespace

class TestPreferences : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void init() { clearSettings(); }
    void showsStoredValues_data();
    void showsStoredValues();
    void saveWritesCancelLeaves_data();
    void saveWritesCancelLeaves();
    void quickRepressResetsSlider_data();
    void quickRepressResetsSlider();
    void statisticsLabelTogglesBox_data();
    void statisticsLabelTogglesBox();
    void crashSendingFollowsChoice();

private:
    CProcessEngine* m_engine = nullptr;
    CMainWindow* m_window = nullptr;
};

void TestPreferences::initTestCase()
{
    m_window = makeTestWindow(CBaseApplication::StandaloneMode, &m_engine);
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void TestPreferences::cleanupTestCase()
{
    destroyTestWindow(m_window, m_engine);
}

void TestPreferences::showsStoredValues_data()
{
    QTest::addColumn<QVariant>("storedGrey");
    QTest::addColumn<QVariant>("storedGrid");
    QTest::addColumn<QVariant>("storedShowSize");
    QTest::addColumn<int>("grey");
    QTest::addColumn<int>("grid");
    QTest::addColumn<bool>("showSize");

    QTest::newRow("nothing stored") << QVariant() << QVariant() << QVariant() << 68 << 50 << true;
    QTest::newRow("stored") << QVariant(120) << QVariant(80) << QVariant(false) << 120 << 80 << false;
    QTest::newRow("grid too small") << QVariant() << QVariant(3) << QVariant() << 68 << 5 << true;
    QTest::newRow("grid too large") << QVariant() << QVariant(500) << QVariant() << 68 << 200 << true;
}

void TestPreferences::showsStoredValues()
{
    QFETCH(QVariant, storedGrey);
    QFETCH(QVariant, storedGrid);
    QFETCH(QVariant, storedShowSize);
    {
        CSettings settings;
        const std::pair<const char*, QVariant> stored[] = {
            {"sceneBackgroundColor", storedGrey}, {"gridOverlay.size", storedGrid}, {"showImageSize", storedShowSize}};
        for (const auto& [key, value] : stored)
            if (value.isValid())
                settings.setValue(QString::fromLatin1(key), value);
    }
    CPreferencesDlg dialog(nullptr);
    // Test scripts know it by the form's name.
    QCOMPARE(dialog.objectName(), QStringLiteral("preferencesDlg"));
    QTEST(child<QSlider>(&dialog, "colorSlider")->value(), "grey");
    QTEST(child<QSlider>(&dialog, "gridOverlaySizeSlider")->value(), "grid");
    QTEST(child<QSpinBox>(&dialog, "gridOverlaySizeSpin")->value(), "grid");
    QTEST(child<QCheckBox>(&dialog, "checkBoxShowImageSize")->isChecked(), "showSize");
}

void TestPreferences::saveWritesCancelLeaves_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("save") << true;
    QTest::newRow("cancel") << false;
}

void TestPreferences::saveWritesCancelLeaves()
{
    QFETCH(bool, save);
    {
        CSettings settings;
        settings.setValue(QStringLiteral("sceneBackgroundColor"), 90);
        settings.setValue(QStringLiteral("gridOverlay.size"), 40);
        settings.setValue(QStringLiteral("showImageSize"), true);
    }
    setStatisticSent(false);
    m_window->setBackgroundColor(90);
    auto* views = child<QStackedWidget>(m_window, "stackedWidget");
    QVERIFY(views->styleSheet().contains(QStringLiteral("rgb(90, 90, 90)")));

    QAction* preferences = child<QAction>(m_window, "action_Preferences");
    bool shown = false;
    bool triggerBlocked = false;
    QTimer::singleShot(0, this, [&] {
        auto* dialog = m_window->findChild<CPreferencesDlg*>();
        if (!dialog)
            return;
        shown = dialog->isVisible();
        triggerBlocked = preferences->signalsBlocked();
        child<QSlider>(dialog, "colorSlider")->setValue(150);
        child<QSpinBox>(dialog, "gridOverlaySizeSpin")->setValue(120);
        child<QCheckBox>(dialog, "checkBoxShowImageSize")->setChecked(false);
        child<QCheckBox>(dialog, "sendStatisticsCheckbox")->setChecked(true);
        QTest::mouseClick(child<QPushButton>(dialog, save ? "pushButtonSave" : "pushButtonCancel"), Qt::LeftButton);
    });
    preferences->trigger();
    QVERIFY(shown);
    QVERIFY(triggerBlocked);
    QVERIFY(!preferences->signalsBlocked());
    QVERIFY(!m_window->findChild<CPreferencesDlg*>());

    const CSettings settings;
    QCOMPARE(settings.value(QStringLiteral("sceneBackgroundColor")).toInt(), save ? 150 : 90);
    QCOMPARE(settings.value(QStringLiteral("gridOverlay.size")).toInt(), save ? 120 : 40);
    QCOMPARE(settings.value(QStringLiteral("showImageSize")).toBool(), !save);
    QCOMPARE(isStatisticSent(), save);
    const QString grey = save ? QStringLiteral("rgb(150, 150, 150)") : QStringLiteral("rgb(90, 90, 90)");
    QVERIFY(views->styleSheet().contains(grey));
    // Re-read after Cancel too (the row before left the labels hidden).
    QCOMPARE(child<QWidget>(m_window, "widgetSingleSize")->isHidden(), save);
}

void TestPreferences::quickRepressResetsSlider_data()
{
    QTest::addColumn<QString>("released"); // "" for no release yet
    QTest::addColumn<QString>("pressed");
    QTest::addColumn<int>("gap");
    QTest::addColumn<bool>("reset");

    const QString grey = QStringLiteral("colorSlider");
    const QString grid = QStringLiteral("gridOverlaySizeSlider");
    QTest::newRow("grey, first press") << QString() << grey << 0 << false;
    QTest::newRow("grid, first press") << QString() << grid << 0 << false;
    QTest::newRow("grey, double click") << grey << grey << 80 << true;
    QTest::newRow("grid, 99 ms") << grid << grid << 99 << true;
    QTest::newRow("grid, 100 ms") << grid << grid << 100 << false;
    QTest::newRow("grey 50 ms after the grid") << grid << grey << 50 << true;
    QTest::newRow("grid 2 s after the grey") << grey << grid << 2000 << false;
}

void TestPreferences::quickRepressResetsSlider()
{
    QFETCH(QString, released);
    QFETCH(QString, pressed);
    QFETCH(int, gap);
    QFETCH(bool, reset);

    CPreferencesDlg dialog(nullptr);
    qint64 now = 5000;
    dialog.setClock([&now] { return now; });
    if (!released.isEmpty()) {
        auto* slider = dialog.findChild<QSlider*>(released);
        slider->setSliderDown(true);
        slider->setSliderDown(false);
    }
    auto* greySlider = child<QSlider>(&dialog, "colorSlider");
    auto* gridSlider = child<QSlider>(&dialog, "gridOverlaySizeSlider");
    greySlider->setValue(120);
    gridSlider->setValue(80);
    now += gap;

    auto* slider = dialog.findChild<QSlider*>(pressed);
    const bool isGrey = slider == greySlider;
    slider->setSliderDown(true);
    QCOMPARE(slider->value(), reset ? (isGrey ? 68 : 50) : (isGrey ? 120 : 80));
    // The other slider never moves; the spin box and the swatch follow.
    QCOMPARE((isGrey ? gridSlider : greySlider)->value(), isGrey ? 80 : 120);
    QCOMPARE(child<QSpinBox>(&dialog, "gridOverlaySizeSpin")->value(), gridSlider->value());
    const int grey = greySlider->value();
    QVERIFY(
        child<QLabel>(&dialog, "labelColorPicker")->styleSheet().contains(QStringLiteral("rgb(%1, %1, %1)").arg(grey)));
}

void TestPreferences::statisticsLabelTogglesBox_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<bool>("toggles");
    QTest::newRow("click on the text") << QStringLiteral("click") << true;
    QTest::newRow("space") << QStringLiteral("space") << true;
    QTest::newRow("press, leave, release") << QStringLiteral("leave") << false;
    QTest::newRow("right click") << QStringLiteral("right") << false;
}

void TestPreferences::statisticsLabelTogglesBox()
{
    QFETCH(QString, gesture);
    QFETCH(bool, toggles);
    setStatisticSent(false);
    CPreferencesDlg dialog(nullptr);
    auto* label = child<QLabel>(&dialog, "sendStatisticsLabel");
    auto* box = child<QCheckBox>(&dialog, "sendStatisticsCheckbox");
    QVERIFY(!box->isChecked());
    // On the words before the link.
    const QPoint text(4, label->height() / 2);

    if (gesture == QLatin1String("space")) {
        QTest::keyPress(label, Qt::Key_Space);
        QVERIFY(box->isDown());
        QTest::keyRelease(label, Qt::Key_Space);
    } else {
        const Qt::MouseButton button = gesture == QLatin1String("right") ? Qt::RightButton : Qt::LeftButton;
        QTest::mousePress(label, button, {}, text);
        QCOMPARE(box->isDown(), button == Qt::LeftButton);
        if (gesture == QLatin1String("leave")) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(label, &leave);
        }
        QTest::mouseRelease(label, button, {}, text);
    }
    QVERIFY(!box->isDown());
    // The toggle comes after the label's own handling of the release.
    QCoreApplication::processEvents();
    QCOMPARE(box->isChecked(), toggles);
    QVERIFY(!isStatisticSent());
}

void TestPreferences::crashSendingFollowsChoice()
{
    // As the application registers it: the real reporter.
    CCrashReporterSwitch crashSwitch;
    registerCrashReporterSwitch(&crashSwitch);
    // On, off and on again within one run.
    for (const bool on : {true, false, true}) {
        CPreferencesDlg dialog(nullptr);
        child<QCheckBox>(&dialog, "sendCrashLogCheckbox")->setChecked(on);
        QTest::mouseClick(child<QPushButton>(&dialog, "pushButtonSave"), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(isCrashReportSent(), on);
        QCOMPARE(isCrashReportSendingOn(), on);
    }
    // A run that turned sending off for itself (as a script run does) keeps it
    // off through a Save that leaves the choice as it was.
    crashSwitch.disableCrashReporter();
    {
        CPreferencesDlg dialog(nullptr);
        QVERIFY(child<QCheckBox>(&dialog, "sendCrashLogCheckbox")->isChecked());
        QTest::mouseClick(child<QPushButton>(&dialog, "pushButtonSave"), Qt::LeftButton);
        QVERIFY(isCrashReportSent());
        QVERIFY(!isCrashReportSendingOn());
    }
    unregisterCrashReporterSwitch(&crashSwitch);
}

int main(int argc, char* argv[])
{
    TestApplication application(argc, argv);
    TestPreferences test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_preferences.moc"
