#include "shell/CWindowState.h"

#include "utils/DataStreamFormat.h"

#include <QDataStream>

using namespace NAVIK_tarl1;

void CWindowState::serialize(QIODevice* device) const
{
    QDataStream stream(device);
    stream.setVersion(g_dataStreamVersion);
    writeVariantMap(stream, m_values);
}

void CWindowState::deserialize(QIODevice* device)
{
    QDataStream stream(device);
    stream.setVersion(g_dataStreamVersion);
    m_values = readVariantMap(stream);
}
