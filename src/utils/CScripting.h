#pragma once

// The script test harness. A test script (JavaScript) runs against the live
// program and leaves a report beside it, "<script folder>/<script name>Report.txt":
// two header lines, the lines the run writes, and "PASS" or, after the reason
// of the failure, "FAIL". The report is written line by line and flushed at
// once, so that a killed process still leaves it complete.
//
// While a script is loaded the whole program is in script mode: message boxes
// and file dialogs take the answers the script predefined instead of asking
// the user, and a missing answer fails the test.
//
// A script sees the harness as the global object "scripting" and every object
// published with makeObjectScriptable under its name. It attaches its hook
// functions to the signals initializeTest, startTest and cleanupTest, e.g.
//     scripting.startTest.connect(function () { ... });
// which run() calls in that order. Any failure (a compare that differs, an
// exception in the script or in a hook, a missing predefined answer) writes
// the reason and "FAIL" and ends the process with SIGKILL.

#include "utils/UtilsGlobal.h"

#include <QEvent>
#include <QFile>
#include <QHash>
#include <QJSEngine>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QVariant>

#include <memory>

class QWidget;

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT CScripting : public QObject
{
    Q_OBJECT
public:
    // The hook signals a script attaches its functions to.
    enum class jsSignal { initializeTest = 0, startTest = 1, cleanupTest = 2 };

    static std::shared_ptr<CScripting> getInstance();
    ~CScripting() override;

    // Loads the script and, when it is not empty, recreates its report with
    // the two header lines. An unreadable path changes nothing.
    void setPathToScript(const QString& path);
    // Runs the loaded script 100 ms from now; nothing without a script.
    void startScript();
    bool isScriptingMode() const;

    // Publishes the object to scripts as the global `name`, replacing what
    // was published under that name. The object stays owned by C++: the
    // script engine never deletes it. Until the engine exists the object is
    // only noted; the engine publishes it when it is made.
    void makeObjectScriptable(const QString& name, QObject* object);

    // Runs one hook when anything is connected to it, framed by report lines.
    void invokeSignalForScript(jsSignal signal);

    // The engine that runs the scripts, for building script values
    // (newObject()) that are handed to a running script. Made on first use:
    // a run without a script never needs one.
    QJSEngine* engine();

Q_SIGNALS:
    void initializeTest();
    void cleanupTest();
    void startTest();
    // The test passed and the settling period after it is over.
    void testFinished();
    // A dialog has just been shown (see sendSignal).
    void resendSignal(QObject* object);
    // A script moved the slider with this object name (see setSlider).
    void createUndoCommandForSlider(const QString& name);

public Q_SLOTS:
    QString testName() const;
    // Evaluates the loaded script, runs its hooks and ends with PASS or FAIL.
    void run();
    // True when the two images differ by less than 0.5 % (mean absolute
    // difference of the colour channels); writes the difference to the report.
    bool isEqualImages(const QString& pathA, const QString& pathB);
    void test();
    // A key click (press and release) of the key the character names.
    void shortcut(QWidget* widget, QChar key, int modifiers);
    // Hands a shown dialog on to the script as resendSignal.
    void sendSignal(QObject* object);
    // Writes the text as one report line.
    void log(const QString& text);
    // Fails the test when the two values differ.
    void compare(const QVariant& actual, const QVariant& expected);
    // Keeps the program responsive for that long.
    void wait(int milliseconds);
    // Runs the cleanup hook (unless it has run already), writes the reason
    // (when there is one) and "FAIL", then ends the process with SIGKILL.
    // Never returns.
    [[noreturn]] void fail(const QString& reason = QString());

    // Widget commands: each looks among the parent's descendants for the
    // first object of the type with that object name; a null parent or an
    // empty name finds nothing.
    void setLineEditText(QObject* parent, const QString& name, const QString& text);
    QString getLineEditText(QObject* parent, const QString& name);
    void clickButton(QObject* parent, const QString& name);
    void triggerAction(QObject* parent, const QString& name);
    // A button, or when there is none an action.
    void setItemChecked(QObject* parent, const QString& name, bool checked);
    bool isItemChecked(QObject* parent, const QString& name);
    // Any widget, or when there is none an action.
    bool isItemEnabled(QObject* parent, const QString& name);
    // Moves the slider and announces it with createUndoCommandForSlider.
    void setSlider(QObject* parent, const QString& name, int value);
    int getSliderValue(QObject* parent, const QString& name);
    // A descendant of any type.
    QObject* getSubObject(QObject* parent, const QString& name);
    // Drags with the left button over the widget, as a user's hand does: a
    // press at (x1, y1), moves by even steps to (x2, y2) with the button
    // held, the release there; the points are in the widget's coordinates.
    // A scroll area (a graphics view) gets the events on its viewport.
    // False when there is no such widget.
    bool drag(QObject* parent, const QString& name, int x1, int y1, int x2, int y2);
    // The same drag in three parts, so that a script can hold the button
    // down between them (wait for a render, look at the window): the press
    // at (x, y); moves by even steps from the last point of the drag to
    // (x, y) with the button held; the release at (x, y). False when there
    // is no such widget.
    bool pressMouse(QObject* parent, const QString& name, int x, int y);
    bool moveMouse(QObject* parent, const QString& name, int x, int y);
    bool releaseMouse(QObject* parent, const QString& name, int x, int y);
    // The values of a scroll area's scroll bars, {x, y}: the scroll
    // position in the viewport's pixels. Undefined when there is no such
    // scroll area.
    QVariant getScrollValues(QObject* parent, const QString& name);
    // Saves the widget as it is drawn now into the picture file (the type
    // by the suffix); false when there is no such widget or it cannot be
    // saved.
    bool grabWidget(QObject* parent, const QString& name, const QString& path);
    // The texts the parent's widgets show on screen and its actions carry: one
    // map per label, button, combo box or action with a text, each with
    // "path" (the object names and sibling indexes down from the parent, the
    // same from one run to the next), "text", and for a visible widget
    // "width", "needed" (the width its size hint asks for) and "wrap" (a
    // label that wraps its words). A line edit gives its text (its
    // placeholder when empty); a shown combo box gives, besides its current
    // text, each enabled row of its list (path ".../row#<n>") with the width
    // the opened list gives the row (the list is opened for the measure).
    QVariantList getShownTexts(QObject* parent);
    // The entries of the parent's menu bar and menus as the user opens them:
    // one map per visible action with a text, in the menu's order, with
    // "menu" (the object name of the menu bar or menu) and "text".
    QVariantList getMenuEntries(QObject* parent);

    bool removeFile(const QString& path);
    bool isFileExist(const QString& path);
    bool copyFile(const QString& from, const QString& to);
    // True when both files have the same bytes.
    bool isEqualFiles(const QString& pathA, const QString& pathB);

    // Records the text of a notice that script mode did not show.
    void addShownMessageBox(const QString& text);
    // Whether the notice was recorded: at that position (0 the first), or
    // anywhere for index -1.
    bool isMessageBoxShown(const QString& text, int index);
    bool isMessageBoxShown(const QString& text);
    // The reasons a notice gave under its text or behind its details, kept
    // apart from the texts so that the positions of those stay as they were.
    void addShownMessageReason(const QString& reason);
    bool isMessageReasonShown(const QString& reason);

    // The platform name scripts were written against.
    QString platformName();

    QVariant getSettingValue(const QString& key);
    bool hasSettingKey(const QString& key);
    void setSettingValue(const QString& key, const QVariant& value);
    void removeSettingKey(const QString& key);

private:
    CScripting();
    void closeReport();
    void writeReportLine(const QString& line);
    void runCleanupHookOnce();
    [[noreturn]] void failOnException(const QJSValue& exception, int line);
    void installHookGuard();
    // A press or a release of the left button at `point` of the widget.
    bool sendButton(QObject* parent, const QString& name, QPoint point, QEvent::Type type);

    static std::shared_ptr<CScripting> sp_instance;

    QFile m_reportFile;
    QTextStream m_reportStream;
    std::unique_ptr<QJSEngine> m_engine;
    // Published before the engine was made.
    QHash<QString, QPointer<QObject>> m_unpublished;
    QString m_testName;
    QString m_script;
    QStringList m_shownMessageBoxes;
    QStringList m_shownMessageReasons;
    // The cleanup hook runs at most once per run: a check failing inside it
    // calls fail(), which must not start the hook again, so that the report
    // still ends with the reason and "FAIL".
    bool m_cleanupHookStarted = false;
    // Where the drag under way pressed or last moved, in the viewport's
    // coordinates.
    QPoint m_dragPoint;
};

} // namespace NAVIK_tarl1
