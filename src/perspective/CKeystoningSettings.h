#pragma once

// The keystoning panel of the settings palette: four buttons choose the
// correction type, sliders adjust the result (only the ratio and the
// intensity are ever shown), two presets set the intensity, and a message
// asks for the Ratio slider when the camera's field of view is not known.

#include "correction/CBaseCorrectionSettings.h"
#include "shell/SerializableUiImpl.h"

class CKeystoningCorrection;
class CSlider;
class QAction;
class QFrame;
class QToolButton;
class QVBoxLayout;

class CKeystoningSettings : public CBaseCorrectionSettings, public SerializableUiImpl
{
    Q_OBJECT
    Q_INTERFACES(ISerializableUiInterface ISerializableInterface)
public:
    CKeystoningSettings(CKeystoningCorrection* module, QWidget* parent);
    ~CKeystoningSettings() override;

    bool eventFilter(QObject* watched, QEvent* event) override;
    void resetWidgetControls() override;

    QByteArray serializeWidgetState() override;
    void deserializeWidgetState(const QByteArray& state) override;
    QWidget* asWidget() override;

public Q_SLOTS:
    void sliderValueChanged(QString name, int value) override;
    void modulesStateWasChanged() override;
    void onShowAdditionalOptions(bool show) override;
    bool isAdditionalOptionsShown();
    bool isKeystoningSliderIntensityShown();
    bool isRatioSliderShown();
    bool isToolButtonNaturalShown();
    bool isToolButtonFullShown();

private Q_SLOTS:
    void activateHorizontalTool(bool checked);
    void activateVerticalTool(bool checked);
    void activateRectTool(bool checked);
    void activate8pointsTool(bool checked);
    void onNaturalIntensity();
    void onFullIntensity();
    void onCheckIntensityControlsVisibility();

protected:
    void showFieldOfViewWarning() override;

private:
    void activateTool(QToolButton* button, bool checked, const QString& argument, const QString& activateText,
                      const QString& applyText);
    void applyPreset(int value, const QString& undoText, QToolButton* own, QToolButton* other);
    void checkPresetButtons(int value);
    QList<QToolButton*> typeButtons() const;

    QString m_moduleId;
    CKeystoningCorrection* m_module;

    QToolButton* m_verticalTool = nullptr;
    QToolButton* m_horizontalTool = nullptr;
    QToolButton* m_rectTool = nullptr;
    QToolButton* m_pointTool = nullptr;
    QWidget* m_keystoningShortcuts = nullptr;
    QToolButton* m_toolButtonFull = nullptr;
    QToolButton* m_toolButtonNatural = nullptr;
    QWidget* m_keystoningInfoContainer = nullptr;
    QVBoxLayout* m_infoLayout = nullptr;
    QWidget* m_sliderArea = nullptr;
    CSlider* m_sliderUpDown = nullptr;
    CSlider* m_sliderLeftRight = nullptr;
    CSlider* m_sliderHorizontalVerticalRatio = nullptr;
    CSlider* m_keystoningSliderIntensity = nullptr;
    QFrame* m_line = nullptr;
};
