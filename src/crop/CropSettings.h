#pragma once

// The crop module's settings panel: tool button, automatic or manual crop,
// aspect ratio and constrain to image. Every user action goes to the module
// host as one action followed by one undo step; on every state change of the
// host the controls read the host and the module back.

#include "correction/CBaseCorrectionSettings.h"
#include "shell/SerializableUiImpl.h"

class AspectRatioComboBox;
class QCheckBox;
class QComboBox;
class QGridLayout;
class QHBoxLayout;
class QLabel;
class QToolButton;
class QVBoxLayout;

// What the panel reads of the crop module. id() has the signature of the
// serialisable interface's, so the module's one answers both.
class ICropModuleState
{
public:
    virtual ~ICropModuleState() = default;
    virtual QString id() const = 0;
    // "autoCrop" or "manualCrop".
    virtual QString cropType() const = 0;
    virtual bool isPreserveImageRatio() const = 0;
    // A restored panel state brings back whether its ratio was the image's own.
    virtual void restorePreserveImageRatio(bool preserve) = 0;
    // The engine's current "CropRatio", -1 when it has none.
    virtual qreal cropRatio() const = 0;
    virtual bool isConstrainToImage() const = 0;
};

class Ui_CCropSettings
{
public:
    QVBoxLayout* verticalLayout_3 = nullptr;
    QHBoxLayout* horizontalLayout = nullptr;
    QToolButton* cropTool = nullptr;
    QWidget* widget = nullptr;
    QGridLayout* gridLayout = nullptr;
    QLabel* label = nullptr;
    QLabel* label_2 = nullptr;
    QComboBox* comboBoxCorrectionType = nullptr;
    AspectRatioComboBox* comboBoxAspectRatio = nullptr;
    QHBoxLayout* horizontalLayout_2 = nullptr;
    QCheckBox* cbConstrainToImage = nullptr;

    void setupUi(QWidget* form);
    void retranslateUi(QWidget* form);
};

class CCropSettings : public CBaseCorrectionSettings, public SerializableUiImpl
{
    Q_OBJECT
    Q_INTERFACES(ISerializableUiInterface ISerializableInterface)
public:
    // The crop module makes it with its host: new CCropSettings(this, host(), parent).
    CCropSettings(ICropModuleState* module, ICorrectionModuleHost* host, QWidget* parent);
    ~CCropSettings() override;

    QByteArray serializeWidgetState() override;
    void deserializeWidgetState(const QByteArray& state) override;
    QWidget* asWidget() override;

    const Ui_CCropSettings& ui() const { return m_ui; }

protected Q_SLOTS:
    void resetWidgetControls() override;
    void modulesStateWasChanged() override;

public Q_SLOTS:
    bool isAdditionalOptionsShown();

private Q_SLOTS:
    void onActivateCropTool(bool checked);
    void onAspectRationChangedManually(qreal ratio);
    void onCorrectionTypeChangedManually(int index);
    void onConstrainToImageChangedManually(bool checked);
    void onShowAdditionalOptions(bool show) override;

private:
    bool updateCropToolState();
    bool isDistortionActive() const;
    bool isPictureLoaded() const;

    Ui_CCropSettings m_ui;
    QString m_moduleId;
    ICropModuleState* m_module;
};
