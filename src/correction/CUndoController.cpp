#include "correction/CUndoController.h"

#include "utils/Logger.h"

#include <QCoreApplication>

std::shared_ptr<CUndoController> CUndoController::instance()
{
    static const std::shared_ptr<CUndoController> controller = std::make_shared<CUndoController>();
    return controller;
}

CUndoController::CUndoController()
{
    m_undoGroup.addStack(&m_undoStack);
    m_undoGroup.setActiveStack(&m_undoStack);
    if (QCoreApplication* application = QCoreApplication::instance())
        connect(application, SIGNAL(aboutToQuit()), this, SLOT(onAppAboutToQuit()));
}

CUndoController::~CUndoController()
{
    m_undoGroup.removeStack(&m_undoStack);
}

void CUndoController::setProcessEngine(IProcessEngine* engine)
{
    m_engine = engine;
}

void CUndoController::addSerializableObject(ISerializableInterface* object)
{
    m_objects.append(object);
}

QUndoStack* CUndoController::undoStack()
{
    return &m_undoStack;
}

QStringList CUndoController::stepTexts() const
{
    QStringList texts;
    for (int i = 0; i < m_undoStack.count(); ++i)
        texts.append(m_undoStack.text(i));
    return texts;
}

int CUndoController::doneSteps() const
{
    return m_undoStack.index();
}

void CUndoController::beginHeldChange()
{
    ++m_heldChanges;
}

void CUndoController::endHeldChange()
{
    if (m_heldChanges > 0)
        --m_heldChanges;
}

bool CUndoController::isChangeHeld() const
{
    return m_heldChanges > 0;
}

void CUndoController::suspendRecording()
{
    ++m_suspendCounter;
}

void CUndoController::resumeRecording()
{
    --m_suspendCounter;
}

QUndoStack* CUndoController::activeStack()
{
    QUndoStack* stack = m_undoGroup.activeStack();
    ASSERT(stack);
    return stack;
}

CUndoCommand* CUndoController::lastStep()
{
    QUndoStack* stack = activeStack();
    if (!stack || stack->index() == 0)
        return nullptr;
    // The stack hands out its steps as const; they are ours to update.
    return dynamic_cast<CUndoCommand*>(const_cast<QUndoCommand*>(stack->command(stack->index() - 1)));
}

void CUndoController::undo()
{
    if (m_undoGroup.canUndo())
        m_undoGroup.undo();
}

void CUndoController::redo()
{
    if (m_undoGroup.canRedo())
        m_undoGroup.redo();
}

void CUndoController::resetUndoStack()
{
    m_suspendCounter = 0;
    m_blocked = false;
    m_baselinePending = true;
    if (QUndoStack* stack = activeStack())
        stack->clear();
}

void CUndoController::removeLastStep()
{
    QUndoStack* stack = activeStack();
    if (!stack)
        return;
    const int index = stack->index();
    if (index == 0)
        return;
    // A step that absorbed newer ones (a handle dragged again, a slider
    // moved on) loses only the last of them: the changes before it rendered.
    if (CUndoCommand* last = lastStep(); last && last->revertLastMerge())
        return;
    if (index == 1) {
        if (m_undoGroup.canUndo())
            m_undoGroup.undo();
        stack->clear();
        return;
    }
    auto* previous = dynamic_cast<CUndoCommand*>(const_cast<QUndoCommand*>(stack->command(index - 2)));
    if (!previous) {
        ASSERT(false);
        return;
    }
    auto* copy = new CUndoCommand(*previous);
    // Going back past both steps undoes the last one only; the copy then
    // takes the place of the step before it.
    previous->setInactive(true);
    stack->setIndex(index - 2);
    stack->push(copy);
}

void CUndoController::createUndoCommand(QString text)
{
    pushUndoCommand(new CUndoCommand(text));
}

void CUndoController::createUndoCommand()
{
    createUndoCommand(QStringLiteral("Unnamed Command"));
}

void CUndoController::pushUndoCommand(CUndoCommand* command)
{
    if (!command)
        return;
    if (m_blocked || m_suspendCounter != 0 || !m_engine || m_objects.isEmpty()) {
        delete command;
        return;
    }
    if (m_baselinePending) {
        command->initialize(m_engine, m_objects, {});
        m_baselineStates = command->afterStates();
        delete command;
        m_baselinePending = false;
        return;
    }
    QUndoStack* stack = activeStack();
    if (!stack) {
        delete command;
        return;
    }
    initializeCommand(command);
    stack->push(command);
}

void CUndoController::onUpdateLastCommand()
{
    CUndoCommand* step = lastStep();
    if (!step)
        return;
    // A change still held (a crop frame or a handle in a drag, a slider
    // under the mouse, an arrow key down), whose step comes when it ends,
    // renders a picture the step below never had: taken into it, it would
    // become where undo of that change lands. Any other render is of the
    // step's own change, also when the change came after the push (a preset
    // pushes its step, then sets its value).
    if (isChangeHeld())
        return;
    step->updateAfterStates();
}

void CUndoController::initializeCommand(CUndoCommand* command)
{
    if (!command)
        return;
    const CUndoCommand* below = lastStep();
    command->initialize(m_engine, m_objects, below ? below->afterStates() : m_baselineStates);
}

void CUndoController::initializeCommand(CUndoCommand* command, QMap<QString, QByteArray> beforeStates)
{
    if (command)
        command->initialize(m_engine, m_objects, beforeStates);
}

void CUndoController::onAppAboutToQuit()
{
    m_blocked = true;
}
