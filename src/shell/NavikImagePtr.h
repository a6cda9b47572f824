#pragma once

// The opened photograph as the program passes it around: a shared pointer to
// the process engine's image proxy (engine/CNavikImageProxy.h); empty means
// no image.

#include <QMetaType>

#include <memory>

class CNavikImageProxy;

using NavikImagePtr = std::shared_ptr<CNavikImageProxy>;

Q_DECLARE_METATYPE(NavikImagePtr)
