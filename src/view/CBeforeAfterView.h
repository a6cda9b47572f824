#pragma once

// The view of the corrected picture that lets the user glance at the
// uncorrected one: while the left button is held on the image (not on a tool
// item), after a double click until the release, or while Ctrl+D is held,
// it shows its other scene (the initial image) in place, and switches back
// on release with its scroll position restored. Only while no correction
// tool is current.

#include "view/CBaseGraphicsView.h"

#include <functional>

class ICorrectionModuleHost;
class QKeyEvent;

class CBeforeAfterView : public CBaseGraphicsView
{
    Q_OBJECT
    Q_INTERFACES(IViewInterface)
public:
    // Tells the id of the current correction of a module host;
    // "Empty_Correction_ID" when none is current.
    using CorrectionNameQuery = std::function<QString(ICorrectionModuleHost*)>;

    explicit CBeforeAfterView(QWidget* parent = nullptr);

    void initialize(bool haloOn, ICorrectionModuleHost* host, IMainWindowInterface* mainWindow,
                    IProcessEngine* engine);
    void setOtherScene(QGraphicsScene* scene);
    void setSceneSwitchingDisabled(bool disabled) override;
    void processKeyPress(QKeyEvent* event);
    void processKeyRelease(QKeyEvent* event);
    // Shows the other scene; true when it switched.
    bool switchToOtherScene(const QPoint& pos);
    // Shows the own scene again; true when it switched.
    bool switchToThisScene();
    void onVisibleRectChanged(bool delayed) override;

    bool isOtherSceneShown() const { return m_ownScene != nullptr; }

    // How the views learn the current correction of their host. The module
    // host sits above the views, so the program installs the query; without
    // one no correction counts as current.
    static void setCorrectionNameQuery(CorrectionNameQuery query);

Q_SIGNALS:
    void switchedToOtherScene();
    void switchedToThisScene();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QString currentCorrectionName() const;

    QGraphicsScene* m_ownScene = nullptr;
    QGraphicsScene* m_otherScene = nullptr;
    bool m_otherSceneShown = false;
    bool m_keyFlipActive = false;
    bool m_switchingDisabled = false;
    int m_savedHorizontalValue = 0;
    int m_savedVerticalValue = 0;
    ICorrectionModuleHost* m_host = nullptr;
    QPointF m_firstCenter;
    QPointF m_secondCenter;
    QSizeF m_conversionSize;
    bool m_zoomWasFit = false;
};
