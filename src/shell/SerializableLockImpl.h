#pragma once

// A serialisable object that can be locked: while locked it gives an empty
// state and ignores a restore through deserializeIfUnlocked. Implementers
// provide the state in doSerialize and doDeserialize.

#include "shell/ISerializableInterface.h"

class SerializableLockImpl : public ISerializableInterface
{
public:
    QByteArray serialize() override;

    virtual void deserializeIfUnlocked(const QByteArray& data, bool flag);
    virtual QByteArray doSerialize();
    virtual void doDeserialize(const QByteArray& data, bool flag);

    void lock() { m_locked = true; }
    void unlock() { m_locked = false; }
    bool isLocked() const { return m_locked; }

protected:
    ~SerializableLockImpl() = default;

private:
    bool m_locked = false;
};
