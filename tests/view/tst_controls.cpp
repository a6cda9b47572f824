// The dropdown's free-entry cycle and the small controls: size texts,
// percent, the scroll area that ignores the wheel, the collapsing group box
// and the hovered button.

#include "view/Dropdown.h"
#include "view/SmallControls.h"

#include <QAbstractItemView>
#include <QIntValidator>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>

namespace {

// Rows: 0 "Custom…", 1 separator, 2 "10", 3 "20", 4 "30"; a typed value in
// the range 1..99 is accepted and stands for the custom row's value.
class NumberModel : public AbstractDropdownModel
{
public:
    NumberModel() : AbstractDropdownModel(QStringList({"Custom", "", "10", "20", "30"})) {}
    int separatorRow() const override { return 1; }
    int rowOfValue(const QVariant& value) const override
    {
        bool ok = false;
        const int number = value.toString().toInt(&ok);
        if (!ok || number < 1 || number > 99)
            return -1;
        const int row = stringList().indexOf(QString::number(number));
        return row >= 2 ? row : 0;
    }
    QVariant valueOfRow(int row) const override
    {
        if (row < 2 || row >= rowCount())
            return row == 0 ? QVariant(custom) : QVariant();
        return stringList().at(row).toInt();
    }
    int editingRow() const override { return 0; }
    void setCustomValue(const QVariant& value) override { custom = value.toInt(); }
    QVariant data(const QModelIndex& index, int role) const override
    {
        return AbstractDropdownModel::data(index, role);
    }
    int custom = 0;
};

struct Dropdown
{
    QWidget window;
    DropdownMenu* menu = nullptr;
    QLineEdit* other = nullptr;
    NumberModel model;
    Dropdown()
    {
        auto* layout = new QVBoxLayout(&window);
        menu = new DropdownMenu(&window, QStringLiteral("Type a size"), QSharedPointer<QValidator>(new QIntValidator(1, 99)));
        menu->setModel(&model);
        layout->addWidget(menu);
        other = new QLineEdit(&window);
        layout->addWidget(other);
        window.show();
    }
};

void sendWheel(QWidget* target, int delta)
{
    const QPointF at(5, 5);
    QWheelEvent wheel(at, target->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(target, &wheel);
}

} // namespace

class TestControls : public QObject
{
    Q_OBJECT
private slots:
    void freeEntryCycle()
    {
        Dropdown d;
        QVERIFY(QTest::qWaitForWindowExposed(&d.window));
        QComboBox* combo = d.menu->comboBox();
        QSignalSpy values(d.menu, &DropdownMenu::currentValueChanged);

        // The user picks "20": the combo box makes it current, then reports it activated.
        combo->setCurrentIndex(3);
        emit combo->activated(3);
        QCOMPARE(values.count(), 1);
        QCOMPARE(values.at(0).at(0).toInt(), 20);
        QCOMPARE(d.menu->currentValue().toInt(), 20);

        // The free-entry row opens the field and reports nothing.
        d.menu->onActivated(0);
        QVERIFY(d.menu->isEditable());
        QCOMPARE(values.count(), 1);
        auto* field = qobject_cast<DropdownLineEdit*>(combo->lineEdit());
        QVERIFY(field);
        QCOMPARE(field->text(), QStringLiteral("Type a size"));
        QCOMPARE(combo->styleSheet(), QStringLiteral("font-style: italic"));
        QVERIFY(!field->isEditing());

        // Placeholder: a letter the validator refuses and arrows do nothing.
        QTest::keyClick(field, Qt::Key_Right);
        QTest::keyClick(field, Qt::Key_X);
        QCOMPARE(field->text(), QStringLiteral("Type a size"));
        // A digit replaces the placeholder.
        QTest::keyClick(field, Qt::Key_4);
        QCOMPARE(field->text(), QStringLiteral("4"));
        QVERIFY(field->isEditing());
        QCOMPARE(combo->styleSheet(), QStringLiteral("font-style: normal"));
        // Erasing everything brings the placeholder back.
        QTest::keyClick(field, Qt::Key_Backspace);
        QCOMPARE(field->text(), QStringLiteral("Type a size"));
        QVERIFY(!field->isEditing());

        // Return on an accepted value closes the field and reports it.
        QTest::keyClicks(field, QStringLiteral("30"));
        QTest::keyClick(combo, Qt::Key_Return);
        QVERIFY(!d.menu->isEditable());
        QCOMPARE(values.count(), 2);
        QCOMPARE(values.at(1).at(0).toInt(), 30);

        // Losing focus abandons the entry: the last regular row is reported again.
        d.menu->onActivated(0);
        QVERIFY(d.menu->isEditable());
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(combo, &out);
        QVERIFY(!d.menu->isEditable());
        QCOMPARE(values.count(), 3);
        QCOMPARE(values.at(2).at(0).toInt(), 30);
    }

    void abandonedBeforeAnyChoiceReportsNothing()
    {
        Dropdown d;
        QSignalSpy values(d.menu, &DropdownMenu::currentValueChanged);
        d.menu->onActivated(0);
        QVERIFY(d.menu->isEditable());
        QFocusEvent out(QEvent::FocusOut);
        QCoreApplication::sendEvent(d.menu->comboBox(), &out);
        QVERIFY(!d.menu->isEditable());
        QCOMPARE(values.count(), 0);
        QVERIFY(!d.menu->currentValue().isValid());
    }

    void separatorAndCurrentValue()
    {
        Dropdown d;
        QCOMPARE(d.model.flags(d.model.index(1)), Qt::NoItemFlags);
        QVERIFY(d.model.flags(d.model.index(2)) & Qt::ItemIsEnabled);
        QCOMPARE(d.model.data(d.model.index(4), Qt::UserRole).toInt(), 1);
        d.menu->comboBox()->setCurrentIndex(-1);
        QVERIFY(!d.menu->currentValue().isValid());
        d.menu->setCurrentValue(10);
        QCOMPARE(d.menu->comboBox()->currentIndex(), 2);
        d.menu->setCurrentValue(500);
        QCOMPARE(d.menu->comboBox()->currentIndex(), 2);
        d.menu->setCustomValue(42);
        QCOMPARE(d.model.custom, 42);
    }

    void returnOnRefusedValueKeepsTheField()
    {
        Dropdown d;
        d.menu->onActivated(0);
        auto* field = d.menu->comboBox()->lineEdit();
        QTest::keyClick(field, Qt::Key_0);
        QTest::keyClick(d.menu->comboBox(), Qt::Key_Return);
        QVERIFY(d.menu->isEditable());
    }

    void sizeTexts_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("zero") << qint64(0) << "0B";
        QTest::newRow("1024") << qint64(1024) << "1024B";
        QTest::newRow("1025") << qint64(1025) << "1.0kB";
        QTest::newRow("1048576") << qint64(1048576) << "1024.0kB";
        QTest::newRow("1048577") << qint64(1048577) << "1.0MB";
        QTest::newRow("large") << qint64(5368709120) << "5120.0MB";
    }
    void sizeTexts()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(CProgressBar::sizeText(bytes), text);
    }

    void percent()
    {
        CProgressBar bar;
        QCOMPARE(bar.percent(), 0);
        QCOMPARE(bar.percentText(), QStringLiteral("0"));
        bar.setProgress(1, 3);
        QCOMPARE(bar.percent(), 33);
        bar.setProgress(2, 3);
        QCOMPARE(bar.percent(), 66);
        bar.resize(204, 40);
        QImage image(bar.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        bar.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
        QVERIFY(image.pixelColor(2 + 131, 3).alpha() > 0);   // inside the 132-pixel fill
        QCOMPARE(image.pixelColor(2 + 133, 3).alpha(), 0);  // beyond it, above the text
    }

    void scrollAreaIgnoresWheelAndArrows()
    {
        CScrollArea area;
        auto* content = new QLabel(QStringLiteral("tall"));
        content->setMinimumHeight(3000);
        area.setWidget(content);
        area.resize(200, 200);
        area.show();
        QVERIFY(QTest::qWaitForWindowExposed(&area));
        sendWheel(area.viewport(), -120);
        QCOMPARE(area.verticalScrollBar()->value(), 0);
        QTest::keyClick(&area, Qt::Key_Down);
        QCOMPARE(area.verticalScrollBar()->value(), 0);
        QTest::keyClick(&area, Qt::Key_PageDown);
        QVERIFY(area.verticalScrollBar()->value() > 0);
    }

    void groupBoxCollapses()
    {
        CGroupBox box;
        QCOMPARE(box.maximumHeight(), 33);
        // As a form sets it up: checkable, unchecked.
        box.setCheckable(true);
        box.setChecked(false);
        box.setTitle(QStringLiteral("Options"));
        box.resize(200, 100);
        QCOMPARE(box.maximumHeight(), 33);
        QTest::mouseRelease(&box, Qt::LeftButton, Qt::NoModifier, QPoint(23, 10));
        QVERIFY(box.isChecked());
        QCOMPARE(box.maximumHeight(), QWIDGETSIZE_MAX);
        QTest::mouseRelease(&box, Qt::LeftButton, Qt::NoModifier, QPoint(120, 60));
        QVERIFY(box.isChecked());
    }

    void hoveredButtonFocusLook()
    {
        CHoveredButton button;
        button.setText(QStringLiteral("OK"));
        QEvent enter(QEvent::HoverEnter);
        QEvent leave(QEvent::HoverLeave);
        QVERIFY(!button.property("hovered").isValid());
        QCoreApplication::sendEvent(&button, &enter);
        QCoreApplication::sendEvent(&button, &leave);
        // Painting with focus but no pointer must not crash and draws a button.
        button.resize(80, 30);
        button.setFocus();
        QImage image(button.size(), QImage::Format_ARGB32);
        image.fill(Qt::transparent);
        button.render(&image);
        QVERIFY(image.pixelColor(40, 15).alpha() > 0);
    }
};

QTEST_MAIN(TestControls)
#include "tst_controls.moc"
