#pragma once

// The byte format of the process engine's state, as undo steps and the
// user's recall file keep it: a QDataStream of version Qt 4.8 holding a
// variant map with the keys below, then the normalised keystoning points as
// a QVector<QPointF>. The parameter dictionaries travel as serializer text,
// one character per byte.
//
// The reading side lives here, apart from the engine, and needs only Qt Core
// and the imaging framework, so the fuzz build exercises exactly this code.
// The bytes may come from a damaged file: every count and length is checked
// against the bytes that remain before anything is allocated, nested maps are
// bounded, and a state that breaks off or contradicts itself inside the map
// reads as Qt reads a stream cut short there: no entries and no points.

#include <Navik/LuaSerializer.h>
#include <Navik/Value.h>

#include <QByteArray>
#include <QMap>
#include <QPointF>
#include <QString>
#include <QVariant>
#include <QVector>

#include <optional>

namespace EngineStateFormat {

// Keys of the state's map.
inline const QString initialKey = QStringLiteral("initial");
inline const QString resultKey = QStringLiteral("result");
inline const QString rotationKey = QStringLiteral("currentImageRotation");
inline const QString snapshotsKey = QStringLiteral("snapshot");
inline const QString orientationKey = QStringLiteral("CProcessEngineInitialImageCameraOrientation");

// The names the dictionaries are assigned to in their serializer texts.
inline constexpr char initialName[] = "initial";
inline constexpr char resultName[] = "result";
inline constexpr char snapshotName[] = "name";

struct EngineState
{
    QMap<QString, QVariant> entries;
    QVector<QPointF> points;
};

// The map and the points after it. Points that break off, or whose count
// promises more than remains, read as none; the map is kept. Bytes after the
// points are ignored.
EngineState readEngineState(const QByteArray& bytes);
// The map alone.
QMap<QString, QVariant> readEngineStateEntries(const QByteArray& bytes);

// The serializer text that assigns `dictionary` to `name`.
QString dictionaryText(Navik::LuaSerializer& serializer, const Navik::Dictionary& dictionary, const char* name);
// The dictionary that `text` assigns to `name`; nothing when the text yields
// no value (a value that is not a dictionary reads as an empty one).
std::optional<Navik::Dictionary> readDictionary(Navik::LuaSerializer& serializer, const QVariant& text,
                                                const char* name);

} // namespace EngineStateFormat
