#include "crop/CCropCorrection.h"

#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QDataStream>
#include <QIODevice>

#include <cmath>

QVariant CCropCorrection::NormalizedCropRect::toVariant() const
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    for (double value : {left, top, right, bottom})
        stream << (std::isfinite(value) ? value : 0.0);
    return bytes;
}

CCropCorrection::NormalizedCropRect CCropCorrection::NormalizedCropRect::fromVariant(const QVariant& value)
{
    NormalizedCropRect rect;
    const QByteArray bytes = value.toByteArray();
    if (bytes.size() != 32)
        return rect;
    QDataStream stream(bytes);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    for (double* field : {&rect.left, &rect.top, &rect.right, &rect.bottom}) {
        double read = 0.0;
        stream >> read;
        if (std::isfinite(read))
            *field = read;
    }
    return rect;
}

CCropCorrection::CCropCorrection(QObject* parent)
    : QObject(parent)
{
}

void CCropCorrection::invertCropRatio()
{
    LOG_TRACE();
    if (m_cropRatio != 0.0 && std::isfinite(m_cropRatio))
        m_cropRatio = 1.0 / m_cropRatio;
}

void CCropCorrection::onCropRectMoved()
{
}
