#pragma once

// The common base of the modules whose handles are points and lines on the
// picture (keystoning, horizon): one set of handles on the before scene and
// one on the after scene, the set the user edits, building and wiring a
// set's items, saving and restoring the sets with the module's groups, and
// moving handles between the scenes through the process engine.

#include "correction/CBaseCorrectionModule.h"

#include <QMap>
#include <QPointF>
#include <QTransform>
#include <QVariant>
#include <QVector>

class CBaseCorrectionGlobalData;
class CCorrectionItems;
class CEdge;
class CRectangleNode;
class QGraphicsItemGroup;

class CBaseKeystoningCorrection : public CBaseCorrectionModule
{
    Q_OBJECT
public:
    CBaseKeystoningCorrection(CBaseCorrectionGlobalData* globalData, int order);
    ~CBaseKeystoningCorrection() override;

    bool isCurrentItemsOnAfterScene() const;
    bool isCurrentItemsOnBeforeScene() const;
    // Builds the set's four corners, four sides and eight points into the
    // group and wires them to the module; nothing without a group.
    void createCorrectionItems(QGraphicsItemGroup* group, CCorrectionItems* items, const QString& prefix);
    void connectNodeSignals(CRectangleNode* node);
    void connectEdgeSignals(CEdge* edge);
    bool isEqual(const QByteArray& a, const QByteArray& b) override;

    virtual void saveItemsVisibility(QMap<QString, QVariant>& state);
    virtual void restoreItemsVisibility(const QMap<QString, QVariant>& state);
    virtual QVector<QPointF> projectPointsThroughEngine(const QVector<QPointF>& points, int mode);
    // Places both sets from the engine's stored normalised points.
    virtual void synchronizeSceneItems();
    virtual void copyNodePositions(CCorrectionItems* from, CCorrectionItems* to, int mode);
    virtual QVector<QPointF> mapPointThroughTransform(const QVector<QPointF>& points, const QTransform& transform);
    virtual void copyNodePositionsWithTransform(CCorrectionItems* from, CCorrectionItems* to,
                                                const QTransform& transform);
    // A handle moved: the set not edited follows the edited one.
    virtual void sceneItemMoved(const CRectangleNode* node, const CEdge* edge, bool controlHeld);

    CCorrectionItems* beforeSceneItems = nullptr;
    CCorrectionItems* afterSceneItems = nullptr;
    CCorrectionItems* currentSceneItems = nullptr;

protected Q_SLOTS:
    // The loupe follows a handle moved by keys.
    void itemPosChangedAfterKeyPress(const CRectangleNode* node, const CEdge* edge);
    void onScriptEvent(const CRectangleNode* node);

protected:
    CBaseCorrectionGlobalData* globalData;
};
