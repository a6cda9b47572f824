#pragma once

// The state of the main window and its views that a Photoshop host keeps
// between two uses of the filter (as Base64 text in the exchange record's
// plug-in data). A map from setting name to value; no key is defined yet, but
// the byte format is fixed: Qt's data-stream form of the map at stream version
// 12, greater keys first, with no header of its own.

#include <QMap>
#include <QString>
#include <QVariant>

class QIODevice;

class CWindowState
{
public:
    CWindowState() = default;

    // True for every state, also one read from damaged bytes.
    bool isValid() const { return true; }

    // Writes the map at the device's position; the device stays open.
    void serialize(QIODevice* device) const;
    // Replaces the map with the one at the device's position; unreadable
    // bytes leave the map empty.
    void deserialize(QIODevice* device);

    QMap<QString, QVariant>& values() { return m_values; }
    const QMap<QString, QVariant>& values() const { return m_values; }

private:
    QMap<QString, QVariant> m_values;
};
