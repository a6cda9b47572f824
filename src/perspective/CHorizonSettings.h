#pragma once

// The horizon module's settings panel (the two tool buttons and the rotation
// slider) and its tool pane (icon, line colour, Preview, Reset, Apply).

#include "correction/CBaseCorrectionSettings.h"
#include "shell/SerializableUiImpl.h"

#include <QMap>
#include <QVariant>

class CHorizonCorrection;
class CSlider;
class QFrame;
class QLabel;
class QPushButton;
class QToolButton;

class CHorizonSettings : public CBaseCorrectionSettings, public SerializableUiImpl
{
    Q_OBJECT
    Q_INTERFACES(ISerializableInterface ISerializableUiInterface)
public:
    CHorizonSettings(CHorizonCorrection* module, QWidget* parent);
    ~CHorizonSettings() override;

    void resetWidgetControls() override;
    QByteArray serializeWidgetState() override;
    void deserializeWidgetState(const QByteArray& state) override;
    QWidget* asWidget() override { return this; }

    QToolButton* horizonHTool = nullptr;
    QToolButton* horizonVTool = nullptr;
    QWidget* widget = nullptr;
    CSlider* angleSlider = nullptr;
    QFrame* line = nullptr;

public Q_SLOTS:
    bool isAdditionalOptionsShown();

protected Q_SLOTS:
    void modulesStateWasChanged() override;

private Q_SLOTS:
    void activateHorizontalTool(bool checked);
    void activateVerticalTool(bool checked);
    void rotationAngleChanged(QString key, int value);
    void setRotationAngle(double angle);
    void onShowAdditionalOptions(bool show) override;

private:
    void activateTool(QToolButton* button, QToolButton* other, bool checked, const QString& argument,
                      const QString& activateText, const QString& applyText);

    CHorizonCorrection* m_module;
};

class CHorizonToolPane : public CBaseCorrectionToolPane
{
    Q_OBJECT
public:
    CHorizonToolPane(QWidget* parent, CHorizonCorrection* module);
    ~CHorizonToolPane() override;

    void setCorrectionIcon(const QPixmap& pixmap);
    void showToolColor(const QColor& color);
    bool eventFilter(QObject* watched, QEvent* event) override;

    QLabel* correctionIcon = nullptr;
    QLabel* colorPicker = nullptr;
    QPushButton* previewButton = nullptr;
    QPushButton* resetButton = nullptr;
    QPushButton* applyButton = nullptr;

public Q_SLOTS:
    void selectToolColor();
    void onSetPreviewButtonEnabled(bool enabled);
    void onSetPreviewButtonVisible(bool visible);
    void onSerializeToolPaneData(QMap<QString, QVariant>& data);
    void onDeserializeToolPaneData(QMap<QString, QVariant> data);
};
