#include "mainwindow/CRecentFilesWidget.h"

#include "mainwindow/CRecentFilesModel.h"
#include "mainwindow/IRecentFilesProviderInterface.h"
#include "utils/GuiUtils.h"
#include "utils/Logger.h"

#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QPainter>
#include <QProxyStyle>
#include <QToolTip>
#include <qdrawutil.h>

using namespace NAVIK_tarl1;

namespace {

constexpr int kCellInset = 15;
constexpr int kHoverCorner = 5;
constexpr int kHoverOutset = 7;

const QPixmap& noRecentFileIcon()
{
    static const QPixmap icon(QStringLiteral(":/icons/recentFiles/no-recent-file-icon.png"));
    return icon;
}

const QPixmap& noRecentFileBorder()
{
    static const QPixmap border(QStringLiteral(":/icons/recentFiles/no-recent-file-border.png"));
    return border;
}

const QPixmap& hoverFrame()
{
    static const QPixmap frame(QStringLiteral(":/icons/recentFiles/recent-file-highlighting-(corner-5px)-hover.png"));
    return frame;
}

// One click opens a thumbnail, whatever the platform's style does for item
// views elsewhere.
class SingleClickStyle : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override
    {
        if (hint == QStyle::SH_ItemView_ActivateItemOnSingleClick)
            return 1;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

} // namespace

// ---------------------------------------------------------------- grid

CRecentFilesWidget::CRecentFilesWidget(QWidget* parent) : QTableView(parent)
{
    setItemDelegate(new CRecentFilesDelegate(this));
    auto* style = new SingleClickStyle;
    style->setParent(this);
    setStyle(style);
    // The page's painting shows through.
    setStyleSheet(QStringLiteral("background-color: transparent;"));
    viewport()->setAttribute(Qt::WA_Hover);
}

void CRecentFilesWidget::setRecentFilesProvider(IRecentFilesProviderInterface* provider)
{
    m_provider = provider;
    m_model = new CRecentFilesModel(provider, this);
    setModel(m_model);
    connect(this, &QAbstractItemView::activated, this, &CRecentFilesWidget::onItemActivated);
    for (int i = 0; i < m_model->columnCount(); ++i)
        horizontalHeader()->setSectionResizeMode(i, QHeaderView::Stretch);
    for (int i = 0; i < m_model->rowCount(); ++i)
        verticalHeader()->setSectionResizeMode(i, QHeaderView::Stretch);
}

CRecentFilesModel* CRecentFilesWidget::recentFilesModel() const
{
    return m_model;
}

void CRecentFilesWidget::showEvent(QShowEvent*)
{
    if (m_model)
        m_model->reloadData();
}

void CRecentFilesWidget::onItemActivated(const QModelIndex& index)
{
    ASSERT(m_model);
    if (!m_model)
        return;
    const int linear = m_model->columnCount() * index.row() + index.column();
    if (linear >= CRecentFilesModel::maxVignetteCount()) {
        Q_EMIT openOtherFile();
        return;
    }
    const QString path = m_model->data(index, Qt::UserRole + 1).toString();
    if (path.isEmpty() || !m_provider)
        return;
    m_provider->openRecentFile(path);
    // A file that went missing then fails to load and leaves the list.
    if (isVisible())
        m_model->reloadData();
}

// ---------------------------------------------------------------- cells

CRecentFilesDelegate::CRecentFilesDelegate(QObject* parent) : QItemDelegate(parent)
{
    // Anticlockwise from the top-left corner; there is no top edge.
    for (const char* name : {"shadow-left-top", "shadow-left", "shadow-left-bottom", "shadow-bottom",
                             "shadow-right-bottom", "shadow-right", "shadow-right-top", "shadow-top"})
        m_shadow.append(QPixmap(QStringLiteral(":/icons/shadow/%1.png").arg(QLatin1String(name))));
}

void CRecentFilesDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    QStyleOptionViewItem cell(option);
    const QRect r = option.rect.adjusted(kCellInset, kCellInset, -kCellInset, -kCellInset);
    cell.rect = r;
    cell.displayAlignment = Qt::AlignCenter;
    cell.decorationAlignment = Qt::AlignCenter;

    const auto type = index.data(Qt::UserRole).value<CRecentFilesModel::EItemType>();
    painter->save();
    if (type == CRecentFilesModel::eOpenOtherFile) {
        QFont font = cell.font;
        font.setPointSize(13);
        cell.font = font;
        cell.palette.setColor(QPalette::All, QPalette::Text, QColor(0xF7, 0xF7, 0xF7));
        drawDisplay(painter, cell, r, tr("Open other file"));
        QPen pen(QColor(0xA4, 0xA4, 0xA4), 2);
        pen.setDashPattern({1, 3});
        pen.setCapStyle(Qt::SquareCap);
        pen.setJoinStyle(Qt::BevelJoin);
        painter->setPen(pen);
        painter->setBrush(Qt::NoBrush);
        painter->drawRect(r);
    } else {
        painter->setRenderHint(QPainter::SmoothPixmapTransform);
        painter->setRenderHint(QPainter::Antialiasing);
        const QVariant decoration = index.data(Qt::DecorationRole);
        if (!decoration.isValid()) {
            const QPixmap& icon = noRecentFileIcon();
            QSizeF size = icon.size();
            if (size.width() > r.width() || size.height() > r.height() - 5)
                size.scale(QSizeF(r.width(), r.height() - 4), Qt::KeepAspectRatio);
            const QRect target((r.left() + r.right()) / 2 - qRound(size.width() / 2),
                               (r.top() + r.bottom()) / 2 + 1 - qRound(size.height() / 2), qRound(size.width()),
                               qRound(size.height()));
            painter->drawPixmap(target, icon);
            const QMargins margins(1, 2, 1, 2);
            qDrawBorderPixmap(painter, r, margins, noRecentFileBorder(), noRecentFileBorder().rect(), margins);
        } else {
            // The picture's middle fills the cell: cropped, never letter-boxed.
            const QPixmap pixmap = decoration.value<QPixmap>();
            const QSize source = r.size().scaled(pixmap.size(), Qt::KeepAspectRatio);
            const QRect sourceRect(
                QPoint((pixmap.width() - source.width()) / 2, (pixmap.height() - source.height()) / 2), source);
            painter->drawPixmap(r, pixmap, sourceRect);
            drawShadowRect(painter, r, m_shadow);
        }
    }
    if (option.state & QStyle::State_MouseOver)
        drawRoundedImageBorder(painter, r, hoverFrame(), kHoverCorner, kHoverOutset);
    painter->restore();
}

bool CRecentFilesDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                                     const QModelIndex& index)
{
    Q_UNUSED(view)
    Q_UNUSED(option)
    const QString path = index.model() ? index.data(Qt::UserRole + 1).toString() : QString();
    if (path.isEmpty())
        return false;
    QToolTip::showText(event->globalPos(), QLatin1Char(' ') + QFileInfo(path).fileName() + QLatin1Char(' '));
    return true;
}

// ---------------------------------------------------------------- page

RecentFilesBackgroundWidget::RecentFilesBackgroundWidget() : QWidget()
{
}

RecentFilesBackgroundWidget::RecentFilesBackgroundWidget(QWidget* parent) : QWidget(parent)
{
}

void RecentFilesBackgroundWidget::paintEvent(QPaintEvent*)
{
    const int w = width();
    const int h = height();
    QPainter painter(this);
    painter.fillRect(rect(), QColor(90, 90, 90));
    painter.fillRect(rect(), QBrush(QPixmap(QStringLiteral(":/icons/background_grain.png"))));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0, 0, 0, 50));

    const QString folder = QStringLiteral(":/icons/recentFiles/recent-files-bg-%1.png");
    const auto piece = [&](const char* name, int x, int y, int width, int height) {
        painter.drawPixmap(QRect(x, y, width, height), QPixmap(folder.arg(QLatin1String(name))));
    };
    piece("left-top", 50, 100, 111, 3);
    piece("border-top", 161, 100, w - 322, 3);
    piece("right-top", w - 161, 100, 111, 3);
    piece("left-middle", 50, 103, 111, h - 206);
    painter.drawRect(QRect(161, 103, w - 322, h - 206));
    piece("right-middle", w - 161, 103, 111, h - 206);
    piece("left-bottom", 50, h - 103, 111, 4);
    piece("border-bottom", 161, h - 103, w - 322, 4);
    piece("right-bottom", w - 161, h - 103, 111, 4);
}
