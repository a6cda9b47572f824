#include "shell/SerializableUiImpl.h"

#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QVariant>
#include <QWidget>

namespace {

void storeState(QMap<QString, QVariant>& states, ISerializableUiInterface* object)
{
    const QString key = object->id();
    // Two objects with one key: the later one's state wins, and on restore
    // both receive it.
    ASSERT_X(!states.contains(key), "SerializableUiImpl::serialize", "duplicate id");
    states.insert(key, object->serializeWidgetState());
}

void restoreState(const QMap<QString, QVariant>& states, ISerializableUiInterface* object)
{
    const auto entry = states.constFind(object->id());
    if (entry != states.constEnd())
        object->deserializeWidgetState(entry->toByteArray());
}

} // namespace

QByteArray SerializableUiImpl::serialize()
{
    QMap<QString, QVariant> states;
    for (ISerializableUiInterface* descendant : serializableDescendants())
        storeState(states, descendant);
    storeState(states, this);
    return NAVIK_tarl1::variantMapToBytes(states);
}

void SerializableUiImpl::deserialize(const QByteArray& data, bool)
{
    const QMap<QString, QVariant> states = NAVIK_tarl1::variantMapFromBytes(data);
    for (ISerializableUiInterface* descendant : serializableDescendants())
        restoreState(states, descendant);
    restoreState(states, this);
}

bool SerializableUiImpl::isEqual(const QByteArray& a, const QByteArray& b)
{
    return a == b;
}

QString SerializableUiImpl::id() const
{
    if (const QObject* object = asObject()) {
        const QVariant guid = object->property("GUID");
        if (guid.isValid())
            return guid.toString();
    }
    return QString::number(quint64(quintptr(this)));
}

bool SerializableUiImpl::isSerializable()
{
    const QObject* object = asObject();
    const QVariant serializable = object ? object->property("Serializable") : QVariant();
    return serializable.isValid() ? serializable.toBool() : true;
}

QObject* SerializableUiImpl::asObject() const
{
    return dynamic_cast<QObject*>(const_cast<SerializableUiImpl*>(this));
}

QList<ISerializableUiInterface*> SerializableUiImpl::serializableDescendants()
{
    QList<ISerializableUiInterface*> result;
    QWidget* widget = asWidget();
    if (!widget)
        return result;
    for (QWidget* descendant : widget->findChildren<QWidget*>()) {
        auto* serializable = qobject_cast<ISerializableUiInterface*>(descendant);
        if (serializable && serializable->isSerializable())
            result.append(serializable);
    }
    return result;
}
