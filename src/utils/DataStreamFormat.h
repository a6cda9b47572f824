#pragma once

// The one binary format of every parameter file, exchange record and undo
// state the product writes: a QDataStream of version Qt 4.8, big-endian, with
// variant maps written in the order Qt 4 wrote them (greatest key first). Qt 6
// writes maps the other way round, so maps go through these functions rather
// than through QDataStream's own operator.

#include "utils/UtilsGlobal.h"

#include <QByteArray>
#include <QDataStream>
#include <QMap>
#include <QString>
#include <QVariant>

namespace NAVIK_tarl1 {

inline constexpr QDataStream::Version g_dataStreamVersion = QDataStream::Qt_4_8;

// Entry count, then each key and, through `writeValue(value)`, its value,
// from the greatest key down.
template<typename Key, typename Value, typename WriteValue>
void writeMapInQt4Order(QDataStream& stream, const QMap<Key, Value>& map, WriteValue writeValue)
{
    stream << quint32(map.size());
    for (auto entry = map.constEnd(); entry != map.constBegin();) {
        --entry;
        stream << entry.key();
        writeValue(entry.value());
    }
}

// The same with each value written by its own stream operator.
template<typename Key, typename Value>
void writeMapInQt4Order(QDataStream& stream, const QMap<Key, Value>& map)
{
    writeMapInQt4Order(stream, map, [&stream](const Value& value) { stream << value; });
}

// As writeMapInQt4Order; maps held as values are written the same way.
NAVIK_UTILS_EXPORT void writeVariantMap(QDataStream& stream, const QMap<QString, QVariant>& map);

// Reads a map written in any key order; a stream that breaks off or holds
// something else gives an empty map and leaves the stream's error status set.
NAVIK_UTILS_EXPORT QMap<QString, QVariant> readVariantMap(QDataStream& stream);

// As readVariantMap for a record that another program wrote, whose values
// are numbers, texts and byte arrays only: any other type fails the read
// before its value is touched (a list's claimed count would be reserved at
// once, a picture type needs a GUI, another program's type is unknown here).
NAVIK_UTILS_EXPORT QMap<QString, QVariant> readPlainVariantMap(QDataStream& stream);

// The same over a byte array, with the version set.
NAVIK_UTILS_EXPORT QByteArray variantMapToBytes(const QMap<QString, QVariant>& map);
NAVIK_UTILS_EXPORT QMap<QString, QVariant> variantMapFromBytes(const QByteArray& bytes);

} // namespace NAVIK_tarl1
