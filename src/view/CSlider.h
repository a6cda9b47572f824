#pragma once

// The parameter row of the correction panels: a label, a horizontal slider,
// a small number field and a pair of arrow buttons, bound to one integer
// engine parameter. The panels configure it once with initialize(), name its
// parameter through IUIControlIntarface and listen to parameterChanged (every
// change) and valueChangedManually (the end of a user's change, an undo step).
//
// The slider position is the value times the row's scale (truncated); a
// decimal row shows the position in tenths. Dynamic properties set by the
// forms: "RegExp" (validation pattern of a decimal field), "FocusOrder" (two
// focus numbers, "slider,field"), "Hidden" (the row never shows), "GUID"
// (its key in the panel's state).

#include "shell/SerializableUiImpl.h"
#include "view/IUIControlIntarface.h"

#include <QMap>
#include <QString>
#include <QWidget>

#include <functional>

class QLabel;
class QLineEdit;
class QScrollArea;
class QSlider;
class QSpacerItem;
class QToolButton;
class QHBoxLayout;

struct SSliderParams
{
    QString label;  // already translated
    int minimum = 0;
    int maximum = 0;
    int defaultValue = 0;
    int step = 1;  // in slider positions
    bool isDecimal = false;
    double scale = 1.0;  // must be above 0
};

class CSlider : public QWidget, public IUIControlIntarface, public SerializableUiImpl
{
    Q_OBJECT
    Q_INTERFACES(IUIControlIntarface ISerializableUiInterface ISerializableInterface)
public:
    enum ExStyleSheet {
        LineEditFocused = 0,
        LineEditUnfocused = 1,
        LineEditHovered = 2,
        LineEditNotHovered = 3,
        UpButtonHovered = 4,
        UpButtonNormal = 5,
        DownButtonHovered = 6,
        DownButtonNormal = 7,
    };

    explicit CSlider(QWidget* parent = nullptr);
    ~CSlider() override;

    void initialize(const SSliderParams& params);
    // Moves the row to `value`; a value outside the range changes nothing.
    // Without notify no signal follows and a friend row follows silently.
    void setValue(int value, bool notify);
    int value() const;
    bool isDecimal() const;
    // 1: content at the left edge, 2: at the right edge (the default).
    void setAlignment(int alignment);
    // Receives the wheel turns over the slider while it is not armed.
    void setScrollArea(QScrollArea* area);
    // A row that mirrors this one (same parameter, scale and format).
    void setFriendSlider(CSlider* other);
    void setLabelMaximumWidth(int width);
    // Exactly eight texts, one for each ExStyleSheet.
    void setStyleSheets(const QMap<ExStyleSheet, QString>& styleSheets);

    // IUIControlIntarface
    void setParameterName(const QString& name) override;
    QString parameterName() const override;
    void resetToDefault() override;

    // ISerializableUiInterface: the value, then whether the row is visible.
    QByteArray serializeWidgetState() override;
    void deserializeWidgetState(const QByteArray& state) override;
    QWidget* asWidget() override;

    void setVisible(bool visible) override;
    // The row's height is fixed (taller when its name wraps): a name that
    // wraps does not make the panels around it height-for-width, which a
    // scroll area would lay out at their full preferred heights, spacers
    // and all.
    bool hasHeightForWidth() const override;

    // The clock of the double-click reset, in milliseconds; tests set their own.
    using Clock = std::function<qint64()>;
    static void setClock(Clock clock);

signals:
    void parameterChanged(QString name, int value);
    void valueChangedManually(QString name, QString id);
    // The mouse holds the slider from its press to its release (or until
    // the slider is hidden or disabled): the values it sets meanwhile get
    // their step when it lets go.
    void mouseHoldStarted();
    void mouseHoldEnded();

public slots:
    void actualizeSliderValue();
    void onSliderPressed();
    void onSliderReleased();
    void onFriendlySliderValueChanged(int position);
    void onSliderChanged(int position);
    void onTextChanged(const QString& text);
    void onTextEdited();
    void onUp();
    void onDown();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Wraps a name cut by the row's width and grows the row to hold it.
    void fitLabel();
    QString positionText(int position) const;
    void endMouseHold();
    void emitValueChangedManually();
    void applyRowStyle(ExStyleSheet style);
    bool filterSliderEvent(QEvent* event);
    bool filterLineEditEvent(QEvent* event);
    void filterButtonEvent(QObject* watched, QEvent* event);
    static int truncated(double value);

    double m_scale = 1.0;
    bool m_visibleState = true;
    QScrollArea* m_scrollArea = nullptr;
    bool m_wheelArmed = false;
    bool m_mouseHeld = false;
    qint64 m_releaseTime = -1;
    QString m_parameterName;
    QSlider* m_slider = nullptr;
    QLabel* m_label = nullptr;
    QLineEdit* m_lineEdit = nullptr;
    QToolButton* m_upButton = nullptr;
    QToolButton* m_downButton = nullptr;
    QWidget* m_lineEditWidget = nullptr;
    QSpacerItem* m_leftSpacer = nullptr;
    QSpacerItem* m_rightSpacer = nullptr;
    QHBoxLayout* m_layout = nullptr;
    int m_defaultValue = 0;
    bool m_isDecimal = false;
    QMap<ExStyleSheet, QString> m_styleSheets;
    CSlider* m_friendSlider = nullptr;
};
