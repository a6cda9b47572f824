#pragma once

// Stand-in for undo until the correction framework is built: just what the
// application's state snapshot and restore need. The controller knows the
// objects whose state an undo step records; a command holds their states
// before and after the step, by the objects' ids.

#include "shell/ISerializableInterface.h"

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QUndoCommand>

#include <memory>

using SerializedStates = QMap<QString, QByteArray>;

class CUndoCommand : public QUndoCommand
{
public:
    explicit CUndoCommand(const QString& text, QUndoCommand* parent = nullptr);

    const SerializedStates& beforeStates() const { return m_beforeStates; }
    const SerializedStates& afterStates() const { return m_afterStates; }
    void setStates(const SerializedStates& before, const SerializedStates& after);

    // Gives every registered object its state from before the step.
    void undo() override;

private:
    SerializedStates m_beforeStates;
    SerializedStates m_afterStates;
};

class CUndoController
{
public:
    static std::shared_ptr<CUndoController> instance();

    void addSerializableObject(ISerializableInterface* object);
    const QList<ISerializableInterface*>& serializableObjects() const { return m_objects; }

    // The command's after-states become every registered object's current
    // state; its before-states the given ones.
    void initializeCommand(CUndoCommand* command, const SerializedStates& before = {});

private:
    QList<ISerializableInterface*> m_objects;
};
