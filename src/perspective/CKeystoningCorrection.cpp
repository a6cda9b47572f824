#include "perspective/CKeystoningCorrection.h"

#include "correction/ApplicationEngine.h"
#include "correction/CCorrectionItems.h"
#include "correction/CEdge.h"
#include "correction/CRectangleNode.h"
#include "correction/CUndoController.h"
#include "correction/CustomUndoCommands.h"
#include "correction/ICorrectionModuleHost.h"
#include "engine/TransformValues.h"
#include "perspective/CKeystoningSettings.h"
#include "perspective/CKeystoningToolPane.h"
#include "shell/IProcessEngine.h"
#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"
#include "view/CBaseGraphicsView.h"

#include <QApplication>
#include <QDataStream>
#include <QDebug>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QLayout>

namespace {

const QString kModuleId = QStringLiteral("Keystoning");
const QString kEdgeColorKey = QStringLiteral("NavikEdgePenColor");
const QString kHorizontalLineColorKey = QStringLiteral("KC_SETTINGS_KEY_HORIZONTAL_LINE_COLOR");

const QString kBaseKey = QStringLiteral("baseCorrection");
const QString kModeKey = QStringLiteral("keystoningCorrectionMode");
const QString kFirstUsageKey = QStringLiteral("keystoningCorrectionFirstUsage");
const QString kUpDownKey = QStringLiteral("keystoningUpDown");
const QString kLeftRightKey = QStringLiteral("keystoningLeftRight");
const QString kHVRatioKey = QStringLiteral("keystoningHVRatio");
const QString kIntensityKey = QStringLiteral("keystoningIntensity");

constexpr int kBeforeToAfter = 0;
constexpr int kBeforeToInput = 2;

// The points as a log line shows them.
QString pointsText(const QVector<QPointF>& points)
{
    QString text;
    QDebug(&text).nospace() << points;
    return text;
}

QMap<QString, QVariant> readStateMap(const QByteArray& data)
{
    return NAVIK_tarl1::variantMapFromBytes(data);
}

// An int of the last render's input, or `absent` when it has none.
int lastInputInt(IProcessEngine* engine, const char* key, int absent)
{
    const Navik::Value value = engine->getLastTransformInParams().GetValueForKey(key);
    bool ok = false;
    const int result = value.AsInt(&ok);
    return ok ? result : absent;
}

bool hasValues(const Navik::Dictionary& dict, const char* key)
{
    bool ok = false;
    const Navik::ValueArray& values = dict.GetValueForKey(key).AsValueArray(&ok);
    return ok && values.Count() > 0;
}

} // namespace

CKeystoningCorrection::CKeystoningCorrection(CBaseCorrectionGlobalData* globalData, int order)
    : CBaseKeystoningCorrection(globalData, order)
{
    beforeSceneItems = new CCorrectionItems;
    afterSceneItems = new CCorrectionItems;
}

CKeystoningCorrection::~CKeystoningCorrection()
{
    // The items themselves belong to the scene groups.
    delete beforeSceneItems;
    delete afterSceneItems;
}

QByteArray CKeystoningCorrection::serialize()
{
    QMap<QString, QVariant> map;
    map.insert(kBaseKey, serializeBaseState());
    map.insert(kModeKey, m_correctionMode);
    map.insert(kFirstUsageKey, m_keystoningCorrectionFirstUsage);
    map.insert(kUpDownKey, m_upDown);
    map.insert(kLeftRightKey, m_leftRight);
    map.insert(kHVRatioKey, m_hvRatio);
    map.insert(kIntensityKey, m_intensity);
    emit serializeToolPaneData(map);
    saveItemsVisibility(map);
    return NAVIK_tarl1::variantMapToBytes(map);
}

void CKeystoningCorrection::deserialize(const QByteArray& data, bool deferred)
{
    const QMap<QString, QVariant> map = readStateMap(data);
    if (map.contains(kModeKey))
        m_correctionMode = map.value(kModeKey).toInt();
    if (map.contains(kBaseKey))
        deserializeBaseState(map.value(kBaseKey).toByteArray());
    if (deferred) {
        m_pendingState = data;
        m_hasPendingState = true;
        return;
    }
    // A state waiting for a render that never came (it failed) is older
    // than this one: the next render must not bring it back.
    m_hasPendingState = false;
    restoreAll(data);
    if (afterSceneItems)
        afterSceneItems->setOnResultImage(true);
}

void CKeystoningCorrection::restoreAll(const QByteArray& data)
{
    const QMap<QString, QVariant> map = readStateMap(data);
    restoreItemsVisibility(map);
    if (map.contains(kBaseKey))
        deserializeBaseState(map.value(kBaseKey).toByteArray());
    if (map.contains(kModeKey))
        m_correctionMode = map.value(kModeKey).toInt();
    if (map.contains(kFirstUsageKey))
        m_keystoningCorrectionFirstUsage = map.value(kFirstUsageKey).toBool();
    if (map.contains(kUpDownKey))
        m_upDown = map.value(kUpDownKey).toInt();
    if (map.contains(kLeftRightKey))
        m_leftRight = map.value(kLeftRightKey).toInt();
    if (map.contains(kHVRatioKey))
        m_hvRatio = map.value(kHVRatioKey).toInt();
    if (map.contains(kIntensityKey))
        m_intensity = map.value(kIntensityKey).toInt();
    emit deserializeToolPaneData(map);
}

bool CKeystoningCorrection::isEqual(const QByteArray& a, const QByteArray& b)
{
    return a == b;
}

QString CKeystoningCorrection::id() const
{
    return kModuleId;
}

QWidget* CKeystoningCorrection::createToolPaneWidget(QWidget* parent)
{
    m_toolPane = new CKeystoningToolPane(parent, this);
    if (m_toolPane)
        m_toolPane->setCurrentPage(m_correctionMode == 4 ? 1 : 0);
    m_toolPane->setCorrectionIcon(modePixmap());
    m_toolPane->showLineColor(edgeColor());
    m_toolPane->showHorizontalLinesColor(horizontalLinesColor());
    connect(m_toolPane, SIGNAL(onColorChanged(QColor)), this, SLOT(setToolColor(QColor)));
    connect(m_toolPane, SIGNAL(horizontalColorChanged(QColor)), this, SLOT(setHorizontalLinesColor(QColor)));
    connect(this, SIGNAL(setPreviewButtonEnabled(bool)), m_toolPane, SLOT(onSetPreviewButtonEnabled(bool)));
    connect(this, SIGNAL(setPreviewButtonVisible(bool)), m_toolPane, SLOT(onSetPreviewButtonVisible(bool)));
    connect(this, SIGNAL(serializeToolPaneData(QMap<QString, QVariant>&)), m_toolPane,
            SLOT(onSerializeToolPaneData(QMap<QString, QVariant>&)));
    connect(this, SIGNAL(deserializeToolPaneData(QMap<QString, QVariant>)), m_toolPane,
            SLOT(onDeserializeToolPaneData(QMap<QString, QVariant>)));
    connect(m_toolPane, SIGNAL(preview()), this, SLOT(applyManuallyPartially()));
    emit setPreviewButtonEnabled(false);
    emit setPreviewButtonVisible(isCurrentItemsOnAfterScene());
    return m_toolPane;
}

void CKeystoningCorrection::attachToLayout(QLayout* layout)
{
    if (!layout)
        return;
    ASSERT(layout->count() == 1);
    QLayoutItem* item = layout->count() == 1 ? layout->itemAt(0) : nullptr;
    auto* pane = item ? qobject_cast<CKeystoningToolPane*>(item->widget()) : nullptr;
    ASSERT(pane);
    if (pane)
        pane->setCorrectionIcon(modePixmap());
}

void CKeystoningCorrection::setSingleMode()
{
    ICorrectionModuleHost* moduleHost = host();
    if (m_correctionMode != 0 && moduleHost && moduleHost->currentCorrectionName() == kModuleId) {
        if (QGraphicsItemGroup* group = moduleHost->beforeSceneItemGroup(kModuleId))
            group->hide();
        if (QGraphicsItemGroup* group = moduleHost->afterSceneItemGroup(kModuleId))
            group->show();
        applyPartially();
    }
    currentSceneItems = afterSceneItems;
    emit setPreviewButtonEnabled(false);
    emit setPreviewButtonVisible(true);
}

void CKeystoningCorrection::setSplitedMode()
{
    ICorrectionModuleHost* moduleHost = host();
    if (m_correctionMode != 0 && moduleHost && moduleHost->currentCorrectionName() == kModuleId) {
        if (QGraphicsItemGroup* group = moduleHost->beforeSceneItemGroup(kModuleId))
            group->show();
        if (QGraphicsItemGroup* group = moduleHost->afterSceneItemGroup(kModuleId))
            group->hide();
        applyPartially();
    }
    currentSceneItems = beforeSceneItems;
    emit setPreviewButtonEnabled(false);
    emit setPreviewButtonVisible(false);
}

void CKeystoningCorrection::setModuleActive(bool active)
{
    if (!setModuleState(active))
        return;
    ICorrectionModuleHost* moduleHost = host();
    IProcessEngine* engine = moduleHost ? moduleHost->processEngine() : nullptr;
    if (!engine)
        return;
    Navik::Dictionary parameters;
    if (active) {
        parameters.SetValueForKey("KeystoningActive", Navik::Value(true));
        parameters.SetValueForKey("KeystoningUpDown", Navik::Value(m_upDown));
        parameters.SetValueForKey("KeystoningLeftRight", Navik::Value(m_leftRight));
        parameters.SetValueForKey("KeystoningHVRatio", Navik::Value(m_hvRatio));
        parameters.SetValueForKey("KeystoningBlendingIntensity", Navik::Value(m_intensity));
        engine->addCEDictionaryParameters(parameters);
        sendCorrectionRequest();
        return;
    }
    // The horizon module shares the switch; it stays on while that one is on.
    const ICorrectionModuleInterfacePtr horizon = moduleHost->module(QStringLiteral("Horizon"));
    if (horizon && !horizon->isModuleActive())
        parameters.SetValueForKey("KeystoningActive", Navik::Value(false));
    // A value the engine has not taken yet reads as its neutral value.
    m_upDown = lastInputInt(engine, "KeystoningUpDown", 0);
    m_leftRight = lastInputInt(engine, "KeystoningLeftRight", 0);
    m_hvRatio = lastInputInt(engine, "KeystoningHVRatio", 0);
    m_intensity = lastInputInt(engine, "KeystoningBlendingIntensity", 100);
    parameters.SetValueForKey("KeystoningMode", Navik::Value(""));
    parameters.SetValueForKey("KeystoningUpDown", Navik::Value(0));
    parameters.SetValueForKey("KeystoningLeftRight", Navik::Value(0));
    parameters.SetValueForKey("KeystoningHVRatio", Navik::Value(0));
    parameters.SetValueForKey("KeystoningBlendingIntensity", Navik::Value(100));
    engine->addCEDictionaryParameters(parameters);
    hideItemGroups();
}

void CKeystoningCorrection::activateSpecificCorrection(const QString& argument)
{
    ASSERT(currentSceneItems);
    const auto apply = [this](void (CCorrectionItems::*setMode)(), int mode) {
        for (CCorrectionItems* set : {afterSceneItems, beforeSceneItems})
            if (set)
                (set->*setMode)();
        showTool(mode);
    };
    if (argument == QLatin1String("HorizontalCorrection"))
        apply(&CCorrectionItems::setHorizontalCorrectionMode, 1);
    else if (argument == QLatin1String("VerticalCorrection"))
        apply(&CCorrectionItems::setVerticalCorrectionMode, 2);
    else if (argument == QLatin1String("RectangleCorrection"))
        apply(&CCorrectionItems::setRectangleCorrectionMode, 3);
    else if (argument == QLatin1String("8PointsCorrection"))
        apply(&CCorrectionItems::set8PointsCorrectionMode, 4);
    emit setPreviewButtonEnabled(false);
}

void CKeystoningCorrection::showTool(int mode)
{
    ICorrectionModuleHost* moduleHost = host();
    const bool isCurrent = moduleHost && moduleHost->currentCorrectionName() == kModuleId;
    m_correctionMode = mode;
    bool laidOut = false;
    if (m_keystoningCorrectionFirstUsage) {
        m_keystoningCorrectionFirstUsage = false;
        placeNodesAtDefaultPositions(beforeSceneItems, false);
        placeNodesAtDefaultPositions(afterSceneItems, false);
        laidOut = true;
    }
    if (m_toolPane)
        m_toolPane->setCurrentPage(mode == 4 ? 1 : 0);
    if (moduleHost)
        moduleHost->deactivateAllSceneItems();
    setToolColor(edgeColor());
    setHorizontalLinesColor(horizontalLinesColor());
    QGraphicsItemGroup* group = currentItemsGroup();
    const bool ok = sendCorrectionRequest();
    if (isCurrent || !ok) {
        if (group)
            group->show();
        if (!laidOut)
            emit checkIntensityControlsVisibility();
    }
    if (moduleHost)
        if (QGraphicsItemGroup* before = moduleHost->beforeSceneItemGroup(kModuleId))
            before->show();
    emit setPreviewButtonEnabled(false);
    for (CCorrectionItems* set : {beforeSceneItems, afterSceneItems})
        if (set)
            for (CRectangleNode* node : set->nodes())
                if (node)
                    node->clearFocus();
    updateSceneOf(group);
}

void CKeystoningCorrection::placeNodesAtDefaultPositions(CCorrectionItems* set, bool square)
{
    if (!set || !set->leftTop || !set->leftTop->scene())
        return;
    const QRectF rect = set->leftTop->scene()->sceneRect();
    const qreal w = rect.width();
    const qreal h = rect.height();
    qreal dx = w / 4;
    qreal dy = h / 4;
    qreal ox = 0;
    qreal oy = 0;
    if (square) {
        const qreal s = std::min(w / 4, h / 4);
        dx = dy = s;
        ox = (w - 4 * s) / 2;
        oy = (h - 4 * s) / 2;
    }
    set->leftTop->setPos(ox + dx, oy + dy);
    if (set->leftBottom)
        set->leftBottom->setPos(ox + dx, oy + 3 * dy);
    if (set->rightTop)
        set->rightTop->setPos(ox + 3 * dx, oy + dy);
    if (set->rightBottom)
        set->rightBottom->setPos(ox + 3 * dx, oy + 3 * dy);
    if (set->eightPointsItems)
        set->eightPointsItems->setDefaultPositions();
    emit setPreviewButtonEnabled(false);
}

bool CKeystoningCorrection::sendCorrectionRequest()
{
    ASSERT(currentSceneItems);
    if (m_correctionMode == 0)
        return false;
    QVector<QPointF> points;
    if (beforeSceneItems)
        points = normalizedOriginalImagePoints(beforeSceneItems->nodeScenePositions());
    ASSERT(points.size() == 4);

    Navik::Dictionary parameters;
    parameters.SetValueForKey("KeystoningActive", Navik::Value(true));
    parameters.SetValueForKey("OutputImageMaxSize", Navik::Value(300.0));
    parameters.SetValueForKey("KeystoningKeepCenter", Navik::Value(true));
    parameters.SetValueForKey("KeystoningScale", Navik::Value(100));
    switch (m_correctionMode) {
    case 1:
        if (points.size() == 4)
            points.swapItemsAt(1, 3);
        parameters.SetValueForKey("KeystoningMode", Navik::Value("Parallel"));
        break;
    case 2:
        parameters.SetValueForKey("KeystoningMode", Navik::Value("Parallel"));
        break;
    case 3:
        parameters.SetValueForKey("KeystoningMode", Navik::Value("Rectangle"));
        break;
    case 4:
        points = beforeSceneItems && beforeSceneItems->eightPointsItems
            ? normalizedOriginalImagePoints(beforeSceneItems->eightPointsItems->points())
            : QVector<QPointF>();
        ASSERT(points.size() == 8);
        parameters.SetValueForKey("KeystoningMode", Navik::Value("FourLines"));
        break;
    default:
        ASSERT_X(false, "CKeystoningCorrection::sendCorrectionRequest", "unknown correction mode");
        parameters.SetValueForKey("KeystoningMode", Navik::Value(""));
        break;
    }
    setTransformToDictionary(parameters, "KeystoningPreviousHomographyBackward", QTransform());

    ICorrectionModuleHost* moduleHost = host();
    IProcessEngine* engine = moduleHost ? moduleHost->processEngine() : nullptr;
    const bool accepted = engine && engine->addCEDictionaryParameters(parameters);
    LOG_MESSAGE('D', "keystoning points = " << pointsText(points));
    if (engine)
        engine->setNormolizedKeystoningPointsOnOriginalImage(points);
    emit setPreviewButtonEnabled(false);
    return accepted;
}

QVector<QPointF> CKeystoningCorrection::normalizedOriginalImagePoints(const QVector<QPointF>& points)
{
    IProcessEngine* engine = applicationProcessEngine();
    if (!engine)
        return {};
    const QSize size = engine->getOriginalImageSize();
    const QVector<QPointF> projected = engine->projectPoints(points, kBeforeToInput);
    QVector<QPointF> result;
    result.reserve(projected.size());
    for (const QPointF& point : projected) {
        const double x = size.width() > 0 ? point.x() / double(size.width()) : 0.0;
        const double y = size.height() > 0 ? point.y() / double(size.height()) : 0.0;
        ASSERT(x >= 0.0 && x <= 1.0);
        ASSERT(y >= 0.0 && y <= 1.0);
        result.append(QPointF(x, y));
    }
    return result;
}

void CKeystoningCorrection::resetModule()
{
    ICorrectionModuleHost* moduleHost = host();
    if (!moduleHost)
        return;
    if (moduleHost->currentCorrectionName() != kModuleId) {
        placeNodesAtDefaultPositions(beforeSceneItems, false);
        placeNodesAtDefaultPositions(afterSceneItems, false);
        if (isModuleActive())
            sendCorrectionRequest();
        m_keystoningCorrectionFirstUsage = true;
        m_correctionMode = 0;
        if (QGraphicsItemGroup* group = moduleHost->beforeSceneItemGroup(kModuleId))
            group->hide();
        if (QGraphicsItemGroup* group = moduleHost->afterSceneItemGroup(kModuleId))
            group->hide();
    } else {
        resetCurrentCorrection();
    }
    m_upDown = 0;
    m_leftRight = 0;
    m_hvRatio = 0;
    m_intensity = 100;
    emit resetModuleUI();
}

void CKeystoningCorrection::resetCurrentCorrection()
{
    placeNodesAtDefaultPositions(beforeSceneItems, false);
    placeNodesAtDefaultPositions(afterSceneItems, false);
    showTool(m_correctionMode);
    copyNodePositions(beforeSceneItems, afterSceneItems, kBeforeToAfter);
}

void CKeystoningCorrection::resetForNewImage()
{
    resetModule();
    hideItemGroups();
    CBaseKeystoningCorrection::resetForNewImage();
}

void CKeystoningCorrection::applyCorrection(bool* result)
{
    const bool sent = sendCorrectionRequest();
    hideItemGroups();
    if (result)
        *result = sent;
    emit checkIntensityControlsVisibility();
}

QWidget* CKeystoningCorrection::createSettingsWidget(QWidget* parent)
{
    auto* panel = new CKeystoningSettings(this, parent);
    connect(this, SIGNAL(resetModuleUI()), panel, SLOT(moduleReseted()));
    return panel;
}

bool CKeystoningCorrection::isModuleAvailable()
{
    return true;
}

QString CKeystoningCorrection::moduleDisplayName() const
{
    return tr("PERSPECTIVE");
}

void CKeystoningCorrection::touchAdditionalControl(const QString&)
{
}

void CKeystoningCorrection::doInitialize()
{
    currentSceneItems = beforeSceneItems;
    ICorrectionModuleHost* moduleHost = host();
    IProcessEngine* engine = moduleHost ? moduleHost->processEngine() : nullptr;
    if (engine && engine->getQObject())
        connect(engine->getQObject(), SIGNAL(transformOutParamsChanged()), this, SLOT(transformOutParamsChanged()));
    if (moduleHost) {
        createCorrectionItems(moduleHost->beforeSceneItemGroup(kModuleId), beforeSceneItems,
                              QStringLiteral("BeforeKeystoning"));
        createCorrectionItems(moduleHost->afterSceneItemGroup(kModuleId), afterSceneItems,
                              QStringLiteral("AfterKeystoning"));
    }
    if (afterSceneItems && afterSceneItems->leftTop)
        afterSceneItems->setOnResultImage(true);
    setToolColor(edgeColor());
    setHorizontalLinesColor(horizontalLinesColor());
}

QColor CKeystoningCorrection::edgeColor() const
{
    return NAVIK_tarl1::getSettingsColor(kEdgeColorKey, QColor(Qt::blue));
}

QColor CKeystoningCorrection::horizontalLinesColor() const
{
    return NAVIK_tarl1::getSettingsColor(kHorizontalLineColorKey, QColor(Qt::red));
}

void CKeystoningCorrection::setToolColor(QColor color)
{
    {
        NAVIK_tarl1::CSettings settings;
        settings.setValue(kEdgeColorKey, color.name());
    }
    const QColor horizontal = horizontalLinesColor();
    for (CCorrectionItems* set : {beforeSceneItems, afterSceneItems}) {
        if (!set)
            continue;
        set->setEdgesColor(color);
        set->set8PointsColor(color, horizontal);
    }
    updateSceneOf(currentItemsGroup());
}

void CKeystoningCorrection::setHorizontalLinesColor(QColor color)
{
    {
        NAVIK_tarl1::CSettings settings;
        settings.setValue(kHorizontalLineColorKey, color.name());
    }
    const QColor vertical = edgeColor();
    const QColor horizontal = horizontalLinesColor();
    for (CCorrectionItems* set : {beforeSceneItems, afterSceneItems})
        if (set)
            set->set8PointsColor(vertical, horizontal);
    updateSceneOf(currentItemsGroup());
}

QGraphicsItemGroup* CKeystoningCorrection::currentItemsGroup()
{
    ICorrectionModuleHost* moduleHost = host();
    if (!moduleHost)
        return nullptr;
    if (isCurrentItemsOnBeforeScene())
        return moduleHost->beforeSceneItemGroup(kModuleId);
    if (isCurrentItemsOnAfterScene())
        return moduleHost->afterSceneItemGroup(kModuleId);
    ASSERT_X(false, "CKeystoningCorrection::currentItemsGroup", "no current item set");
    return nullptr;
}

void CKeystoningCorrection::hideItemGroups()
{
    ICorrectionModuleHost* moduleHost = host();
    if (!moduleHost)
        return;
    QGraphicsItemGroup* before = moduleHost->beforeSceneItemGroup(kModuleId);
    QGraphicsItemGroup* after = moduleHost->afterSceneItemGroup(kModuleId);
    if (!before || !after)
        return;
    before->hide();
    after->hide();
    updateSceneOf(before);
    updateSceneOf(after);
}

QPixmap CKeystoningCorrection::modePixmap() const
{
    QString file;
    switch (m_correctionMode) {
    case 1:
        file = QStringLiteral("perspective-horizontal-pane.png");
        break;
    case 2:
        file = QStringLiteral("perspective-vertical-pane.png");
        break;
    case 3:
        file = QStringLiteral("perspective-vertic-horiz-pane.png");
        break;
    case 4:
        file = QStringLiteral("perspective-8-points-pane.png");
        break;
    default:
        ASSERT_X(false, "CKeystoningCorrection::modePixmap", "no icon for the correction mode");
        break;
    }
    if (file.isEmpty())
        return QPixmap();
    return QPixmap(QStringLiteral(":/icons/perspective/") + file);
}

void CKeystoningCorrection::applyPartially()
{
    sendCorrectionRequest();
}

void CKeystoningCorrection::applyManuallyPartially()
{
    applyPartially();
    CUndoController::instance()->createUndoCommand(tr("Keystoning correction partially applied"));
}

void CKeystoningCorrection::transformOutParamsChanged()
{
    if (m_hasPendingState) {
        restoreAll(m_pendingState);
        m_hasPendingState = false;
    } else if (m_correctionMode != 0) {
        IProcessEngine* engine = host() ? host()->processEngine() : nullptr;
        if (!engine)
            return;
        const Navik::Dictionary out = engine->getLastTransformOutParams();
        if (!hasValues(out, "KeystoningUpdatedHomographyForward")
            || !hasValues(out, "KeystoningUpdatedHomographyBackward"))
            return;
        copyNodePositions(beforeSceneItems, afterSceneItems, kBeforeToAfter);
        if (host()->currentCorrectionName() == kModuleId)
            if (QGraphicsItemGroup* group = currentItemsGroup())
                group->show();
    }
    if (afterSceneItems)
        afterSceneItems->setOnResultImage(true);
}

void CKeystoningCorrection::sceneItemMoved(const CRectangleNode* node, const CEdge* edge, bool controlHeld)
{
    CBaseKeystoningCorrection::sceneItemMoved(node, edge, controlHeld);
    if (isCurrentItemsOnAfterScene()) {
        if (controlHeld)
            applyPartially();
        else
            emit setPreviewButtonEnabled(true);
    } else if (isCurrentItemsOnBeforeScene()) {
        applyPartially();
    }
    if (node)
        CUndoController::instance()->pushUndoCommand(
            new CGraphicsItemPosChangedByKeyEventCustomUndoCommand(tr("Keystoning correction scene point moved"), node));
    else if (edge)
        CUndoController::instance()->pushUndoCommand(
            new CGraphicsItemPosChangedByKeyEventCustomUndoCommand(tr("Keystoning correction scene edge moved"), edge));
}

void CKeystoningCorrection::onMouseReleaseEvent(const CRectangleNode* node, const CEdge* edge,
                                                QGraphicsSceneMouseEvent* event)
{
    if (!event || !event->widget() || !qobject_cast<CBaseGraphicsView*>(event->widget()->parent()))
        return;
    sceneItemMoved(node, edge, event->modifiers().testFlag(Qt::ControlModifier));
}

void CKeystoningCorrection::onKeyReleaseEvent(const CRectangleNode* node, QKeyEvent* event)
{
    if (!qobject_cast<CBaseGraphicsView*>(QApplication::focusWidget()))
        return;
    sceneItemMoved(node, nullptr, event && event->modifiers().testFlag(Qt::ControlModifier));
}

void CKeystoningCorrection::onApplyClicked()
{
    emit checkIntensityControlsVisibility();
}

void CKeystoningCorrection::onResetClicked()
{
    emit checkIntensityControlsVisibility();
}

void CKeystoningCorrection::onPreviewClicked()
{
    emit checkIntensityControlsVisibility();
}

void CKeystoningCorrection::updateSceneOf(QGraphicsItemGroup* group)
{
    if (group && group->scene())
        group->scene()->update();
}
