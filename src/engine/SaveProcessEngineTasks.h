#pragma once

// The renders that end in a file: the whole corrected picture at full size,
// written as JPEG or TIFF with the source's metadata and colour profile.
//
// CSaveProcessEngineTask saves the opened picture with the engine's after
// parameters, or (its host form) leaves the rendered pixels in the engine
// for the Photoshop host. CBatchProcessEngineTask opens a file of its own and
// renders it through an agent of its own, leaving the opened picture alone.

#include "engine/CBaseProcessEngineTask.h"
#include "shell/NavikImagePtr.h"

#include <Navik/Agent.h>
#include <Navik/FileFormat.h>

#include <QPointF>
#include <QVector>

#include <atomic>
#include <memory>

// Where and how a render is written.
struct SSaveOptions
{
    QString path;
    int jpegQuality = 90;
    bool tiffCompression = false;
    // kFileFormatUnknown: the format the path's suffix names.
    Navik::FileFormat format = Navik::kFileFormatUnknown;
};

class CSaveProcessEngineTask : public CBaseProcessEngineTask
{
    Q_OBJECT

public:
    // The file form: writes the corrected picture to `path`.
    CSaveProcessEngineTask(CProcessEngine& engine, const QString& path, int jpegQuality, bool tiffCompression,
                           bool eightBits, Navik::FileFormat format);
    // The host form: renders into the engine's host render result and writes
    // nothing; 16-bit samples in the host's range unless `eightBits`.
    CSaveProcessEngineTask(CProcessEngine& engine, bool eightBits);

    int priority() const override;
    // Ends a synchronous save or host render waiting for this task.
    void onDroppedFromQueue() override;
    // The format written: the one given, or the path's once derived.
    Navik::FileFormat fileFormat() const { return m_options.format; }

protected:
    // The file form renders straight into its file, band by band.
    bool renderAndDeliver(const Navik::Dictionary& keystoning) override;
    // The host form's pixels.
    void sendResult(PixelDataPtr pixels, const QSize& fullSize) override;
    void onProcessingFailed() override;
    // The after parameters and points, taken together so that what is
    // rendered is what becomes the saved state.
    Navik::Dictionary buildDictionary() override;
    Navik::Dictionary keystoningDictionary(const Navik::Dictionary& dictionary, QSize* outputSize) override;
    // A final-output target of its own, removed again by releaseTarget.
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) override;
    void releaseTarget(Navik::Target* target) override;
    Navik::SampleLayout sampleLayout() override { return Navik::kSampleLayoutRGBInterleaved; }
    Navik::SampleType sampleType() override;

private:
    // Marks the picture as saved when it was, and ends the wait for the save.
    void reportSaved(bool saved);

    bool m_fileForm;
    SSaveOptions m_options;
    bool m_eightBits;
    // What the render used, captured by buildDictionary: the picture whose
    // metadata the file carries, its parameters and keystoning points.
    NavikImagePtr m_source;
    Navik::Dictionary m_renderedParameters;
    QVector<QPointF> m_renderedPoints;
    // Whether "fileSaveCompleated" went for this task: it goes once.
    std::atomic<bool> m_answered{false};

    void answer(bool saved);
};

class CBatchProcessEngineTask : public CBaseProcessEngineTask
{
    Q_OBJECT

public:
    // Opens `inputPath` at once; a file that does not open, or is smaller
    // than 32 pixels on a side, makes a task whose render fails.
    CBatchProcessEngineTask(CProcessEngine& engine, const Navik::Dictionary& settings, const QString& inputPath,
                            const QString& outputPath, int jpegQuality, bool tiffCompression, bool eightBits,
                            Navik::FileFormat format);

    int priority() const override;
    void onDroppedFromQueue() override;

protected:
    // Renders straight into the output file, band by band.
    bool renderAndDeliver(const Navik::Dictionary& keystoning) override;
    void sendResult(PixelDataPtr pixels, const QSize& fullSize) override;
    void onProcessingFailed() override;
    bool hasImageToRender() const override;
    Navik::Dictionary buildDictionary() override;
    // The settings carry their own keystoning points, if any.
    Navik::Dictionary keystoningDictionary(const Navik::Dictionary& dictionary, QSize* outputSize) override;
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) override;
    Navik::SampleLayout sampleLayout() override { return Navik::kSampleLayoutRGBInterleaved; }
    Navik::SampleType sampleType() override;

private:
    void openInput(const QString& inputPath);

    Navik::Dictionary m_settings;
    SSaveOptions m_options;
    bool m_eightBits;
    std::shared_ptr<Navik::Agent> m_agent;
    NavikImagePtr m_image;
    // Whether "fileBatchCompleated" went for this task: it goes once.
    std::atomic<bool> m_answered{false};

    void answer(bool saved);
};
