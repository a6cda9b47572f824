#include "correction/stand-ins/FocusController.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QWidget>

namespace {

// The event a point handle sends itself when pressed.
constexpr int kItemPressedEventType = 1001;

} // namespace

FocusController::FocusController(QObject* parent, const QList<QPointer<QObject>>& chain)
    : QObject(parent)
    , m_chain(chain)
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

FocusController::~FocusController()
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->removeEventFilter(this);
}

bool FocusController::isShown(QObject* object) const
{
    if (!object)
        return false;
    if (auto* widget = qobject_cast<QWidget*>(object))
        return widget->isVisible() && !widget->visibleRegion().isEmpty();
    return object->property("visible").toBool();
}

void FocusController::giveFocus(QObject* object)
{
    QMetaObject::invokeMethod(object, "setFocus");
}

bool FocusController::moveFocus(int step)
{
    const int count = m_chain.size();
    const int start = m_current >= 0 ? m_current : (step > 0 ? -1 : 0);
    for (int i = 1; i <= count; ++i) {
        const int index = ((start + step * i) % count + count) % count;
        if (isShown(m_chain.at(index))) {
            m_current = index;
            giveFocus(m_chain.at(index));
            return true;
        }
    }
    return false;
}

bool FocusController::eventFilter(QObject* watched, QEvent* event)
{
    const int type = event->type();
    if (type == kItemPressedEventType || type == QEvent::MouseButtonPress || type == QEvent::FocusIn) {
        const int index = m_chain.indexOf(watched);
        if (index >= 0)
            m_current = index;
    } else if (type == QEvent::KeyPress && m_current >= 0) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if ((key == Qt::Key_Tab || key == Qt::Key_Backtab) && moveFocus(key == Qt::Key_Tab ? 1 : -1))
            return true;
    }
    return QObject::eventFilter(watched, event);
}
