#include "view/CZoomComboBox.h"

#include "utils/ModelUtils.h"
#include "view/CZoomController.h"

#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QList>
#include <QSignalBlocker>

namespace {

constexpr int kValueRole = Qt::UserRole + 1;

QString withoutPercentAndSpaces(QString text)
{
    return text.remove(QLatin1Char('%')).remove(QLatin1Char(' '));
}

} // namespace

QValidator::State CIntValidator::validate(QString& input, int& pos) const
{
    QString copy = withoutPercentAndSpaces(input);
    const State state = QIntValidator::validate(copy, pos);
    // A number above the range cannot be typed at all.
    bool ok = false;
    const int value = copy.toInt(&ok);
    return state == Intermediate && ok && value > top() ? Invalid : state;
}

CZoomComboBox::CZoomComboBox(QSlider* slider, QWidget* parent)
    : QComboBox(parent)
    , m_fitToViewText(tr("Fit to view"))
    , m_validator(new CIntValidator(this))
    , m_slider(slider)
{
    setObjectName(QStringLiteral("zoomCombo"));
    QSizePolicy policy(QSizePolicy::Maximum, QSizePolicy::Fixed);
    policy.setHeightForWidth(sizePolicy().hasHeightForWidth());
    setSizePolicy(policy);
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setFrame(true);
    m_lastText = m_fitToViewText;
    setCompleter(nullptr);
    installEventFilter(this);

    QFont font(QStringLiteral("Lucida Grande"));
    font.setPointSize(12);
    const int width = QFontMetrics(font).horizontalAdvance(m_fitToViewText) + 38;
    setMinimumSize(width, 0);
    setMaximumSize(width, QWIDGETSIZE_MAX);

    setPresets(-1);
    m_validator->setRange(1, 200);
    lineEdit()->setValidator(m_validator);

    connect(this, qOverload<int>(&QComboBox::activated), this, &CZoomComboBox::onZoomComboChanged);
    connect(this, qOverload<int>(&QComboBox::currentIndexChanged), this, &CZoomComboBox::onZoomComboChanged);
    connect(lineEdit(), &QLineEdit::editingFinished, this, &CZoomComboBox::onZoomComboTextChanged);
}

void CZoomComboBox::setPresets(int fitZoom)
{
    // Before the first fit report every preset is offered.
    QList<QPair<QString, int>> presets{{m_fitToViewText, Fit}};
    for (int value : {25, 50, 75}) {
        if (fitZoom < value)
            presets.append({QStringLiteral("%1 %").arg(value), value});
    }
    presets.append({QStringLiteral("100 %"), 100});
    presets.append({QStringLiteral("200 %"), 200});
    // The combo box deletes the model it owned before.
    setModel(NAVIK_tarl1::createModel(presets, kValueRole, this, true));
}

void CZoomComboBox::setText(const QString& text)
{
    m_lastText = text;
}

void CZoomComboBox::setZoomComboText(int zoom)
{
    const QSignalBlocker blocker(this);
    setCurrentIndex(-1);
    m_lastText = zoom == CZoomController::instance()->fitZoom() ? m_fitToViewText : QStringLiteral("%1 %").arg(zoom);
    setEditText(m_lastText);
}

void CZoomComboBox::onZoomChanged(int zoom)
{
    setZoomComboText(zoom);
}

void CZoomComboBox::onZoomComboChanged(int row)
{
    const QModelIndex index = model()->index(row, 0);
    if (!index.isValid())
        return;
    int value = index.data(kValueRole).toInt();
    if (value == Fit)
        value = CZoomController::instance()->fitZoom();
    setZoomComboText(value);
    emit zoomChanged(value);
}

void CZoomComboBox::onZoomComboTextChanged()
{
    int zoom = withoutPercentAndSpaces(currentText()).toInt();
    zoom = std::max(zoom, CZoomController::instance()->minZoom());
    setZoomComboText(zoom);
    emit zoomChanged(zoom);
}

void CZoomComboBox::onMinZoomChanged()
{
    const QString text = lineEdit()->text();
    const QSignalBlocker blocker(this);
    setPresets(CZoomController::instance()->fitZoom());
    lineEdit()->setText(text);
}

bool CZoomComboBox::eventFilter(QObject* watched, QEvent* event)
{
    if (!lineEdit() || !lineEdit()->isEnabled())
        return false;
    if (event->type() == QEvent::FocusIn) {
        if (!lineEdit()->text().isEmpty()) {
            m_lastText = lineEdit()->text();
            lineEdit()->clear();
        }
    } else if (event->type() == QEvent::FocusOut) {
        QString text = lineEdit()->text();
        int pos = 0;
        if (!lineEdit()->validator() || lineEdit()->validator()->validate(text, pos) != QValidator::Acceptable)
            lineEdit()->setText(m_lastText);
    }
    Q_UNUSED(watched);
    return false;
}

bool CZoomComboBox::event(QEvent* event)
{
    if (event->type() == QEvent::WindowDeactivate)
        clearFocus();
    return QComboBox::event(event);
}

void CZoomComboBox::keyPressEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (key < Qt::Key_A || key > Qt::Key_Z) {
        QComboBox::keyPressEvent(event);
        return;
    }
    const bool control = event->modifiers().testFlag(Qt::ControlModifier);
    switch (key) {
    case Qt::Key_C: emit cropAction(); break;
    case Qt::Key_F: emit fullScreenAction(); break;
    case Qt::Key_G: emit toggleGridOverlayAction(); break;
    case Qt::Key_H: emit handToolAction(); break;
    case Qt::Key_P: emit fastPreviewAction(); break;
    case Qt::Key_Y:
        if (control)
            emit redoAction();
        break;
    case Qt::Key_Z:
        if (control)
            emit undoAction();
        break;
    default: break;
    }
}

void CZoomComboBox::keyReleaseEvent(QKeyEvent* event)
{
    if (event->key() < Qt::Key_A || event->key() > Qt::Key_Z)
        QComboBox::keyReleaseEvent(event);
}
