#include "perspective/CHorizonCorrection.h"

#include "correction/CEdge.h"
#include "correction/CRectangleNode.h"
#include "correction/CUndoController.h"
#include "correction/CorrectionIds.h"
#include "correction/CustomUndoCommands.h"
#include "correction/ICorrectionModuleHost.h"
#include "engine/TransformValues.h"
#include "perspective/CHorizonCorrectionItems.h"
#include "perspective/CHorizonSettings.h"
#include "shell/IProcessEngine.h"
#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"
#include "view/CBaseGraphicsView.h"

#include <QApplication>
#include <QDebug>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QKeyEvent>
#include <QLayout>

#include <algorithm>
#include <cmath>
#include <sstream>

namespace {

const QString kEdgeColorKey = QStringLiteral("NavikEdgePenColor");
const QString kBaseKey = QStringLiteral("baseCorrection");
const QString kModeKey = QStringLiteral("correctionMode");
const QString kAngleKey = QStringLiteral("rotationAngle");
const QString kIntermediateKey = QStringLiteral("intermediateRotationAngle");
const QString kRelayoutKey = QStringLiteral("relayoutTool");
const QString kResetKey = QStringLiteral("resetTool");

constexpr int kBeforeToAfter = 0;
constexpr int kAfterToBefore = 1;
// Below this residual tilt the line counts as level.
constexpr double kResidualThreshold = 2.0;

std::string valueText(const Navik::Value& value);

std::string dictionaryText(const Navik::Dictionary& dict)
{
    std::ostringstream out;
    out << "{";
    struct Writer : Navik::Dictionary::Applier
    {
        std::ostringstream* out = nullptr;
        bool applyEntry(const std::string& key, const Navik::Value& value) override
        {
            *out << " " << key << " = " << valueText(value) << ";";
            return true;
        }
    } writer;
    writer.out = &out;
    dict.Apply(writer);
    out << " }";
    return out.str();
}

std::string valueText(const Navik::Value& value)
{
    std::ostringstream out;
    switch (value.GetType()) {
    case Navik::Value::kTypeBool:
        out << (value.AsBool() ? "true" : "false");
        break;
    case Navik::Value::kTypeString:
        out << '"' << value.AsString() << '"';
        break;
    case Navik::Value::kTypeDictionary:
        out << dictionaryText(value.AsDictionary());
        break;
    case Navik::Value::kTypeValueArray: {
        out << "(";
        const Navik::ValueArray& values = value.AsValueArray();
        for (unsigned int i = 0; i < values.Count(); ++i)
            out << (i ? ", " : "") << valueText(values.GetValueAtIndex(i));
        out << ")";
        break;
    }
    default:
        if (value.IsNumber())
            out << value.AsDouble();
        break;
    }
    return out.str();
}

} // namespace

CHorizonCorrection::CHorizonCorrection(CBaseCorrectionGlobalData* data, int order)
    : CBaseKeystoningCorrection(data, order)
    , m_beforeItems(std::make_unique<CHorizonCorrectionItems>())
    , m_afterItems(std::make_unique<CHorizonCorrectionItems>())
{
    beforeSceneItems = m_beforeItems.get();
    afterSceneItems = m_afterItems.get();
}

CHorizonCorrection::~CHorizonCorrection() = default;

CHorizonCorrectionItems* CHorizonCorrection::beforeItems() const
{
    return m_beforeItems.get();
}

CHorizonCorrectionItems* CHorizonCorrection::afterItems() const
{
    return m_afterItems.get();
}

IProcessEngine* CHorizonCorrection::engine() const
{
    return host() ? host()->processEngine() : nullptr;
}

bool CHorizonCorrection::isCurrentCorrection() const
{
    return host() && host()->currentCorrectionName() == g_horizonCorrectionId;
}

double CHorizonCorrection::roundedAngle(double angle)
{
    return std::floor(angle * 10.0 + 0.5) / 10.0;
}

QString CHorizonCorrection::id() const
{
    return g_horizonCorrectionId;
}

QString CHorizonCorrection::moduleDisplayName() const
{
    return tr("HORIZON");
}

QByteArray CHorizonCorrection::serialize()
{
    QMap<QString, QVariant> state;
    state.insert(kBaseKey, serializeBaseState());
    state.insert(kModeKey, m_correctionMode);
    state.insert(kAngleKey, m_rotationAngle);
    state.insert(kIntermediateKey, m_intermediateRotationAngle);
    state.insert(kRelayoutKey, m_relayoutTool);
    state.insert(kResetKey, m_resetTool);
    emit serializeToolPaneData(state);
    saveItemsVisibility(state);
    return NAVIK_tarl1::variantMapToBytes(state);
}

void CHorizonCorrection::deserialize(const QByteArray& data, bool deferred)
{
    const QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(data);
    if (state.contains(kBaseKey))
        deserializeBaseState(state.value(kBaseKey).toByteArray());
    if (state.contains(kModeKey))
        m_correctionMode = state.value(kModeKey).toInt();
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

void CHorizonCorrection::restoreAll(const QByteArray& data)
{
    QMap<QString, QVariant> state = NAVIK_tarl1::variantMapFromBytes(data);
    restoreItemsVisibility(state);
    if (state.contains(kBaseKey))
        deserializeBaseState(state.value(kBaseKey).toByteArray());
    if (state.contains(kModeKey))
        m_correctionMode = state.value(kModeKey).toInt();
    if (state.contains(kAngleKey))
        m_rotationAngle = state.value(kAngleKey).toDouble();
    if (state.contains(kIntermediateKey))
        m_intermediateRotationAngle = state.value(kIntermediateKey).toDouble();
    if (state.contains(kRelayoutKey))
        m_relayoutTool = state.value(kRelayoutKey).toBool();
    if (state.contains(kResetKey))
        m_resetTool = state.value(kResetKey).toBool();
    emit deserializeToolPaneData(state);
}

QColor CHorizonCorrection::edgeColor() const
{
    return NAVIK_tarl1::getSettingsColor(kEdgeColorKey, QColor(Qt::blue));
}

void CHorizonCorrection::setToolColor(QColor color)
{
    {
        NAVIK_tarl1::CSettings settings;
        settings.setValue(kEdgeColorKey, color.name());
    }
    for (CCorrectionItems* items : {beforeSceneItems, afterSceneItems})
        if (items)
            items->setEdgesColor(color);
    if (QGraphicsItemGroup* group = currentItemsGroup())
        if (group->scene())
            group->scene()->update();
}

QGraphicsItemGroup* CHorizonCorrection::currentItemsGroup() const
{
    if (host() && isCurrentItemsOnBeforeScene())
        return host()->beforeSceneItemGroup(id());
    if (host() && isCurrentItemsOnAfterScene())
        return host()->afterSceneItemGroup(id());
    ASSERT(false && "no current item set");
    return nullptr;
}

QPixmap CHorizonCorrection::modePixmap() const
{
    QString path = QStringLiteral(":/icons/horizon/");
    if (m_correctionMode == HorizontalMode)
        path += QStringLiteral("level-horizontal-no-border.png");
    else if (m_correctionMode == VerticalMode)
        path += QStringLiteral("level-vertical-no-border.png");
    else
        ASSERT(false && "no tool for the icon");
    return QPixmap(path);
}

QWidget* CHorizonCorrection::createToolPaneWidget(QWidget* parent)
{
    auto* pane = new CHorizonToolPane(parent, this);
    pane->setCorrectionIcon(modePixmap());
    pane->showToolColor(edgeColor());
    connect(pane, &CHorizonToolPane::onColorChanged, this, &CHorizonCorrection::setToolColor);
    connect(this, &CHorizonCorrection::setPreviewButtonEnabled, pane, &CHorizonToolPane::onSetPreviewButtonEnabled);
    connect(this, &CHorizonCorrection::setPreviewButtonVisible, pane, &CHorizonToolPane::onSetPreviewButtonVisible);
    connect(this, &CHorizonCorrection::serializeToolPaneData, pane, &CHorizonToolPane::onSerializeToolPaneData);
    connect(this, &CHorizonCorrection::deserializeToolPaneData, pane, &CHorizonToolPane::onDeserializeToolPaneData);
    connect(pane, &CHorizonToolPane::preview, this, [this] { applyManuallyPartially(); });
    emit setPreviewButtonEnabled(false);
    emit setPreviewButtonVisible(isCurrentItemsOnAfterScene());
    return pane;
}

void CHorizonCorrection::attachToLayout(QLayout* layout)
{
    if (!layout)
        return;
    ASSERT(layout->count() == 1);
    CHorizonToolPane* pane = nullptr;
    if (layout->count() > 0 && layout->itemAt(0))
        pane = qobject_cast<CHorizonToolPane*>(layout->itemAt(0)->widget());
    ASSERT(pane);
    if (pane)
        pane->setCorrectionIcon(modePixmap());
}

QWidget* CHorizonCorrection::createSettingsWidget(QWidget* parent)
{
    auto* settings = new CHorizonSettings(this, parent);
    connect(this, &CHorizonCorrection::resetModuleUI, settings, &CBaseCorrectionSettings::moduleReseted);
    return settings;
}

void CHorizonCorrection::setRotationAngle(double angle)
{
    if (m_correctionMode != NoMode && !isCurrentCorrection()) {
        resetLine(m_correctionMode);
        m_resetTool = true;
        emit onRotationAngleWasChanged(0.0);
    }
    if (m_correctionMode == NoMode) {
        resetLine(HorizontalMode);
        m_resetTool = true;
        emit onRotationAngleWasChanged(0.0);
        m_correctionMode = HorizontalMode;
    }
    m_relayoutTool = true;
    m_intermediateRotationAngle = angle;
    m_rotationAngle = angle;
    applyPartially();
    emit onRotationAngleWasChanged(roundedAngle(angle));
}

void CHorizonCorrection::resetLine(int tool)
{
    placeToolLine(afterSceneItems, tool);
    copyNodePositions(afterSceneItems, beforeSceneItems, kAfterToBefore);
    m_rotationAngle = 0.0;
    m_intermediateRotationAngle = 0.0;
}

bool CHorizonCorrection::applyPartially()
{
    ASSERT(currentSceneItems);
    if (m_correctionMode == NoMode)
        return false;
    m_rotationAngle = m_intermediateRotationAngle;
    Navik::Dictionary parameters;
    parameters.SetValueForKey("KeystoningActive", Navik::Value(true));
    parameters.SetValueForKey("OutputImageMaxSize", Navik::Value(300.0));
    parameters.SetValueForKey("KeystoningHorizon", Navik::Value(m_rotationAngle));
    parameters.SetValueForKey("KeystoningKeepCenter", Navik::Value(true));
    setTransformToDictionary(parameters, "KeystoningPreviousHomographyBackward", QTransform());
    IProcessEngine* processEngine = engine();
    const bool taken = processEngine && processEngine->addCEDictionaryParameters(parameters);
    emit setPreviewButtonEnabled(false);
    if (taken) {
        const QString text = QString::fromStdString(dictionaryText(processEngine->getLastTransformInParams()));
        LOG_MESSAGE('I', "CE dictionary before keystoning apply: " << text);
    }
    return taken;
}

void CHorizonCorrection::applyManuallyPartially(bool apply)
{
    emit setPreviewButtonEnabled(false);
    if (m_rotationAngle != m_intermediateRotationAngle) {
        if (apply) {
            m_rotationAngle = m_intermediateRotationAngle;
            applyPartially();
        }
        emit onRotationAngleWasChanged(roundedAngle(m_intermediateRotationAngle));
    }
    CUndoController::instance()->createUndoCommand(QStringLiteral("Horizon correction partially applied"));
}

void CHorizonCorrection::relayoutTools()
{
    if (host() && host()->currentCorrectionName() == g_keystoningCorrectionId && isModuleActive())
        m_relayoutTool = true;
}

void CHorizonCorrection::onMouseReleaseEvent(const CRectangleNode* node, const CEdge* edge,
                                             QGraphicsSceneMouseEvent* event)
{
    if (!event || !event->widget() || !qobject_cast<CBaseGraphicsView*>(event->widget()->parent()))
        return;
    sceneItemMoved(node, edge, event->modifiers().testFlag(Qt::ControlModifier));
}

void CHorizonCorrection::onKeyReleaseEvent(const CRectangleNode* node, QKeyEvent* event)
{
    if (!event || !qobject_cast<CBaseGraphicsView*>(QApplication::focusWidget()))
        return;
    sceneItemMoved(node, nullptr, event->modifiers().testFlag(Qt::ControlModifier));
}

void CHorizonCorrection::sceneItemMoved(const CRectangleNode* node, const CEdge* edge, bool controlHeld)
{
    CBaseKeystoningCorrection::sceneItemMoved(node, edge, controlHeld);
    bool valid = false;
    const double measured = measureLineAngle(afterSceneItems, true, &valid);
    // A line without direction gives no angle: both angles stay and nothing is sent.
    if (valid) {
        double angle = m_rotationAngle + measured;
        if (isCurrentItemsOnAfterScene()) {
            angle = std::clamp(angle, -90.0, 90.0);
            const bool differs = angle != m_rotationAngle || angle != m_intermediateRotationAngle;
            if (controlHeld) {
                if (differs) {
                    m_rotationAngle = angle;
                    m_intermediateRotationAngle = angle;
                    applyPartially();
                    emit onRotationAngleWasChanged(roundedAngle(angle));
                }
            } else {
                emit setPreviewButtonEnabled(true);
                if (differs) {
                    m_intermediateRotationAngle = angle;
                    emit onRotationAngleWasChanged(roundedAngle(angle));
                }
            }
        } else if (isCurrentItemsOnBeforeScene()) {
            if (angle < -90.0)
                angle += 180.0;
            if (angle > 90.0)
                angle -= 180.0;
            if (angle != m_rotationAngle || angle != m_intermediateRotationAngle) {
                m_rotationAngle = angle;
                m_intermediateRotationAngle = angle;
                applyPartially();
                emit onRotationAngleWasChanged(roundedAngle(angle));
            }
        }
    }
    if (node)
        CUndoController::instance()->pushUndoCommand(
            new CGraphicsItemPosChangedByKeyEventCustomUndoCommand(QStringLiteral("Horizon correction scene point moved"), node));
    else if (edge)
        CUndoController::instance()->pushUndoCommand(
            new CGraphicsItemPosChangedByKeyEventCustomUndoCommand(QStringLiteral("Horizon correction scene edge moved"), edge));
}

void CHorizonCorrection::activateSpecificCorrection(const QString& argument)
{
    if (argument == g_horizontalCorrectionArgument)
        activateTool(HorizontalMode);
    else if (argument == g_verticalCorrectionArgument)
        activateTool(VerticalMode);
}

void CHorizonCorrection::activateTool(int tool)
{
    setModuleActive(true);
    ASSERT(currentSceneItems);
    beforeItems()->setHorizonMode();
    afterItems()->setHorizonMode();
    emit setPreviewButtonEnabled(false);
    if (m_correctionMode == NoMode) {
        placeToolLine(afterSceneItems, tool);
        copyNodePositions(afterSceneItems, beforeSceneItems, kAfterToBefore);
        beforeItems()->savePoints(tool, m_rotationAngle);
    } else if (m_correctionMode != tool) {
        afterItems()->savePoints(m_correctionMode, m_rotationAngle);
        if (!afterItems()->tryToRestoresavedPoints(tool, m_rotationAngle)) {
            placeToolLine(afterSceneItems, tool);
            afterItems()->savePoints(tool, m_rotationAngle);
        }
        copyNodePositions(afterSceneItems, beforeSceneItems, kAfterToBefore);
    }
    showTool(tool);
}

void CHorizonCorrection::showTool(int tool)
{
    const bool isCurrent = isCurrentCorrection();
    m_relayoutTool = true;
    if (m_correctionMode == NoMode) {
        resetLine(tool);
        m_correctionMode = tool;
        m_resetTool = true;
        emit onRotationAngleWasChanged(0.0);
    } else {
        m_correctionMode = tool;
    }
    if (host())
        host()->deactivateAllSceneItems();
    setToolColor(edgeColor());
    const bool ok = applyPartially();
    if (isCurrent || !ok)
        if (QGraphicsItemGroup* group = currentItemsGroup())
            group->show();
    if (host())
        if (QGraphicsItemGroup* group = host()->beforeSceneItemGroup(id()))
            group->show();
    emit setPreviewButtonEnabled(false);
    for (CCorrectionItems* items : {beforeSceneItems, afterSceneItems})
        for (CRectangleNode* node : items->nodes())
            if (node)
                node->clearFocus();
    if (QGraphicsItemGroup* group = currentItemsGroup())
        if (group->scene())
            group->scene()->update();
}

void CHorizonCorrection::hideItemGroups()
{
    if (!host())
        return;
    for (QGraphicsItemGroup* group : {host()->beforeSceneItemGroup(id()), host()->afterSceneItemGroup(id())}) {
        if (!group)
            continue;
        group->hide();
        if (group->scene())
            group->scene()->update();
    }
}

void CHorizonCorrection::setModuleActive(bool active)
{
    if (!setModuleState(active))
        return;
    IProcessEngine* processEngine = engine();
    if (active) {
        if (processEngine)
            processEngine->onCEPropertyBoolChanged(QStringLiteral("KeystoningActive"), true);
        applyPartially();
        return;
    }
    Navik::Dictionary parameters;
    const bool keystoningActive = host() && host()->isModuleActive(g_keystoningCorrectionId);
    if (!keystoningActive)
        parameters.SetValueForKey("KeystoningActive", Navik::Value(false));
    parameters.SetValueForKey("KeystoningHorizon", Navik::Value(0.0));
    if (processEngine)
        processEngine->addCEDictionaryParameters(parameters);
    hideItemGroups();
}

void CHorizonCorrection::setSingleMode()
{
    if (m_correctionMode != NoMode && isCurrentCorrection() && host()) {
        if (QGraphicsItemGroup* group = host()->beforeSceneItemGroup(id()))
            group->hide();
        if (QGraphicsItemGroup* group = host()->afterSceneItemGroup(id()))
            group->show();
        applyPartially();
    }
    currentSceneItems = afterSceneItems;
    emit setPreviewButtonEnabled(false);
    emit setPreviewButtonVisible(true);
}

void CHorizonCorrection::setSplitedMode()
{
    if (m_correctionMode != NoMode && isCurrentCorrection() && host()) {
        if (QGraphicsItemGroup* group = host()->beforeSceneItemGroup(id()))
            group->show();
        if (QGraphicsItemGroup* group = host()->afterSceneItemGroup(id()))
            group->hide();
        applyPartially();
    }
    currentSceneItems = beforeSceneItems;
    emit setPreviewButtonEnabled(false);
    emit setPreviewButtonVisible(false);
}

void CHorizonCorrection::resetCurrentCorrection()
{
    resetLine(m_correctionMode);
    m_resetTool = true;
    emit onRotationAngleWasChanged(0.0);
    showTool(m_correctionMode);
    m_resetTool = true;
}

void CHorizonCorrection::resetModule()
{
    if (isCurrentCorrection()) {
        resetCurrentCorrection();
        emit resetModuleUI();
        return;
    }
    resetLine(m_correctionMode);
    m_resetTool = true;
    emit onRotationAngleWasChanged(0.0);
    if (isModuleActive())
        applyPartially();
    m_correctionMode = NoMode;
    hideItemGroups();
    emit resetModuleUI();
}

void CHorizonCorrection::resetForNewImage()
{
    resetModule();
    hideItemGroups();
}

void CHorizonCorrection::applyCorrection(bool* applied)
{
    if (!isModuleActive())
        return;
    const bool ok = applyPartially();
    if (applied)
        *applied = ok;
    hideItemGroups();
}

void CHorizonCorrection::doInitialize()
{
    currentSceneItems = beforeSceneItems;
    if (IProcessEngine* processEngine = engine())
        connect(processEngine->getQObject(), SIGNAL(transformOutParamsChanged()), this,
                SLOT(transformOutParamsChanged()));
    createCorrectionItems(host()->beforeSceneItemGroup(id()), beforeSceneItems, QStringLiteral("BeforeHorizon"));
    createCorrectionItems(host()->afterSceneItemGroup(id()), afterSceneItems, QStringLiteral("AfterHorizon"));
    afterSceneItems->setOnResultImage(true);
    setToolColor(edgeColor());
    if (QObject* hostObject = host()->hostObject())
        connect(hostObject, SIGNAL(correctionOrModuleStateIsChanged()), this, SLOT(relayoutTools()));
}

void CHorizonCorrection::transformOutParamsChanged()
{
    if (m_hasPendingState) {
        const QByteArray state = m_pendingState;
        restoreAll(state);
        m_hasPendingState = false;
        m_pendingState.clear();
    } else if (m_correctionMode != NoMode) {
        copyNodePositions(beforeSceneItems, afterSceneItems, kBeforeToAfter);
        if (m_relayoutTool) {
            bool valid = false;
            const double tilt = measureLineAngle(afterSceneItems, false, &valid);
            if (valid && afterSceneItems->leftTop && afterSceneItems->rightTop) {
                const QPointF middle = (afterSceneItems->leftTop->scenePos() + afterSceneItems->rightTop->scenePos()) / 2.0;
                QTransform turn;
                turn.translate(middle.x(), middle.y());
                turn.rotate(tilt);
                turn.translate(-middle.x(), -middle.y());
                copyNodePositionsWithTransform(afterSceneItems, afterSceneItems, turn);
                copyNodePositions(afterSceneItems, beforeSceneItems, kAfterToBefore);
            }
            m_relayoutTool = false;
        }
        if (m_resetTool) {
            placeToolLine(afterSceneItems, m_correctionMode);
            copyNodePositions(afterSceneItems, beforeSceneItems, kAfterToBefore);
            m_resetTool = false;
        }
        bool valid = false;
        const double residual = measureLineAngle(afterSceneItems, true, &valid);
        if (valid && std::abs(residual) >= kResidualThreshold && isModuleActive()) {
            const double angle = std::clamp(m_rotationAngle + residual, -90.0, 90.0);
            if (angle != m_rotationAngle || angle != m_intermediateRotationAngle) {
                m_rotationAngle = angle;
                m_intermediateRotationAngle = angle;
                applyPartially();
                emit onRotationAngleWasChanged(roundedAngle(angle));
            }
            copyNodePositions(beforeSceneItems, afterSceneItems, kBeforeToAfter);
        }
        if (isCurrentCorrection())
            if (QGraphicsItemGroup* group = currentItemsGroup())
                group->show();
    }
    if (afterSceneItems)
        afterSceneItems->setOnResultImage(true);
}

double CHorizonCorrection::measureLineAngle(CCorrectionItems* items, bool project, bool* valid)
{
    if (valid)
        *valid = false;
    if (!items || !items->leftTop || !items->rightTop)
        return m_rotationAngle;
    QPointF a = items->leftTop->scenePos();
    QPointF b = items->rightTop->scenePos();
    if (project) {
        const Navik::Dictionary parameters = engine() ? engine()->getLastTransformInParams() : Navik::Dictionary();
        a = mapPointThroughHVRatio(a, parameters, true);
        b = mapPointThroughHVRatio(b, parameters, true);
    }
    bool ok = false;
    const double angle = HorizonGeometry::lineAngle(a, b, m_correctionMode, &ok);
    if (valid)
        *valid = ok;
    return ok ? angle : m_rotationAngle;
}

void CHorizonCorrection::placeToolLine(CCorrectionItems* items, int tool)
{
    if (!items || !items->leftTop || !items->leftTop->scene())
        return;
    const QRectF rect = items->leftTop->scene()->sceneRect();
    const QVector<QPointF> points = HorizonGeometry::toolLinePoints(rect.size(), tool);
    if (points.size() == 4) {
        items->leftTop->setPos(points.at(0));
        items->rightTop->setPos(points.at(1));
        items->leftBottom->setPos(points.at(2));
        items->rightBottom->setPos(points.at(3));
    } else {
        items->leftBottom->setPos(0.0, rect.height());
        items->rightBottom->setPos(rect.width(), rect.height());
    }
    if (auto* horizonItems = dynamic_cast<CHorizonCorrectionItems*>(items))
        horizonItems->clearSavedPoints();
}

namespace {

void placeKeptInside(CCorrectionItems* to, QVector<QPointF> points)
{
    ASSERT(points.size() >= 2);
    if (points.size() >= 4 && to->topEdge && to->topEdge->scene())
        HorizonGeometry::clipLineToRect(to->topEdge->scene()->sceneRect(), points[0], points[3]);
    const QVector<CRectangleNode*> nodes = to->nodes();
    ASSERT(nodes.size() == points.size());
    const qsizetype count = std::min(nodes.size(), points.size());
    for (qsizetype i = 0; i < count; ++i)
        if (nodes.at(i))
            nodes.at(i)->setPos(points.at(i));
}

} // namespace

void CHorizonCorrection::copyNodePositions(CCorrectionItems* from, CCorrectionItems* to, int mode)
{
    if (!from || !to)
        return;
    placeKeptInside(to, projectPointsThroughEngine(from->nodeScenePositions(), mode));
}

void CHorizonCorrection::copyNodePositionsWithTransform(CCorrectionItems* from, CCorrectionItems* to,
                                                        const QTransform& transform)
{
    if (!from || !to)
        return;
    placeKeptInside(to, mapPointThroughTransform(from->nodeScenePositions(), transform));
}
