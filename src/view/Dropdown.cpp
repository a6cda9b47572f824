#include "view/Dropdown.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kSeparatorRole = Qt::UserRole;  // 32

class DropdownDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        bool ok = false;
        const int separator = index.isValid() && index.model() ? index.data(kSeparatorRole).toInt(&ok) : -1;
        if (!ok || index.row() != separator) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing, true);
        const int y = option.rect.top() + option.rect.height() / 2;
        painter->setPen(QColor(40, 40, 40));
        painter->drawLine(0, y, option.rect.width(), y);
        painter->setPen(QColor(108, 108, 108));
        painter->drawLine(0, y + 1, option.rect.width(), y + 1);
        painter->restore();
    }
};

} // namespace

int AbstractDropdownModel::customValueRow() const
{
    return 0;
}

QVariant AbstractDropdownModel::data(const QModelIndex& index, int role) const
{
    if (role == kSeparatorRole)
        return separatorRow();
    return QStringListModel::data(index, role);
}

Qt::ItemFlags AbstractDropdownModel::flags(const QModelIndex& index) const
{
    if (index.row() == separatorRow())
        return Qt::NoItemFlags;
    return QStringListModel::flags(index);
}

DropdownLineEdit::DropdownLineEdit(QWidget* parent, const QString& placeholder)
    : QLineEdit(parent)
    , m_placeholder(placeholder)
{
    connect(this, &QLineEdit::textChanged, this, &DropdownLineEdit::onTextChanged);
}

DropdownLineEdit::~DropdownLineEdit()
{
    setPlaceholderStyle(false);
}

void DropdownLineEdit::setPlaceholderStyle(bool italic)
{
    if (QWidget* parent = parentWidget())
        parent->setStyleSheet(italic ? QStringLiteral("font-style: italic") : QStringLiteral("font-style: normal"));
}

void DropdownLineEdit::showPlaceholder()
{
    setText(m_placeholder);
    setPlaceholderStyle(true);
    setFocus(Qt::OtherFocusReason);
    setCursorPosition(0);
    QPalette transparent = palette();
    transparent.setBrush(QPalette::All, QPalette::Base, QBrush(Qt::transparent, Qt::SolidPattern));
    setPalette(transparent);
}

void DropdownLineEdit::onTextChanged(const QString& text)
{
    if (text.isEmpty() && cursorPosition() == 0 && m_isEditing) {
        showPlaceholder();
        m_isEditing = false;
    }
}

bool DropdownLineEdit::event(QEvent* event)
{
    if (m_isEditing)
        return QLineEdit::event(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        // The placeholder cannot be clicked into.
        return true;
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        QString text = key->text();
        if (text.isEmpty() || !text.at(0).isPrint())
            return true;
        int position = 0;
        if (validator() && validator()->validate(text, position) == QValidator::Invalid)
            return true;
        clear();
        m_isEditing = true;
        setPlaceholderStyle(false);
        return QLineEdit::event(event);
    }
    default:
        return QLineEdit::event(event);
    }
}

MouseObserver::MouseObserver(QObject* parent, QPointer<QComboBox> comboBox)
    : QObject(parent)
    , m_comboBox(comboBox)
{
    if (QCoreApplication* application = QCoreApplication::instance())
        application->installEventFilter(this);
}

bool MouseObserver::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::MouseButtonPress || !m_comboBox)
        return false;
    // Presses are seen once for the window and once for the widget; only
    // the widget tells where the press is aimed.
    auto* target = qobject_cast<QWidget*>(watched);
    if (!target)
        return false;
    QAbstractItemView* view = m_comboBox->view();
    const bool outsidePopup = view && view->isVisible() && !view->underMouse();
    QLineEdit* lineEdit = m_comboBox->lineEdit();
    const bool besideField = lineEdit && target != lineEdit;
    if (outsidePopup || besideField)
        m_comboBox->clearFocus();
    return false;
}

DropdownMenu::DropdownMenu(QWidget* parent, const QString& placeholder, QSharedPointer<QValidator> validator)
    : QWidget(parent)
    , m_validator(std::move(validator))
    , m_placeholder(placeholder)
{
    setFocusPolicy(Qt::NoFocus);
    m_comboBox = new QComboBox(this);
    m_comboBox->setInsertPolicy(QComboBox::InsertAfterCurrent);
    m_comboBox->setSizeAdjustPolicy(QComboBox::AdjustToContentsOnFirstShow);
    m_comboBox->setFrame(true);
    m_comboBox->setContextMenuPolicy(Qt::NoContextMenu);
    m_comboBox->setMaxVisibleItems(16);
    m_comboBox->setItemDelegate(new DropdownDelegate(m_comboBox));
    m_comboBox->setMinimumContentsLength(10);
    if (QAbstractItemView* view = m_comboBox->view())
        view->setTextElideMode(Qt::ElideRight);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_comboBox);

    connect(m_comboBox, qOverload<int>(&QComboBox::activated), this, &DropdownMenu::onActivated);
    connect(m_comboBox, qOverload<int>(&QComboBox::currentIndexChanged), this, &DropdownMenu::onCurrentIndexChanged);
    new MouseObserver(this, m_comboBox);
}

QVariant DropdownMenu::currentValue() const
{
    if (!m_comboBox || !m_model || m_comboBox->currentIndex() < 0)
        return QVariant();
    return m_model->valueOfRow(m_comboBox->currentIndex());
}

void DropdownMenu::setModel(AbstractDropdownModel* model)
{
    m_model = model;
    if (m_comboBox)
        m_comboBox->setModel(model);
}

void DropdownMenu::setCurrentValue(const QVariant& value)
{
    if (!m_comboBox || !m_model)
        return;
    const int row = m_model->rowOfValue(value);
    if (row != -1)
        m_comboBox->setCurrentIndex(row);
}

bool DropdownMenu::isEditable() const
{
    return m_comboBox && m_comboBox->isEditable();
}

void DropdownMenu::setCustomValue(const QVariant& value)
{
    if (m_model)
        m_model->setCustomValue(value);
}

void DropdownMenu::onActivated(int row)
{
    if (!m_comboBox || !m_model)
        return;
    m_comboBox->blockSignals(true);
    if (row == m_model->customValueRow()) {
        m_comboBox->setCurrentIndex(m_model->editingRow());
        m_comboBox->setEditable(true);
        auto* field = new DropdownLineEdit(m_comboBox, m_placeholder);
        field->setContextMenuPolicy(Qt::NoContextMenu);
        field->setValidator(m_validator.data());
        m_comboBox->setLineEdit(field);
        field->showPlaceholder();
        m_comboBox->installEventFilter(this);
        m_comboBox->blockSignals(false);
        return;
    }
    m_comboBox->removeEventFilter(this);
    m_comboBox->setEditable(false);
    m_comboBox->setCurrentIndex(row);
    // The index signal is blocked here; a value confirmed in the free-entry
    // field is the last regular choice from now on.
    m_lastIndex = row;
    m_comboBox->blockSignals(false);
    emit currentValueChanged(m_model->valueOfRow(row));
}

void DropdownMenu::leaveFreeEntry()
{
    m_comboBox->removeEventFilter(this);
    const QSignalBlocker blocker(m_comboBox);
    m_comboBox->setEditable(false);
    m_comboBox->setCurrentIndex(-1);
}

void DropdownMenu::onCurrentIndexChanged(int row)
{
    if (m_model && row != m_model->customValueRow())
        m_lastIndex = row;
}

bool DropdownMenu::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != m_comboBox)
        return QWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        // The free entry is abandoned: the last regular row comes back and
        // is reported; before any regular row was chosen nothing is.
        if (m_lastIndex >= 0)
            onActivated(m_lastIndex);
        else
            leaveFreeEntry();
        m_comboBox->removeEventFilter(this);
        return false;
    }
    if (event->type() == QEvent::KeyPress && m_model && m_comboBox->lineEdit()) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            const int row = m_model->rowOfValue(QVariant(m_comboBox->lineEdit()->text()));
            if (row == -1)
                return false;
            m_comboBox->removeEventFilter(this);
            onActivated(row);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
