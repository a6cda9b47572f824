#pragma once

// What the engine's tests share: the pattern photograph in memory, colour
// comparison with a tolerance, and waiting for the engine to finish.

#include "EngineTestImages.h"

#include "engine/CProcessEngine.h"

#include <QTest>

#include <memory>

// Renders of small pictures take milliseconds; sanitizers slow them a lot.
constexpr int renderTimeout = 30000;

inline NavikImagePtr imageInMemory(int width, int height)
{
    return std::make_shared<CNavikImageProxy>(patternImage(width, height), true, false);
}

inline bool colorsClose(const QColor& a, const QColor& b, int tolerance = 12)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance &&
           qAbs(a.blue() - b.blue()) <= tolerance;
}

// Waits until no render runs or waits, then for the calls still queued.
inline bool waitUntilEngineIdle(CProcessEngine& engine)
{
    if (!QTest::qWaitFor([&engine] { return !engine.hasTasksForProcessing(); }, renderTimeout))
        return false;
    QTest::qWait(20);
    return true;
}
