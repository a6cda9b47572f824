#pragma once

// What undo needs of every object that takes part in it: its state as bytes,
// a way back from those bytes, a comparison of two states, and the key under
// which the state is stored.

#include <QByteArray>
#include <QObject>
#include <QString>

class ISerializableInterface
{
public:
    virtual QByteArray serialize() = 0;
    // `flag` comes from the undo machinery; implementations may ignore it.
    virtual void deserialize(const QByteArray& data, bool flag) = 0;
    virtual bool isEqual(const QByteArray& a, const QByteArray& b) = 0;
    virtual QString id() const = 0;

protected:
    // Objects are never deleted through the interface.
    ~ISerializableInterface() = default;
};

Q_DECLARE_INTERFACE(ISerializableInterface, "104F2567-D45C-4219-8719-C5A207397CDC")
