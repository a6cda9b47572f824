#include "app/stand-ins/CUndoController.h"

CUndoCommand::CUndoCommand(const QString& text, QUndoCommand* parent)
    : QUndoCommand(text, parent)
{
}

void CUndoCommand::setStates(const SerializedStates& before, const SerializedStates& after)
{
    m_beforeStates = before;
    m_afterStates = after;
}

void CUndoCommand::undo()
{
    for (ISerializableInterface* object : CUndoController::instance()->serializableObjects()) {
        const auto state = m_beforeStates.constFind(object->id());
        if (state != m_beforeStates.constEnd())
            object->deserialize(*state, true);
    }
}

std::shared_ptr<CUndoController> CUndoController::instance()
{
    static const std::shared_ptr<CUndoController> controller = std::make_shared<CUndoController>();
    return controller;
}

void CUndoController::addSerializableObject(ISerializableInterface* object)
{
    m_objects.append(object);
}

void CUndoController::initializeCommand(CUndoCommand* command, const SerializedStates& before)
{
    SerializedStates after;
    for (ISerializableInterface* object : m_objects)
        after.insert(object->id(), object->serialize());
    command->setStates(before, after);
}
