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

QMap<QString, QVariant> readPlainVariantMap(QDataStream& stream)
{
    QMap<QString, QVariant> map;
    quint32 count = 0;
    stream >> count;
    // The count is not trusted: the entries end when the stream does.
    for (quint32 i = 0; i < count && stream.status() == QDataStream::Ok; ++i) {
        QString key;
        quint32 typeId = 0;
        qint8 isNull = 0;
        stream >> key >> typeId >> isNull;
        if (stream.status() != QDataStream::Ok)
            break;
        QVariant value;
        switch (typeId) {
        case QMetaType::UnknownType: {
            QString nothing; // an invalid variant carries an empty text
            stream >> nothing;
            break;
        }
        // These types have the same numbers in every stream version.
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::QString:
        case QMetaType::QByteArray: {
            const QMetaType type{int(typeId)};
            value = QVariant(type);
            if (!type.load(stream, value.data()))
                stream.setStatus(QDataStream::ReadCorruptData);
            break;
        }
        default:
            stream.setStatus(QDataStream::ReadCorruptData);
            break;
        }
        if (stream.status() == QDataStream::Ok)
            map.insert(key, value);
    }
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
