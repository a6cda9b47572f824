#include "crop/CCropCorrection.h"

#include "correction/ICorrectionModuleHost.h"
#include "crop/CCropGraphicsRect.h"
#include "crop/CropGraphicsItems.h"
#include "crop/CropToolPane.h"
#include "shell/IProcessEngine.h"
#include "utils/CSettings.h"
#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QDataStream>
#include <QGraphicsItemGroup>
#include <QGraphicsScene>
#include <QIODevice>

#include <Navik/Value.h>

#include <algorithm>
#include <cmath>

using NAVIK_tarl1::CSettings;

namespace {

const QString ModuleId = QStringLiteral("Crop");
const QString EnableKey = QStringLiteral("CropCorrection/cropIsEnable");
const QString ConstrainKey = QStringLiteral("CropCorrection/cropIsConstrainToImage");

// Qt's relative comparison of two doubles, both read as doubles.
bool sameRatio(double a, double b)
{
    return std::abs(a - b) <= 1e-12 * std::min(std::abs(a), std::abs(b));
}

} // namespace

QVariant CCropCorrection::NormalizedCropRect::toVariant() const
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    for (double value : {left, top, right, bottom})
        stream << (std::isfinite(value) ? value : 0.0);
    return bytes;
}

CCropCorrection::NormalizedCropRect CCropCorrection::NormalizedCropRect::fromVariant(const QVariant& value)
{
    NormalizedCropRect rect{0.0, 0.0, 0.0, 0.0};
    const QByteArray bytes = value.toByteArray();
    QDataStream stream(bytes);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    for (double* field : {&rect.left, &rect.top, &rect.right, &rect.bottom}) {
        double read = 0.0;
        stream >> read;
        *field = stream.status() == QDataStream::Ok && std::isfinite(read) ? read : 0.0;
    }
    return rect;
}

CCropCorrection::CCropCorrection(int order)
    : CBaseCorrectionModule(order)
{
}

CCropCorrection::~CCropCorrection() = default;

QString CCropCorrection::id() const
{
    return ModuleId;
}

QString CCropCorrection::moduleDisplayName() const
{
    return tr("Crop");
}

IProcessEngine* CCropCorrection::engine() const
{
    return host() ? host()->processEngine() : nullptr;
}

QGraphicsItemGroup* CCropCorrection::group() const
{
    return host() ? host()->afterSceneItemGroup(ModuleId) : nullptr;
}

bool CCropCorrection::engineCropRatio(double* ratio) const
{
    IProcessEngine* processEngine = engine();
    if (!processEngine)
        return false;
    const Navik::Dictionary params = processEngine->getLastTransformInParams();
    if (params.Count() == 0)
        return false;
    const Navik::Value value = params.GetValueForKey("CropRatio");
    bool ok = false;
    const double read = value.AsDouble(&ok);
    if (!ok || !value.IsNumber())
        return false;
    *ratio = read;
    return true;
}

double CCropCorrection::cropRatio() const
{
    double ratio = -1.0;
    return engineCropRatio(&ratio) ? ratio : -1.0;
}

QString CCropCorrection::cropType() const
{
    return cropTypeIsAuto ? QStringLiteral("autoCrop") : QStringLiteral("manualCrop");
}

CCropCorrection::NormalizedCropRect CCropCorrection::currentCropRect() const
{
    return cropGraphicsRect ? cropGraphicsRect->calcNormalizedRect() : NormalizedCropRect();
}

CCropCorrection::NormalizedCropRect CCropCorrection::clampAutoRect(const QRectF& r)
{
    if (!(r.width() > 0 && r.height() > 0) || !std::isfinite(r.x()) || !std::isfinite(r.y())
        || !std::isfinite(r.width()) || !std::isfinite(r.height()))
        return {};
    const NormalizedCropRect clamped{std::max(0.0, r.x()), std::max(0.0, r.y()), std::min(1.0, r.x() + r.width()),
                                     std::min(1.0, r.y() + r.height())};
    // A rectangle wholly outside the image would turn inside out.
    if (!(clamped.right > clamped.left) || !(clamped.bottom > clamped.top))
        return {};
    return clamped;
}

CCropCorrection::NormalizedCropRect CCropCorrection::autoCropRect() const
{
    IProcessEngine* processEngine = engine();
    return processEngine ? clampAutoRect(processEngine->getCropRectAuto()) : NormalizedCropRect();
}

void CCropCorrection::setCropRectSilently(NormalizedCropRect rect)
{
    ignoreCropRectMoving = true;
    if (cropGraphicsRect)
        cropGraphicsRect->setCropRect(rect);
    ignoreCropRectMoving = false;
}

void CCropCorrection::showCropSizeLabel()
{
    if (cropSizeLabel)
        cropSizeLabel->showLabel();
}

void CCropCorrection::onUpdateCropSizeLabelUnits()
{
    if (cropSizeLabel)
        cropSizeLabel->updateUnits();
}

void CCropCorrection::doInitialize()
{
    LOG_TRACE();
    if (IProcessEngine* processEngine = engine())
        connect(processEngine->getQObject(), SIGNAL(transformOutParamsChanged()), this,
                SLOT(transformOutParamsChanged()));
    QGraphicsItemGroup* itemGroup = group();
    // A host without an after scene offers no group for the items: the module
    // then builds none and works on without them.
    ASSERT(itemGroup);
    if (itemGroup) {
        cropGraphicsRect = new CCropGraphicsRect(*this, itemGroup, this);
        overlayRect = new CCropOverlayRect(QStringLiteral("overlayRect"), nullptr);
        overlayRect->setBackgroundOpacity(CropOverlayOpacitySlider::savedValue());
        connect(cropGraphicsRect, &CCropGraphicsRect::cropRectChanged, overlayRect,
                &CCropOverlayRect::onCropRectChanged);
        if (itemGroup->scene())
            connect(itemGroup->scene(), &QGraphicsScene::sceneRectChanged, overlayRect,
                    &CCropOverlayRect::sceneRectChanged);
        host()->addItemToAfterSceneGroupB(overlayRect);
        cropSizeLabel = new CCropSizeLabel(itemGroup, QStringLiteral("CropSizeLabel"));
        connect(cropGraphicsRect, &CCropGraphicsRect::cropRectChanged, cropSizeLabel,
                &CCropSizeLabel::onCropRectChanged);
    }
    connect(host()->hostObject(), SIGNAL(correctionOrModuleStateIsChanged()), this, SLOT(updateParametersInCE()));
    setCropTypeAuto(true);
    setShowGrid(true);
    setRatio(-1);
    if (overlayRect)
        overlayRect->setVisible(true);
}

QWidget* CCropCorrection::createToolPaneWidget(QWidget* parent)
{
    auto* pane = new CCropToolPane(parent, host(), id());
    toolPane = pane;
    connect(pane, &CCropToolPane::showGrid, this, &CCropCorrection::setShowGrid);
    if (overlayRect)
        connect(pane, &CCropToolPane::backgroundOpacityChanged, overlayRect, &CCropOverlayRect::setBackgroundOpacity);
    pane->restoreShowGrid();
    return pane;
}

QWidget* CCropCorrection::createSettingsWidget(QWidget* parent)
{
    auto* panel = new CCropSettings(this, host(), parent);
    connect(this, &CCropCorrection::resetModuleUI, panel, &CCropSettings::moduleReseted);
    return panel;
}

void CCropCorrection::onCropRectMoved()
{
    if (ignoreCropRectMoving || !cropGraphicsRect)
        return;
    lastUsedManualCropRect = cropGraphicsRect->calcNormalizedRect();
    lastUsedManualCropRectIsInitialized = true;
    if (cropTypeIsAuto && host())
        host()->processModuleAction(ModuleId, QStringLiteral("AdditionalControlTouched"), QStringLiteral("manualCrop"));
}

void CCropCorrection::setShowGrid(bool show)
{
    if (cropGraphicsRect)
        cropGraphicsRect->setShowGrid(show);
    emit cropShowGridChanged(show);
}

void CCropCorrection::updateParametersInCE()
{
    if (!host())
        return;
    QGraphicsItemGroup* itemGroup = group();
    const QString current = host()->currentCorrectionName();
    const bool cropCurrent = current == ModuleId;
    if (itemGroup && itemGroup->isVisible() != cropCurrent) {
        itemGroup->setVisible(cropCurrent);
        if (cropCurrent && cropGraphicsRect)
            cropGraphicsRect->releaseFocus();
    }
    Navik::Dictionary params;
    const bool cropActive = host()->isModuleActive(ModuleId);
    if (current != ModuleId && current != QLatin1String("Horizon") && current != QLatin1String("Keystoning")) {
        params.SetValueForKey("CropActive", cropActive);
        if (overlayRect)
            overlayRect->setHideOnSceneRectChange(true);
    } else {
        params.SetValueForKey("CropActive", false);
        if (cropActive && overlayRect) {
            overlayRect->setVisible(true);
            overlayRect->setHideOnSceneRectChange(false);
        }
    }
    params.SetValueForKey("CropAuto", cropTypeIsAuto);
    IProcessEngine* processEngine = engine();
    if (!processEngine)
        return;
    processEngine->addCEDictionaryParameters(params);
    const bool engineAuto = processEngine->getLastTransformInParams().GetValueForKey("CropAuto", false).AsBool();
    ASSERT(engineAuto == cropTypeIsAuto);
}

void CCropCorrection::setModuleActive(bool active)
{
    if (!setModuleState(active))
        return;
    {
        CSettings settings(nullptr);
        settings.setValue(EnableKey, active);
    }
    updateParametersInCE();
    if (!active) {
        if (QGraphicsItemGroup* itemGroup = group())
            itemGroup->setVisible(false);
    }
    if (overlayRect)
        overlayRect->setVisible(active);
}

void CCropCorrection::activateSpecificCorrection(const QString&)
{
    if (!cropTypeIsAuto)
        setCropRectSilently(lastUsedManualCropRect);
    updateParametersInCE();
    if (cropGraphicsRect)
        cropGraphicsRect->releaseFocus();
}

void CCropCorrection::touchAdditionalControl(const QString& argument)
{
    LOG_TRACE();
    if (argument == QLatin1String("manualCrop")) {
        if (cropTypeIsAuto)
            cropTypeIsAuto = false;
    } else if (argument == QLatin1String("autoCrop")) {
        setCropTypeAuto(true);
    } else if (argument == QLatin1String("constrainToImage")) {
        constrainToImage = true;
        {
            CSettings settings(nullptr);
            settings.setValue(ConstrainKey, true);
        }
        if (cropGraphicsRect && !cropGraphicsRect->isCropRectInsideImage())
            host()->processModuleAction(ModuleId, QStringLiteral("AdditionalControlTouched"), QStringLiteral("autoCrop"));
    } else if (argument == QLatin1String("freeToImage")) {
        constrainToImage = false;
        CSettings settings(nullptr);
        settings.setValue(ConstrainKey, false);
    } else {
        applyRatioText(argument);
    }
    updateParametersInCE();
}

void CCropCorrection::setCropTypeAuto(bool autoCrop)
{
    if (cropTypeIsAuto == autoCrop)
        return;
    if (!cropTypeIsAuto && cropGraphicsRect) {
        lastUsedManualCropRect = cropGraphicsRect->calcNormalizedRect();
        lastUsedManualCropRectIsInitialized = true;
    }
    cropTypeIsAuto = autoCrop;
    if (autoCrop) {
        double ratio = -1.0;
        setRatio(engineCropRatio(&ratio) ? ratio : -1.0);
    }
}

void CCropCorrection::applyRatioText(const QString& text)
{
    bool ok = false;
    double ratio = text.toDouble(&ok);
    // A text that reads as no finite number is ignored.
    if (!ok || !std::isfinite(ratio))
        return;
    IProcessEngine* processEngine = engine();
    // The picture as the user sees it: a quarter turn (the EXIF orientation
    // or the user's own) shows the stored picture's width as its height.
    QSize imageSize = processEngine ? processEngine->getOriginalImageSize() : QSize();
    if (processEngine && processEngine->getCurrentRotation() % 2 != 0)
        imageSize.transpose();
    // The image's shape, when it has one: a zero side counts as no size.
    const bool hasImageSize = imageSize.width() > 0 && imageSize.height() > 0;
    if (ratio == 0.0) {
        if (hasImageSize) {
            ratio = double(imageSize.width()) / imageSize.height();
            if (ratio < 1)
                ratio = 1 / ratio;
        }
        preserveImageRatio = true;
    } else {
        preserveImageRatio = false;
    }
    if (ratio > 0) {
        double current = -1.0;
        engineCropRatio(&current);
        if (current > 0 && current < 1)
            ratio = 1 / ratio;
        else if (!(current > 1) && hasImageSize && double(imageSize.width()) / imageSize.height() < 1)
            ratio = 1 / ratio;
    }
    setRatio(ratio);
}

void CCropCorrection::setRatio(qreal ratio)
{
    if (qFuzzyCompare(ratio, -1.0))
        preserveImageRatio = false;
    double current = 0.0;
    IProcessEngine* processEngine = engine();
    if (!processEngine || processEngine->getLastTransformInParams().Count() == 0)
        return;
    // The engine may hold the ratio as an int (its seed -1) or a double: both
    // sides are compared as doubles.
    const bool known = engineCropRatio(&current);
    if (known && sameRatio(current, ratio))
        return;
    Navik::Dictionary params;
    params.SetValueForKey("CropRatio", double(ratio));
    processEngine->addCEDictionaryParameters(params);
    if (!cropGraphicsRect)
        return;
    if (cropTypeIsAuto)
        cropGraphicsRect->setCropRatio(ratio);
    else
        cropGraphicsRect->setCropRatioAndMoveRect(ratio);
}

void CCropCorrection::invertCropRatio()
{
    double current = 0.0;
    IProcessEngine* processEngine = engine();
    if (!processEngine || !engineCropRatio(&current) || current == 0.0)
        return;
    Navik::Dictionary params;
    params.SetValueForKey("CropRatio", double(float(1.0 / current)));
    processEngine->addCEDictionaryParameters(params);
}

void CCropCorrection::applyCorrection(bool*)
{
    LOG_TRACE();
    updateParametersInCE();
    IProcessEngine* processEngine = engine();
    if (!processEngine)
        return;
    Navik::Dictionary params;
    params.SetValueForKey("CropActive", true);
    if (!cropTypeIsAuto) {
        params.SetValueForKey("CropAuto", false);
        if (cropGraphicsRect)
            lastUsedManualCropRect = cropGraphicsRect->calcNormalizedRect();
        lastUsedManualCropRectIsInitialized = true;
        processEngine->setCropRect(lastUsedManualCropRect.toRectF());
    } else {
        params.SetValueForKey("CropAuto", true);
    }
    processEngine->addCEDictionaryParameters(params);
}

void CCropCorrection::resetCurrentCorrection()
{
    setRatio(-1);
    if (!cropTypeIsAuto) {
        if (!constrainToImage) {
            setCropRectSilently({});
        } else if (host() && host()->currentCorrectionName() == ModuleId) {
            host()->processModuleAction(ModuleId, QStringLiteral("AdditionalControlTouched"), QStringLiteral("autoCrop"));
        } else {
            setCropTypeAuto(true);
        }
        lastUsedManualCropRect = {};
        lastUsedManualCropRectIsInitialized = true;
    }
    updateParametersInCE();
}

void CCropCorrection::resetModule()
{
    LOG_TRACE();
    const NormalizedCropRect before = lastUsedManualCropRect;
    resetCurrentCorrection();
    IProcessEngine* processEngine = engine();
    if (processEngine) {
        Navik::Dictionary params;
        if (!cropTypeIsAuto) {
            params.SetValueForKey("CropAuto", false);
            processEngine->setCropRect(lastUsedManualCropRect.toRectF());
        } else {
            params.SetValueForKey("CropAuto", true);
        }
        processEngine->addCEDictionaryParameters(params);
        // A stored rectangle that changed must reach the view even when the
        // dictionary did not change, or a save would crop differently from
        // what the view shows.
        if (!cropTypeIsAuto && !(before == lastUsedManualCropRect))
            processEngine->processLoResResultImage();
    }
    emit resetModuleUI();
}

void CCropCorrection::resetForNewImage()
{
    LOG_TRACE();
    if (overlayRect)
        overlayRect->setVisible(false);
    setRatio(-1);
    cropTypeIsAuto = true;
    newImagePending = true;
    setCropRectSilently({});
    hasPendingState = false;
    pendingState.clear();
    lastUsedManualCropRect = {};
    lastUsedManualCropRectIsInitialized = false;
    lastUsedAutoCropRect = {};
    if (cropGraphicsRect)
        cropGraphicsRect->releaseFocus();
    updateParametersInCE();
    emit resetModuleUI();
    CBaseCorrectionModule::resetForNewImage();
}

void CCropCorrection::transformOutParamsChanged()
{
    if (hasPendingState) {
        applyState(pendingState);
        hasPendingState = false;
    }
    if (newImagePending) {
        CSettings settings(nullptr);
        constrainToImage = settings.value(ConstrainKey, false).toBool();
        const bool enabled = settings.value(EnableKey, true).toBool();
        newImagePending = false;
        if (host())
            host()->processModuleAction(ModuleId, enabled ? QStringLiteral("ModuleActivate")
                                                          : QStringLiteral("ModuleDeactivate"),
                                        QString());
    }
    if (cropTypeIsAuto) {
        IProcessEngine* processEngine = engine();
        lastUsedAutoCropRect = processEngine ? clampAutoRect(processEngine->getCropRectAuto()) : NormalizedCropRect();
        setCropRectSilently(lastUsedAutoCropRect);
    }
    if (constrainToImage && cropGraphicsRect && !cropGraphicsRect->isCropRectInsideImage() && host()
        && host()->currentCorrectionName() == ModuleId && !cropTypeIsAuto)
        host()->processModuleAction(ModuleId, QStringLiteral("AdditionalControlTouched"), QStringLiteral("autoCrop"));
}

// ---- Saved state -----------------------------------------------------------

QByteArray CCropCorrection::serialize()
{
    QMap<QString, QVariant> map;
    QGraphicsItemGroup* after = group();
    QGraphicsItemGroup* before = host() ? host()->beforeSceneItemGroup(ModuleId) : nullptr;
    map.insert(QStringLiteral("afterSceneItemVisibility"), after && after->isVisible());
    map.insert(QStringLiteral("baseCorrection"), serializeBaseState());
    map.insert(QStringLiteral("beforeSceneItemVisibility"), before && before->isVisible());
    map.insert(QStringLiteral("constrainToImage"), constrainToImage);
    map.insert(QStringLiteral("cropGraphicsRect"), cropGraphicsRect ? cropGraphicsRect->toByteArray() : QByteArray());
    map.insert(QStringLiteral("cropSizeLabel"), cropSizeLabel ? cropSizeLabel->toByteArray() : QByteArray());
    map.insert(QStringLiteral("cropTypeIsAuto"), cropTypeIsAuto);
    map.insert(QStringLiteral("delta"), delta);
    map.insert(QStringLiteral("ignoreCropRectMoving"), ignoreCropRectMoving);
    map.insert(QStringLiteral("lastUsedAutoCropRect"), lastUsedAutoCropRect.toVariant());
    map.insert(QStringLiteral("lastUsedManualCropRect"), lastUsedManualCropRect.toVariant());
    map.insert(QStringLiteral("lastUsedManualCropRectIsInitialized"), lastUsedManualCropRectIsInitialized);
    map.insert(QStringLiteral("overlayRect"), overlayRect ? overlayRect->toByteArray() : QByteArray());
    return NAVIK_tarl1::variantMapToBytes(map);
}

bool CCropCorrection::isEqual(const QByteArray& a, const QByteArray& b)
{
    return a == b;
}

void CCropCorrection::deserialize(const QByteArray& data, bool deferred)
{
    LOG_TRACE();
    const QMap<QString, QVariant> map = NAVIK_tarl1::variantMapFromBytes(data);
    if (map.contains(QStringLiteral("baseCorrection")))
        deserializeBaseState(map.value(QStringLiteral("baseCorrection")).toByteArray());
    if (map.contains(QStringLiteral("cropTypeIsAuto")))
        cropTypeIsAuto = map.value(QStringLiteral("cropTypeIsAuto")).toBool();
    if (map.contains(QStringLiteral("constrainToImage")))
        constrainToImage = map.value(QStringLiteral("constrainToImage")).toBool();
    if (map.contains(QStringLiteral("beforeSceneItemVisibility")) && host()) {
        if (QGraphicsItemGroup* before = host()->beforeSceneItemGroup(ModuleId))
            before->setVisible(map.value(QStringLiteral("beforeSceneItemVisibility")).toBool());
    }
    if (map.contains(QStringLiteral("afterSceneItemVisibility"))) {
        if (QGraphicsItemGroup* after = group())
            after->setVisible(map.value(QStringLiteral("afterSceneItemVisibility")).toBool());
    }
    if (!deferred) {
        applyState(data);
    } else {
        pendingState = data;
        hasPendingState = true;
    }
}

void CCropCorrection::applyState(const QByteArray& data)
{
    const QMap<QString, QVariant> map = NAVIK_tarl1::variantMapFromBytes(data);
    auto has = [&map](const char* key) { return map.contains(QLatin1String(key)); };
    auto value = [&map](const char* key) { return map.value(QLatin1String(key)); };
    if (has("baseCorrection"))
        deserializeBaseState(value("baseCorrection").toByteArray());
    if (has("cropTypeIsAuto"))
        cropTypeIsAuto = value("cropTypeIsAuto").toBool();
    if (has("ignoreCropRectMoving"))
        ignoreCropRectMoving = value("ignoreCropRectMoving").toBool();
    if (has("delta"))
        delta = value("delta").toPointF();
    if (has("cropGraphicsRect") && cropGraphicsRect)
        cropGraphicsRect->restoreState(value("cropGraphicsRect").toByteArray());
    if (has("lastUsedManualCropRect"))
        lastUsedManualCropRect = NormalizedCropRect::fromVariant(value("lastUsedManualCropRect"));
    if (has("lastUsedManualCropRectIsInitialized"))
        lastUsedManualCropRectIsInitialized = value("lastUsedManualCropRectIsInitialized").toBool();
    if (has("lastUsedAutoCropRect"))
        lastUsedAutoCropRect = NormalizedCropRect::fromVariant(value("lastUsedAutoCropRect"));
    if (has("overlayRect") && overlayRect)
        overlayRect->restoreState(value("overlayRect").toByteArray());
    if (has("cropSizeLabel") && cropSizeLabel)
        cropSizeLabel->restoreState(value("cropSizeLabel").toByteArray());
}
