#include "correction/CHeldChange.h"

#include "correction/CUndoController.h"

CHeldChange::~CHeldChange()
{
    end();
}

void CHeldChange::begin()
{
    if (m_held)
        return;
    m_held = true;
    CUndoController::instance()->beginHeldChange();
}

void CHeldChange::end()
{
    if (!m_held)
        return;
    m_held = false;
    CUndoController::instance()->endHeldChange();
}
