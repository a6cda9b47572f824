#include "correction/FocusController.h"

#include "utils/Logger.h"

#include <QApplication>
#include <QGraphicsItem>
#include <QGraphicsObject>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QWidget>

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

bool FocusController::isFocusable(int index) const
{
    if (index < 0 || index >= m_chain.size())
        return false;
    QObject* object = m_chain.at(index);
    if (!object)
        return false;
    if (auto* widget = qobject_cast<QWidget*>(object))
        return widget->isVisible() && widget->isEnabled() && !widget->visibleRegion().isEmpty();
    return object->property("visible").toBool() && object->property("enabled").toBool();
}

bool FocusController::takesFocus(QObject* object)
{
    if (auto* widget = qobject_cast<QWidget*>(object))
        return widget->focusPolicy() != Qt::NoFocus;
    if (auto* item = qobject_cast<QGraphicsObject*>(object))
        return item->flags().testFlag(QGraphicsItem::ItemIsFocusable);
    return false;
}

QWidget* FocusController::memberWindow(QObject* member)
{
    if (auto* widget = qobject_cast<QWidget*>(member))
        return widget->window();
    if (auto* item = qobject_cast<QGraphicsObject*>(member))
        if (QGraphicsScene* scene = item->scene())
            for (QGraphicsView* view : scene->views())
                if (view->isVisible())
                    return view->window();
    return nullptr;
}

bool FocusController::giveFocus()
{
    if (m_current < 0 || m_current >= m_chain.size() || !m_chain.at(m_current))
        return false;
    const bool called = QMetaObject::invokeMethod(m_chain.at(m_current), "setFocus", Qt::DirectConnection);
    ASSERT_X(called, "FocusController::giveFocus", "the member has no setFocus() to call");
    return called;
}

bool FocusController::eventFilter(QObject* watched, QEvent* event)
{
    const int type = event->type();
    if (type == QEvent::MouseButtonPress || type == kItemPressedEventType) {
        if (!watched)
            return false;
        const int index = m_chain.indexOf(watched);
        if (index >= 0)
            m_current = index;
        else if (takesFocus(watched))
            m_current = -1;
        return false;
    }
    if (type == QEvent::KeyPress) {
        if (m_current < 0 || m_current >= m_chain.size())
            return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Tab && key != Qt::Key_Backtab)
            return false;
        // Tab in another window (a dialog opened meanwhile) is that window's.
        QWidget* focused = QApplication::focusWidget();
        QWidget* home = memberWindow(m_chain.at(m_current));
        if (focused && home && focused->window() != home)
            return false;
        int next = -1;
        if (key == Qt::Key_Tab) {
            for (int i = m_current + 1; i < m_chain.size() && next < 0; ++i)
                if (isFocusable(i))
                    next = i;
            for (int i = 0; i <= m_current && next < 0; ++i)
                if (isFocusable(i))
                    next = i;
        } else {
            for (int i = m_current - 1; i >= 0 && next < 0; --i)
                if (isFocusable(i))
                    next = i;
            for (int i = m_chain.size() - 1; i >= m_current && next < 0; --i)
                if (isFocusable(i))
                    next = i;
        }
        m_current = next;
        return giveFocus();
    }
    if (type == QEvent::FocusIn) {
        const int index = m_chain.indexOf(watched);
        if (index >= 0 && m_current == -1)
            m_current = index;
    }
    return false;
}
