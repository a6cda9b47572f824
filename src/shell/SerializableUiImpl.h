#pragma once

// Stores a widget and all its serialisable descendants in one byte array: a
// flat map from each one's id() to its serializeWidgetState(), the widget's
// own entry last. A descendant takes part when it answers the
// ISerializableUiInterface id (declare it with Q_INTERFACES) and its
// "Serializable" property is not false. id() is the "GUID" property, or the
// object's address when there is none, which matches only within one run.
//
// A concrete widget derives from QWidget (or a subclass) and from this class,
// declares Q_INTERFACES(ISerializableUiInterface ISerializableInterface), and
// implements serializeWidgetState, deserializeWidgetState and asWidget.

#include "shell/ISerializableUiInterface.h"

#include <QList>

class SerializableUiImpl : public ISerializableUiInterface
{
public:
    QByteArray serialize() override;
    // Descendants first, the widget's own values last; entries without a
    // matching descendant, and unreadable data, change nothing.
    void deserialize(const QByteArray& data, bool flag) override;
    bool isEqual(const QByteArray& a, const QByteArray& b) override;
    QString id() const override;
    bool isSerializable() override;

protected:
    ~SerializableUiImpl() = default;

private:
    QObject* asObject() const;
    // The serialisable descendants of asWidget(), each before its own children.
    QList<ISerializableUiInterface*> serializableDescendants();
};
