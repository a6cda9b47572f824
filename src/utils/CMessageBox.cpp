#include "utils/CMessageBox.h"

#include "utils/CScripting.h"
#include "utils/GuiUtils.h"
#include "utils/StyleSheets.h"
#include "utils/Logger.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPixmap>
#include <QPushButton>

#include <iterator>

namespace NAVIK_tarl1 {

std::shared_ptr<CMessageBox> CMessageBox::sp_instance;

namespace {

bool inScriptMode()
{
    return CScripting::getInstance()->isScriptingMode();
}

// Hands out the first predefined answer. Without one the test has failed: the
// process ends here and nothing is returned.
template<typename Answer>
Answer takeScriptedAnswer(QList<Answer>* queue, const char* reason)
{
    const bool answered = queue && !queue->isEmpty();
    ASSERT(answered);
    if (!answered)
        CScripting::getInstance()->fail(QString::fromLatin1(reason));
    return queue->takeFirst();
}

QMessageBox::StandardButton notice(QMessageBox::Icon icon, QWidget* parent, const QString& title,
                                   const QString& text, QMessageBox::StandardButtons buttons,
                                   QMessageBox::StandardButton defaultButton)
{
    if (inScriptMode()) {
        CScripting::getInstance()->addShownMessageBox(text);
        return defaultButton;
    }
    return CMessageBox::messageHelper(parent, title, text, buttons, defaultButton, icon);
}

QPushButton* makeButton(const QString& text, const char* objectName = nullptr)
{
    auto* button = new QPushButton(text);
    if (objectName)
        button->setObjectName(QLatin1String(objectName));
    return button;
}

// Whether the box's button row shows the buttons in the reverse of the order
// they were added.
bool shownInReverse(const QMessageBox& box, const QList<QPushButton*>& buttons)
{
    const auto* buttonBox = box.findChild<QDialogButtonBox*>();
    const QLayout* row = buttonBox ? buttonBox->layout() : nullptr;
    return row && row->indexOf(buttons.first()) > row->indexOf(buttons.last());
}

// Adds the buttons so that they show left to right in the given order. They
// all take one role, so that no desktop convention moves one ahead of the
// others; desktops whose convention reverses the buttons of a role (GNOME,
// macOS) get them added the other way round.
void addButtonsInOrder(QMessageBox& box, const QList<QPushButton*>& buttons)
{
    for (QPushButton* button : buttons)
        box.addButton(button, QMessageBox::NoRole);
    if (buttons.size() < 2 || !shownInReverse(box, buttons))
        return;
    for (QPushButton* button : buttons)
        box.removeButton(button);
    for (auto button = buttons.crbegin(); button != buttons.crend(); ++button)
        box.addButton(*button, QMessageBox::NoRole);
}

// The look of a box that no window of the program frames.
void dressParentlessBox(QMessageBox& box)
{
    setCustomStyleSheet(&box, false, QString());
    const QPixmap icon(QStringLiteral(":/icons/application_icon.png"));
    if (!icon.isNull())
        box.setWindowIcon(QIcon(icon));
}

// The box's grid holds the text at row 0, column 1 when there is no icon.
void putCheckBoxUnderText(QMessageBox& box, QCheckBox* checkBox)
{
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    ASSERT(grid);
    if (!grid)
        return;
    auto* row = new QHBoxLayout;
    row->setContentsMargins(17, 0, 0, 0);
    row->addWidget(checkBox);
    grid->addLayout(row, 1, 1);
}

} // namespace

CMessageBox::CMessageBox()
{
    CScripting::getInstance()->makeObjectScriptable(QStringLiteral("messageBoxes"), this);
}

QMessageBox::StandardButton CMessageBox::critical(QWidget* parent, const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton)
{
    return notice(QMessageBox::Critical, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton CMessageBox::information(QWidget* parent, const QString& title, const QString& text,
                                                     QMessageBox::StandardButtons buttons,
                                                     QMessageBox::StandardButton defaultButton)
{
    return notice(QMessageBox::Information, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton CMessageBox::question(QWidget* parent, const QString& title, const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton)
{
    return notice(QMessageBox::Question, parent, title, text, buttons, defaultButton);
}

QMessageBox::StandardButton CMessageBox::warning(QWidget* parent, const QString& title, const QString& text,
                                                 QMessageBox::StandardButtons buttons,
                                                 QMessageBox::StandardButton defaultButton)
{
    return notice(QMessageBox::Warning, parent, title, text, buttons, defaultButton);
}

void CMessageBox::warningWithReason(QWidget* parent, const QString& title, const QString& text,
                                    const QString& informativeText, const QString& detailedText)
{
    if (inScriptMode()) {
        CScripting::getInstance()->addShownMessageBox(text);
        for (const QString& reason : {informativeText, detailedText})
            if (!reason.isEmpty())
                CScripting::getInstance()->addShownMessageReason(reason);
        return;
    }
    QMessageBox box(parent);
    box.setWindowModality(Qt::WindowModal);
    box.setIcon(QMessageBox::Warning);
    box.setWindowTitle(title);
    box.setText(text);
    box.setInformativeText(informativeText);
    box.setDetailedText(detailedText);
    if (!parent)
        dressParentlessBox(box);
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    execMsgBox(box);
}

QMessageBox::StandardButton CMessageBox::messageHelper(QWidget* parent, const QString& title, const QString& text,
                                                       QMessageBox::StandardButtons buttons,
                                                       QMessageBox::StandardButton defaultButton,
                                                       QMessageBox::Icon icon)
{
    QMessageBox box(parent);
    box.setWindowModality(Qt::WindowModal);
    box.setText(text);
    box.setWindowTitle(title);
    if (!parent)
        dressParentlessBox(box);
    box.setStandardButtons(buttons);
    if (QAbstractButton* ok = box.button(QMessageBox::Ok))
        ok->setMinimumHeight(22);
    box.setDefaultButton(defaultButton);
    box.setIcon(icon);
    execMsgBox(box);
    return box.standardButton(box.clickedButton());
}

QMessageBox::StandardButton CMessageBox::yesNoMessage(QWidget* parent, const QString& title, const QString& text,
                                                      QMessageBox::StandardButton defaultButton)
{
    if (inScriptMode())
        return takeScriptedAnswer(sp_instance ? &sp_instance->m_yesNoAnswers : nullptr,
                                  "yesNoMessage have't got predefined value");

    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setWindowModality(Qt::WindowModal);
    QPushButton* no = makeButton(tr("No"));
    QPushButton* yes = makeButton(tr("Yes"));
    addButtonsInOrder(box, {no, yes});
    ASSERT(defaultButton == QMessageBox::Yes || defaultButton == QMessageBox::No);
    box.setDefaultButton(defaultButton == QMessageBox::Yes ? yes : no);
    box.setEscapeButton(no);
    execMsgBox(box);
    return box.clickedButton() == yes ? QMessageBox::Yes : QMessageBox::No;
}

std::pair<QMessageBox::StandardButton, bool>
CMessageBox::yesNoMessageWithCheckBox(QWidget* parent, const QString& title, const QString& text,
                                      const QString& checkBoxText, bool checked,
                                      QMessageBox::StandardButton defaultButton)
{
    if (inScriptMode()) {
        const auto answer = takeScriptedAnswer(sp_instance ? &sp_instance->m_yesNoWithCheckBoxAnswers : nullptr,
                                               "yesNoMessageWithCheckBox have't got predefined value");
        return {answer.first, answer.second};
    }

    QMessageBox box(parent);
    box.setWindowModality(Qt::WindowModal);
    box.setText(text);
    box.setWindowTitle(title);
    QPushButton* no = makeButton(tr("No"));
    QPushButton* yes = makeButton(tr("Yes"));
    addButtonsInOrder(box, {no, yes});
    ASSERT(defaultButton == QMessageBox::Yes || defaultButton == QMessageBox::No);
    box.setDefaultButton(defaultButton == QMessageBox::No ? no : yes);
    box.setEscapeButton(no);

    auto* checkBox = new QCheckBox(checkBoxText, &box);
    checkBox->setChecked(checked);
    putCheckBoxUnderText(box, checkBox);

    execMsgBox(box);
    return {box.clickedButton() == yes ? QMessageBox::Yes : QMessageBox::No, checkBox->isChecked()};
}

QMessageBox::StandardButton CMessageBox::saveDiscardCancelMessage(QWidget* parent, const QString& title,
                                                                  const QString& text,
                                                                  QMessageBox::StandardButton defaultButton,
                                                                  ButtonsLayout layout)
{
    if (inScriptMode())
        return takeScriptedAnswer(sp_instance ? &sp_instance->m_saveDiscardCancelAnswers : nullptr,
                                  "saveDiscardCancelMessage have't got predefined value");

    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, parent);
    box.setWindowModality(Qt::WindowModal);
    box.setObjectName(QStringLiteral("saveDiscardCancelMessage"));
    QPushButton* save = makeButton(tr("Save"), "saveButton");
    QPushButton* discard = makeButton(tr("Don't save"), "discardButton");
    QPushButton* cancel = makeButton(tr("Cancel"), "cancelButton");
    if (layout == ButtonsSaveLast)
        addButtonsInOrder(box, {discard, cancel, save});
    else
        addButtonsInOrder(box, {save, discard, cancel});

    if (defaultButton == QMessageBox::Save)
        box.setDefaultButton(save);
    else if (defaultButton == QMessageBox::Discard)
        box.setDefaultButton(discard);
    else
        box.setDefaultButton(cancel);
    box.setEscapeButton(cancel);

    execMsgBox(box);
    if (box.clickedButton() == save)
        return QMessageBox::Save;
    if (box.clickedButton() == discard)
        return QMessageBox::Discard;
    return QMessageBox::Cancel;
}

bool CMessageBox::rotateQuestion(QWidget* parent, const QString& title, const QString& text)
{
    if (inScriptMode())
        return takeScriptedAnswer(sp_instance ? &sp_instance->m_rotateAnswers : nullptr,
                                  "rotateQuestion have't got predefined value");

    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::NoButton, parent);
    box.setWindowModality(Qt::WindowModal);
    box.setObjectName(QStringLiteral("rotateQuestionMessage"));
    QPushButton* cancel = makeButton(tr("Cancel"));
    QPushButton* rotate = makeButton(tr("Rotate"));
    addButtonsInOrder(box, {cancel, rotate});
    box.setDefaultButton(rotate);
    box.setEscapeButton(cancel);
    execMsgBox(box);
    return box.clickedButton() == rotate;
}

void CMessageBox::execMsgBox(QMessageBox& box)
{
    box.setWindowModality(Qt::WindowModal);
    showUntilFinished(box);
}

void CMessageBox::adjustMessageLayout(QMessageBox&)
{
}

void CMessageBox::initializeScripting()
{
    sp_instance.reset(new CMessageBox());
}

void CMessageBox::setRotateQuestion(bool rotate)
{
    m_rotateAnswers.append(rotate);
}

void CMessageBox::setYesNoMessage(bool yes)
{
    m_yesNoAnswers.append(yes ? QMessageBox::Yes : QMessageBox::No);
}

void CMessageBox::setYesNoMessageWithCheckBox(bool yes, bool checked)
{
    m_yesNoWithCheckBoxAnswers.append({yes ? QMessageBox::Yes : QMessageBox::No, checked});
}

void CMessageBox::setSaveDiscardCancelMessage(int answer)
{
    static const QMessageBox::StandardButton answers[] = {QMessageBox::Save, QMessageBox::Discard,
                                                          QMessageBox::Cancel};
    const bool known = answer >= 0 && answer < int(std::size(answers));
    ASSERT(known);
    if (!known)
        CScripting::getInstance()->fail(QStringLiteral("setSaveDiscardCancelMessage wrong predefined value"));
    m_saveDiscardCancelAnswers.append(answers[answer]);
}

} // namespace NAVIK_tarl1
