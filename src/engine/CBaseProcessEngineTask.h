#pragma once

// The common road of every render: a task is built on the main thread, waits
// in the engine's queue, runs once on the global thread pool (which deletes
// it afterwards) and reports back by invoking the engine's signals by name on
// the main thread.
//
// run(): "processingStarted"; the task's dictionary with its keystoning
// points, checked once; the target and a whole or partial render into a new
// pixel buffer under the engine mutex; then either sendResult() or the
// failure path ("processingError" when the task reports errors);
// "processingFinished".

#include "shell/PixelDataPtr.h"

#include <Navik/PixelData.h>
#include <Navik/Target.h>
#include <Navik/Value.h>

#include <QObject>
#include <QRect>
#include <QRunnable>
#include <QSize>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

class CProcessEngine;

class CBaseProcessEngineTask : public QObject, public QRunnable
{
    Q_OBJECT

public:
    CBaseProcessEngineTask(CProcessEngine& engine, unsigned int scaleLevel, const QRect& rect);

    void run() override;
    // Whether `other` is a request of the same kind, side and view.
    virtual bool isSameTask(const CBaseProcessEngineTask* other) const;
    virtual QString taskId() const;
    // Whether this task's run delivers all that `queued`, still waiting when
    // this one is taken to run, would deliver: the queue then drops
    // `queued` untold, as it drops a task replaced by a newer one of its id.
    virtual bool answersFor(const CBaseProcessEngineTask* queued) const;
    // Lower values run first.
    virtual int priority() const = 0;
    // Called on the main thread when the queue is cleared before the task
    // ran, or while it waits for a delivery (cancel()). A task whose
    // requester waits for its outcome reports failure here, unless it has
    // reported the outcome already.
    virtual void onDroppedFromQueue();

    // Called on the main thread when the queue is cleared by a slot that
    // receives one of this task's deliveries: the task waits for that slot,
    // so nobody may wait for the task. Once the slot returned, the task ends
    // without touching the engine again and sends nothing more than its
    // "processingFinished".
    void cancel();
    bool isCancelled() const;
    // Makes this task part of `owner`: cancelling one cancels both.
    void shareCancellation(const CBaseProcessEngineTask& owner);

    // The scale level the views' current zoom asks for: 2 below 25 %, 1 below
    // 75 %, 0 from there on.
    static unsigned int scaleLevelFromZoom();

Q_SIGNALS:
    void processed(bool success);

protected:
    // Whether there is a picture to render; the engine's opened image.
    virtual bool hasImageToRender() const;
    // `dictionary` with the keystoning points the render uses (the engine's
    // stored points); `outputSize`, when given, may receive the size the
    // points are checked against.
    virtual Navik::Dictionary keystoningDictionary(const Navik::Dictionary& dictionary, QSize* outputSize);
    // Renders with `keystoning`, the render dictionary with its keystoning
    // points (keystoningDictionary), under the engine mutex. `width` and
    // `height` receive the full output size (scale level 0). Null on failure.
    virtual PixelDataPtr process(const Navik::Dictionary& keystoning, int* width, int* height);
    // Renders with `keystoning` and delivers the outcome: by default process()
    // and, when it gave pixels, sendResult(). False sends the task down the
    // failure path.
    virtual bool renderAndDeliver(const Navik::Dictionary& keystoning);
    // Runs `action` with the target brought up to date for `keystoning`,
    // under the engine mutex, and releases the target afterwards. False,
    // without running it, when there is no target.
    bool withTarget(const Navik::Dictionary& keystoning, const std::function<void(Navik::Target*)>& action);
    // Delivers a successful render; `fullSize` is the output size at level 0.
    virtual void sendResult(PixelDataPtr pixels, const QSize& fullSize) = 0;
    virtual void onProcessingFailed();
    // Whether a region render no longer matches what the views show.
    virtual bool isOutdated(const QSize& fullSize);
    virtual Navik::Dictionary buildDictionary() = 0;
    // The target to render with, brought up to date; null when none can be had.
    // Called under the engine mutex.
    virtual Navik::Target* createOrUpdateTarget(const Navik::Dictionary& dictionary) = 0;
    // Called under the engine mutex after the render: a task that made a
    // target of its own for one render removes it here.
    virtual void releaseTarget(Navik::Target* target);
    virtual Navik::SampleLayout sampleLayout() = 0;
    virtual Navik::SampleType sampleType() = 0;

    // A target on the engine's agent made for one render, and its removal
    // (both under the engine mutex); null without an agent.
    Navik::Target* addSingleRenderTarget(Navik::CorrectionMode mode, const Navik::Dictionary& dictionary);
    void removeSingleRenderTarget(Navik::Target* target);

    PixelDataPtr renderWholeImage(Navik::Target* target, int* width, int* height);
    PixelDataPtr renderSubImage(Navik::Target* target, int* width, int* height);
    // After an after-image preview: the transform-out values the correction
    // modules read, then "transformOutParamsChanged" and "trasformOutParamsSignalWasSent".
    void collectTransformOutParams();

    // Stores the full output size of one side and, when it changed, tells the
    // views by "initialImageSizeChanged" or "resultImageSizeChanged".
    void announceSizeIfChanged(bool initial, const QSize& fullSize);
    // Invokes the engine's signal `name` on the main thread and waits until it
    // was emitted. Once the task is cancelled only "processingFinished" goes.
    void invokeOnEngine(const char* name, QGenericArgument first = QGenericArgument(),
                        QGenericArgument second = QGenericArgument(),
                        QGenericArgument third = QGenericArgument());
    // Runs `action` on the main thread and waits until it has run; nothing
    // once the task is cancelled.
    void runOnEngineThread(const std::function<void()>& action);

    bool m_reportErrors = false;
    bool m_notifyEngine = true;
    CProcessEngine& m_engine;
    unsigned int m_scaleLevel;
    QRect m_rect;
    QString m_taskId;

private:
    void failRun();
    // Runs `action` on the main thread, the engine knowing this task as the
    // one delivering, and waits until it has run.
    void deliverOnEngineThread(const std::function<void()>& action);

    std::shared_ptr<std::atomic<bool>> m_cancelled = std::make_shared<std::atomic<bool>>(false);
};

// The queue's order: true when `first` runs before `second`.
bool lessThanByPriority(const CBaseProcessEngineTask* first, const CBaseProcessEngineTask* second);

// A buffer that holds a usable render.
bool isUsable(const PixelDataPtr& pixels);
