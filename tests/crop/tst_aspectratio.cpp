// The aspect-ratio list (rows, roles, parsing and lookup, the five kept
// custom ratios, the settings store and what a damaged store holds) and the
// ratio chooser with its W/H field, driven by keys as a user would.

#include "crop/AspectRatioComboBox.h"
#include "crop/AspectRatioModel.h"
#include "utils/CSettings.h"

#include "RecordingLogger.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

const QString g_key = QStringLiteral("CustomAspectRatioComboboxValues");

void writeStore(const QList<QPair<QVariant, QVariant>>& rows)
{
    NAVIK_tarl1::CSettings settings(nullptr);
    settings.remove(g_key);
    settings.beginWriteArray(g_key);
    for (int i = 0; i < rows.size(); ++i) {
        settings.setArrayIndex(i);
        settings.setValue(QStringLiteral("Name"), rows.at(i).first);
        settings.setValue(QStringLiteral("Value"), rows.at(i).second);
    }
    settings.endArray();
}

QList<QPair<QString, double>> readStore()
{
    QList<QPair<QString, double>> rows;
    NAVIK_tarl1::CSettings settings(nullptr);
    const int size = settings.beginReadArray(g_key);
    for (int i = 0; i < size; ++i) {
        settings.setArrayIndex(i);
        rows.append({settings.value(QStringLiteral("Name")).toString(),
                     settings.value(QStringLiteral("Value")).toDouble()});
    }
    settings.endArray();
    return rows;
}

QStringList customNames(const AspectRatioModel& model)
{
    QStringList names;
    for (int row = model.addCustomRowIndex() + 1; row < model.rowCount(); ++row)
        names.append(model.data(model.index(row, 0)).toString());
    return names;
}

// Picks "Add Custom..." as a click in the list does: current row, then activated.
void openCustomEntry(QComboBox* combo)
{
    combo->setCurrentIndex(10);
    QMetaObject::invokeMethod(combo, "activated", Q_ARG(int, 10));
}

void addCustom(AspectRatioModel& model, const QString& text)
{
    QVERIFY(model.insertRows(11, 1));
    QVERIFY(model.setData(model.index(11, 0), text));
}

} // namespace

class TestAspectRatio : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init() { writeStore({}); }

    void fixedRowsAndRoles();
    void lookupOfRatiosAndTexts_data();
    void lookupOfRatiosAndTexts();
    void insertOnlyBelowAddCustom();
    void fiveCustomRatiosKeptAndStored();
    void longerStoreLoadsWholeAndKeepsItsLength();
    void damagedStoreRowsSkipped();
    void damagedStoreSizeReadsTheRowsHeld();
    void rejectedTextRowNotStored();

    void comboStartsUnconstrainedAndPicksEmit();
    void comboCustomEntry_data();
    void comboCustomEntry();
    void comboHintAndErasing();
    void comboFocusOutRestoresPreviousChoice();
    void comboSetCurrentAndFocusOrder();
};

void TestAspectRatio::fixedRowsAndRoles()
{
    AspectRatioModel model;
    QCOMPARE(model.rowCount(), 11);
    QCOMPARE(model.addCustomRowIndex(), 10);
    QCOMPARE(model.ratioAt(9), -2.0);
    QCOMPARE(model.ratioAt(10), -2.0);
    QCOMPARE(model.ratioAt(2), 16.0 / 9.0);
    QCOMPARE(model.ratioAt(-1), -1.0);
    QCOMPARE(model.ratioAt(11), -1.0);
    QCOMPARE(model.data(model.index(0, 0)).toString(), QStringLiteral("Unconstained (default)"));
    QCOMPARE(model.data(model.index(9, 0)).toString(), QStringLiteral("--separator--"));
    for (int row = 0; row < model.rowCount(); ++row) {
        const QModelIndex index = model.index(row, 0);
        QCOMPARE(model.data(index, AspectRatioModel::SeparatorRowRole).toInt(), 9);
        QCOMPARE(model.data(index, AspectRatioModel::AddCustomRowRole).toInt(), 10);
        QVERIFY(!model.data(index, Qt::EditRole).isValid());
        QCOMPARE(model.flags(index) == Qt::NoItemFlags, row == 9);
    }
    QVERIFY(!model.data(QModelIndex()).isValid());
}

void TestAspectRatio::lookupOfRatiosAndTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("name");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("row");
    QTest::newRow("reduced") << "32/18" << "16/9" << 16.0 / 9.0 << 2;
    QTest::newRow("portrait") << "9/16" << "16/9" << 16.0 / 9.0 << 2;
    QTest::newRow("4/6") << "4/6" << "3/2" << 1.5 << 6;
    QTest::newRow("square") << "7/7" << "1/1" << 1.0 << 8;
    QTest::newRow("ten stays") << "10/1" << "10/1" << 10.0 << -1;
    QTest::newRow("clamped") << "20/1" << "10/1" << 10.0 << -1;
    QTest::newRow("seven digits") << "9999999/1" << "10/1" << 10.0 << -1;
    QTest::newRow("new ratio") << "7/3" << "7/3" << 7.0 / 3.0 << -1;
    for (const char* bad : {"0/5", "05/3", "3/", "/3", "3 /2", "abc", "", "12345678/1", "-3/2"})
        QTest::newRow(qPrintable(QStringLiteral("bad ") + QLatin1String(bad))) << bad << "" << 0.0 << -1;
}

void TestAspectRatio::lookupOfRatiosAndTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, name);
    QFETCH(double, value);
    QFETCH(int, row);
    const QPair<QString, qreal> parsed = AspectRatioModel::parseRatio(text);
    QCOMPARE(parsed.first, name);
    QCOMPARE(parsed.second, value);
    AspectRatioModel model;
    QCOMPARE(model.indexOfRatioText(text), row);

    // Ratios by value, the two markers and a NaN included.
    QCOMPARE(model.indexOfRatio(0.0), 1);
    QCOMPARE(model.indexOfRatio(-1.0), 0);
    QCOMPARE(model.indexOfRatio(-2.0), 9);
    QCOMPARE(model.indexOfRatio(1.5), 6);
    QCOMPARE(model.indexOfRatio(1.6), -1);
    QCOMPARE(model.indexOfRatio(std::nan("")), -1);
}

void TestAspectRatio::insertOnlyBelowAddCustom()
{
    AspectRatioModel model;
    QVERIFY(!model.insertRows(12, 1));
    QVERIFY(!model.insertRows(10, 1));
    QVERIFY(!model.setData(model.index(5, 0), QStringLiteral("7/3"))); // no row made for it
    QCOMPARE(model.rowCount(), 11);
    QVERIFY(model.insertRows(11, 3));
    QCOMPARE(model.rowCount(), 12);
    QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
    QVERIFY(model.setData(model.index(11, 0), QStringLiteral("14/6")));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(customNames(model), QStringList{QStringLiteral("7/3")});
    QCOMPARE(model.ratioAt(11), 7.0 / 3.0);
}

void TestAspectRatio::fiveCustomRatiosKeptAndStored()
{
    {
        AspectRatioModel model;
        for (const char* text : {"7/3", "8/3", "9/4", "11/4", "13/4", "15/4"})
            addCustom(model, QLatin1String(text));
        QCOMPARE(customNames(model), (QStringList{"15/4", "13/4", "11/4", "9/4", "8/3"}));
    }
    const QList<QPair<QString, double>> stored = readStore();
    QCOMPARE(stored.size(), 5);
    QCOMPARE(stored.first().first, QStringLiteral("15/4"));
    QCOMPARE(stored.first().second, 3.75);
    QCOMPARE(stored.last().first, QStringLiteral("8/3"));

    // The next model reads them back, newest first; a shorter list leaves no
    // stale elements behind.
    {
        AspectRatioModel model;
        QCOMPARE(customNames(model), (QStringList{"15/4", "13/4", "11/4", "9/4", "8/3"}));
        model.removeCustomRatio(12);
        model.removeCustomRatio(3); // a fixed row: left alone
        QCOMPARE(model.rowCount(), 15);
    }
    QCOMPARE(readStore().size(), 4);
    {
        AspectRatioModel model;
        model.removeCustomRatio();
        QCOMPARE(model.rowCount(), 11);
    }
    QCOMPARE(readStore().size(), 0);
}

void TestAspectRatio::longerStoreLoadsWholeAndKeepsItsLength()
{
    QList<QPair<QVariant, QVariant>> rows;
    for (int i = 1; i <= 7; ++i)
        rows.append({QStringLiteral("%1/1").arg(i + 1), double(i + 1)});
    writeStore(rows);
    AspectRatioModel model;
    QCOMPARE(model.rowCount(), 18);
    addCustom(model, QStringLiteral("7/3"));
    QCOMPARE(model.rowCount(), 18);
    const QStringList names = customNames(model);
    QCOMPARE(names.first(), QStringLiteral("7/3"));
    QVERIFY(!names.contains(QStringLiteral("6/1"))); // the sixth custom row went
    QVERIFY(names.contains(QStringLiteral("8/1")));
}

void TestAspectRatio::damagedStoreRowsSkipped()
{
    writeStore({{QStringLiteral("3/1"), 3.0},
                {QStringLiteral("0/1"), 0.0},
                {QStringLiteral("-2/1"), -2.0},
                {QStringLiteral("nan"), QStringLiteral("nan")},
                {QStringLiteral("inf"), std::numeric_limits<double>::infinity()},
                {QStringLiteral("text"), QStringLiteral("wide")},
                {QString(), 2.5},
                {QStringLiteral("7/2"), 3.5}});
    AspectRatioModel model;
    QCOMPARE(customNames(model), (QStringList{"3/1", "7/2"}));
    for (int row = 0; row < model.rowCount(); ++row)
        QVERIFY(std::isfinite(model.ratioAt(row)));
}

void TestAspectRatio::damagedStoreSizeReadsTheRowsHeld()
{
    RecordingLogger& logger = RecordingLogger::install();
    writeStore({{QStringLiteral("3/1"), 3.0}, {QStringLiteral("7/2"), 3.5}});
    NAVIK_tarl1::CSettings(nullptr).setValue(g_key + QStringLiteral("/size"), 100000);
    logger.clear();
    AspectRatioModel model;
    QCOMPARE(customNames(model), (QStringList{"3/1", "7/2"}));
    // No row was looked for beyond those the file holds.
    QCOMPARE(logger.linesAt('W'), QStringList());
}

void TestAspectRatio::rejectedTextRowNotStored()
{
    {
        AspectRatioModel model;
        addCustom(model, QStringLiteral("7/3"));
        addCustom(model, QStringLiteral("7/0"));
        // The row stays in the list for the combo box to select.
        QCOMPARE(model.rowCount(), 13);
        QCOMPARE(model.data(model.index(11, 0)).toString(), QString());
    }
    const QList<QPair<QString, double>> stored = readStore();
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored.first().first, QStringLiteral("7/3"));
}

// ---- the chooser ----

void TestAspectRatio::comboStartsUnconstrainedAndPicksEmit()
{
    AspectRatioComboBox box;
    QSignalSpy spy(&box, &AspectRatioComboBox::aspectRatioChanged);
    QCOMPARE(box.comboBox()->currentIndex(), 0);
    QCOMPARE(box.lastIndex(), 0);
    QCOMPARE(box.currentAspectRatio(), -1.0);
    QCOMPARE(box.focusPolicy(), Qt::NoFocus);

    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    box.comboBox()->setFocus();
    // Keyboard moves activate each row they reach and skip the separator.
    const QList<qreal> expected{0.0, 16.0 / 9.0, 1.25, 2.5, 2.0, 1.5, 4.0 / 3.0, 1.0};
    for (qreal ratio : expected) {
        QTest::keyClick(box.comboBox(), Qt::Key_Down);
        QCOMPARE(spy.takeFirst().first().toReal(), ratio);
    }
    QTest::keyClick(box.comboBox(), Qt::Key_Down);
    QCOMPARE(box.comboBox()->currentIndex(), 10); // "Add Custom...": no signal
    QVERIFY(spy.isEmpty());
    QVERIFY(box.comboBox()->isEditable());
    QCOMPARE(box.currentAspectRatio(), 1.0);
}

void TestAspectRatio::comboCustomEntry_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("row");
    QTest::addColumn<double>("emitted");
    QTest::addColumn<int>("rows");
    QTest::newRow("known ratio") << "32/18" << 2 << 16.0 / 9.0 << 11;
    QTest::newRow("portrait of a known one") << "9/16" << 2 << 16.0 / 9.0 << 11;
    QTest::newRow("new ratio") << "7/3" << 11 << 7.0 / 3.0 << 12;
    QTest::newRow("clamped new ratio") << "25/2" << 11 << 10.0 << 12;
    QTest::newRow("rejected text") << "7/" << 10 << -3.0 << 11;
    QTest::newRow("zero and slash first") << "0/a3/2" << 6 << 1.5 << 11;
}

void TestAspectRatio::comboCustomEntry()
{
    QFETCH(QString, keys);
    QFETCH(int, row);
    QFETCH(double, emitted);
    QFETCH(int, rows);
    AspectRatioComboBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QComboBox* combo = box.comboBox();
    QSignalSpy spy(&box, &AspectRatioComboBox::aspectRatioChanged);
    combo->setFocus();
    combo->setCurrentIndex(6);
    openCustomEntry(combo);
    QVERIFY(combo->isEditable());
    QCOMPARE(box.currentAspectRatio(), 1.5);
    QTest::keyClicks(combo, keys);
    QTest::keyClick(combo, Qt::Key_Return);
    QCOMPARE(combo->currentIndex(), row);
    QCOMPARE(box.model()->rowCount(), rows);
    if (emitted < -2) {
        QVERIFY(spy.isEmpty());
        QVERIFY(combo->isEditable());
        QCOMPARE(combo->lineEdit()->text(), keys);
        QCOMPARE(box.currentAspectRatio(), 1.5);
    } else {
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first().toReal(), emitted);
        QVERIFY(!combo->isEditable());
        QCOMPARE(box.currentAspectRatio(), emitted);
    }
}

void TestAspectRatio::comboHintAndErasing()
{
    AspectRatioComboBox box;
    box.show();
    QVERIFY(QTest::qWaitForWindowExposed(&box));
    QComboBox* combo = box.comboBox();
    combo->setFocus();
    openCustomEntry(combo);
    auto* edit = qobject_cast<AspectRatioEdit*>(combo->lineEdit());
    QVERIFY(edit);
    QCOMPARE(edit->text(), QStringLiteral("Enter ratio (W/H)"));
    QVERIFY(edit->font().italic());
    for (const char* key : {"0", "/", "x"})
        QTest::keyClicks(combo, QLatin1String(key));
    QCOMPARE(edit->text(), QStringLiteral("Enter ratio (W/H)"));
    QTest::keyClicks(combo, QStringLiteral("3"));
    QCOMPARE(edit->text(), QStringLiteral("3"));
    QVERIFY(!edit->font().italic());
    QVERIFY(edit->isEditing());
    QTest::keyClick(combo, Qt::Key_Backspace);
    QCOMPARE(edit->text(), QStringLiteral("Enter ratio (W/H)"));
    QVERIFY(edit->font().italic());
    QVERIFY(!edit->isEditing());
}

void TestAspectRatio::comboFocusOutRestoresPreviousChoice()
{
    QWidget window;
    auto* box = new AspectRatioComboBox(&window);
    auto* other = new QLineEdit(&window);
    other->move(0, 60);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QComboBox* combo = box->comboBox();
    QSignalSpy spy(box, &AspectRatioComboBox::aspectRatioChanged);
    box->setCurrentAspectRatio(2.5);
    combo->setFocus();
    openCustomEntry(combo);
    QTest::keyClicks(combo, QStringLiteral("7/3"));
    other->setFocus(Qt::TabFocusReason);
    QCOMPARE(combo->currentIndex(), 4);
    QVERIFY(!combo->isEditable());
    QCOMPARE(box->model()->rowCount(), 11);
    QVERIFY(spy.isEmpty());

    // A click elsewhere that takes no focus ends the entry too: the typed
    // text is dropped, "Add Custom..." stays shown, the ratio is the old one.
    auto* plain = new QWidget(&window);
    plain->setGeometry(0, 100, 40, 40);
    plain->show();
    combo->setFocus();
    openCustomEntry(combo);
    QTest::keyClicks(combo, QStringLiteral("7/3"));
    QTest::mouseClick(plain, Qt::LeftButton);
    QVERIFY(!combo->isEditable());
    QCOMPARE(combo->currentIndex(), 10);
    QCOMPARE(box->currentAspectRatio(), 2.5);
    QCOMPARE(box->model()->rowCount(), 11);
    QVERIFY(spy.isEmpty());
}

void TestAspectRatio::comboSetCurrentAndFocusOrder()
{
    AspectRatioComboBox box;
    QSignalSpy spy(&box, &AspectRatioComboBox::aspectRatioChanged);
    box.setCurrentAspectRatio(4.0 / 3.0);
    QCOMPARE(box.comboBox()->currentIndex(), 7);
    box.setCurrentAspectRatio(1.6);
    QCOMPARE(box.comboBox()->currentIndex(), 7);
    QVERIFY(spy.isEmpty());
    QMetaObject::invokeMethod(&box, "setCurrentAspectRatioAndEmitSignal", Q_ARG(qreal, 1.6));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.first().first().toReal(), 4.0 / 3.0);

    box.applyFocusOrder();
    QVERIFY(!box.comboBox()->property("settingsFocusNumber").isValid());
    box.setProperty("FocusOrder", QStringLiteral("12"));
    box.applyFocusOrder();
    QCOMPARE(box.comboBox()->property("settingsFocusNumber"), QVariant(12));
}

QTEST_MAIN(TestAspectRatio)
#include "tst_aspectratio.moc"
