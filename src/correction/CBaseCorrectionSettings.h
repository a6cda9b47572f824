#pragma once

// The common bases of a module's settings panel and of its tool pane: the
// link to the host and the module id, sliders reported as activities and
// written to the engine, the undo steps of sliders and of apply and reset,
// the reset of all sliders, and the field-of-view warning.

#include "correction/CHeldChange.h"

#include <QFrame>
#include <QPointer>
#include <QWidget>

class CSlider;
class CUndoCommand;
class CorrectionInfoWidget;
class ICorrectionModuleHost;

class CBaseCorrectionSettings : public QWidget
{
    Q_OBJECT
public:
    CBaseCorrectionSettings(ICorrectionModuleHost* host, const QString& moduleId, QWidget* parent);
    ~CBaseCorrectionSettings() override;

    Q_INVOKABLE virtual bool isInfoWidgetShown();
    Q_INVOKABLE virtual QString infoWidgetMessage();
    virtual void resetWidgetControls();

    bool isFieldOfViewWarningNeeded() const;
    void resetSlidersToDefault();

public Q_SLOTS:
    virtual void modulesStateWasChanged() = 0;
    virtual void actualizeSlidersVAlue();
    virtual void moduleReseted();
    virtual void sliderValueChanged(QString name, int value);
    virtual void onShowAdditionalOptions(bool show) = 0;
    virtual void onSliderValueChangedManually(QString name, QString text);
    virtual void onInfoLinkWasClicked();
    virtual void onToolWasActivated(bool active);
    virtual void onAdditionalHeaderButtonClicked();
    virtual void onResetForNewImage();

Q_SIGNALS:
    void onCreateUndoCommand(QString text);
    void onPushUndoCommand(CUndoCommand* command);
    void enableAdditionalHeaderControl(bool enabled);

protected:
    virtual void showFieldOfViewWarning();
    virtual CorrectionInfoWidget* infoWidget();
    // While the mouse holds the slider, the values it sets wait for the step
    // its release makes.
    void followMouseHold(CSlider* slider);

    ICorrectionModuleHost* m_host;
    bool m_fieldOfViewWarningDismissed = false;
    QPointer<CorrectionInfoWidget> m_infoWidget;
    QWidget* m_reservedWidget = nullptr;
    bool m_isResetting = false;
    bool m_isActualizingSliders = false;
    QString m_moduleId;
    CHeldChange m_heldSlider;
};

class CBaseCorrectionToolPane : public QFrame
{
    Q_OBJECT
public:
    CBaseCorrectionToolPane(QWidget* parent, ICorrectionModuleHost* host, QString moduleId);
    ~CBaseCorrectionToolPane() override;

public Q_SLOTS:
    void apply();
    void reset();

Q_SIGNALS:
    void preview();
    void onColorChanged(QColor color);
    void onCreateUndoCommand(QString text);
    void onPushUndoCommand(CUndoCommand* command);

protected:
    QString m_moduleId;
    ICorrectionModuleHost* m_host;
};
