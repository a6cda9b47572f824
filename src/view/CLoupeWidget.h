#pragma once

// The loupe panel: the part of the picture under the mouse at 100 % or
// 200 % of full resolution, from the scene of the image the view shows.
// While it follows the mouse it shows the scene itself; when the mouse
// rests, leaves the view or the image, or a tool action ends, it asks the
// engine for a full-resolution render of exactly what it shows and lays it
// in place with the tools' outlines over it. The advanced mode ("Display
// only tools actions") follows only drags while a correction or the hand
// tool is active.

#include "shell/PixelDataPtr.h"

#include <QElapsedTimer>
#include <QPixmap>
#include <QRect>
#include <QRectF>
#include <QTimer>
#include <QWidget>

class CLoupeGraphicsView;
class ISceneInterface;
class IViewInterface;
class QCheckBox;
class QComboBox;
class QGraphicsScene;
class QLabel;
class QMouseEvent;

class CLoupeWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CLoupeWidget(QWidget* parent = nullptr, Qt::WindowFlags flags = {});
    ~CLoupeWidget() override;

    void setBeforeScene(ISceneInterface* scene);
    void setAfterScene(ISceneInterface* scene);
    void connectToView(IViewInterface* view);
    void resetBeforeOpen();
    void showImageCenter();
    void showScenePoint(const QPointF& point, bool initial);
    void requestHiResLoupeRect();
    // The image rectangle, in full-resolution pixels, that the loupe view shows.
    QRect getHiResLoupeRect(const QRectF& sceneRect) const;
    void clearHiResPicture();
    void loadSettings();
    void saveSettings();

    CLoupeGraphicsView* loupeView() const { return m_view; }
    QComboBox* zoomBox() const { return m_comboBox; }
    QCheckBox* advancedModeBox() const { return m_checkBoxAdvancedMode; }

Q_SIGNALS:
    void processLoupeRect(bool initial, QRect rect);
    void heightIsChanged(int height);

public Q_SLOTS:
    void onLoupeImageProcessed(const PixelDataPtr& data, QRect rect);
    // The scenes changed as a whole under a loupe that stays where it was
    // (an undo, a redo): it shows the tools as they are now and asks again
    // for the part of the picture it shows; once more after the next render
    // of the result, which may place the tools anew.
    void refreshShownPicture();
    // The engine has rendered the result and sent its output parameters.
    void onResultRendered();

private Q_SLOTS:
    void onSetExpanded(bool expanded);
    void onAdvansedMode(bool checked);
    void onMouseEnteredOnView(bool initial);
    void onMouseLeavedFromView();
    void onMouseLeaveScene();
    void onToolStateIsChanged(bool active);
    void onEnterHandTool();
    void onLeaveHandTool();
    void onMousePressed(QMouseEvent* event);
    void onMouseReleased();
    void onMouseOnScenePoint(QPointF point, bool initial, bool active);
    void onZoomLevelChanged(int index);
    void onScrollBarsChanged();
    void onscrollBarsTimer();
    void showShadow(bool show);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    bool isAdvancedMode() const;
    bool sceneIsBefore() const;
    // Shows the last full-resolution picture with the tools as they stand now.
    void showPlainPictureWithTools();
    // Asks again for the picture the loupe shows, as it is now; false when
    // it shows none of its own (it follows the scene).
    bool requestShownPictureAgain();
    // Follows the size of a scene's picture (see onPictureResized).
    void watchPictureSize(ISceneInterface* old, ISceneInterface* scene, bool initial);
    // The picture of the before (initial) or after scene got another size:
    // a crop applied or undone, a turn.
    void onPictureResized(bool initial);

    bool m_isLoupeRectRequested = true;
    bool m_isToolActive = false;
    bool m_isHandToolActive = false;
    bool m_isMousePressed = false;
    double m_zoomFactor = 1.0;
    QWidget* m_expandedWidget = nullptr;
    QCheckBox* m_checkBoxExpanded = nullptr;
    QComboBox* m_comboBox = nullptr;
    CLoupeGraphicsView* m_view = nullptr;
    QCheckBox* m_checkBoxAdvancedMode = nullptr;
    ISceneInterface* m_beforeScene = nullptr;
    ISceneInterface* m_afterScene = nullptr;
    QGraphicsScene* m_lastScene = nullptr;
    // The last full-resolution picture, without the tools drawn over it,
    // its image rectangle and the zoom it came for; null once the loupe
    // moved on.
    QPixmap m_plainPicture;
    QRect m_plainRect;
    int m_plainFactor = 1;
    QTimer m_scrollBarsTimer;
    QElapsedTimer m_lastScrollBarsChange;
    QRectF m_lastSceneRect;
    QRectF m_lastLoupeRect;
    bool m_isLastRectInitial = false;
    bool m_isFirstShow = true;
    // Asked again once the next render of the result has arrived.
    bool m_refreshAfterRender = false;
};
