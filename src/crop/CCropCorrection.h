#pragma once

// The crop correction module: automatic or manual crop, the ratio and the
// constrain-to-image choice, the rectangles last used in each mode, the four
// crop parameters sent to the engine, and the module's saved state.

#include "correction/CBaseCorrectionModule.h"
#include "crop/CropSettings.h"

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QString>
#include <QVariant>

class CCropGraphicsRect;
class CCropOverlayRect;
class CCropSizeLabel;
class CCropToolPane;
class IProcessEngine;
class QGraphicsItemGroup;

class CCropCorrection : public CBaseCorrectionModule, public ICropModuleState
{
    Q_OBJECT
public:
    // The crop rectangle in fractions of the corrected image's width (left,
    // right) and height (top, bottom); {0, 0, 1, 1} is the whole image.
    struct NormalizedCropRect
    {
        double left = 0.0;
        double top = 0.0;
        double right = 1.0;
        double bottom = 1.0;

        // 32 bytes of a data stream; non-finite values are written as 0.
        QVariant toVariant() const;
        // Reads the 32 bytes back; a value that is missing or not finite is 0.
        static NormalizedCropRect fromVariant(const QVariant& value);
        QRectF toRectF() const { return QRectF(left, top, right - left, bottom - top); }
        bool operator==(const NormalizedCropRect& other) const = default;
    };

    explicit CCropCorrection(int order);
    ~CCropCorrection() override;

    // ISerializableInterface
    QByteArray serialize() override;
    void deserialize(const QByteArray& data, bool deferred) override;
    bool isEqual(const QByteArray& a, const QByteArray& b) override;
    QString id() const override;

    // ICorrectionModuleInterface
    QWidget* createToolPaneWidget(QWidget* parent) override;
    void attachToLayout(QLayout*) override {}
    void setSingleMode() override {}
    void setSplitedMode() override {}
    void setModuleActive(bool active) override;
    void activateSpecificCorrection(const QString& argument) override;
    void touchAdditionalControl(const QString& argument) override;
    void resetForNewImage() override;
    void resetModule() override;
    void resetCurrentCorrection() override;
    void applyCorrection(bool* applied = nullptr) override;
    QWidget* createSettingsWidget(QWidget* parent) override;
    bool isModuleAvailable() override { return true; }
    QString moduleDisplayName() const override;

    QString cropType() const;
    virtual double cropRatio() const;
    bool isPreserveImageRatio() const { return preserveImageRatio; }
    void restorePreserveImageRatio(bool preserve) override { preserveImageRatio = preserve; }
    bool isConstrainToImage() const { return constrainToImage; }
    NormalizedCropRect currentCropRect() const;
    NormalizedCropRect autoCropRect() const;
    void setCropRectSilently(NormalizedCropRect rect);
    virtual void invertCropRatio();
    virtual void showCropSizeLabel();
    void applyState(const QByteArray& data);

    CCropGraphicsRect* graphicsRect() const { return cropGraphicsRect; }
    CCropOverlayRect* overlay() const { return overlayRect; }
    NormalizedCropRect manualCropRect() const { return lastUsedManualCropRect; }
    NormalizedCropRect lastAutoCropRect() const { return lastUsedAutoCropRect; }

Q_SIGNALS:
    void cropShowGridChanged(bool show);
    void resetModuleUI();

public Q_SLOTS:
    virtual void onCropRectMoved();
    void setShowGrid(bool show);
    void setRatio(qreal ratio);
    void transformOutParamsChanged();
    void updateParametersInCE();
    void onUpdateCropSizeLabelUnits();

protected:
    void doInitialize() override;
    void setCropTypeAuto(bool autoCrop);
    void applyRatioText(const QString& text);
    IProcessEngine* engine() const;
    QGraphicsItemGroup* group() const;
    // "CropRatio" of the engine's last input, read as a double whatever
    // number type it was stored as; false when there is none.
    bool engineCropRatio(double* ratio) const;
    // The automatic rectangle clamped to the image; the whole image when it
    // is empty or lies wholly outside.
    static NormalizedCropRect clampAutoRect(const QRectF& rect);

    bool ignoreCropRectMoving = false;
    bool cropTypeIsAuto = true;
    bool newImagePending = false;
    QPointF delta;
    CCropGraphicsRect* cropGraphicsRect = nullptr;
    NormalizedCropRect lastUsedManualCropRect;
    NormalizedCropRect lastUsedAutoCropRect;
    bool lastUsedManualCropRectIsInitialized = false;
    CCropOverlayRect* overlayRect = nullptr;
    CCropSizeLabel* cropSizeLabel = nullptr;
    bool hasPendingState = false;
    QByteArray pendingState;
    QPointer<CCropToolPane> toolPane;
    bool constrainToImage = false;
    bool preserveImageRatio = false;
};

Q_DECLARE_METATYPE(CCropCorrection::NormalizedCropRect)
