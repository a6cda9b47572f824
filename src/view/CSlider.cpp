#include "view/CSlider.h"

#include "utils/DataStreamFormat.h"
#include "utils/Logger.h"

#include <QDataStream>
#include <QElapsedTimer>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QRegularExpressionValidator>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QSpacerItem>
#include <QToolButton>
#include <QVBoxLayout>
#include <QValidator>
#include <QWheelEvent>

#include <cmath>

namespace {

// The height of a row whose name takes one line.
constexpr int kRowHeight = 30;

// The slider most recently stepped by the wheel or by the arrow keys of a
// number field, shared by all rows: entering it again arms its wheel.
QPointer<QSlider> s_lastSteppedSlider;

// Two handle presses closer than this after a release reset the row.
constexpr qint64 kDoubleClickMs = 99;

qint64 monotonicMs()
{
    static QElapsedTimer timer;
    if (!timer.isValid())
        timer.start();
    return timer.elapsed();
}

CSlider::Clock& sliderClock()
{
    static CSlider::Clock current = monotonicMs;
    return current;
}

} // namespace

CSlider::CSlider(QWidget* parent)
    : QWidget(parent)
{
    m_styleSheets = {
        {LineEditFocused,
         QStringLiteral("#sliderLineEditWidget{background-color: #414141;border-width: 2px;border-image: "
                        "url(:/icons/comboBoxFocusBorder.png) 2 2 2 2 stretch stretch;}")},
        {LineEditUnfocused, QStringLiteral("#sliderLineEditWidget{background-color: transparent;}")},
        {LineEditHovered, QStringLiteral("#sliderLineEditWidget{background-color: #414141;}")},
        {LineEditNotHovered, QStringLiteral("#sliderLineEditWidget{background-color: transparent;}")},
        {UpButtonHovered,
         QStringLiteral("background: url(:/icons/settingsPanel/arrow-up-hovered.png) no-repeat bottom center;")},
        {UpButtonNormal, QStringLiteral("background: url(:/icons/settingsPanel/arrow-up.png) no-repeat bottom center;")},
        {DownButtonHovered,
         QStringLiteral("background: url(:/icons/settingsPanel/arrow-down-hovered.png) no-repeat top center;")},
        {DownButtonNormal,
         QStringLiteral("background: url(:/icons/settingsPanel/arrow-down.png) no-repeat top center;")},
    };
    setFocusPolicy(Qt::NoFocus);

    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("sliderLabel"));
    // A long name (some languages') takes more lines rather than being cut
    // at the palette's edge; the row grows to hold them (fitLabel).
    m_label->installEventFilter(this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setFixedSize(120, 14);
    m_slider->installEventFilter(this);
    m_lineEdit = new QLineEdit(this);
    m_lineEdit->setObjectName(QStringLiteral("sliderLineEdit"));
    m_lineEdit->setFixedSize(33, 18);
    m_lineEdit->installEventFilter(this);

    m_upButton = new QToolButton(this);
    m_upButton->setObjectName(QStringLiteral("sliderUpButton"));
    m_downButton = new QToolButton(this);
    m_downButton->setObjectName(QStringLiteral("sliderDownButton"));
    for (QToolButton* button : {m_upButton, m_downButton}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setAutoRepeat(true);
        button->setFocusPolicy(Qt::NoFocus);
        button->installEventFilter(this);
    }
    connect(m_upButton, &QToolButton::clicked, this, &CSlider::onUp);
    connect(m_downButton, &QToolButton::clicked, this, &CSlider::onDown);
    auto* buttons = new QVBoxLayout;
    buttons->setSpacing(0);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addWidget(m_upButton);
    buttons->addWidget(m_downButton);

    m_lineEditWidget = new QWidget(this);
    m_lineEditWidget->setObjectName(QStringLiteral("sliderLineEditWidget"));
    m_lineEditWidget->setFixedSize(47, 22);
    auto* field = new QHBoxLayout(m_lineEditWidget);
    field->setSpacing(0);
    field->setContentsMargins(0, 0, 0, 0);
    field->addWidget(m_lineEdit);
    field->addLayout(buttons);

    m_layout = new QHBoxLayout(this);
    m_layout->setSpacing(6);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_leftSpacer = new QSpacerItem(0, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    m_rightSpacer = new QSpacerItem(0, 20, QSizePolicy::Fixed, QSizePolicy::Minimum);
    m_layout->addItem(m_leftSpacer);
    m_layout->addWidget(m_label);
    m_layout->addWidget(m_slider);
    m_layout->addWidget(m_lineEditWidget);
    m_layout->addItem(m_rightSpacer);

    connect(m_slider, &QSlider::valueChanged, this, &CSlider::onSliderChanged);
    connect(m_slider, &QSlider::sliderPressed, this, &CSlider::onSliderPressed);
    connect(m_slider, &QSlider::sliderReleased, this, &CSlider::onSliderReleased);
    connect(m_lineEdit, &QLineEdit::returnPressed, this, &CSlider::onTextEdited);
}

CSlider::~CSlider() = default;

int CSlider::truncated(double value)
{
    return int(std::trunc(value));
}

void CSlider::setClock(Clock clock)
{
    sliderClock() = clock ? std::move(clock) : Clock(monotonicMs);
}

void CSlider::initialize(const SSliderParams& params)
{
    LOG_TRACE();
    setMinimumHeight(kRowHeight);
    setMaximumHeight(kRowHeight);
    m_label->setText(params.label);

    m_defaultValue = params.defaultValue;
    m_isDecimal = params.isDecimal;
    ASSERT(params.scale > 0);
    m_scale = params.scale;

    m_slider->setSingleStep(params.step);
    const int maximum = truncated(params.maximum * m_scale);
    const int minimum = truncated(params.minimum * m_scale);
    m_slider->setRange(minimum, maximum);
    m_slider->setPageStep((maximum - minimum) / 20);
    // The test-script harness finds the slider by this name.
    m_slider->setObjectName(objectName() + QStringLiteral("_Slider"));

    if (const QValidator* old = m_lineEdit->validator())
        delete old;
    QValidator* validator = nullptr;
    const QVariant pattern = property("RegExp");
    if (m_isDecimal && !pattern.isValid())
        validator = new QDoubleValidator(minimum / 10.0, maximum / 10.0, 1, this);
    else if (m_isDecimal)
        validator = new QRegularExpressionValidator(QRegularExpression(pattern.toString()), this);
    else
        validator = new QIntValidator(minimum, maximum, this);
    m_lineEdit->setValidator(validator);

    setValue(m_defaultValue, false);

    const QString focusOrder = property("FocusOrder").toString();
    if (focusOrder.isEmpty())
        return;
    const QStringList parts = focusOrder.split(QLatin1Char(','));
    ASSERT(parts.size() == 2);
    m_slider->setProperty("settingsFocusNumber", parts.value(0).toInt());
    // A single number sets the field's focus number to 0.
    m_lineEdit->setProperty("settingsFocusNumber", parts.value(1).toInt());
}

QString CSlider::positionText(int position) const
{
    if (m_isDecimal)
        return locale().toString(position / 10.0, 'f', 1);
    return QString::number(position);
}

void CSlider::setValue(int value, bool notify)
{
    const int position = truncated(value * m_scale);
    if (position < m_slider->minimum() || position > m_slider->maximum())
        return;
    if (m_slider->value() == position) {
        const QString text = positionText(position);
        if (m_lineEdit->text() != text)
            m_lineEdit->setText(text);
        return;
    }
    const bool sliderBlocked = notify ? m_slider->signalsBlocked() : m_slider->blockSignals(true);
    const bool lineEditBlocked = notify ? m_lineEdit->signalsBlocked() : m_lineEdit->blockSignals(true);
    m_slider->setValue(position);
    m_lineEdit->setText(positionText(position));
    if (!notify) {
        if (m_friendSlider && m_friendSlider->value() != value)
            m_friendSlider->setValue(value, false);
        m_slider->blockSignals(sliderBlocked);
        m_lineEdit->blockSignals(lineEditBlocked);
    }
}

int CSlider::value() const
{
    return truncated(m_slider->value() / m_scale);
}

bool CSlider::isDecimal() const
{
    return m_isDecimal;
}

void CSlider::setAlignment(int alignment)
{
    if (alignment == 1) {
        m_leftSpacer->changeSize(0, 20, QSizePolicy::Fixed, QSizePolicy::Minimum);
        m_rightSpacer->changeSize(0, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
    } else if (alignment == 2) {
        m_leftSpacer->changeSize(0, 20, QSizePolicy::Expanding, QSizePolicy::Minimum);
        m_rightSpacer->changeSize(0, 20, QSizePolicy::Fixed, QSizePolicy::Minimum);
    } else {
        return;
    }
    m_layout->invalidate();
}

void CSlider::setScrollArea(QScrollArea* area)
{
    m_scrollArea = area;
}

void CSlider::setFriendSlider(CSlider* other)
{
    ASSERT(other);
    if (!other)
        return;
    ASSERT(!m_friendSlider);
    ASSERT(m_parameterName == other->m_parameterName);
    ASSERT(m_scale == other->m_scale);
    ASSERT(m_isDecimal == other->m_isDecimal);
    m_friendSlider = other;
    connect(other->m_slider, &QSlider::valueChanged, this, &CSlider::onFriendlySliderValueChanged);
}

void CSlider::setLabelMaximumWidth(int width)
{
    m_label->setMaximumWidth(width);
}

void CSlider::setStyleSheets(const QMap<ExStyleSheet, QString>& styleSheets)
{
    ASSERT(styleSheets.size() == 8);
    if (styleSheets.size() != 8)
        return;
    m_styleSheets = styleSheets;
    update();
}

void CSlider::setParameterName(const QString& name)
{
    m_parameterName = name;
}

QString CSlider::parameterName() const
{
    ASSERT(!m_parameterName.isEmpty());
    return m_parameterName;
}

void CSlider::resetToDefault()
{
    m_slider->setValue(truncated(m_defaultValue * m_scale));
}

QByteArray CSlider::serializeWidgetState()
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    stream << qint32(value()) << m_visibleState;
    return bytes;
}

void CSlider::deserializeWidgetState(const QByteArray& state)
{
    QDataStream stream(state);
    stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
    qint32 storedValue = 0;
    bool visible = true;
    stream >> storedValue;
    if (stream.status() != QDataStream::Ok)
        return;
    setValue(storedValue, false);
    stream >> visible;
    if (stream.status() == QDataStream::Ok)
        setVisible(visible);
}

QWidget* CSlider::asWidget()
{
    return this;
}

void CSlider::setVisible(bool visible)
{
    const QVariant hidden = property("Hidden");
    if (!hidden.isValid() || !hidden.toBool()) {
        QWidget::setVisible(visible);
        m_visibleState = visible;
        return;
    }
    if (m_visibleState) {
        QWidget::setVisible(false);
        m_visibleState = false;
    }
}

void CSlider::actualizeSliderValue()
{
    emit parameterChanged(m_parameterName, value());
}

void CSlider::onSliderPressed()
{
    const qint64 now = sliderClock()();
    if (m_releaseTime >= 0 && now - m_releaseTime <= kDoubleClickMs)
        m_slider->setValue(truncated(m_defaultValue * m_scale));
}

void CSlider::onSliderReleased()
{
    m_releaseTime = sliderClock()();
}

void CSlider::onFriendlySliderValueChanged(int position)
{
    if (m_slider->value() == position)
        return;
    const bool sliderBlocked = m_slider->blockSignals(true);
    const bool lineEditBlocked = m_lineEdit->blockSignals(true);
    m_slider->setValue(position);
    m_lineEdit->setText(positionText(position));
    m_slider->blockSignals(sliderBlocked);
    m_lineEdit->blockSignals(lineEditBlocked);
}

void CSlider::onSliderChanged(int position)
{
    const bool blocked = m_lineEdit->blockSignals(true);
    m_lineEdit->setText(positionText(position));
    m_lineEdit->blockSignals(blocked);
    emit parameterChanged(m_parameterName, truncated(position / m_scale));
}

void CSlider::onTextChanged(const QString& text)
{
    int position = 0;
    if (m_isDecimal) {
        // The field is written in the widget's locale, and the decimal
        // comma is accepted everywhere: read the locale's form first
        // (without group separators, so "12,5" never reads 125), then the
        // C form with a comma taken for the point.
        QLocale widgetLocale = locale();
        widgetLocale.setNumberOptions(widgetLocale.numberOptions() | QLocale::RejectGroupSeparator);
        bool ok = false;
        double number = widgetLocale.toDouble(text, &ok);
        if (!ok)
            number = QLocale::c().toDouble(QString(text).replace(QLatin1Char(','), QLatin1Char('.')), &ok);
        if (!ok) {
            // Nothing readable: the field shows the row's value again.
            const bool blocked = m_lineEdit->blockSignals(true);
            m_lineEdit->setText(positionText(m_slider->value()));
            m_lineEdit->blockSignals(blocked);
            return;
        }
        const bool blocked = m_lineEdit->blockSignals(true);
        m_lineEdit->setText(widgetLocale.toString(number, 'f', 1));
        m_lineEdit->blockSignals(blocked);
        position = truncated(number * 10.0);
    } else {
        position = text.toInt();
    }
    m_slider->setValue(position);
}

void CSlider::onTextEdited()
{
    const QString text = m_lineEdit->text();
    // The value stands: the field no longer holds an edit of its own, and
    // the undo keys go to the window again.
    m_lineEdit->setModified(false);
    if (text == QString::number(m_slider->value()))
        return;
    onTextChanged(text);
    emitValueChangedManually();
}

void CSlider::onUp()
{
    m_slider->setValue(m_slider->value() + 1);
    emitValueChangedManually();
}

void CSlider::onDown()
{
    m_slider->setValue(m_slider->value() - 1);
    emitValueChangedManually();
}

void CSlider::endMouseHold()
{
    if (!m_mouseHeld)
        return;
    m_mouseHeld = false;
    emit mouseHoldEnded();
}

void CSlider::emitValueChangedManually()
{
    emit valueChangedManually(m_parameterName, id());
}

void CSlider::applyRowStyle(ExStyleSheet style)
{
    setStyleSheet(m_styleSheets.value(style));
}

void CSlider::fitLabel()
{
    // A name that fits keeps its one line: a wrapping label would change the
    // row's and the panel's measures.
    if (!m_label->wordWrap()) {
        if (m_label->width() <= 0 || m_label->width() >= m_label->sizeHint().width())
            return;
        m_label->setWordWrap(true);
    }
    // Only a width the name's longest word fits in counts: the narrower ones
    // a layout passes through on its way would make the row needlessly tall.
    if (m_label->width() < m_label->minimumSizeHint().width())
        return;
    const int height = std::max(kRowHeight, m_label->heightForWidth(m_label->width()));
    if (height != maximumHeight())
        setFixedHeight(height);
}

bool CSlider::hasHeightForWidth() const
{
    return false;
}

bool CSlider::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_label && event->type() == QEvent::Resize)
        fitLabel();
    // A slider hidden or disabled under the mouse gets no release.
    if (watched == m_slider
        && (event->type() == QEvent::Hide || (event->type() == QEvent::EnabledChange && !m_slider->isEnabled())))
        endMouseHold();
    if (watched == m_slider && m_slider->isEnabled())
        return filterSliderEvent(event) || QWidget::eventFilter(watched, event);
    if (watched == m_lineEdit && m_lineEdit->isEnabled())
        return filterLineEditEvent(event) || QWidget::eventFilter(watched, event);
    if ((watched == m_upButton || watched == m_downButton) && m_upButton->isEnabled() && m_downButton->isEnabled())
        filterButtonEvent(watched, event);
    return QWidget::eventFilter(watched, event);
}

bool CSlider::filterSliderEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
        m_wheelArmed = true;
        if (!m_mouseHeld) {
            m_mouseHeld = true;
            emit mouseHoldStarted();
        }
        return false;
    case QEvent::MouseButtonRelease:
        endMouseHold();
        emitValueChangedManually();
        return false;
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const int delta = wheel->angleDelta().y();
        if (m_wheelArmed) {
            m_slider->setValue(m_slider->value() + delta / 40);
            s_lastSteppedSlider = m_slider;
            m_slider->setFocus(Qt::OtherFocusReason);
            emitValueChangedManually();
        } else if (m_scrollArea) {
            QScrollBar* bar = m_scrollArea->verticalScrollBar();
            bar->setValue(bar->value() - delta / 8);
        }
        wheel->accept();
        return true;
    }
    case QEvent::Enter:
        if (s_lastSteppedSlider == m_slider)
            m_wheelArmed = true;
        m_slider->update();
        update();
        return false;
    case QEvent::Leave:
        m_wheelArmed = false;
        m_slider->update();
        update();
        return false;
    default:
        return false;
    }
}

bool CSlider::filterLineEditEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ShortcutOverride: {
        // A field whose value was given with Return, or not touched, keeps
        // no edit to undo: Undo and Redo are the window's. While it holds a
        // typed edit they stay the field's own.
        auto* key = static_cast<QKeyEvent*>(event);
        if (m_lineEdit->isModified() || !(key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo)))
            return false;
        key->ignore();
        return true;
    }
    case QEvent::KeyPress: {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Up && key->key() != Qt::Key_Down)
            return false;
        m_slider->setValue(m_slider->value() + (key->key() == Qt::Key_Up ? 1 : -1));
        s_lastSteppedSlider = m_slider;
        key->accept();
        emitValueChangedManually();
        return true;
    }
    case QEvent::FocusIn:
        applyRowStyle(LineEditFocused);
        return false;
    case QEvent::FocusOut: {
        // An edit not confirmed by Return is dropped.
        const bool blocked = m_lineEdit->blockSignals(true);
        m_lineEdit->setText(positionText(m_slider->value()));
        m_lineEdit->blockSignals(blocked);
        applyRowStyle(LineEditUnfocused);
        return false;
    }
    case QEvent::Enter:
        if (!m_lineEdit->hasFocus())
            applyRowStyle(LineEditHovered);
        return false;
    case QEvent::Leave:
        if (!m_lineEdit->hasFocus())
            applyRowStyle(LineEditNotHovered);
        return false;
    default:
        return false;
    }
}

void CSlider::filterButtonEvent(QObject* watched, QEvent* event)
{
    const bool up = watched == m_upButton;
    auto* button = up ? m_upButton : m_downButton;
    if (event->type() == QEvent::Enter)
        button->setStyleSheet(m_styleSheets.value(up ? UpButtonHovered : DownButtonHovered));
    else if (event->type() == QEvent::Leave)
        button->setStyleSheet(m_styleSheets.value(up ? UpButtonNormal : DownButtonNormal));
    else
        return;
    update();
    m_lineEdit->update();
}
