#include "correction/CUndoCommand.h"

#include "correction/CUndoController.h"
#include "shell/IProcessEngine.h"
#include "utils/Logger.h"

CUndoCommand::CUndoCommand(const QString& text)
    : QUndoCommand(text)
{
}

CUndoCommand::CUndoCommand(const CUndoCommand& other)
    : QUndoCommand(other.text())
    , m_beforeStates(other.m_beforeStates)
    , m_afterStates(other.m_afterStates)
    , m_engine(other.m_engine)
    , m_objects(other.m_objects)
{
}

CUndoCommand::~CUndoCommand() = default;

void CUndoCommand::undo()
{
    if (m_inactive)
        return;
    restore(m_beforeStates);
}

void CUndoCommand::redo()
{
    if (m_inactive)
        return;
    if (m_skipFirstRedo) {
        m_skipFirstRedo = false;
        return;
    }
    restore(m_afterStates);
}

int CUndoCommand::id() const
{
    return 1;
}

bool CUndoCommand::mergeWith(const QUndoCommand* other)
{
    const auto* command = dynamic_cast<const CUndoCommand*>(other);
    if (!command) {
        ASSERT(false);
        return false;
    }
    return command->afterStates() == m_afterStates;
}

void CUndoCommand::initialize(IProcessEngine* engine, const QList<ISerializableInterface*>& objects,
                              const SerializedStates& beforeStates)
{
    m_engine = engine;
    m_objects = objects;
    m_beforeStates = beforeStates;
    m_afterStates = snapshot();
}

void CUndoCommand::updateAfterStates()
{
    m_afterStates = snapshot();
}

void CUndoCommand::setInactive(bool inactive)
{
    m_inactive = inactive;
}

const SerializedStates& CUndoCommand::afterStates() const
{
    return m_afterStates;
}

const SerializedStates& CUndoCommand::beforeStates() const
{
    return m_beforeStates;
}

void CUndoCommand::takeAfterStates(const CUndoCommand* other)
{
    if (!other)
        return;
    m_afterStatesBeforeMerge = m_afterStates;
    m_hasMerged = true;
    m_afterStates = other->afterStates();
}

bool CUndoCommand::revertLastMerge()
{
    if (!m_hasMerged)
        return false;
    const SerializedStates absorbed = m_afterStates;
    m_afterStates = m_afterStatesBeforeMerge;
    m_afterStatesBeforeMerge.clear();
    m_hasMerged = false;

    // From the absorbed step's state back to the one before it.
    bool processingNeeded = false;
    const QString engineId = m_engine ? m_engine->id() : QString();
    if (m_engine && absorbed.contains(engineId) && m_afterStates.contains(engineId))
        processingNeeded = m_engine->isImageProcessingNeeded(absorbed.value(engineId), m_afterStates.value(engineId));
    else if (m_engine)
        processingNeeded = m_afterStates.contains(engineId);
    restore(m_afterStates, processingNeeded);
    return true;
}

SerializedStates CUndoCommand::snapshot() const
{
    SerializedStates states;
    for (ISerializableInterface* object : m_objects)
        states.insert(object->id(), object->serialize());
    return states;
}

void CUndoCommand::restore(const SerializedStates& target)
{
    bool processingNeeded = false;
    const QString engineId = m_engine ? m_engine->id() : QString();
    if (m_engine && m_beforeStates.contains(engineId) && m_afterStates.contains(engineId))
        processingNeeded =
            m_engine->isImageProcessingNeeded(m_beforeStates.value(engineId), m_afterStates.value(engineId));
    else if (m_engine)
        processingNeeded = target.contains(engineId);
    restore(target, processingNeeded);
}

void CUndoCommand::restore(const SerializedStates& target, bool processingNeeded)
{
    const std::shared_ptr<CUndoController> controller = CUndoController::instance();
    controller->suspendRecording();

    // A copy: restoring an object may not change the list under the loop.
    const QList<ISerializableInterface*> objects = m_objects;
    for (ISerializableInterface* object : objects) {
        const auto state = target.constFind(object->id());
        if (state != target.constEnd())
            object->deserialize(state.value(), processingNeeded);
    }
    controller->resumeRecording();
}
