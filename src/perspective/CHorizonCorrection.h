#pragma once

// The horizon module: the user lays one line along something that should be
// horizontal (tool 1) or vertical (tool 2), or types an angle, and the picture
// turns until the line is level. The angle travels to the engine as
// "KeystoningHorizon"; after each engine answer the residual tilt of the line
// on the result is measured and, from 2 degrees on, added and sent again.

#include "correction/CBaseKeystoningCorrection.h"

#include <QColor>
#include <QPixmap>

class CHorizonCorrectionItems;
class CHorizonToolPane;
class QGraphicsSceneMouseEvent;
class QKeyEvent;

class CHorizonCorrection : public CBaseKeystoningCorrection
{
    Q_OBJECT
public:
    enum CorrectionMode { NoMode = 0, HorizontalMode = 1, VerticalMode = 2 };

    CHorizonCorrection(CBaseCorrectionGlobalData* globalData, int order);
    ~CHorizonCorrection() override;

    QByteArray serialize() override;
    void deserialize(const QByteArray& data, bool deferred) override;
    QString id() const override;
    QWidget* createToolPaneWidget(QWidget* parent) override;
    void attachToLayout(QLayout* layout) override;
    void setSingleMode() override;
    void setSplitedMode() override;
    void setModuleActive(bool active) override;
    void activateSpecificCorrection(const QString& argument) override;
    void touchAdditionalControl(const QString&) override {}
    void resetModule() override;
    void resetCurrentCorrection() override;
    void applyCorrection(bool* applied = nullptr) override;
    QWidget* createSettingsWidget(QWidget* parent) override;
    bool isModuleAvailable() override { return true; }
    QString moduleDisplayName() const override;
    void resetForNewImage() override;

    void copyNodePositions(CCorrectionItems* from, CCorrectionItems* to, int mode) override;
    void copyNodePositionsWithTransform(CCorrectionItems* from, CCorrectionItems* to,
                                        const QTransform& transform) override;
    void sceneItemMoved(const CRectangleNode* node, const CEdge* edge, bool controlHeld) override;

    int correctionMode() const { return m_correctionMode; }
    double rotationAngle() const { return m_rotationAngle; }
    double intermediateRotationAngle() const { return m_intermediateRotationAngle; }
    QColor edgeColor() const;
    QGraphicsItemGroup* currentItemsGroup() const;
    QPixmap modePixmap() const;

    double measureLineAngle(CCorrectionItems* items, bool project, bool* valid);
    void placeToolLine(CCorrectionItems* items, int tool);
    static double roundedAngle(double angle);

Q_SIGNALS:
    void onRotationAngleWasChanged(double angle);
    void resetModuleUI();
    void serializeToolPaneData(QMap<QString, QVariant>& data);
    void deserializeToolPaneData(QMap<QString, QVariant> data);
    void setPreviewButtonEnabled(bool enabled);
    void setPreviewButtonVisible(bool visible);

public Q_SLOTS:
    void setToolColor(QColor color);
    void setRotationAngle(double angle);

public:
    // The engine request; false when nothing was sent or the engine had it already.
    virtual bool applyPartially();

private Q_SLOTS:
    void applyManuallyPartially(bool apply = true);
    void onMouseReleaseEvent(const CRectangleNode* node, const CEdge* edge, QGraphicsSceneMouseEvent* event);
    void onKeyReleaseEvent(const CRectangleNode* node, QKeyEvent* event);
    void transformOutParamsChanged();
    void relayoutTools();

protected:
    void doInitialize() override;

private:
    CHorizonCorrectionItems* beforeItems() const;
    CHorizonCorrectionItems* afterItems() const;
    bool isCurrentCorrection() const;
    void activateTool(int tool);
    void showTool(int tool);
    void hideItemGroups();
    void restoreAll(const QByteArray& data);
    // The default line of the tool on the after set, copied to the before
    // set, and both angles back to 0.
    void resetLine(int tool);
    IProcessEngine* engine() const;

    int m_correctionMode = NoMode;
    double m_rotationAngle = 0.0;
    double m_intermediateRotationAngle = 0.0;
    bool m_relayoutTool = false;
    bool m_resetTool = false;
    bool m_hasPendingState = false;
    QByteArray m_pendingState;
    std::unique_ptr<CHorizonCorrectionItems> m_beforeItems;
    std::unique_ptr<CHorizonCorrectionItems> m_afterItems;

    friend class TestHorizonCorrection;
};
