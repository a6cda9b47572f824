#pragma once

// One holder's part in a change whose undo step is made when it ends: a
// handle or the crop frame held in a drag, a slider held by the mouse, an
// arrow key held down (see CUndoController::beginHeldChange). Begun and
// ended at most once each however often it is told, and ended when its
// owner goes, so that a release that never comes cannot keep the steps from
// their renders.

class CHeldChange
{
public:
    CHeldChange() = default;
    ~CHeldChange();
    CHeldChange(const CHeldChange&) = delete;
    CHeldChange& operator=(const CHeldChange&) = delete;

    void begin();
    void end();
    bool isHeld() const { return m_held; }

private:
    bool m_held = false;
};
