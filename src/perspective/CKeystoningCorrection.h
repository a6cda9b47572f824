#pragma once

// The perspective correction: the user lays handles on lines that should be
// parallel (horizontal or vertical), on the corners of something that should
// be a rectangle, or two points on each of four lines, and the process
// engine computes the projective correction that makes them so. Each request
// is one parameter dictionary (mode and fixed options) followed by the
// handle positions as fractions of the original image.

#include "correction/CBaseKeystoningCorrection.h"

#include <QColor>
#include <QPixmap>
#include <QPointer>

class CKeystoningToolPane;
class QGraphicsSceneMouseEvent;
class QKeyEvent;

class CKeystoningCorrection : public CBaseKeystoningCorrection
{
    Q_OBJECT
public:
    CKeystoningCorrection(CBaseCorrectionGlobalData* globalData, int order);
    ~CKeystoningCorrection() override;

    QByteArray serialize() override;
    void deserialize(const QByteArray& data, bool deferred) override;
    bool isEqual(const QByteArray& a, const QByteArray& b) override;
    QString id() const override;
    QWidget* createToolPaneWidget(QWidget* parent) override;
    void attachToLayout(QLayout* layout) override;
    void setSingleMode() override;
    void setSplitedMode() override;
    void setModuleActive(bool active) override;
    void activateSpecificCorrection(const QString& argument) override;
    void resetModule() override;
    void resetCurrentCorrection() override;
    void applyCorrection(bool* result = nullptr) override;
    QWidget* createSettingsWidget(QWidget* parent) override;
    bool isModuleAvailable() override;
    QString moduleDisplayName() const override;
    void resetForNewImage() override;
    void sceneItemMoved(const CRectangleNode* node, const CEdge* edge, bool controlHeld) override;
    void touchAdditionalControl(const QString& argument) override;

    // 0 none, 1 horizontal lines parallel, 2 vertical lines parallel,
    // 3 rectangle, 4 eight points.
    int correctionMode() const { return m_correctionMode; }
    QColor edgeColor() const;
    QColor horizontalLinesColor() const;
    QGraphicsItemGroup* currentItemsGroup();
    void hideItemGroups();
    QPixmap modePixmap() const;
    // The engine's answer to the dictionary; false when nothing was sent.
    bool sendCorrectionRequest();
    // Before-view points as fractions of the original image.
    QVector<QPointF> normalizedOriginalImagePoints(const QVector<QPointF>& points);
    // The corners on the middle half of the set's scene (square: a centred
    // square), the eight points on their default places.
    void placeNodesAtDefaultPositions(CCorrectionItems* set, bool square);
    void showTool(int mode);
    void restoreAll(const QByteArray& data);

Q_SIGNALS:
    void resetModuleUI();
    void serializeToolPaneData(QMap<QString, QVariant>& data);
    void deserializeToolPaneData(QMap<QString, QVariant> data);
    void setPreviewButtonEnabled(bool enabled);
    void setPreviewButtonVisible(bool visible);
    void checkIntensityControlsVisibility();

public Q_SLOTS:
    void setToolColor(QColor color);

protected Q_SLOTS:
    virtual void applyPartially();

private Q_SLOTS:
    void applyManuallyPartially();
    void transformOutParamsChanged();
    void onMouseReleaseEvent(const CRectangleNode* node, const CEdge* edge, QGraphicsSceneMouseEvent* event);
    void onKeyReleaseEvent(const CRectangleNode* node, QKeyEvent* event);
    void setHorizontalLinesColor(QColor color);
    void onApplyClicked();
    void onResetClicked();
    void onPreviewClicked();

protected:
    void doInitialize() override;

private:
    void updateSceneOf(QGraphicsItemGroup* group);

    int m_correctionMode = 0;
    bool m_keystoningCorrectionFirstUsage = true;
    bool m_hasPendingState = false;
    QByteArray m_pendingState;
    int m_upDown = 0;
    int m_leftRight = 0;
    int m_hvRatio = 0;
    int m_intensity = 100;
    QPointer<CKeystoningToolPane> m_toolPane;
};
