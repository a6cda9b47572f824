#pragma once

// The process engine as every other part of the program sees it: the opened
// photograph, its before and after parameters, render requests, saving,
// state for undo, snapshots and point projection. Results arrive as signals
// of the object that getQObject() returns (see CProcessEngine).
//
// The order of the operations is part of the interface; add new ones at the end.

#include "shell/CorrectionTypes.h"
#include "shell/FileFailure.h"
#include "shell/ISerializableInterface.h"
#include "shell/NavikImagePtr.h"
#include "shell/PixelDataPtr.h"
#include "shell/RotationDirections.h"

#include <Navik/FileFormat.h>
#include <Navik/Value.h>

#include <QMetaType>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QString>
#include <QVector>

// The framework's namespace as signal and slot signatures spell it.
namespace NavikNS = Navik;

Q_DECLARE_METATYPE(Navik::Dictionary)
Q_DECLARE_METATYPE(Navik::ValueArray)
Q_DECLARE_METATYPE(Navik::FileFormat)

class QObject;

class IProcessEngine : public ISerializableInterface
{
public:
    // ISerializableInterface: serialize, deserialize, isEqual and id ("ProcessEngine").
    virtual ~IProcessEngine() = default;

    // Whether the file is a picture the engine opens: a JPEG or TIFF name
    // (other names are refused without touching the file) whose header the
    // image framework reads, with pixels it decodes.
    static bool isFileSupported(const QString& path);
    // The same, giving in `failure` why a file is refused (UnknownFormat for
    // a name that is not a picture's), and in `reason` the image framework's
    // words for the log where it gave any.
    static bool isFileSupported(const QString& path, FileFailure* failure, QString* reason = nullptr);
    // Whether a save could write the file at `path` now (see
    // Navik::CanSaveTo), giving in `failure` why not and in `reason` the
    // image framework's words for the log. Writes nothing.
    static bool canSaveTo(const QString& path, FileFailure* failure, QString* reason = nullptr);

    // One engine parameter of the after image; an unchanged value does nothing.
    virtual void onCEPropertyIntChanged(const QString& key, int value) = 0;
    virtual void onCEPropertyFloatChanged(const QString& key, float value) = 0;
    virtual void onCEPropertyStringChanged(const QString& key, const QString& value) = 0;
    virtual void onCEPropertyBoolChanged(const QString& key, bool value) = 0;
    virtual void onCEPropertyValueArrayChanged(const QString& key, const Navik::ValueArray& value) = 0;
    // Both previews again, without a parameter change.
    virtual void forceProcessImage() = 0;
    // Merges `params` into the after image's parameters; true when something
    // changed and an image is open.
    virtual bool addCEDictionaryParameters(NavikNS::Dictionary params) = 0;
    // Keystoning points on the uncorrected image, each coordinate 0..1.
    virtual void setNormolizedKeystoningPointsOnOriginalImage(QVector<QPointF> points) = 0;
    virtual QVector<QPointF> getNormolizedKeystoningPointsOnOriginalImage() = 0;

    // Forgets the opened picture; call before opening another.
    virtual void resetBeforeOpen() = 0;
    // Both report their outcome by fileOpenCompleated(bool) too.
    virtual bool openFile(const QString& path) = 0;
    virtual void saveOpenedFile(const QString& path, int quality, bool tiffCompression, bool eightBits,
                                const NavikNS::FileFormat format) = 0;
    virtual bool saveOpenedFileSync(const QString& path, int quality, bool tiffCompression, bool eightBits,
                                    const NavikNS::FileFormat format) = 0;
    virtual bool openImage(NavikImagePtr image) = 0;
    virtual PixelDataPtr processOpenedImageForPS() = 0;
    virtual void setCurrentDictionaryAsSaveDictionary() = 0;
    virtual bool isImageProcessingNeeded(const QByteArray& first, const QByteArray& second) = 0;

    // Keeps renders away from the engine's render targets until unlocked;
    // call no other engine operation in between.
    virtual void lockImageProcessing() = 0;
    virtual void unLockImageProcessing() = 0;

    virtual void processLoResInitialImage() = 0;
    virtual void processLoResResultImage() = 0;
    virtual void processHiResImage(bool initial, const QString& viewId, const QRect& rect) = 0;
    virtual void enableProcessingHiResRect(bool initial, const QString& viewId, bool enable) = 0;
    virtual void processLoupeRect(bool initial, const QRect& rect) = 0;
    virtual void processResultImageForPrinting(qreal width, qreal height, const QString& unit, int resolution) = 0;
    virtual void calculateImageSize() = 0;
    virtual void rotateImageFromInitialState(RotationDirections::RotationDirectionsEnum direction) = 0;
    virtual void rotateImageFromCurrentState(RotationDirections::RotationDirectionsEnum step) = 0;
    virtual NavikNS::Dictionary getHistogramData(bool initial) = 0;
    virtual QSize getSizeOfProcessedInitialImage() = 0;
    virtual QSize getSizeOfProcessedResultImage() = 0;
    virtual QSize getCashedSizeOfProcessedInitialImage() = 0;
    virtual QSize getCashedSizeOfProcessedResultImage() = 0;
    virtual void setCropParameters(const Navik::ValueArray& rect) = 0;
    virtual PixelDataPtr processThumbnailImage(const NavikNS::Dictionary& dictionary, const PixelDataPtr& pixels) = 0;
    virtual void clearAllParams() = 0;
    virtual void clearResultParams(bool dropCrop) = 0;
    virtual bool isPictureChanged() const = 0;
    virtual bool isKeystoningPointsChanged() const = 0;
    virtual bool isAnyCorrectionApplyed(bool ignoreRotation) const = 0;
    virtual bool isPictureLoaded() const = 0;
    virtual bool isProcessingActive() const = 0;
    // The engine as a QObject, for connecting to its signals.
    virtual QObject* getQObject() = 0;
    virtual QRectF getCropParameters() const = 0;
    virtual void setCropRect(const QRectF& rect) = 0;
    // `parameters` with "KeystoningPoints" made from the stored points; when
    // `outputSize` is given it may receive the size the points refer to.
    // Safe to call from a rendering task's thread.
    virtual Navik::Dictionary getKeystoningDictionary(const Navik::Dictionary& parameters,
                                                      QSize* outputSize = nullptr) = 0;
    virtual Navik::Dictionary removeCorrectionParams(const Navik::Dictionary& parameters,
                                                     const CorrectionTypesFlags& types) = 0;
    virtual Navik::Dictionary extractCorrectionParams(const Navik::Dictionary& parameters,
                                                      const CorrectionTypesFlags& types) = 0;
    virtual QVector<QPointF> projectPoints(const QVector<QPointF>& points, int mode) = 0;
    virtual QVector<QPointF> projectPointsWithoutCorrections(const QVector<QPointF>& points, int mode,
                                                             const CorrectionTypesFlags& types) = 0;
    virtual QVector<QPointF> projectPointsWithCorrections(const QVector<QPointF>& points, int mode,
                                                          const CorrectionTypesFlags& types) = 0;
    virtual QPointF projectPoint(const QPointF& point, int mode) = 0;
    virtual QPointF projectPointWithoutCorrections(const QPointF& point, int mode,
                                                   const CorrectionTypesFlags& types) = 0;
    virtual QPointF projectPointWithCorrections(const QPointF& point, int mode,
                                                const CorrectionTypesFlags& types) = 0;
    virtual QRectF getCropRect() const = 0;
    virtual QRectF getCropRectAuto() const = 0;
    // A render runs or waits.
    virtual bool hasTasksForProcessing() = 0;
    virtual NavikNS::Dictionary getLastTransformInParams() const = 0;
    virtual NavikNS::Dictionary getLastTransformOutParams() const = 0;
    virtual QSize getOriginalImageSize() const = 0;
    virtual bool createSnaphot(const QString& name) = 0;
    virtual void deleteSnapshot(const QString& name) = 0;
    // The new name comes first.
    virtual void renameSnapshot(const QString& newName, const QString& name) = 0;
    virtual void updateSnapshot(const QString& name, bool flag) = 0;
    virtual void recallSnapshot(const QString& name) = 0;
    virtual void createImageForSnapshot(const QString& name) = 0;
    virtual QPointF getImageBorderIntersection(const QPointF& point) = 0;
    virtual RotationDirections::RotationDirectionsEnum getCurrentRotation() const = 0;
    virtual QString getOpenedFilePath() const = 0;
    virtual bool isFieldOfViewWellEstimated() = 0;
    virtual bool isWideFieldOfView() = 0;
    virtual void removeCameraProfile() = 0;
    // Why the last openFile or the last save to a file failed, in the image
    // framework's words (English, for the log); empty when it succeeded or
    // the reason is not known.
    virtual QString getLastOpenError() const = 0;
    virtual QString getLastSaveError() const = 0;
    // The same as a cause to tell the user: None after a success.
    virtual FileFailure getLastOpenFailure() const = 0;
    virtual FileFailure getLastSaveFailure() const = 0;
};
