#include "engine/SaveProcessEngineTasks.h"

#include "engine/CNavikImageProxy.h"
#include "engine/CProcessEngine.h"
#include "engine/EngineParameterKeys.h"
#include "engine/NavikStrings.h"
#include "utils/Logger.h"
#include "utils/SharedConstants.h"

#include <Navik/ColorSpace.h>
#include <Navik/Exif.h>
#include <Navik/Image.h>

#include <QMutexLocker>

namespace Keys = EngineParameterKeys;

namespace {

constexpr int savePriority = 100;
// The first EXIF orientation: the rendered pixels are upright.
constexpr unsigned int uprightOrientation = 1;

// A render for a file is final output, coloured as the source was shot.
void setOutputProfileAsShot(Navik::Dictionary& parameters)
{
    parameters.SetValueForKey(Keys::OutputICCProfile, "AsShot");
}

// The save options of the format, deriving the format from the path when it
// was not given. False for a format that is neither JPEG nor TIFF.
bool saveOptionsForFormat(SSaveOptions& options, Navik::Dictionary& saveOptions, QString* error, FileFailure* failure)
{
    if (options.format == Navik::kFileFormatUnknown)
        options.format = Navik::GetFileFormatFromPath(toNavikPath(options.path));
    switch (options.format) {
    case Navik::kFileFormatTIFF:
        saveOptions.SetValueForKey(Navik::kImageSaveOptionTIFFCompression, options.tiffCompression);
        return true;
    case Navik::kFileFormatJPEG:
        saveOptions.SetValueForKey(Navik::kImageSaveOptionJPEGQuality, options.jpegQuality);
        return true;
    default:
        ASSERT_X(false, "saving", "only JPEG and TIFF files can be written");
        *error = QStringLiteral("Pictures can be saved only as JPEG or TIFF; \"%1\" names neither.")
                     .arg(options.path);
        *failure = FileFailure::UnknownFormat;
        return false;
    }
}

// Renders the target's full-size output straight into the options' file,
// band by band, with the metadata and colour profile of `source`, naming this
// program as the software. `orientation`, when valid, replaces the source's
// orientation tag. Says in `error` why the file could not be written, and
// logs it; `failure` is its cause, None when it was written.
bool saveRender(Navik::Target& target, Navik::SampleType sampleType, Navik::SampleLayout sampleLayout,
                const Navik::Image& source, SSaveOptions& options, const Navik::Value& orientation, QString* error,
                FileFailure* failure)
{
    *failure = FileFailure::None;
    Navik::Dictionary saveOptions;
    bool saved = saveOptionsForFormat(options, saveOptions, error, failure);
    if (saved) {
        const auto exif = Navik::RefPtr<Navik::Exif>::Adopt(new Navik::Exif(*source.GetExif()));
        exif->SetValue(Navik::Exif::kMetaDataSoftwareKey, Navik::Value(g_appTitle.toStdString()));
        if (orientation.IsValid())
            exif->SetValue(Navik::Exif::kMetaDataOrientationKey, orientation);

        Navik::ImageStatus status;
        saved = target.SaveOutputImage(toNavikPath(options.path), options.format, saveOptions, sampleType,
                                       sampleLayout, *exif, source.GetExif()->GetICCProfile(), nullptr, &status);
        if (!saved) {
            *error = QString::fromUtf8(status.GetMessage());
            *failure = fileFailureOf(status);
        }
    }
    if (!saved) {
        if (*failure == FileFailure::None)
            *failure = FileFailure::Unknown;
        if (error->isEmpty())
            *error = QStringLiteral("The picture could not be prepared for saving.");
        LOG_MESSAGE('W', "Saving \"" << options.path << "\" failed: " << *error);
    }
    return saved;
}

// For a source with a mirrored orientation tag, the tag that turns the
// loaded (unmirrored) pixels the same way; otherwise nothing, keeping the tag.
Navik::Value unmirroredOrientation(const Navik::Image& source)
{
    switch (source.GetExif()->GetValue(Navik::Exif::kMetaDataOrientationKey).AsUnsignedInt()) {
    case 2: return Navik::Value(1u);
    case 4: return Navik::Value(3u);
    case 5: return Navik::Value(6u);
    case 7: return Navik::Value(8u);
    default: return {};
    }
}

} // namespace

// ---------------------------------------------------------------- save

CSaveProcessEngineTask::CSaveProcessEngineTask(CProcessEngine& engine, const QString& path, int jpegQuality,
                                               bool tiffCompression, bool eightBits, Navik::FileFormat format)
    : CBaseProcessEngineTask(engine, 0, QRect()),
      m_fileForm(true),
      m_options{path, jpegQuality, tiffCompression, format},
      m_eightBits(eightBits)
{
    m_taskId = QStringLiteral("SaveTaskId");
}

CSaveProcessEngineTask::CSaveProcessEngineTask(CProcessEngine& engine, bool eightBits)
    : CBaseProcessEngineTask(engine, 0, QRect()), m_fileForm(false), m_eightBits(eightBits)
{
    m_taskId = QStringLiteral("SaveTaskId");
}

int CSaveProcessEngineTask::priority() const
{
    return savePriority;
}

Navik::SampleType CSaveProcessEngineTask::sampleType()
{
    if (m_eightBits)
        return Navik::kSampleTypeUInt8;
    return m_fileForm ? Navik::kSampleTypeUInt16 : Navik::kSampleTypeUInt16Host;
}

Navik::Dictionary CSaveProcessEngineTask::buildDictionary()
{
    m_source = m_engine.openedImage();
    m_engine.copyResultState(&m_renderedParameters, &m_renderedPoints);
    Navik::Dictionary parameters = m_renderedParameters;
    setOutputProfileAsShot(parameters);
    return parameters;
}

Navik::Dictionary CSaveProcessEngineTask::keystoningDictionary(const Navik::Dictionary& dictionary,
                                                               QSize* outputSize)
{
    return m_engine.keystoningDictionaryForPoints(dictionary, m_renderedPoints, outputSize);
}

Navik::Target* CSaveProcessEngineTask::createOrUpdateTarget(const Navik::Dictionary& dictionary)
{
    return addSingleRenderTarget(Navik::kCorrectionModeFinal, dictionary);
}

void CSaveProcessEngineTask::releaseTarget(Navik::Target* target)
{
    removeSingleRenderTarget(target);
}

bool CSaveProcessEngineTask::renderAndDeliver(const Navik::Dictionary& keystoning)
{
    if (!m_fileForm)
        return CBaseProcessEngineTask::renderAndDeliver(keystoning);
    if (!m_source || !m_source->image()) {
        m_engine.setLastSaveError(QStringLiteral("The picture was closed before it was saved."),
                                  FileFailure::Cancelled);
        reportSaved(false);
        return true;
    }
    // The target is made and removed under the engine mutex; the render and
    // the writing run outside it, for the views' projections take it on the
    // main thread. The agent is held meanwhile: a picture closed during the
    // save keeps its pixels until the file is written.
    std::shared_ptr<Navik::Agent> agent;
    Navik::Target* target = nullptr;
    {
        QMutexLocker lock(&m_engine.engineMutex());
        agent = m_engine.agent();
        target = agent ? agent->AddTarget(Navik::kCorrectionModeFinal, keystoning, m_engine.filter()) : nullptr;
    }
    if (!target)
        return false;
    QString error;
    FileFailure failure = FileFailure::None;
    const bool saved = saveRender(*target, sampleType(), sampleLayout(), *m_source->image(), m_options,
                                  Navik::Value(uprightOrientation), &error, &failure);
    {
        QMutexLocker lock(&m_engine.engineMutex());
        agent->RemoveTarget(target);
    }
    m_engine.setLastSaveError(error, failure);
    reportSaved(saved);
    return true;
}

void CSaveProcessEngineTask::sendResult(PixelDataPtr pixels, const QSize&)
{
    // The host takes the pixels from the engine when the signal arrives.
    m_engine.setHostRenderResult(pixels);
    reportSaved(false);
}

void CSaveProcessEngineTask::reportSaved(bool saved)
{
    // Exactly what was rendered is what the file holds; a change made since
    // still counts as unsaved.
    // Only while the rendered picture is still open: one opened meanwhile has
    // nothing saved yet.
    if (saved)
        runOnEngineThread([this] {
            if (m_engine.openedImage() == m_source)
                m_engine.markAsSaved(m_renderedParameters, m_renderedPoints);
        });
    answer(saved);
}

void CSaveProcessEngineTask::onProcessingFailed()
{
    if (m_fileForm)
        m_engine.setLastSaveError(QStringLiteral("The corrected picture could not be rendered."), FileFailure::Unknown);
    answer(false);
}

void CSaveProcessEngineTask::onDroppedFromQueue()
{
    if (!m_answered.exchange(true)) {
        if (m_fileForm)
            m_engine.setLastSaveError(QStringLiteral("The save was cancelled before it started."),
                                      FileFailure::Cancelled);
        emit m_engine.fileSaveCompleated(false);
    }
}

void CSaveProcessEngineTask::answer(bool saved)
{
    // A slot of the answer may cancel the task: it must not answer twice.
    if (!m_answered.exchange(true))
        invokeOnEngine("fileSaveCompleated", Q_ARG(bool, saved));
}

// ---------------------------------------------------------------- batch

CBatchProcessEngineTask::CBatchProcessEngineTask(CProcessEngine& engine, const Navik::Dictionary& settings,
                                                 const QString& inputPath, const QString& outputPath,
                                                 int jpegQuality, bool tiffCompression, bool eightBits,
                                                 Navik::FileFormat format)
    : CBaseProcessEngineTask(engine, 0, QRect()),
      m_settings(settings),
      m_options{outputPath, jpegQuality, tiffCompression, format},
      m_eightBits(eightBits)
{
    m_taskId = QStringLiteral("BatchTaskId");
    openInput(inputPath);
}

void CBatchProcessEngineTask::openInput(const QString& inputPath)
{
    // The rows come in while the task waits in the queue and while it renders:
    // a file damaged past its header fails the save, with the reason.
    Navik::Image* image = CProcessEngine::loadImageFile(inputPath, nullptr, true);
    if (!image)
        return;
    // The proxy takes over our reference to the image.
    m_image = std::make_shared<CNavikImageProxy>(image, true, false, QString());
    m_agent = std::make_shared<Navik::Agent>(*image);
    // The pixels stay as the file holds them and the written file keeps the
    // file's orientation tag; the opened picture is not this task's to turn.
    LOG_MESSAGE('D', "Image orientation: "
                         << int(image->GetExif()->GetValue(Navik::Exif::kMetaDataOrientationKey).AsUnsignedInt()));
}

int CBatchProcessEngineTask::priority() const
{
    return savePriority;
}

Navik::SampleType CBatchProcessEngineTask::sampleType()
{
    return m_eightBits ? Navik::kSampleTypeUInt8 : Navik::kSampleTypeUInt16;
}

bool CBatchProcessEngineTask::hasImageToRender() const
{
    return m_agent != nullptr;
}

Navik::Dictionary CBatchProcessEngineTask::buildDictionary()
{
    setOutputProfileAsShot(m_settings);
    return m_settings;
}

Navik::Dictionary CBatchProcessEngineTask::keystoningDictionary(const Navik::Dictionary& dictionary, QSize*)
{
    return dictionary;
}

Navik::Target* CBatchProcessEngineTask::createOrUpdateTarget(const Navik::Dictionary& dictionary)
{
    if (!m_agent)
        return nullptr;
    const auto filter = Navik::RefPtr<Navik::Filter>::Adopt(new Navik::Filter);
    Navik::Dictionary parameters = dictionary;
    parameters.SetValueForKey(Keys::KeystoningKeepOriginalSize, false);
    LOG_MESSAGE('D', "Processing thumbnail using dictionary: " << parameters.StringRepr());
    return m_agent->AddTarget(Navik::kCorrectionModeFinal, parameters, filter.get());
}

bool CBatchProcessEngineTask::renderAndDeliver(const Navik::Dictionary& keystoning)
{
    // The agent is this task's own: nothing else renders with it, so the
    // save runs without the engine mutex.
    Navik::Target* target = createOrUpdateTarget(keystoning);
    if (!target)
        return false;
    // The source's own orientation tag stays: the pixels were not turned by
    // it. A mirrored tag becomes its rotation alone, the loader having
    // unmirrored the pixels already.
    QString error;
    FileFailure failure = FileFailure::None;
    const bool saved = saveRender(*target, sampleType(), sampleLayout(), *m_image->image(), m_options,
                                  unmirroredOrientation(*m_image->image()), &error, &failure);
    answer(saved);
    return true;
}

void CBatchProcessEngineTask::sendResult(PixelDataPtr, const QSize&)
{
    // The render goes straight into the file (renderAndDeliver).
}

void CBatchProcessEngineTask::answer(bool saved)
{
    if (!m_answered.exchange(true))
        invokeOnEngine("fileBatchCompleated", Q_ARG(bool, saved));
}

void CBatchProcessEngineTask::onProcessingFailed()
{
    answer(false);
}

void CBatchProcessEngineTask::onDroppedFromQueue()
{
    if (!m_answered.exchange(true))
        emit m_engine.fileBatchCompleated(false);
}
