#pragma once

// The one undo stack of the program. It knows the objects whose states every
// step records (registered once, in a fixed order), takes the snapshots,
// chains each new step's before-states to the after-states of the step below
// it, and decides which pushes are recorded: none before the first reset,
// none while a step is being undone or redone, none after the program starts
// to quit; the first push after a reset becomes the baseline, not a step.

#include "correction/CUndoCommand.h"

#include <QObject>
#include <QUndoGroup>
#include <QUndoStack>

#include <memory>

class CUndoController : public QObject
{
    Q_OBJECT
public:
    static std::shared_ptr<CUndoController> instance();

    CUndoController();
    ~CUndoController() override;

    void setProcessEngine(IProcessEngine* engine);
    void addSerializableObject(ISerializableInterface* object);
    QUndoStack* undoStack();
    // Nested calls are counted; pushes are dropped until the last resume.
    void suspendRecording();
    void resumeRecording();
    // A change whose step is made when it ends (a handle or the crop frame
    // held in a drag, a slider held by the mouse, an arrow key held down)
    // begins and ends. Counted: while one is held, a render shows that change
    // and never the step below it.
    void beginHeldChange();
    void endHeldChange();
    bool isChangeHeld() const;
    // For test scripts: the texts of the steps, oldest first, and how many of
    // them are done (the rest can be redone).
    Q_INVOKABLE QStringList stepTexts() const;
    Q_INVOKABLE int doneSteps() const;

public Q_SLOTS:
    void undo();
    void redo();
    void resetUndoStack();
    // Takes back the step just below the index and returns to the state
    // before it; of a step that absorbed newer ones, only the last of those.
    void removeLastStep();
    void createUndoCommand(QString text);
    void createUndoCommand();
    // Takes ownership of the command.
    void pushUndoCommand(CUndoCommand* command);
    // The engine has sent the output parameters of a render: the step below
    // the index records the state after it, whichever way its change was
    // made (a value set before or after its step was pushed). A render while
    // a change is held belongs to the step that change makes when it ends,
    // and leaves the step below as it is.
    void onUpdateLastCommand();
    void initializeCommand(CUndoCommand* command);
    void initializeCommand(CUndoCommand* command, QMap<QString, QByteArray> beforeStates);

private Q_SLOTS:
    void onAppAboutToQuit();

private:
    QUndoStack* activeStack();
    // The step just below the stack's index, or null.
    CUndoCommand* lastStep();

    QUndoStack m_undoStack;
    QUndoGroup m_undoGroup;
    SerializedStates m_baselineStates;
    int m_suspendCounter = 0;
    bool m_blocked = true;
    bool m_baselinePending = false;
    int m_heldChanges = 0;
    IProcessEngine* m_engine = nullptr;
    QList<ISerializableInterface*> m_objects;
};
