#pragma once

// A process engine for the correction tests: it records the parameters the
// modules write and the states undo hands back, answers whether a picture is
// loaded as the test says, and does nothing else. Its serialised state is a
// counter the test changes to stand for an edit.

#include "shell/IProcessEngine.h"

#include <QObject>
#include <QStringList>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

class FakeProcessEngine : public QObject, public IProcessEngine
{
    Q_OBJECT
public:
    // ISerializableInterface: the state is `state`.
    QByteArray serialize() override { return state; }
    void deserialize(const QByteArray& bytes, bool flag) override
    {
        state = bytes;
        restores.append(flag);
    }
    bool isEqual(const QByteArray& a, const QByteArray& b) override { return a == b; }
    QString id() const override { return QStringLiteral("ProcessEngine"); }

    bool isPictureLoaded() const override { return pictureLoaded; }
    QString getLastOpenError() const override { return {}; }
    QString getLastSaveError() const override { return {}; }
    FileFailure getLastOpenFailure() const override { return FileFailure::None; }
    FileFailure getLastSaveFailure() const override { return FileFailure::None; }
    QObject* getQObject() override { return this; }
    bool isImageProcessingNeeded(const QByteArray& first, const QByteArray& second) override
    {
        processingQueries.append(first + "|" + second);
        return processingNeeded;
    }
    void onCEPropertyFloatChanged(const QString& key, float value) override
    {
        calls.append(QStringLiteral("float %1 %2").arg(key).arg(double(value), 0, 'g', 17));
    }
    void onCEPropertyStringChanged(const QString& key, const QString& value) override
    {
        calls.append(QStringLiteral("string %1 %2").arg(key, value));
    }
    void onCEPropertyBoolChanged(const QString& key, bool value) override
    {
        calls.append(QStringLiteral("bool %1 %2").arg(key).arg(value));
    }

    // The corrected image is the original shifted by `shift`: mode 4 (after
    // view to input) subtracts it, mode 5 adds it.
    QPointF projectPoint(const QPointF& point, int mode) override
    {
        projections.append(mode);
        return mode == 4 ? point - shift : mode == 5 ? point + shift : point;
    }
    QSize getOriginalImageSize() const override { return imageSize; }
    // Records each key with its integer value, e.g. "dict KeystoningUpDown 12".
    bool addCEDictionaryParameters(NavikNS::Dictionary params) override
    {
        for (const auto& [key, value] : params.Entries())
            calls.append(QStringLiteral("dict %1 %2%3")
                             .arg(QString::fromStdString(key))
                             .arg(value.AsInt())
                             .arg(value.GetType() == Navik::Value::kTypeInt ? QString() : QStringLiteral(" (not int)")));
        return true;
    }
    bool isFieldOfViewWellEstimated() override { return fieldOfViewWellEstimated; }
    QVector<QPointF> projectPoints(const QVector<QPointF>& points, int mode) override
    {
        projectedLists.append({mode, points});
        QVector<QPointF> result;
        for (const QPointF& point : points)
            result.append(mode == 4 ? point - shift : mode == 5 ? point + shift : point);
        return result;
    }
    QVector<QPointF> getNormolizedKeystoningPointsOnOriginalImage() override { return normalisedPoints; }
    QSize getCashedSizeOfProcessedInitialImage() override { return initialSize; }
    // The point itself inside the image, else the nearest image point.
    QPointF getImageBorderIntersection(const QPointF& point) override
    {
        const QPointF input = point - shift;
        const QPointF clamped(qBound(0.0, input.x(), qreal(imageSize.width())),
                              qBound(0.0, input.y(), qreal(imageSize.height())));
        return clamped + shift;
    }

Q_SIGNALS:
    void trasformOutParamsSignalWasSent();
    void transformOutParamsChanged();

public:
    void onCEPropertyIntChanged(const QString& key, int value) override {}
    void onCEPropertyValueArrayChanged(const QString& key, const Navik::ValueArray& value) override {}
    void forceProcessImage() override {}
    void setNormolizedKeystoningPointsOnOriginalImage(QVector<QPointF> points) override {}
    void resetBeforeOpen() override {}
    bool openFile(const QString& path) override { return false; }
    void saveOpenedFile(const QString& path, int quality, bool tiffCompression, bool eightBits, const NavikNS::FileFormat format) override {}
    bool saveOpenedFileSync(const QString& path, int quality, bool tiffCompression, bool eightBits, const NavikNS::FileFormat format) override { return false; }
    bool openImage(NavikImagePtr image) override { return false; }
    PixelDataPtr processOpenedImageForPS() override { return {}; }
    void setCurrentDictionaryAsSaveDictionary() override {}
    void lockImageProcessing() override {}
    void unLockImageProcessing() override {}
    void processLoResInitialImage() override {}
    void processLoResResultImage() override { calls.append(QStringLiteral("render")); }
    void processHiResImage(bool initial, const QString& viewId, const QRect& rect) override {}
    void enableProcessingHiResRect(bool initial, const QString& viewId, bool enable) override {}
    void processLoupeRect(bool initial, const QRect& rect) override {}
    void processResultImageForPrinting(qreal width, qreal height, const QString& unit, int resolution) override {}
    void calculateImageSize() override {}
    void rotateImageFromInitialState(RotationDirections::RotationDirectionsEnum direction) override {}
    void rotateImageFromCurrentState(RotationDirections::RotationDirectionsEnum step) override {}
    NavikNS::Dictionary getHistogramData(bool initial) override { return {}; }
    QSize getSizeOfProcessedInitialImage() override { return {}; }
    QSize getSizeOfProcessedResultImage() override { return {}; }
    QSize getCashedSizeOfProcessedResultImage() override { return resultSize; }
    void setCropParameters(const Navik::ValueArray& rect) override {}
    PixelDataPtr processThumbnailImage(const NavikNS::Dictionary& dictionary, const PixelDataPtr& pixels) override { return {}; }
    void clearAllParams() override {}
    void clearResultParams(bool dropCrop) override {}
    bool isPictureChanged() const override { return false; }
    bool isKeystoningPointsChanged() const override { return false; }
    bool isAnyCorrectionApplyed(bool ignoreRotation) const override { return false; }
    bool isProcessingActive() const override { return false; }
    QRectF getCropParameters() const override { return {}; }
    void setCropRect(const QRectF& rect) override
    {
        calls.append(QStringLiteral("cropRect %1 %2 %3 %4").arg(rect.x()).arg(rect.y()).arg(rect.width()).arg(rect.height()));
    }
    Navik::Dictionary getKeystoningDictionary(const Navik::Dictionary& parameters, QSize* outputSize) override { return {}; }
    Navik::Dictionary removeCorrectionParams(const Navik::Dictionary& parameters, const CorrectionTypesFlags& types) override { return {}; }
    Navik::Dictionary extractCorrectionParams(const Navik::Dictionary& parameters, const CorrectionTypesFlags& types) override { return {}; }
    QVector<QPointF> projectPointsWithoutCorrections(const QVector<QPointF>& points, int mode, const CorrectionTypesFlags& types) override { return {}; }
    QVector<QPointF> projectPointsWithCorrections(const QVector<QPointF>& points, int mode, const CorrectionTypesFlags& types) override { return {}; }
    QPointF projectPointWithoutCorrections(const QPointF& point, int mode, const CorrectionTypesFlags& types) override { return {}; }
    QPointF projectPointWithCorrections(const QPointF& point, int mode, const CorrectionTypesFlags& types) override { return {}; }
    QRectF getCropRect() const override { return {}; }
    QRectF getCropRectAuto() const override { return cropRectAuto; }
    bool hasTasksForProcessing() override { return false; }
    NavikNS::Dictionary getLastTransformInParams() const override { return transformInParams; }
    NavikNS::Dictionary getLastTransformOutParams() const override { return {}; }
    bool createSnaphot(const QString& name) override { return false; }
    void deleteSnapshot(const QString& name) override {}
    void renameSnapshot(const QString& newName, const QString& name) override {}
    void updateSnapshot(const QString& name, bool flag) override {}
    void recallSnapshot(const QString& name) override {}
    void createImageForSnapshot(const QString& name) override {}
    RotationDirections::RotationDirectionsEnum getCurrentRotation() const override { return {}; }
    QString getOpenedFilePath() const override { return {}; }
    bool isWideFieldOfView() override { return false; }
    void removeCameraProfile() override {}
    QByteArray state;
    bool pictureLoaded = true;
    bool processingNeeded = false;
    QList<bool> restores;
    QList<QByteArray> processingQueries;
    QStringList calls;
    QSize imageSize{-1, -1};
    QPointF shift;
    QList<int> projections;
    QList<std::pair<int, QVector<QPointF>>> projectedLists;
    QVector<QPointF> normalisedPoints;
    QSize initialSize;
    QSize resultSize;
    QRectF cropRectAuto;
    NavikNS::Dictionary transformInParams;
    bool fieldOfViewWellEstimated = true;
};

#pragma GCC diagnostic pop
