#pragma once

// Renders delivered as a QImage rather than a pixel buffer: a small picture
// of a named snapshot (or of the uncorrected photograph) and the corrected
// picture at a print size. Each delivers a deep copy, independent of the
// rendered buffer.

#include "engine/CBaseProcessEngineTask.h"

// A picture whose longer side is 500 pixels, delivered by
// "imageForSnapshotCreated". Silent: no processing state, no error.
class CSnapshotProcessEngineTask : public CBaseProcessEngineTask
{
    Q_OBJECT

public:
    // An empty name stands for the uncorrected photograph. The picture is
    // rendered at the smallest reduction whose longer side is not far below
    // 500 pixels.
    CSnapshotProcessEngineTask(CProcessEngine& engine, const QString& name);

    int priority() const override;
    // The longer side of the pictures delivered.
    static constexpr int pictureSide = 500;
    // The reduction a picture whose longer side is `longSide` pixels is
    // rendered at: the first whose longer side is at most pictureSide, or
    // the one before it when that would come out more than two pixels short.
    static unsigned int scaleLevelForLongSide(unsigned int longSide);

protected:
    void sendResult(PixelDataPtr pixels, const QSize& fullSize) override;
    Navik::Dictionary buildDictionary() override;
    // A preview target of its own, removed again by releaseTarget.
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) override;
    void releaseTarget(Navik::Target* target) override;
    Navik::SampleLayout sampleLayout() override { return Navik::kSampleLayoutRGBInterleaved; }
    Navik::SampleType sampleType() override { return Navik::kSampleTypeUInt8; }

private:
    QString m_name;
    // The named snapshot as it was when the picture was asked for; the
    // snapshots live on the main thread.
    Navik::Dictionary m_snapshot;
};

// The corrected, cropped picture fitted to a print size at a resolution,
// delivered by "printImageCreated".
class CPrintProcessEngineTask : public CBaseProcessEngineTask
{
    Q_OBJECT

public:
    CPrintProcessEngineTask(CProcessEngine& engine, const QString& unit, int resolution, double width, double height);

    int priority() const override;

protected:
    void sendResult(PixelDataPtr pixels, const QSize& fullSize) override;
    // The after parameters, cropped, with the print keys over them.
    Navik::Dictionary buildDictionary() override;
    // A final-output target of its own, removed again by releaseTarget.
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) override;
    void releaseTarget(Navik::Target* target) override;
    Navik::SampleLayout sampleLayout() override { return Navik::kSampleLayoutRGBInterleaved; }
    Navik::SampleType sampleType() override { return Navik::kSampleTypeUInt8; }

private:
    Navik::Dictionary m_printParameters;
};
