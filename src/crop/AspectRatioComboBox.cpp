#include "crop/AspectRatioComboBox.h"

#include "crop/AspectRatioModel.h"
#include "utils/Logger.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpressionValidator>

// ---- AspectRatioEdit ----

struct AspectRatioEdit::Data
{
    bool editing = false;
    QRegularExpressionValidator* validator = nullptr;
};

AspectRatioEdit::AspectRatioEdit(QWidget* parent)
    : QLineEdit(parent)
    , d(new Data)
{
    d->validator = new QRegularExpressionValidator(QRegularExpression(AspectRatioModel::ratioPattern()), nullptr);
    connect(this, SIGNAL(textChanged(QString)), this, SLOT(onTextChanged(QString)));
}

AspectRatioEdit::~AspectRatioEdit()
{
    // Detach before the validator goes: it has no parent.
    setValidator(nullptr);
    delete d->validator;
    delete d;
}

void AspectRatioEdit::showHint()
{
    setFocus(Qt::OtherFocusReason);
    setItalic(true);
    setText(tr("Enter ratio (W/H)"));
    setCursorPosition(0);
    QPalette pal = palette();
    pal.setBrush(QPalette::All, QPalette::Base, QBrush(Qt::transparent, Qt::SolidPattern));
    setPalette(pal);
}

void AspectRatioEdit::setItalic(bool italic)
{
    QFont f = font();
    f.setItalic(italic);
    setFont(f);
}

bool AspectRatioEdit::isEditing() const
{
    return d->editing;
}

bool AspectRatioEdit::event(QEvent* event)
{
    if (!d->editing) {
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
            return true;
        case QEvent::KeyPress: {
            QString text = static_cast<QKeyEvent*>(event)->text();
            int pos = 0;
            if (d->validator->validate(text, pos) == QValidator::Invalid)
                return true;
            clear();
            d->editing = true;
            setValidator(d->validator);
            setItalic(false);
            break;
        }
        default:
            break;
        }
    }
    return QLineEdit::event(event);
}

void AspectRatioEdit::onTextChanged(const QString& text)
{
    if (text.isEmpty() && cursorPosition() == 0 && d->editing) {
        showHint();
        d->editing = false;
    }
}

// ---- AspectRatioDelegate ----

AspectRatioDelegate::AspectRatioDelegate(QObject* parent)
    : QStyledItemDelegate(parent)
{
}

void AspectRatioDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                                const QModelIndex& index) const
{
    if (index.isValid()) {
        bool ok = false;
        const int separatorRow = index.model()->data(index, AspectRatioModel::SeparatorRowRole).toInt(&ok);
        if (ok && separatorRow == index.row()) {
            painter->save();
            painter->setRenderHint(QPainter::Antialiasing, true);
            const int y = option.rect.top() + option.rect.height() / 2;
            const int w = option.rect.width();
            painter->setPen(QColor(40, 40, 40, 255));
            painter->drawLine(0, y, w, y);
            painter->setPen(QColor(108, 108, 108, 255));
            painter->drawLine(0, y + 1, w, y + 1);
            painter->restore();
            return;
        }
    }
    QStyledItemDelegate::paint(painter, option, index);
}

// ---- AspectRationCBMouseObserver ----

AspectRationCBMouseObserver::AspectRationCBMouseObserver(QObject* parent, const QPointer<QComboBox>& combo)
    : QObject(parent)
    , combo(combo)
{
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

bool AspectRationCBMouseObserver::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress || !combo)
        return false;
    QAbstractItemView* popup = combo->view();
    if (popup && popup->isVisible()) {
        if (!popup->underMouse())
            combo->setEditable(false);
    } else if (combo->lineEdit() && watched != combo->lineEdit()) {
        combo->setEditable(false);
    }
    return false;
}

// ---- AspectRatioComboBox ----

struct AspectRatioComboBox::Data
{
    QPointer<QComboBox> combo;
    QPointer<AspectRatioModel> model;
    int lastIndex = -1;
};

AspectRatioComboBox::AspectRatioComboBox(QWidget* parent)
    : QWidget(parent)
    , d(new Data)
{
    setFocusPolicy(Qt::NoFocus);
    d->combo = new QComboBox(this);
    // The name test scripts find the list by.
    d->combo->setObjectName(QStringLiteral("aspectRatioList"));
    d->model = new AspectRatioModel(d->combo);

    d->combo->setInsertPolicy(QComboBox::InsertAfterCurrent);
    d->combo->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    d->combo->setFrame(true);
    d->combo->setContextMenuPolicy(Qt::NoContextMenu);
    d->combo->setMaxVisibleItems(16);
    d->combo->setItemDelegate(new AspectRatioDelegate(d->combo));
    d->combo->setModel(d->model);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(d->combo);

    // A ratio added or dropped may change the longest row.
    connect(d->model, &QAbstractItemModel::rowsInserted, this, &AspectRatioComboBox::fitListToRows);
    connect(d->model, &QAbstractItemModel::rowsRemoved, this, &AspectRatioComboBox::fitListToRows);
    connect(d->model, &QAbstractItemModel::dataChanged, this, &AspectRatioComboBox::fitListToRows);
    connect(d->combo, SIGNAL(activated(int)), this, SLOT(onActivated(int)));
    connect(d->combo, SIGNAL(currentIndexChanged(int)), this, SLOT(onCurrentIndexChanged(int)));

    d->lastIndex = d->model->indexOfRatio(-1.0);
    d->combo->setCurrentIndex(d->lastIndex);

    new AspectRationCBMouseObserver(this, d->combo);
}

AspectRatioComboBox::~AspectRatioComboBox()
{
    delete d;
}

QComboBox* AspectRatioComboBox::comboBox() const
{
    return d->combo;
}

AspectRatioModel* AspectRatioComboBox::model() const
{
    return d->model;
}

int AspectRatioComboBox::lastIndex() const
{
    return d->lastIndex;
}

void AspectRatioComboBox::setCurrentAspectRatio(qreal ratio)
{
    if (!d->combo || !d->model)
        return;
    const int row = d->model->indexOfRatio(ratio);
    if (row < 0)
        return;
    d->lastIndex = row;
    d->combo->setCurrentIndex(row);
}

void AspectRatioComboBox::setCurrentAspectRatioAndEmitSignal(qreal ratio)
{
    setCurrentAspectRatio(ratio);
    Q_EMIT aspectRatioChanged(currentAspectRatio());
}

qreal AspectRatioComboBox::currentAspectRatio() const
{
    if (!d->combo || !d->model)
        return -1.0;
    const int current = d->combo->currentIndex();
    if (current == d->model->addCustomRowIndex())
        return d->model->ratioAt(d->lastIndex);
    return d->model->ratioAt(current);
}

void AspectRatioComboBox::blockComboSignals(bool block)
{
    if (d->combo)
        d->combo->blockSignals(block);
}

void AspectRatioComboBox::applyFocusOrder()
{
    const QString order = property("FocusOrder").toString();
    if (order.isEmpty() || !d->combo)
        return;
    d->combo->setProperty("settingsFocusNumber", order.toInt());
}

void AspectRatioComboBox::onActivated(int row)
{
    LOG_TRACE();
    if (!d->combo || !d->model)
        return;
    d->combo->blockSignals(true);
    if (row != d->model->addCustomRowIndex()) {
        if (d->combo->isEditable())
            d->combo->setEditable(false);
        d->combo->setCurrentIndex(row);
        d->combo->blockSignals(false);
        Q_EMIT aspectRatioChanged(d->model->ratioAt(row));
        return;
    }
    d->combo->setEditable(true);
    auto* edit = new AspectRatioEdit(d->combo);
    edit->setContextMenuPolicy(Qt::NoContextMenu);
    d->combo->setLineEdit(edit);
    edit->showHint();
    d->combo->installEventFilter(this);
    d->combo->blockSignals(false);
}

void AspectRatioComboBox::showEvent(QShowEvent* event)
{
    fitListToRows();
    QWidget::showEvent(event);
}

void AspectRatioComboBox::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::StyleChange || event->type() == QEvent::FontChange)
        fitListToRows();
    QWidget::changeEvent(event);
}

// The list opens as wide as the box, and wider when a row needs it: no
// ratio's name is shortened in it.
void AspectRatioComboBox::fitListToRows()
{
    if (!d->combo)
        return;
    QAbstractItemView* view = d->combo->view();
    view->ensurePolished();
    view->setMinimumWidth(view->sizeHintForColumn(d->combo->modelColumn()) + 2 * view->frameWidth());
}

void AspectRatioComboBox::onCurrentIndexChanged(int row)
{
    if (!d->model)
        return;
    if (row != d->model->addCustomRowIndex())
        d->lastIndex = row;
}

bool AspectRatioComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != d->combo || !d->combo)
        return false;
    if (event->type() == QEvent::KeyPress && d->model && d->combo->lineEdit()) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            const int row = d->model->indexOfRatioText(d->combo->lineEdit()->text());
            if (row >= 0) {
                d->lastIndex = row;
                onActivated(row);
                return true;
            }
        }
        return false;
    }
    if (event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        const bool wasBlocked = blockSignals(true);
        onActivated(d->lastIndex);
        blockSignals(wasBlocked);
        d->combo->removeEventFilter(this);
        if (reason == Qt::OtherFocusReason)
            d->combo->setFocus(Qt::OtherFocusReason);
    }
    return false;
}
