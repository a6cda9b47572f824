#include "utils/CBoolSignalMapper.h"

namespace NAVIK_tarl1 {

CBoolSignalMapper::CBoolSignalMapper(QObject* parent)
    : QObject(parent)
{
}

void CBoolSignalMapper::mapTrue()
{
    Q_EMIT mapped(true);
}

void CBoolSignalMapper::mapFalse()
{
    Q_EMIT mapped(false);
}

} // namespace NAVIK_tarl1
