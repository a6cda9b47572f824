#pragma once

// Gives a fixed group of objects (widgets or scene items) its own Tab order.
// While one member of the chain is current, Tab and Backtab anywhere in the
// application move the focus to the next (previous) member that can take it,
// wrapping at both ends. A press on a member, or its focus while the group
// is inactive, makes it current; a press on anything else that takes the
// focus (a widget with a focus policy, a focusable scene item) drops the
// group, so the next Tab goes its normal way again. Scene items announce
// their presses by sending themselves an event of type kItemPressedEventType.
//
// Several controllers live at once, each over its own group (the correction
// panels' controls, the keystoning handles, the crop rectangle); only the one
// whose group the user last entered acts on Tab, and only while the focus is
// in the group's own window. Members need a setFocus()
// slot or method callable by name.

#include <QList>
#include <QObject>
#include <QPointer>

class FocusController : public QObject
{
    Q_OBJECT
public:
    // The press event a draggable scene item sends itself.
    static constexpr int kItemPressedEventType = 1001;

    FocusController(QObject* parent, const QList<QPointer<QObject>>& chain);
    ~FocusController() override;

    bool eventFilter(QObject* watched, QEvent* event) override;
    // The current member's index, -1 while the group is inactive.
    int currentIndex() const { return m_current; }

private:
    bool isFocusable(int index) const;
    bool giveFocus();
    static bool takesFocus(QObject* object);
    // The window a member is shown in (a scene item's: its visible view's).
    static QWidget* memberWindow(QObject* member);

    QList<QPointer<QObject>> m_chain;
    int m_current = -1;
};
