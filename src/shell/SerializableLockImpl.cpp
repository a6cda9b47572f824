#include "shell/SerializableLockImpl.h"

QByteArray SerializableLockImpl::serialize()
{
    return m_locked ? QByteArray() : doSerialize();
}

void SerializableLockImpl::deserializeIfUnlocked(const QByteArray& data, bool flag)
{
    if (!m_locked)
        doDeserialize(data, flag);
}

QByteArray SerializableLockImpl::doSerialize()
{
    return {};
}

void SerializableLockImpl::doDeserialize(const QByteArray&, bool)
{
}
