#include "engine/EngineStateFormat.h"

#include <QtEndian>

#include <cstring>

namespace EngineStateFormat {

namespace {

// The variant types a state holds, by their ids in the stream.
enum VariantType : quint32
{
    BoolType = 1,
    IntType = 2,
    UIntType = 3,
    DoubleType = 6,
    MapType = 8,
    StringType = 10,
};

// The smallest map entry: key length, variant type, null flag, a one-byte value.
constexpr qsizetype minimumEntrySize = 4 + 4 + 1 + 1;
constexpr qsizetype pointSize = 2 * sizeof(double);
constexpr quint32 nullStringLength = 0xFFFFFFFF;
// The snapshots are a map inside the state's map; a little room beyond that.
constexpr int maximumMapDepth = 4;

// Reads the state front to back. Each read checks what remains first; the
// first failure ends the reading and leaves the target unspecified.
class StateReader
{
public:
    explicit StateReader(const QByteArray& bytes) : m_next(bytes.constData()), m_remaining(bytes.size()) {}

    bool readMap(QMap<QString, QVariant>& map, int depth = 1)
    {
        quint32 count = 0;
        if (!readUInt32(count) || count > quint64(m_remaining / minimumEntrySize))
            return false;
        for (quint32 i = 0; i < count; ++i) {
            QString key;
            QVariant value;
            if (!readString(key) || !readVariant(value, depth))
                return false;
            map.insert(key, value);
        }
        return true;
    }

    bool readPoints(QVector<QPointF>& points)
    {
        quint32 count = 0;
        if (!readUInt32(count) || count > quint64(m_remaining / pointSize))
            return false;
        points.reserve(qsizetype(count));
        for (quint32 i = 0; i < count; ++i) {
            double x = 0.0;
            double y = 0.0;
            if (!readDouble(x) || !readDouble(y))
                return false;
            points.append(QPointF(x, y));
        }
        return true;
    }

private:
    const char* take(qsizetype size)
    {
        if (size > m_remaining)
            return nullptr;
        const char* bytes = m_next;
        m_next += size;
        m_remaining -= size;
        return bytes;
    }

    template<typename T>
    bool readBigEndian(T& value)
    {
        const char* bytes = take(sizeof(T));
        if (bytes)
            value = qFromBigEndian<T>(bytes);
        return bytes != nullptr;
    }

    bool readUInt32(quint32& value) { return readBigEndian(value); }

    bool readDouble(double& value)
    {
        quint64 bits = 0;
        if (!readBigEndian(bits))
            return false;
        std::memcpy(&value, &bits, sizeof value);
        return true;
    }

    // UTF-16 code units, big-endian, after their length in bytes.
    bool readString(QString& text)
    {
        quint32 length = 0;
        if (!readUInt32(length))
            return false;
        if (length == nullStringLength) {
            text = QString();
            return true;
        }
        const char* bytes = length % 2 == 0 ? take(qsizetype(length)) : nullptr;
        if (!bytes)
            return false;
        text.resize(qsizetype(length / 2));
        qFromBigEndian<char16_t>(bytes, text.size(), text.data());
        return true;
    }

    // The type, the null flag (the value follows either way), the value.
    bool readVariant(QVariant& value, int depth)
    {
        quint32 type = 0;
        quint8 isNull = 0;
        if (!readUInt32(type) || !readBigEndian(isNull))
            return false;
        switch (type) {
        case BoolType: {
            quint8 flag = 0;
            const bool read = readBigEndian(flag);
            value = flag != 0;
            return read;
        }
        case IntType: {
            qint32 number = 0;
            const bool read = readBigEndian(number);
            value = int(number);
            return read;
        }
        case UIntType: {
            quint32 number = 0;
            const bool read = readBigEndian(number);
            value = uint(number);
            return read;
        }
        case DoubleType: {
            double number = 0.0;
            const bool read = readDouble(number);
            value = number;
            return read;
        }
        case StringType: {
            QString text;
            const bool read = readString(text);
            value = text;
            return read;
        }
        case MapType: {
            QMap<QString, QVariant> map;
            const bool read = depth < maximumMapDepth && readMap(map, depth + 1);
            value = map;
            return read;
        }
        default:
            // Not a value a state holds; its length is unknown, so nothing
            // after it can be read.
            return false;
        }
    }

    const char* m_next;
    qsizetype m_remaining;
};

} // namespace

EngineState readEngineState(const QByteArray& bytes)
{
    StateReader reader(bytes);
    EngineState state;
    if (!reader.readMap(state.entries))
        return {};
    if (!reader.readPoints(state.points))
        state.points.clear();
    return state;
}

QMap<QString, QVariant> readEngineStateEntries(const QByteArray& bytes)
{
    StateReader reader(bytes);
    QMap<QString, QVariant> entries;
    if (!reader.readMap(entries))
        entries.clear();
    return entries;
}

QString dictionaryText(Navik::LuaSerializer& serializer, const Navik::Dictionary& dictionary, const char* name)
{
    std::string text;
    serializer.Write(name, Navik::Value(dictionary), text);
    return QString::fromLatin1(text.data(), qsizetype(text.size()));
}

std::optional<Navik::Dictionary> readDictionary(Navik::LuaSerializer& serializer, const QVariant& text,
                                                const char* name)
{
    const Navik::Value* value = serializer.Read(name, text.toString().toLatin1().toStdString());
    if (!value)
        return std::nullopt;
    return value->AsDictionary();
}

} // namespace EngineStateFormat
