#include "view/CPositionController.h"

#include "utils/Logger.h"
#include "view/IViewInterface.h"

#include <memory>

namespace {

std::shared_ptr<CPositionController>& holder()
{
    static std::shared_ptr<CPositionController> s_instance;
    return s_instance;
}

} // namespace

CPositionController* CPositionController::instance()
{
    auto& instance = holder();
    if (!instance)
        instance = std::make_shared<CPositionController>();
    return instance.get();
}

bool CPositionController::hasInstance()
{
    return holder() != nullptr;
}

CPositionController::CPositionController(QWidget* parent)
    : QObject(parent)
{
}

void CPositionController::store(IViewInterface* view, const QPointF& position)
{
    if (view && !m_viewPositions.contains(view)) {
        // A view that goes away is forgotten, so nothing is written into it.
        connect(view, &QObject::destroyed, this, [this, view] { removeView(view); });
    }
    m_viewPositions.insert(view, position);
}

void CPositionController::addView(IViewInterface* view)
{
    store(view, QPointF(0.5, 0.5));
}

void CPositionController::setViewPosition(IViewInterface* view, double x, double y)
{
    store(view, QPointF(x, y));
}

QPointF CPositionController::viewPosition(IViewInterface* view)
{
    if (!m_viewPositions.contains(view))
        store(view, QPointF(0.0, 0.0));
    return m_viewPositions.value(view);
}

void CPositionController::removeView(IViewInterface* view)
{
    m_viewPositions.remove(view);
}

void CPositionController::onUpdateViewPosition()
{
    LOG_TRACE();
    for (auto it = m_viewPositions.cbegin(); it != m_viewPositions.cend(); ++it)
        it.key()->changePreviewPosition(it.value().x(), it.value().y());
}
