#pragma once

// The one way both deliverables put a question or a notice in front of the
// user. Every operation is static and shows a window-modal box that waits for
// the answer in a local event loop, so timers and signals keep being
// delivered meanwhile and callers must expect re-entry.
//
// In script mode nothing is shown: a notice records its text with the script
// harness and answers its default button; each question takes the first
// answer of its own queue, which the script filled beforehand through the
// global "messageBoxes" (messageBoxes.setYesNoMessage(true)). A question
// without a queued answer fails the test and ends the process.

#include "utils/UtilsGlobal.h"

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QPair>
#include <QString>

#include <memory>
#include <utility>

class QWidget;

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT CMessageBox : public QObject
{
    Q_OBJECT
public:
    // Button order of saveDiscardCancelMessage, left to right. Any value
    // other than ButtonsSaveLast acts as ButtonsSaveFirst.
    enum ButtonsLayout {
        ButtonsSaveLast = 0,  // Don't save, Cancel, Save
        ButtonsSaveFirst = 1, // Save, Don't save, Cancel
    };

    static QMessageBox::StandardButton critical(QWidget* parent, const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton information(QWidget* parent, const QString& title, const QString& text,
                                                   QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                   QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton question(QWidget* parent, const QString& title, const QString& text,
                                                QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                                QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    static QMessageBox::StandardButton warning(QWidget* parent, const QString& title, const QString& text,
                                               QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                               QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);
    // A warning with an OK button that gives the reason behind `text`: the
    // informative text under it, the detailed text behind "Show Details...";
    // either may be empty. In script mode the text is recorded as any
    // notice's, and the reasons apart (CScripting::isMessageReasonShown).
    static void warningWithReason(QWidget* parent, const QString& title, const QString& text,
                                  const QString& informativeText, const QString& detailedText);
    // Shows a box of standard buttons; NoButton when it was closed without one.
    static QMessageBox::StandardButton messageHelper(QWidget* parent, const QString& title, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton,
                                                     QMessageBox::Icon icon);

    // "No", "Yes". The default is Yes or No; closing the box answers No.
    static QMessageBox::StandardButton yesNoMessage(QWidget* parent, const QString& title, const QString& text,
                                                    QMessageBox::StandardButton defaultButton);
    // The answer (Yes or No) and the check box's state when the box closed.
    static std::pair<QMessageBox::StandardButton, bool>
    yesNoMessageWithCheckBox(QWidget* parent, const QString& title, const QString& text,
                             const QString& checkBoxText, bool checked,
                             QMessageBox::StandardButton defaultButton);
    // Save, Discard or Cancel; closing the box answers Cancel.
    static QMessageBox::StandardButton saveDiscardCancelMessage(QWidget* parent, const QString& title,
                                                                const QString& text,
                                                                QMessageBox::StandardButton defaultButton,
                                                                ButtonsLayout layout);
    // "Cancel", "Rotate"; true only when Rotate was clicked.
    static bool rotateQuestion(QWidget* parent, const QString& title, const QString& text);

    // Shows the filled box and returns when it has finished.
    static void execMsgBox(QMessageBox& box);
    // Kept for the callers that tune a box's layout; there is nothing to tune.
    static void adjustMessageLayout(QMessageBox& box);

    // Creates the answer queues (empty), replacing any earlier ones.
    static void initializeScripting();

    // Answers a script predefines, one per question, taken in this order.
    Q_INVOKABLE void setRotateQuestion(bool rotate);
    Q_INVOKABLE void setYesNoMessage(bool yes);
    Q_INVOKABLE void setYesNoMessageWithCheckBox(bool yes, bool checked);
    // 0 Save, 1 Discard, 2 Cancel; any other value fails the test.
    Q_INVOKABLE void setSaveDiscardCancelMessage(int answer);

    static std::shared_ptr<CMessageBox> sp_instance;

private:
    CMessageBox();

    QList<QPair<QMessageBox::StandardButton, bool>> m_yesNoWithCheckBoxAnswers;
    QList<QMessageBox::StandardButton> m_saveDiscardCancelAnswers;
    QList<QMessageBox::StandardButton> m_yesNoAnswers;
    QList<bool> m_rotateAnswers;
};

} // namespace NAVIK_tarl1
