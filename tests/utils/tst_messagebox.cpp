#include "utils/CMessageBox.h"
#include "utils/CScripting.h"

#include "ForkedRun.h"
#include "RecordingLogger.h"
#include "TestFiles.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProxyStyle>
#include <QPushButton>
#include <QStyleFactory>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <csignal>
#include <functional>
#include <memory>

using namespace NAVIK_tarl1;

namespace {

// Answers SH_DialogButtonLayout with one desktop's convention of button
// order; the application keeps this one style and a test picks the convention.
class ButtonConventionStyle : public QProxyStyle
{
public:
    ButtonConventionStyle()
        : QProxyStyle(QStyleFactory::create(QStringLiteral("Fusion")))
    {
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_DialogButtonLayout)
            return convention;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }

    static inline QDialogButtonBox::ButtonLayout convention = QDialogButtonBox::WinLayout;
};

// Hands the next message box that shows to `act`, which has to close it.
// The watch ends when the returned timer goes.
std::unique_ptr<QTimer> onNextMessageBox(const std::function<void(QMessageBox*)>& act)
{
    auto timer = std::make_unique<QTimer>();
    QObject::connect(timer.get(), &QTimer::timeout, timer.get(), [timer = timer.get(), act] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box && box->isVisible()) {
                timer->stop();
                act(box);
                return;
            }
        }
    });
    timer->start(10);
    return timer;
}

// The box's buttons as they appear, left to right.
QStringList buttonsLeftToRight(QMessageBox* box)
{
    QList<QPushButton*> buttons = box->findChildren<QPushButton*>();
    std::sort(buttons.begin(), buttons.end(), [box](QPushButton* a, QPushButton* b) {
        return a->mapTo(box, QPoint()).x() < b->mapTo(box, QPoint()).x();
    });
    QStringList texts;
    for (QPushButton* button : buttons)
        texts << button->text();
    return texts;
}

QPushButton* buttonWithText(QMessageBox* box, const QString& text)
{
    for (QPushButton* button : box->findChildren<QPushButton*>())
        if (button->text() == text)
            return button;
    return nullptr;
}

QString answerText(QMessageBox::StandardButton button)
{
    switch (button) {
    case QMessageBox::Yes: return QStringLiteral("Yes");
    case QMessageBox::No: return QStringLiteral("No");
    case QMessageBox::Save: return QStringLiteral("Save");
    case QMessageBox::Discard: return QStringLiteral("Discard");
    case QMessageBox::Cancel: return QStringLiteral("Cancel");
    case QMessageBox::Ok: return QStringLiteral("Ok");
    case QMessageBox::NoButton: return QStringLiteral("none");
    default: return QString::number(button);
    }
}

// Asks one question of the given kind and gives the answer as text:
// "Yes", "No checked", "Discard", "true", ...
QString ask(const QString& kind, QMessageBox::StandardButton defaultButton = QMessageBox::NoButton,
            QWidget* parent = nullptr)
{
    const QString title = QStringLiteral("Navik Quillet");
    const QString text = QStringLiteral("The picture has been modified. Do you want to save changes?");
    if (kind == QLatin1String("yesNo"))
        return answerText(CMessageBox::yesNoMessage(parent, title, text,
                                                    defaultButton ? defaultButton : QMessageBox::No));
    if (kind == QLatin1String("yesNoCheckBox")) {
        const auto [answer, checked] = CMessageBox::yesNoMessageWithCheckBox(
            parent, title, text, QStringLiteral("Don't ask again"), false,
            defaultButton ? defaultButton : QMessageBox::Yes);
        return answerText(answer) + (checked ? QStringLiteral(" checked") : QStringLiteral(" unchecked"));
    }
    if (kind == QLatin1String("saveLast") || kind == QLatin1String("saveFirst"))
        return answerText(CMessageBox::saveDiscardCancelMessage(
            parent, title, text, defaultButton ? defaultButton : QMessageBox::Save,
            kind == QLatin1String("saveLast") ? CMessageBox::ButtonsSaveLast : CMessageBox::ButtonsSaveFirst));
    return CMessageBox::rotateQuestion(parent, title, text) ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

class TestMessageBox : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString reportPath() const { return m_dir.filePath("boxesReport.txt"); }

    void setScriptMode(bool on)
    {
        const QString script = m_dir.filePath("boxes.js");
        QVERIFY(writeFile(script, on ? "var answers = 1;\n" : ""));
        CScripting::getInstance()->setPathToScript(script);
        QCOMPARE(CScripting::getInstance()->isScriptingMode(), on);
    }

    // Queues one answer the way a script does, through the setter's name.
    static void predefine(const QString& kind, const QString& answer)
    {
        QObject* queues = CMessageBox::sp_instance.get();
        if (kind == QLatin1String("yesNo"))
            QMetaObject::invokeMethod(queues, "setYesNoMessage", Q_ARG(bool, answer == "true"));
        else if (kind == QLatin1String("yesNoCheckBox"))
            QMetaObject::invokeMethod(queues, "setYesNoMessageWithCheckBox",
                                      Q_ARG(bool, answer.section(' ', 0, 0) == "true"),
                                      Q_ARG(bool, answer.section(' ', 1, 1) == "true"));
        else if (kind == QLatin1String("saveLast"))
            QMetaObject::invokeMethod(queues, "setSaveDiscardCancelMessage", Q_ARG(int, answer.toInt()));
        else
            QMetaObject::invokeMethod(queues, "setRotateQuestion", Q_ARG(bool, answer == "true"));
    }

    // Runs `body` in a child, which must kill itself; gives the report's
    // last two lines.
    QStringList failureOf(const std::function<void()>& body)
    {
        const int signal = signalEndingChildRunning(body);
        if (signal != SIGKILL)
            return {QStringLiteral("child ended by signal %1").arg(signal)};
        const QStringList lines = readLines(reportPath());
        return lines.mid(lines.size() - 2);
    }

private Q_SLOTS:
    void cleanup()
    {
        ButtonConventionStyle::convention = QDialogButtonBox::WinLayout;
    }

    void queuesAreTheScriptInterface()
    {
        CMessageBox::initializeScripting();
        const QMetaObject* meta = CMessageBox::sp_instance->metaObject();
        QCOMPARE(meta->className(), "NAVIK_tarl1::CMessageBox");
        const QList<QByteArray> setters = {"setRotateQuestion", "setYesNoMessage",
                                           "setYesNoMessageWithCheckBox", "setSaveDiscardCancelMessage"};
        QCOMPARE(meta->methodCount() - meta->methodOffset(), setters.size());
        for (int i = 0; i < setters.size(); ++i)
            QCOMPARE(meta->method(meta->methodOffset() + i).name(), setters.at(i));
    }

    void scriptedAnswersAreTakenInOrderThenFail_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QStringList>("queued");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<QString>("reason");
        QTest::newRow("yes/no") << "yesNo" << QStringList{"true", "false"} << QStringList{"Yes", "No"}
                                << "yesNoMessage have't got predefined value";
        // The queued check state wins over the box's initial one (unchecked).
        QTest::newRow("yes/no with check box")
            << "yesNoCheckBox" << QStringList{"false true", "true false"}
            << QStringList{"No checked", "Yes unchecked"} << "yesNoMessageWithCheckBox have't got predefined value";
        QTest::newRow("save/discard/cancel")
            << "saveLast" << QStringList{"0", "1", "2"} << QStringList{"Save", "Discard", "Cancel"}
            << "saveDiscardCancelMessage have't got predefined value";
        QTest::newRow("rotate") << "rotate" << QStringList{"true", "false"} << QStringList{"true", "false"}
                                << "rotateQuestion have't got predefined value";
    }

    void scriptedAnswersAreTakenInOrderThenFail()
    {
        QFETCH(QString, kind);
        QFETCH(QStringList, queued);
        QFETCH(QStringList, answers);
        QFETCH(QString, reason);
        setScriptMode(true);
        CMessageBox::initializeScripting();
        for (const QString& answer : queued)
            predefine(kind, answer);
        // Answers of other kinds never serve this one.
        for (const char* other : {"yesNo", "rotate"})
            if (other != kind)
                predefine(other, "true");

        // The button layout plays no part in script mode.
        QStringList given;
        for (int i = 0; i < answers.size(); ++i)
            given << ask(kind == "saveLast" && i % 2 ? "saveFirst" : kind);
        QCOMPARE(given, answers);
        QCOMPARE(failureOf([&] { ask(kind); }), QStringList({reason, "FAIL"}));
    }

    void wrongSaveAnswerFailsAtOnce()
    {
        setScriptMode(true);
        CMessageBox::initializeScripting();
        QCOMPARE(failureOf([] { CMessageBox::sp_instance->setSaveDiscardCancelMessage(3); }),
                 QStringList({"setSaveDiscardCancelMessage wrong predefined value", "FAIL"}));
    }

    void newQueuesForgetEarlierAnswers()
    {
        setScriptMode(true);
        CMessageBox::initializeScripting();
        CMessageBox::sp_instance->setYesNoMessage(true);
        CMessageBox::initializeScripting();
        QCOMPARE(failureOf([] { ask("yesNo"); }),
                 QStringList({"yesNoMessage have't got predefined value", "FAIL"}));
        // Without any queues a question fails the same way instead of crashing.
        CMessageBox::sp_instance.reset();
        QCOMPARE(failureOf([] { ask("rotate"); }),
                 QStringList({"rotateQuestion have't got predefined value", "FAIL"}));
    }

    void scriptedNoticesRecordTheirTextAndAnswerTheDefault()
    {
        setScriptMode(true);
        // Nothing may show; a box that did would be closed and fail here.
        bool shown = false;
        const auto watch = onNextMessageBox([&](QMessageBox* box) {
            shown = true;
            box->reject();
        });
        const std::shared_ptr<CScripting> scripting = CScripting::getInstance();
        QCOMPARE(CMessageBox::warning(nullptr, "Warning title", "Warning text", QMessageBox::Ok, QMessageBox::Ok),
                 QMessageBox::Ok);
        QCOMPARE(CMessageBox::critical(nullptr, "Error", "Critical text", QMessageBox::Ok | QMessageBox::Cancel,
                                       QMessageBox::Cancel),
                 QMessageBox::Cancel);
        QCOMPARE(CMessageBox::information(nullptr, "Info", "Information text"), QMessageBox::NoButton);
        QCOMPARE(CMessageBox::question(nullptr, "Question", "Question text", QMessageBox::Yes | QMessageBox::No,
                                       QMessageBox::No),
                 QMessageBox::No);
        QTest::qWait(50);
        QVERIFY(!shown);

        QVERIFY(scripting->isMessageBoxShown("Warning text"));
        QVERIFY(!scripting->isMessageBoxShown("Warning title"));
        QVERIFY(scripting->isMessageBoxShown("Critical text", 1));
        QVERIFY(!scripting->isMessageBoxShown("Critical text", 0));
        QVERIFY(scripting->isMessageBoxShown("Question text", 3));
        QVERIFY(!scripting->isMessageBoxShown("Question text", 4));
        QVERIFY(!scripting->isMessageBoxShown("Question text", -2));
    }

    void buttonsKeepTheirOrderUnderEveryConvention_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("convention");
        QTest::addColumn<QStringList>("order");
        QTest::addColumn<QString>("escapeAnswer");
        const QList<QPair<const char*, QDialogButtonBox::ButtonLayout>> conventions = {
            {"Windows", QDialogButtonBox::WinLayout},
            {"KDE", QDialogButtonBox::KdeLayout},
            {"GNOME", QDialogButtonBox::GnomeLayout},
            {"macOS", QDialogButtonBox::MacLayout}};
        for (const auto& [name, convention] : conventions) {
            const QByteArray suffix = QByteArray(" / ") + name;
            QTest::newRow("yes/no" + suffix) << "yesNo" << int(convention) << QStringList{"No", "Yes"} << "No";
            QTest::newRow("check box" + suffix)
                << "yesNoCheckBox" << int(convention) << QStringList{"No", "Yes"} << "No unchecked";
            QTest::newRow("save last" + suffix)
                << "saveLast" << int(convention) << QStringList{"Don't save", "Cancel", "Save"} << "Cancel";
            QTest::newRow("save first" + suffix)
                << "saveFirst" << int(convention) << QStringList{"Save", "Don't save", "Cancel"} << "Cancel";
            QTest::newRow("rotate" + suffix)
                << "rotate" << int(convention) << QStringList{"Cancel", "Rotate"} << "false";
        }
    }

    void buttonsKeepTheirOrderUnderEveryConvention()
    {
        QFETCH(QString, kind);
        QFETCH(int, convention);
        QFETCH(QStringList, order);
        QFETCH(QString, escapeAnswer);
        setScriptMode(false);
        ButtonConventionStyle::convention = QDialogButtonBox::ButtonLayout(convention);

        QStringList shown;
        Qt::WindowModality modality = Qt::NonModal;
        const auto watch = onNextMessageBox([&](QMessageBox* box) {
            shown = buttonsLeftToRight(box);
            modality = box->windowModality();
            QTest::keyClick(box, Qt::Key_Escape);
        });
        QCOMPARE(ask(kind), escapeAnswer);
        QCOMPARE(shown, order);
        QCOMPARE(modality, Qt::WindowModal);
    }

    void defaultButtons_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<int>("defaultButton");
        QTest::addColumn<QString>("defaultText");
        QTest::addColumn<bool>("reported");
        QTest::newRow("yes/no, Yes") << "yesNo" << int(QMessageBox::Yes) << "Yes" << false;
        QTest::newRow("yes/no, No") << "yesNo" << int(QMessageBox::No) << "No" << false;
        QTest::newRow("yes/no, Cancel") << "yesNo" << int(QMessageBox::Cancel) << "No" << true;
        QTest::newRow("check box, No") << "yesNoCheckBox" << int(QMessageBox::No) << "No" << false;
        QTest::newRow("check box, Cancel") << "yesNoCheckBox" << int(QMessageBox::Cancel) << "Yes" << true;
        QTest::newRow("save, Save") << "saveLast" << int(QMessageBox::Save) << "Save" << false;
        QTest::newRow("save, Discard") << "saveLast" << int(QMessageBox::Discard) << "Don't save" << false;
        QTest::newRow("save, Cancel") << "saveFirst" << int(QMessageBox::Cancel) << "Cancel" << false;
        QTest::newRow("rotate") << "rotate" << int(QMessageBox::NoButton) << "Rotate" << false;
    }

    void defaultButtons()
    {
        QFETCH(QString, kind);
        QFETCH(int, defaultButton);
        QFETCH(QString, defaultText);
        QFETCH(bool, reported);
        setScriptMode(false);
        RecordingLogger& logger = RecordingLogger::install();
        logger.lines.clear();

        QString shownDefault;
        const auto watch = onNextMessageBox([&](QMessageBox* box) {
            shownDefault = box->defaultButton() ? box->defaultButton()->text() : QString();
            box->reject();
        });
        ask(kind, QMessageBox::StandardButton(defaultButton));
        QCOMPARE(shownDefault, defaultText);
        const QStringList errors = logger.linesAt('E');
        QCOMPARE(errors.size(), reported ? 1 : 0);
        if (reported)
            QVERIFY2(errors.first().startsWith("ASSERT in ") && errors.first().contains("CMessageBox.cpp"),
                     qPrintable(errors.first()));
    }

    void clickedButtonIsTheAnswer_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("toggleCheckBox");
        QTest::addColumn<QString>("answer");
        QTest::newRow("Yes") << "yesNo" << "Yes" << false << "Yes";
        QTest::newRow("No") << "yesNo" << "No" << false << "No";
        QTest::newRow("Yes, checked") << "yesNoCheckBox" << "Yes" << true << "Yes checked";
        QTest::newRow("No, checked") << "yesNoCheckBox" << "No" << true << "No checked";
        QTest::newRow("Save") << "saveLast" << "Save" << false << "Save";
        QTest::newRow("Don't save") << "saveFirst" << "Don't save" << false << "Discard";
        QTest::newRow("Cancel") << "saveLast" << "Cancel" << false << "Cancel";
        QTest::newRow("Rotate") << "rotate" << "Rotate" << false << "true";
        QTest::newRow("Cancel rotating") << "rotate" << "Cancel" << false << "false";
    }

    void clickedButtonIsTheAnswer()
    {
        QFETCH(QString, kind);
        QFETCH(QString, button);
        QFETCH(bool, toggleCheckBox);
        QFETCH(QString, answer);
        setScriptMode(false);
        const auto watch = onNextMessageBox([&](QMessageBox* box) {
            if (toggleCheckBox)
                box->findChild<QCheckBox*>()->click();
            QPushButton* target = buttonWithText(box, button);
            if (target)
                target->click();
            else
                box->reject();
        });
        QCOMPARE(ask(kind), answer);
    }

    void checkBoxSitsUnderTheText()
    {
        setScriptMode(false);
        QRect text, check, buttons;
        bool initiallyChecked = false;
        const auto watch = onNextMessageBox([&](QMessageBox* box) {
            auto* label = box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label"));
            auto* checkBox = box->findChild<QCheckBox*>();
            auto* buttonBox = box->findChild<QDialogButtonBox*>();
            text = QRect(label->mapTo(box, QPoint()), label->size());
            check = QRect(checkBox->mapTo(box, QPoint()), checkBox->size());
            buttons = QRect(buttonBox->mapTo(box, QPoint()), buttonBox->size());
            initiallyChecked = checkBox->isChecked();
            box->reject();
        });
        const auto [answer, checked] = CMessageBox::yesNoMessageWithCheckBox(
            nullptr, "Navik Quillet", "Keep the crop?", "Don't ask again", true, QMessageBox::Yes);
        QCOMPARE(answer, QMessageBox::No);
        QVERIFY(initiallyChecked);
        QVERIFY(checked);
        QCOMPARE(check.left(), text.left() + 17);
        QVERIFY(check.top() >= text.bottom());
        QVERIFY(check.bottom() <= buttons.top());
    }

    void noticesShowStandardButtons_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("withParent");
        QTest::addColumn<int>("icon");
        QTest::newRow("critical") << "critical" << false << int(QMessageBox::Critical);
        QTest::newRow("information") << "information" << false << int(QMessageBox::Information);
        QTest::newRow("question") << "question" << false << int(QMessageBox::Question);
        QTest::newRow("warning") << "warning" << false << int(QMessageBox::Warning);
        QTest::newRow("warning over a window") << "warning" << true << int(QMessageBox::Warning);
    }

    void noticesShowStandardButtons()
    {
        QFETCH(QString, kind);
        QFETCH(bool, withParent);
        QFETCH(int, icon);
        setScriptMode(false);
        QWidget window;
        if (withParent)
            window.show();
        QWidget* parent = withParent ? &window : nullptr;

        int shownIcon = -1;
        int okHeight = 0;
        QString title, text;
        bool styled = false, hasIcon = false;
        const auto watch = onNextMessageBox([&](QMessageBox* box) {
            shownIcon = box->icon();
            okHeight = box->button(QMessageBox::Ok)->minimumHeight();
            title = box->windowTitle();
            text = box->text();
            styled = !box->styleSheet().isEmpty();
            hasIcon = !box->windowIcon().isNull(); // the test sets no application icon
            box->button(QMessageBox::Ok)->click();
        });
        using Notice = QMessageBox::StandardButton (*)(QWidget*, const QString&, const QString&,
                                                        QMessageBox::StandardButtons, QMessageBox::StandardButton);
        const Notice notice = kind == "critical" ? &CMessageBox::critical
                            : kind == "information" ? &CMessageBox::information
                            : kind == "question" ? &CMessageBox::question
                                                 : &CMessageBox::warning;
        QCOMPARE(notice(parent, "The title", "The text", QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel),
                 QMessageBox::Ok);
        QCOMPARE(shownIcon, icon);
        QVERIFY(okHeight >= 22); // a style sheet may ask for more
        QCOMPARE(title, QStringLiteral("The title"));
        QCOMPARE(text, QStringLiteral("The text"));
        // Only a box no window frames takes the program's style sheet.
        QCOMPARE(styled, !withParent);
        if (!withParent)
            QVERIFY(hasIcon);
    }

    void closingANoticeWithoutAButtonAnswersItsEscapeButton()
    {
        setScriptMode(false);
        const auto watch = onNextMessageBox([](QMessageBox* box) { QTest::keyClick(box, Qt::Key_Escape); });
        QCOMPARE(CMessageBox::warning(nullptr, "Title", "Text", QMessageBox::Ok | QMessageBox::Cancel,
                                      QMessageBox::Ok),
                 QMessageBox::Cancel);
    }
};

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setStyle(new ButtonConventionStyle);
    TestMessageBox test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_messagebox.moc"
