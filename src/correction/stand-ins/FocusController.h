#pragma once

// Stand-in for the main window's focus controller until the main window is
// built: Tab and Backtab step through a chain of objects (widgets or
// graphics objects), skipping hidden ones and wrapping at the ends; a click
// on a chain object, its focus, or the press event a point handle sends
// itself makes it the current entry.

#include <QList>
#include <QObject>
#include <QPointer>

class FocusController : public QObject
{
    Q_OBJECT
public:
    FocusController(QObject* parent, const QList<QPointer<QObject>>& chain);
    ~FocusController() override;

    bool eventFilter(QObject* watched, QEvent* event) override;
    int currentIndex() const { return m_current; }

private:
    bool isShown(QObject* object) const;
    bool moveFocus(int step);
    void giveFocus(QObject* object);

    QList<QPointer<QObject>> m_chain;
    int m_current = -1;
};
