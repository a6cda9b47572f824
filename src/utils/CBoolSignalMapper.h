#pragma once

// Turns two argument-less signals into one mapped(bool): connect one to
// mapTrue() and the other to mapFalse().

#include "utils/UtilsGlobal.h"

#include <QObject>

namespace NAVIK_tarl1 {

class NAVIK_UTILS_EXPORT CBoolSignalMapper : public QObject
{
    Q_OBJECT
public:
    explicit CBoolSignalMapper(QObject* parent);

Q_SIGNALS:
    void mapped(bool value);

public Q_SLOTS:
    void mapTrue();
    void mapFalse();
};

} // namespace NAVIK_tarl1
