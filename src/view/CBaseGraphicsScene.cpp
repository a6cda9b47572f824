#include "view/CBaseGraphicsScene.h"

#include "engine/ImageConversion.h"
#include "shell/CBaseApplication.h"
#include "shell/IProcessEngine.h"
#include "utils/GuiUtils.h"
#include "utils/Logger.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr qreal kLoResZ = 100.0;
constexpr qreal kHiResZ = 200.0;

const char* const kShadowPieces[] = {
    ":/icons/previewShadow/preview-shadow-left-top.png",
    ":/icons/previewShadow/preview-shadow-left.png",
    ":/icons/previewShadow/preview-shadow-left-bottom.png",
    ":/icons/previewShadow/preview-shadow-bottom.png",
    ":/icons/previewShadow/preview-shadow-right-bottom.png",
    ":/icons/previewShadow/preview-shadow-right.png",
    ":/icons/previewShadow/preview-shadow-right-top.png",
    ":/icons/previewShadow/preview-shadow-top.png",
};

// Equal within a relative tolerance of 1e-12 of the smaller magnitude.
bool nearlyEqual(double a, double b)
{
    return std::abs(a - b) * 1e12 <= std::min(std::abs(a), std::abs(b)) || a == b;
}

bool carriesImage(const PixelDataPtr& data)
{
    return data && data->GetWidth() >= 1 && data->GetHeight() >= 1;
}

// One copy of the buffer's pixels, into a pixmap.
QPixmap toPixmap(const PixelDataPtr& data)
{
    return QPixmap::fromImage(pixelDataToQImage(data));
}

} // namespace

CBaseGraphicsScene::CBaseGraphicsScene(bool isInitial, QObject* parent)
    : CBaseGraphicsScene(isInitial, CBaseApplication::processEngine(), parent)
{
}

CBaseGraphicsScene::CBaseGraphicsScene(bool isInitial, IProcessEngine* engine, QObject* parent)
    : ISceneInterface(parent)
    , m_isInitial(isInitial)
{
    LOG_TRACE();
    for (const char* path : kShadowPieces)
        m_shadowPieces.append(QPixmap(QString::fromLatin1(path)));
    connectToEngine(engine);
}

CBaseGraphicsScene::~CBaseGraphicsScene() = default;

void CBaseGraphicsScene::connectToEngine(IProcessEngine* engine)
{
    if (!engine)
        return;
    QObject* source = engine->getQObject();
    if (m_isInitial) {
        connect(source, SIGNAL(loResInitialImageProcessed(PixelDataPtr,QSize)), this,
                SLOT(onLoResImageProcessed(PixelDataPtr,QSize)));
        connect(source, SIGNAL(hiResInitialImageProcessed(PixelDataPtr,QRect,QSize)), this,
                SLOT(onHiResImageProcessed(PixelDataPtr,QRect,QSize)));
        connect(source, SIGNAL(initialImageSizeChanged(QSize)), this, SLOT(changeSceneSize(QSize)));
        connect(source, SIGNAL(removeInitialHiResRect()), this, SLOT(onRemoveHiResRect()));
    } else {
        connect(source, SIGNAL(loResResultImageProcessed(PixelDataPtr,QSize)), this,
                SLOT(onLoResImageProcessed(PixelDataPtr,QSize)));
        connect(source, SIGNAL(hiResResultImageProcessed(PixelDataPtr,QRect,QSize)), this,
                SLOT(onHiResImageProcessed(PixelDataPtr,QRect,QSize)));
        connect(source, SIGNAL(resultImageSizeChanged(QSize)), this, SLOT(changeSceneSize(QSize)));
        connect(source, SIGNAL(removeResultHiResRect()), this, SLOT(onRemoveHiResRect()));
    }
}

void CBaseGraphicsScene::dropItem(QGraphicsPixmapItem*& item)
{
    if (!item)
        return;
    QGraphicsScene::removeItem(item);
    delete item;
    item = nullptr;
}

bool CBaseGraphicsScene::isEmpty() const
{
    return !m_loResItem && !m_hiResItem;
}

void CBaseGraphicsScene::changeSceneSize(const QSize& size)
{
    LOG_TRACE();
    if (size == m_sceneSize)
        return;
    dropItem(m_hiResItem);
    m_sceneSize = size;
}

void CBaseGraphicsScene::onLoResImageProcessed(const PixelDataPtr& data, QSize size)
{
    LOG_TRACE();
    if (!carriesImage(data))
        return;
    const QRectF oldRect = sceneRect();
    dropItem(m_loResItem);
    const QPixmap pixmap = toPixmap(data);
    m_loResItem = addPixmap(pixmap);
    m_loResItem->setTransformationMode(Qt::SmoothTransformation);
    m_loResItem->setZValue(kLoResZ);
    m_loResItem->setTransform(QTransform::fromScale(double(size.width()) / pixmap.width(),
                                                    double(size.height()) / pixmap.height()));
    if (!nearlyEqual(oldRect.width(), m_sceneSize.width()) || !nearlyEqual(oldRect.height(), m_sceneSize.height()))
        setSceneRect(0, 0, m_sceneSize.width(), m_sceneSize.height());
    m_loResReceived = true;
}

void CBaseGraphicsScene::onHiResImageProcessed(const PixelDataPtr& data, QRect rect, QSize size)
{
    LOG_TRACE();
    ASSERT(rect.isValid());
    if (data) {
        ASSERT(int(data->GetWidth()) <= rect.width());
        ASSERT(int(data->GetHeight()) <= rect.height());
    }
    if (!carriesImage(data))
        return;
    const QRectF oldRect = sceneRect();
    dropItem(m_hiResItem);
    const QPixmap pixmap = toPixmap(data);
    m_hiResItem = addPixmap(pixmap);
    m_hiResItem->setTransformationMode(Qt::SmoothTransformation);
    m_hiResItem->setPos(rect.topLeft());
    m_hiResItem->setZValue(kHiResZ);
    if (pixmap.size() != size) {
        m_hiResItem->setTransform(QTransform::fromScale(double(size.width()) / pixmap.width(),
                                                        double(size.height()) / pixmap.height()));
    }
    const QRectF newRect = sceneRect();
    ASSERT(nearlyEqual(oldRect.x(), newRect.x()) && nearlyEqual(oldRect.y(), newRect.y())
           && nearlyEqual(oldRect.width(), newRect.width()) && nearlyEqual(oldRect.height(), newRect.height()));
}

void CBaseGraphicsScene::onRemoveHiResRect()
{
    dropItem(m_hiResItem);
}

void CBaseGraphicsScene::onRemoveLowResRect()
{
    dropItem(m_loResItem);
}

void CBaseGraphicsScene::doResetBeforeOpen()
{
    LOG_TRACE();
    m_loResReceived = false;
    dropItem(m_hiResItem);
    dropItem(m_loResItem);
    for (QGraphicsItem* item : items())
        item->clearFocus();
    clearFocus();
    setSceneRect(QRectF());
    update();
}

QPixmap CBaseGraphicsScene::getToolsPixmap(const QRect rect)
{
    LOG_TRACE();
    if (m_loResItem)
        m_loResItem->hide();
    if (m_hiResItem)
        m_hiResItem->hide();
    QPixmap pixmap(rect.size());
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, true);
        render(&painter, QRectF(pixmap.rect()), QRectF(rect), Qt::KeepAspectRatio);
    }
    if (m_loResItem)
        m_loResItem->show();
    if (m_hiResItem)
        m_hiResItem->show();
    return pixmap;
}

void CBaseGraphicsScene::drawBackground(QPainter* painter, const QRectF& rect)
{
    QGraphicsScene::drawBackground(painter, rect);
    if (!m_loResItem)
        return;
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    const QTransform transform = painter->transform();
    const double s = transform.m11();
    const QRectF scene = sceneRect();
    ASSERT(std::abs(scene.x()) < 1e-12 && std::abs(scene.y()) < 1e-12);
    if (s > 0.0) {
        painter->setTransform(QTransform(transform).scale(1.0 / s, 1.0 / s));
        const QRect device(qRound(scene.x()), qRound(scene.y()), qRound(scene.width() * s),
                           qRound(scene.height() * s));
        NAVIK_tarl1::drawShadowRect(painter, device, m_shadowPieces);
    }
    painter->restore();
}

void CBaseGraphicsScene::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    QGraphicsScene::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        m_pressGrabber = mouseGrabberItem();
}

void CBaseGraphicsScene::mouseReleaseEvent(QGraphicsSceneMouseEvent* event)
{
    QGraphicsScene::mouseReleaseEvent(event);
    QGraphicsItem* grabber = m_pressGrabber;
    m_pressGrabber = nullptr;
    // Compared by address only: an item deleted since the press is not touched.
    if (grabber && items().contains(grabber))
        sendEvent(grabber, event);
}
