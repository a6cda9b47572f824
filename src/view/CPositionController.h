#pragma once

// Keeps, for every registered view, its scroll position as a pair of
// fractions of the scroll range, and writes them back into the views on
// request. The hand tool and the zoom controller compute the positions; one
// instance lives for the whole program on the main thread.

#include <QMap>
#include <QObject>
#include <QPointF>

class IViewInterface;
class QWidget;

class CPositionController : public QObject
{
    Q_OBJECT
public:
    static CPositionController* instance();
    static bool hasInstance();

    explicit CPositionController(QWidget* parent = nullptr);

    // Stores (0.5, 0.5) for the view, replacing what was stored.
    void addView(IViewInterface* view);
    // Stores the pair, registering an unknown view.
    void setViewPosition(IViewInterface* view, double x, double y);
    // The stored pair; an unknown view is stored with (0, 0).
    QPointF viewPosition(IViewInterface* view);
    // Forgets a view, so that nothing is written into it any more.
    void removeView(IViewInterface* view);

public Q_SLOTS:
    // Writes every stored pair back into its view.
    void onUpdateViewPosition();

private:
    void store(IViewInterface* view, const QPointF& position);

    QMap<IViewInterface*, QPointF> m_viewPositions;
};
