#pragma once

// One undo step: the serialised states of every registered object before and
// after the change, keyed by the objects' ids. Undo and redo hand those
// states back to the objects.

#include "shell/ISerializableInterface.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QUndoCommand>

class IProcessEngine;

using SerializedStates = QMap<QString, QByteArray>;

class CUndoCommand : public QUndoCommand
{
public:
    explicit CUndoCommand(const QString& text);
    // A plain step with the other's text, states, engine and objects, active
    // and with its first redo skipped, whatever the other's class.
    CUndoCommand(const CUndoCommand& other);
    CUndoCommand& operator=(const CUndoCommand&) = delete;
    ~CUndoCommand() override;

    void undo() override;
    // The first call does nothing: the state the step records is live already.
    void redo() override;
    int id() const override;
    // Drops the newer step when its after-states equal this step's.
    bool mergeWith(const QUndoCommand* other) override;

    // Stores the engine, the objects and the before-states and snapshots the
    // objects as the after-states.
    virtual void initialize(IProcessEngine* engine, const QList<ISerializableInterface*>& objects,
                            const SerializedStates& beforeStates);
    virtual void updateAfterStates();
    virtual void setInactive(bool inactive);
    virtual const SerializedStates& afterStates() const;
    virtual const SerializedStates& beforeStates() const;
    // Takes the other's after-states as this step's, keeping the replaced
    // ones until the next merge.
    virtual void takeAfterStates(const CUndoCommand* other);

    // Takes back the newer step this one absorbed last: its after-states go
    // back to what they were before, and the objects are restored to them.
    // False, with nothing changed, when the step has absorbed none.
    bool revertLastMerge();

private:
    void restore(const SerializedStates& target);
    void restore(const SerializedStates& target, bool processingNeeded);
    SerializedStates snapshot() const;

    SerializedStates m_beforeStates;
    SerializedStates m_afterStates;
    // The after-states the last absorbed step replaced.
    SerializedStates m_afterStatesBeforeMerge;
    bool m_hasMerged = false;
    IProcessEngine* m_engine = nullptr;
    QList<ISerializableInterface*> m_objects;
    bool m_inactive = false;
    bool m_skipFirstRedo = true;
};
