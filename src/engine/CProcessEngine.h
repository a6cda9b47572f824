#pragma once

// The one process engine of the program: the opened photograph and the
// correction engine's agent for it, the before ("initial") and after
// ("result") parameter dictionaries with their saved and named copies, the
// keystoning points, and the queue of renders.
//
// Threads and locks. The engine, its render timer and its task manager live on
// the main thread, and every IProcessEngine operation is called there. One
// rendering task at a time runs on the global thread pool and reaches the
// engine only through the thread-safe members of the "rendering tasks"
// section below and by invoking the engine's signals by name. Two locks:
//   - the engine mutex guards every use of a render target (renders, parameter
//     switches, sizes, projections); it is held for a whole render;
//   - the parameter lock guards the members the tasks share with the main
//     thread (dictionaries, points, image, agent, targets, cached sizes and
//     results). It is held only to copy or store a member, never while taking
//     the engine mutex, emitting a signal or calling out.
// Lock order: the engine mutex, then the parameter lock. The main thread,
// the only writer of most of these members, reads those it alone writes
// without the lock.

#include "engine/CNavikImageProxy.h"
#include "shell/IProcessEngine.h"

#include <Navik/Agent.h>
#include <Navik/Target.h>

#include <QImage>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QTimer>

#include <memory>

class CBaseProcessEngineTask;
class CPETaskManager;
namespace NAVIK_tarl1 {
class COperationCompletionWaiter;
}

class CProcessEngine : public QObject, public IProcessEngine
{
    Q_OBJECT
    Q_INTERFACES(ISerializableInterface)

public:
    CProcessEngine();
    ~CProcessEngine() override;

    // ISerializableInterface
    QByteArray serialize() override;
    void deserialize(const QByteArray& data, bool processImage) override;
    bool isEqual(const QByteArray& first, const QByteArray& second) override;
    QString id() const override;

    // Restarts the 200 ms render timer while an image is open; false without one.
    bool processImage();
    // Hands `task` to the queue (replacing a queued task of the same id) and
    // restarts the render timer.
    void queueTask(CBaseProcessEngineTask* task);

    // The keystoning point sets that count as no keystoning at all.
    static const QList<QVector<QPointF>>& defaultKeystoningPointSets();
    static bool isDefaultKeystoningPointSet(const QVector<QPointF>& points);
    // Same size and every coordinate within 1e-12. A NaN coordinate matches no
    // coordinate of another set, but a set is always equal to itself (two
    // vectors sharing one data block), NaN or not.
    static bool isSamePointSet(const QVector<QPointF>& first, const QVector<QPointF>& second);
    // A normalised rectangle (0..1 on both axes) turned by `quarterTurns`
    // clockwise, counted modulo 4: the stored crop to the displayed frame.
    static QRectF rotateNormalizedRect(const QRectF& rect, int quarterTurns);
    // Whether the image is large enough to be opened: both sides 32 pixels or more.
    static bool isImageSizeSupported(const Navik::Image* image);
    // Loads an image file with its metadata for editing; null, after logging
    // why (and giving it in `error`, and its cause in `failure`), when it
    // cannot be read or is smaller than 32 pixels on a side.
    // With `inBackground` a JPEG's rows are decoded while the caller goes on:
    // the renders that read them wait for the rows they need, and a file
    // damaged past its header fails them rather than the open.
    static Navik::Image* loadImageFile(const QString& path, QString* error = nullptr, bool inBackground = false,
                                       FileFailure* failure = nullptr);
    // Turns the picture as the image's orientation tag asks.
    void readImageOrientation(const Navik::Image* image);
    // getKeystoningDictionary with the given points in place of the stored ones.
    Navik::Dictionary keystoningDictionaryForPoints(const Navik::Dictionary& parameters, QVector<QPointF> points,
                                                    QSize* outputSize = nullptr);
    // The parameters of a named snapshot; `found` tells whether it exists.
    // Main thread only.
    Navik::Dictionary namedSnapshot(const QString& name, bool* found) const;

    // ---- For the rendering tasks: callable from any thread.
    NavikImagePtr openedImage() const;
    std::shared_ptr<Navik::Agent> agent() const;
    Navik::Filter* filter() const { return m_filter.get(); }
    // A copy of the before (`initial`) or after parameters.
    Navik::Dictionary parameters(bool initial) const;
    // Writes "OutputICCProfile" into both dictionaries.
    void setOutputICCProfile(const QString& profile);
    // The preview target of one side, created by the preview tasks on first use.
    Navik::Target* previewTarget(bool initial) const;
    void setPreviewTarget(bool initial, Navik::Target* target);
    void setLastRenderScale(bool initial, unsigned int scaleLevel);
    // The full output size last announced for one side; (-1, -1) before any.
    QSize cachedSize(bool initial) const;
    // Stores `size` for one side; true when it differs from what was cached.
    bool updateCachedSize(bool initial, const QSize& size);
    void setLastTransformOutParams(const Navik::Dictionary& parameters);
    // The after parameters and the stored keystoning points, copied together.
    void copyResultState(Navik::Dictionary* parameters, QVector<QPointF>* points) const;
    // Makes these parameters and points the saved state. Main thread only.
    void markAsSaved(const Navik::Dictionary& parameters, const QVector<QPointF>& points);
    void setHostRenderResult(const PixelDataPtr& pixels);
    // Why the last save to a file failed, for the log and for the user;
    // empty and None after one that succeeded.
    void setLastSaveError(const QString& error, FileFailure failure);
    // Guards every use of a render target. Not recursive.
    QMutex& engineMutex() { return m_engineMutex; }
    // The task whose delivery the main thread is running (it waits for the
    // slots to return); null outside a delivery. Main thread only.
    CBaseProcessEngineTask* deliveringTask() const { return m_deliveringTask; }
    void setDeliveringTask(CBaseProcessEngineTask* task) { m_deliveringTask = task; }

public Q_SLOTS:
    void onCEPropertyIntChanged(const QString& key, int value) override;
    void onCEPropertyFloatChanged(const QString& key, float value) override;
    void onCEPropertyStringChanged(const QString& key, const QString& value) override;
    void onCEPropertyBoolChanged(const QString& key, bool value) override;
    void onCEPropertyValueArrayChanged(const QString& key, const Navik::ValueArray& value) override;
    void forceProcessImage() override;
    bool addCEDictionaryParameters(NavikNS::Dictionary params) override;
    void setNormolizedKeystoningPointsOnOriginalImage(QVector<QPointF> points) override;
    QVector<QPointF> getNormolizedKeystoningPointsOnOriginalImage() override;
    void resetBeforeOpen() override;
    bool openFile(const QString& path) override;
    void saveOpenedFile(const QString& path, int quality, bool tiffCompression, bool eightBits,
                        const NavikNS::FileFormat format) override;
    bool saveOpenedFileSync(const QString& path, int quality, bool tiffCompression, bool eightBits,
                            const NavikNS::FileFormat format) override;
    bool openImage(NavikImagePtr image) override;
    PixelDataPtr processOpenedImageForPS() override;
    void setCurrentDictionaryAsSaveDictionary() override;
    bool isImageProcessingNeeded(const QByteArray& first, const QByteArray& second) override;
    void lockImageProcessing() override;
    void unLockImageProcessing() override;
    void processLoResInitialImage() override;
    void processLoResResultImage() override;
    void processHiResImage(bool initial, const QString& viewId, const QRect& rect) override;
    void enableProcessingHiResRect(bool initial, const QString& viewId, bool enable) override;
    void processLoupeRect(bool initial, const QRect& rect) override;
    void processResultImageForPrinting(qreal width, qreal height, const QString& unit, int resolution) override;
    void calculateImageSize() override;
    void rotateImageFromInitialState(RotationDirections::RotationDirectionsEnum direction) override;
    void rotateImageFromCurrentState(RotationDirections::RotationDirectionsEnum step) override;
    NavikNS::Dictionary getHistogramData(bool initial) override;
    QSize getSizeOfProcessedInitialImage() override;
    QSize getSizeOfProcessedResultImage() override;
    QSize getCashedSizeOfProcessedInitialImage() override;
    QSize getCashedSizeOfProcessedResultImage() override;
    bool hasTasksForProcessing() override;
    bool createSnaphot(const QString& name) override;
    void deleteSnapshot(const QString& name) override;
    void renameSnapshot(const QString& newName, const QString& name) override;
    void updateSnapshot(const QString& name, bool flag) override;
    void recallSnapshot(const QString& name) override;
    void createImageForSnapshot(const QString& name) override;
    virtual void reprocessSnapshot(const QString& name, bool flag);
    Navik::FileFormat generateFileFormat(const QString& path);

public:
    void setCropParameters(const Navik::ValueArray& rect) override;
    PixelDataPtr processThumbnailImage(const NavikNS::Dictionary& dictionary, const PixelDataPtr& pixels) override;
    void clearAllParams() override;
    void clearResultParams(bool dropCrop) override;
    Q_INVOKABLE bool isPictureChanged() const override;
    bool isKeystoningPointsChanged() const override;
    bool isAnyCorrectionApplyed(bool ignoreRotation) const override;
    Q_INVOKABLE bool isPictureLoaded() const override;
    Q_INVOKABLE bool isProcessingActive() const override;
    // A render was asked for and waits out the coalescing delay before it starts.
    Q_INVOKABLE bool isRenderPending() const;
    QObject* getQObject() override;
    QRectF getCropParameters() const override;
    void setCropRect(const QRectF& rect) override;
    Navik::Dictionary getKeystoningDictionary(const Navik::Dictionary& parameters,
                                              QSize* outputSize = nullptr) override;
    Navik::Dictionary removeCorrectionParams(const Navik::Dictionary& parameters,
                                             const CorrectionTypesFlags& types) override;
    Navik::Dictionary extractCorrectionParams(const Navik::Dictionary& parameters,
                                              const CorrectionTypesFlags& types) override;
    QVector<QPointF> projectPoints(const QVector<QPointF>& points, int mode) override;
    QVector<QPointF> projectPointsWithoutCorrections(const QVector<QPointF>& points, int mode,
                                                     const CorrectionTypesFlags& types) override;
    QVector<QPointF> projectPointsWithCorrections(const QVector<QPointF>& points, int mode,
                                                  const CorrectionTypesFlags& types) override;
    QPointF projectPoint(const QPointF& point, int mode) override;
    QPointF projectPointWithoutCorrections(const QPointF& point, int mode, const CorrectionTypesFlags& types) override;
    QPointF projectPointWithCorrections(const QPointF& point, int mode, const CorrectionTypesFlags& types) override;
    QRectF getCropRect() const override;
    QRectF getCropRectAuto() const override;
    NavikNS::Dictionary getLastTransformInParams() const override;
    NavikNS::Dictionary getLastTransformOutParams() const override;
    QSize getOriginalImageSize() const override;
    QPointF getImageBorderIntersection(const QPointF& point) override;
    RotationDirections::RotationDirectionsEnum getCurrentRotation() const override;
    QString getOpenedFilePath() const override;
    bool isFieldOfViewWellEstimated() override;
    bool isWideFieldOfView() override;
    void removeCameraProfile() override;
    QString getLastOpenError() const override;
    QString getLastSaveError() const override;
    FileFailure getLastOpenFailure() const override;
    FileFailure getLastSaveFailure() const override;

    Q_INVOKABLE QString getBeforeDictionary();
    Q_INVOKABLE QString getAfterDictionary();
    Q_INVOKABLE double getCropLeft();
    Q_INVOKABLE double getCropTop();
    Q_INVOKABLE double getCropWidth();
    Q_INVOKABLE double getCropHeight();

Q_SIGNALS:
    void fileSaveCompleated(bool success);
    void fileBatchCompleated(bool success);
    void fileOpenCompleated(bool success);
    void rotationCompleated(bool success);
    void processingStarted();
    void initialImageSizeChanged(QSize size);
    void resultImageSizeChanged(QSize size);
    void loResInitialImageProcessed(PixelDataPtr pixels, QSize size);
    void hiResInitialImageProcessed(PixelDataPtr pixels, QRect rect, QSize size);
    void loResResultImageProcessed(PixelDataPtr pixels, QSize size);
    void hiResResultImageProcessed(PixelDataPtr pixels, QRect rect, QSize size);
    void loupeInitialImageProcessed(PixelDataPtr pixels, QRect rect);
    void loupeResultImageProcessed(PixelDataPtr pixels, QRect rect);
    void imageForSnapshotCreated(QString name, QImage image);
    void printImageCreated(QImage image);
    void rotationProcessed(RotationDirections::RotationDirectionsEnum step);
    void removeResultHiResRect();
    void removeInitialHiResRect();
    void transformOutParamsChanged();
    void trasformOutParamsSignalWasSent();
    void processingFinished();
    void processingError(int code);
    void snapshotWasRecalled(QString name, NavikNS::Dictionary parameters);
    void ceParamsChanged();

private Q_SLOTS:
    void doProcessImage();

private:
    // False, after logging why, inside the delivery of a render's results:
    // a synchronous render asked for there could never start.
    bool canWaitForARender() const;
    // Waits, delivering what the running render posts to the engine, until
    // `waiter` saw its signal.
    void waitForCompletion(const NAVIK_tarl1::COperationCompletionWaiter& waiter);
    // Queues a lo-res render of one side, with normal priority.
    void queueLoResTask(bool initial);
    // Replaces the before parameters (a snapshot shown as the before image).
    void setInitialParameters(const Navik::Dictionary& parameters);
    // New sizes, then previews of both sides; false without a picture.
    bool renderBothSides();
    // Queues an after-image preview, brings the dependent keys in line when
    // asked, and tells listeners that the parameters changed.
    void requestRenderAfterChange(bool applyDependencies);
    // Stores `value` under `key` in the after parameters when `changed`, then
    // requests the render.
    void setResultParameter(const QString& key, const Navik::Value& value, bool changed, bool applyDependencies);
    Navik::Value resultParameter(const QString& key) const;
    void updateOutputRotation();
    // The rotation of a restored state: taken as it is for the same
    // photograph, turned to the photograph's orientation tag otherwise.
    void restoreRotation(const QMap<QString, QVariant>& entries);
    void applyParameterDependencies();
    // The rules on the after parameters, run on a copy of them: missing
    // keystoning keys get their defaults; anamorphosis and distortion set the
    // keys they depend on (the flag tells whether the rule switched
    // "DistortionAnamorphosisKeepEntireImage" on).
    static void completeKeystoningParameters(Navik::Dictionary& parameters);
    static void applyAnamorphosisRules(Navik::Dictionary& parameters, bool* keepEntireImageSet);
    static void applyDistortionRules(Navik::Dictionary& parameters, bool* keepEntireImageSet);
    // Makes `image` the opened image with a new agent, and forgets the
    // targets of the agent it replaces.
    void adoptImage(NavikImagePtr image);
    // The caller holds m_parameterLock.
    void forgetTargets();
    // Forgets the targets and removes them from the agent, which would
    // otherwise keep them, and all they prepared, until the picture closes.
    void removeTargets();
    QVector<QPointF> projectKeystoningPoints(const Navik::Dictionary& parameters, QVector<QPointF> points,
                                             QSize* outputSize);
    // Renders `pixels` with `parameters` through an agent of its own.
    PixelDataPtr renderThumbnail(const Navik::Dictionary& parameters, const PixelDataPtr& pixels);
    // The full output size of one side through the size target; (-1, -1)
    // when it cannot be computed.
    QSize computeOutputSize(bool initial);
    // What a projection leaves of the dictionaries it projects through.
    enum class ProjectionFilter
    {
        AllCorrections,
        WithoutCorrections,
        OnlyCorrections,
    };
    QVector<QPointF> projectPointsFiltered(const QVector<QPointF>& points, int mode, ProjectionFilter filter,
                                           const CorrectionTypesFlags& types);
    Navik::Dictionary filterForProjection(const Navik::Dictionary& parameters, ProjectionFilter filter,
                                          const CorrectionTypesFlags& types);
    // One projection step through the before or after render target.
    QVector<QPointF> projectThroughTarget(const QVector<QPointF>& points, bool initial, bool toInput,
                                          const Navik::Dictionary& parameters);

    static const char* const s_histogramTargetName;
    static const QString s_serializableId;

    // Main thread only.
    RotationDirections::RotationDirectionsEnum m_currentRotation = RotationDirections::Rotation0;
    int m_imageOrientation = 0;

    // Shared with the rendering tasks: m_parameterLock.
    NavikImagePtr m_image;
    QSize m_cachedBeforeSize{-1, -1};
    PixelDataPtr m_hostRenderResult;
    QString m_lastSaveError;
    QString m_lastOpenError;
    FileFailure m_lastSaveFailure = FileFailure::None;
    FileFailure m_lastOpenFailure = FileFailure::None;
    QSize m_cachedAfterSize{-1, -1};
    Navik::RefPtr<Navik::Filter> m_filter;
    Navik::Dictionary m_initialParameters;
    QVector<QPointF> m_normalizedKeystoningPoints;
    Navik::Dictionary m_resultParameters;
    Navik::Dictionary m_savedParameters;
    QVector<QPointF> m_savedPoints;
    Navik::Dictionary m_lastTransformOutParameters;
    Navik::Target* m_beforeTarget = nullptr;
    unsigned int m_lastBeforeScale = 0;
    Navik::Target* m_afterTarget = nullptr;
    Navik::Target* m_keystoningTarget = nullptr;
    unsigned int m_lastAfterScale = 0;
    Navik::Target* m_sizeTarget = nullptr;
    std::shared_ptr<Navik::Agent> m_agent;

    // Main thread only.
    bool m_histogramTargetCreated = false;
    CBaseProcessEngineTask* m_deliveringTask = nullptr;
    CPETaskManager* m_taskManager = nullptr;
    QMutex m_engineMutex;
    QTimer m_renderTimer;
    QMap<QString, Navik::Dictionary> m_snapshots;
    Navik::Dictionary m_keptInitialParameters;

    mutable QMutex m_parameterLock;
};
