#pragma once

// The renders that keep the on-screen pictures current: the whole before or
// after image at the preview scale, the visible rectangle of a view, the
// loupe's rectangle at full resolution, and both previews after a rotation.
// Task ids carry the side as "1" (before) or "0" (after).

#include "engine/CBaseProcessEngineTask.h"
#include "shell/RotationDirections.h"

// The whole image of one side at the framework's preview scale.
class CLoResProcessEngineTask : public CBaseProcessEngineTask
{
    Q_OBJECT

public:
    // An urgent request runs before the views' region renders.
    CLoResProcessEngineTask(CProcessEngine& engine, bool initial, bool urgent);

    int priority() const override;

protected:
    void sendResult(PixelDataPtr pixels, const QSize& fullSize) override;
    void onProcessingFailed() override;
    Navik::Dictionary buildDictionary() override;
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) override;
    Navik::SampleLayout sampleLayout() override { return Navik::kSampleLayoutRGBInterleaved; }
    Navik::SampleType sampleType() override { return Navik::kSampleTypeUInt8; }

    bool m_isInitial;
    bool m_urgent;
};

// The visible rectangle of one view, at the level that suits the zoom when
// the request was made.
class CHiResProcessEngineTask : public CBaseProcessEngineTask
{
    Q_OBJECT

public:
    CHiResProcessEngineTask(CProcessEngine& engine, bool initial, const QRect& rect, const QString& tag,
                            bool enabled);
    // The same request at the current zoom.
    CHiResProcessEngineTask(const CHiResProcessEngineTask& other);

    void setInitial(bool initial);
    void setRect(const QRect& rect);
    bool isInitial() const { return m_isInitial; }
    int priority() const override;

protected:
    void sendResult(PixelDataPtr pixels, const QSize& fullSize) override;
    bool isOutdated(const QSize& fullSize) override;
    Navik::Dictionary buildDictionary() override;
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) override;
    Navik::SampleLayout sampleLayout() override { return Navik::kSampleLayoutRGBInterleaved; }
    Navik::SampleType sampleType() override { return Navik::kSampleTypeUInt8; }

private:
    void updateTaskId();

    bool m_isInitial;
    QString m_tag;
    bool m_enabled;
};

// The loupe's rectangle at full resolution, silently: no processing state,
// no error. One loupe request of either side replaces the other.
class CLoupeProcessEngineTask : public CBaseProcessEngineTask
{
    Q_OBJECT

public:
    CLoupeProcessEngineTask(CProcessEngine& engine, bool initial, const QRect& rect);

    int priority() const override;

protected:
    void sendResult(PixelDataPtr pixels, const QSize& fullSize) override;
    Navik::Dictionary buildDictionary() override;
    // A target of its own for each render, removed again by releaseTarget.
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) override;
    void releaseTarget(Navik::Target* target) override;
    Navik::SampleLayout sampleLayout() override { return Navik::kSampleLayoutRGBInterleaved; }
    Navik::SampleType sampleType() override { return Navik::kSampleTypeUInt8; }

private:
    bool m_isInitial;
};

// Both previews again after the picture was turned (the engine has already
// written the new rotation), then "rotationCompleated" on the main thread.
class CRotationProcessEngineTask : public CBaseProcessEngineTask
{
    Q_OBJECT

public:
    CRotationProcessEngineTask(CProcessEngine& engine, RotationDirections::RotationDirectionsEnum step,
                               RotationDirections::RotationDirectionsEnum direction);

    void run() override;
    int priority() const override;
    // The previews of both sides that wait when the turn starts: its own
    // previews read the parameters later, so they would render the same.
    bool answersFor(const CBaseProcessEngineTask* queued) const override;

protected:
    void sendResult(PixelDataPtr pixels, const QSize& fullSize) override;
    Navik::Dictionary buildDictionary() override;
    Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) override;
    Navik::SampleLayout sampleLayout() override { return Navik::kSampleLayoutRGBInterleaved; }
    Navik::SampleType sampleType() override { return Navik::kSampleTypeUInt8; }

private:
    RotationDirections::RotationDirectionsEnum m_step;
    RotationDirections::RotationDirectionsEnum m_direction;
    // Never queued: run by this task's run() and destroyed with it.
    CLoResProcessEngineTask m_beforeTask;
    CLoResProcessEngineTask m_afterTask;
};
