#include "utils/DataStreamFormat.h"

#include <QIODevice>

namespace NAVIK_tarl1 {

void writeVariantMap(QDataStream& stream, const QMap<QString, QVariant>& map)
{
    writeMapInQt4Order(stream, map, [&stream](const QVariant& value) {
        if (value.typeId() == QMetaType::QVariantMap) {
            // A map inside the map keeps the same order: the variant's type
            // and null flag as QVariant writes them, then the map itself.
            stream << quint32(QMetaType::QVariantMap) << qint8(0);
            writeVariantMap(stream, value.toMap());
        } else {
            stream << value;
        }
    });
}

QMap<QString, QVariant> readVariantMap(QDataStream& stream)
{
    QMap<QString, QVariant> map;
    stream >> map;
    if (stream.status() != QDataStream::Ok)
        map.clear();
    return map;
}

QByteArray variantMapToBytes(const QMap<QString, QVariant>& map)
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(g_dataStreamVersion);
    writeVariantMap(stream, map);
    return bytes;
}

QMap<QString, QVariant> variantMapFromBytes(const QByteArray& bytes)
{
    QDataStream stream(bytes);
    stream.setVersion(g_dataStreamVersion);
    return readVariantMap(stream);
}

} // namespace NAVIK_tarl1
