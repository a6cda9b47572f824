#pragma once

// Engine states for the tests to restore: the state's map with chosen
// entries, written the way undo steps keep it, then the keystoning points.

#include "utils/DataStreamFormat.h"

#include <QByteArray>
#include <QDataStream>
#include <QIODevice>
#include <QMap>
#include <QPointF>
#include <QString>
#include <QVariant>
#include <QVector>

// A complete map: dictionaries as Lua tables ("{ CropActive = true }"),
// snapshots by name in the same notation.
inline QMap<QString, QVariant> stateEntries(const QString& result = "{}", int rotation = 0, int orientation = 0,
                                            const QString& initial = "{}",
                                            const QMap<QString, QString>& snapshots = {})
{
    QMap<QString, QVariant> snapshotTexts;
    for (auto snapshot = snapshots.cbegin(); snapshot != snapshots.cend(); ++snapshot)
        snapshotTexts.insert(snapshot.key(), "name = " + snapshot.value() + "\n");
    return {{"initial", "initial = " + initial + "\n"},
            {"result", "result = " + result + "\n"},
            {"currentImageRotation", rotation},
            {"snapshot", snapshotTexts},
            {"CProcessEngineInitialImageCameraOrientation", orientation}};
}

inline QByteArray stateBytes(const QMap<QString, QVariant>& entries, const QVector<QPointF>& points = {})
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    NAVIK_tarl1::writeVariantMap(stream, entries);
    stream << points;
    return bytes;
}
