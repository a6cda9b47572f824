#include "correction/CorrectionInfoWidget.h"

#include <QAbstractTextDocumentLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

constexpr int kIconSize = 16;
constexpr int kIconGap = 4;
constexpr int kLinkHeight = 20;

} // namespace

struct LinkPainter::Data
{
    bool hovered = false;
    QPixmap pixmap;
    QPixmap hoverPixmap;
    QString text;
};

LinkPainter::LinkPainter(QWidget* parent)
    : QWidget(parent)
    , m_data(std::make_unique<Data>())
{
    setStyleSheet(QStringLiteral("background: transparent;"));
    setMouseTracking(true);
}

LinkPainter::~LinkPainter() = default;

void LinkPainter::setLink(const QPixmap& pixmap, const QPixmap& hoverPixmap, const QString& text)
{
    m_data->pixmap = pixmap;
    m_data->hoverPixmap = hoverPixmap;
    m_data->text = text;
    update();
}

bool LinkPainter::hasIcon() const
{
    return !m_data->pixmap.isNull() && !m_data->hoverPixmap.isNull();
}

bool LinkPainter::isHovered() const
{
    return m_data->hovered;
}

QRect LinkPainter::linkRect() const
{
    QRect rect(0, 0, 0, height());
    if (hasIcon())
        rect.setWidth(rect.width() + kIconSize);
    if (!m_data->text.isEmpty()) {
        if (hasIcon())
            rect.setWidth(rect.width() + kIconGap);
        rect.setWidth(rect.width() + fontMetrics().horizontalAdvance(m_data->text));
    }
    return rect;
}

QRect LinkPainter::textRect() const
{
    QRect rect = linkRect();
    rect.setLeft(rect.right() - fontMetrics().horizontalAdvance(m_data->text));
    return rect;
}

void LinkPainter::mouseReleaseEvent(QMouseEvent* event)
{
    QWidget::mouseReleaseEvent(event);
    if (linkRect().contains(event->position().toPoint()))
        emit linkActivated();
}

void LinkPainter::mouseMoveEvent(QMouseEvent* event)
{
    QWidget::mouseMoveEvent(event);
    m_data->hovered = linkRect().contains(event->position().toPoint());
    update();
}

void LinkPainter::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    m_data->hovered = false;
    update();
}

void LinkPainter::paintEvent(QPaintEvent* event)
{
    QWidget::paintEvent(event);
    QPainter painter(this);
    if (hasIcon()) {
        const QPixmap& icon = m_data->hovered ? m_data->hoverPixmap : m_data->pixmap;
        painter.drawPixmap(QRect(0, 0, kIconSize, kIconSize), icon, icon.rect());
    }
    if (m_data->text.isEmpty())
        return;
    painter.setPen(m_data->hovered ? QColor(255, 255, 255, 255) : QColor(212, 212, 212, 255));
    const QRect text = textRect();
    painter.drawText(text, Qt::AlignLeft, m_data->text);
    painter.drawLine(text.left(), text.bottom() - 2, text.right(), text.bottom() - 2);
}

struct CorrectionInfoWidget::Data
{
    QPointer<LinkPainter> linkPainter;
    QPointer<QTextEdit> textEdit;
};

CorrectionInfoWidget::CorrectionInfoWidget(QWidget* parent)
    : QWidget(parent)
    , m_data(std::make_unique<Data>())
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 10, 0, 10);
    auto* container = new QWidget(this);
    container->setObjectName(QStringLiteral("correctionInfoContainer"));
    container->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(container);
    auto* inner = new QVBoxLayout(container);

    auto* text = new QTextEdit(container);
    text->viewport()->setCursor(Qt::ArrowCursor);
    text->setFrameShape(QFrame::NoFrame);
    text->setStyleSheet(QStringLiteral("background: transparent; color: #d4d4d4; font-size: 12px;"));
    text->setReadOnly(true);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setTextInteractionFlags(Qt::NoTextInteraction);
    inner->addWidget(text);
    m_data->textEdit = text;
    // The document is laid out after the resize that shows the widget: the
    // box follows its size, so a message is never cut to nothing.
    connect(text->document()->documentLayout(), &QAbstractTextDocumentLayout::documentSizeChanged, this,
            [this] { adjustTextHeight(); });

    auto* link = new LinkPainter(container);
    link->setFixedHeight(kLinkHeight);
    inner->addWidget(link);
    m_data->linkPainter = link;
    connect(link, &LinkPainter::linkActivated, this, &CorrectionInfoWidget::linkActivated);
    hide();
}

CorrectionInfoWidget::~CorrectionInfoWidget() = default;

void CorrectionInfoWidget::setText(const QString& text)
{
    if (m_data->textEdit)
        m_data->textEdit->setText(text);
}

void CorrectionInfoWidget::setLink(const QPixmap& pixmap, const QPixmap& hoverPixmap, const QString& text)
{
    if (m_data->linkPainter)
        m_data->linkPainter->setLink(pixmap, hoverPixmap, text);
}

QString CorrectionInfoWidget::text() const
{
    return m_data->textEdit ? m_data->textEdit->document()->toPlainText() : QString();
}

void CorrectionInfoWidget::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    adjustTextHeight();
}

void CorrectionInfoWidget::adjustTextHeight()
{
    QTextEdit* text = m_data->textEdit;
    if (!text)
        return;
    const QMargins margins = text->contentsMargins();
    const int height = std::max(margins.top() + margins.bottom() + qRound(text->document()->size().height()),
                                text->minimumHeight());
    text->setFixedHeight(height);
}
