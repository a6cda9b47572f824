#pragma once

// A serialisable widget: besides the state of the whole object it gives the
// values of the widget itself, which its container stores beside those of
// its other serialisable descendants.

#include "shell/SerializableLockImpl.h"

class QWidget;

class ISerializableUiInterface : public SerializableLockImpl
{
public:
    // The widget's own values only.
    virtual QByteArray serializeWidgetState() = 0;
    virtual void deserializeWidgetState(const QByteArray& state) = 0;
    // Whether the widget takes part in its container's state.
    virtual bool isSerializable() = 0;
    // The widget whose descendants are stored with it.
    virtual QWidget* asWidget() = 0;

protected:
    ~ISerializableUiInterface() = default;
};

Q_DECLARE_INTERFACE(ISerializableUiInterface, "CACFA073-CC06-41BD-A594-F56B26D0B697")
