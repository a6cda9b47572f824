#pragma once

// Stand-in for the correction modules until they exist: one module whose
// settings widget holds a rotation row, bound to a panel frame in the
// correction palette so that the frame and the slider row can be seen and
// used. Its host answers the frame: the reset button puts the row back to
// its default; nothing reaches the picture.

#include "view/ICorrectionPanelModule.h"

#include <QObject>
#include <QWidget>

class CSlider;

class CPreviewSettingsWidget : public QWidget
{
    Q_OBJECT
public:
    explicit CPreviewSettingsWidget(QWidget* parent);

    void resetRows();

signals:
    void enableAdditionalHeaderControl(bool enabled);

public slots:
    void onShowAdditionalOptions(bool show);
    void onToolWasActivated(bool active);
    void onAdditionalHeaderButtonClicked();
    void onResetForNewImage();

private:
    CSlider* m_rotation = nullptr;
};

class CPreviewCorrectionModule : public QObject, public ICorrectionPanelModule
{
    Q_OBJECT
public:
    QByteArray serialize() override { return {}; }
    void deserialize(const QByteArray&, bool) override {}
    bool isEqual(const QByteArray& a, const QByteArray& b) override { return a == b; }
    QString id() const override { return QStringLiteral("Horizon"); }
    QObject* moduleObject() override { return this; }
    QWidget* createSettingsWidget(QWidget* parent) override;
    QString moduleDisplayName() const override { return tr("HORIZON"); }
    bool isModuleActive() override { return false; }

    CPreviewSettingsWidget* settingsWidget() const { return m_settings; }

signals:
    void resetForNewImageSignal();
    void correctionOrModuleStateIsChanged();

private:
    CPreviewSettingsWidget* m_settings = nullptr;
};

class CPreviewCorrectionHost : public ICorrectionPanelHost
{
public:
    CPreviewCorrectionHost(IProcessEngine* engine, CPreviewCorrectionModule* module);

    IProcessEngine* processEngine() override { return m_engine; }
    bool isModuleActive(const QString&) override { return false; }
    QString currentCorrectionName() override { return QStringLiteral("Empty_Correction_ID"); }
    void processModuleAction(const QString& moduleId, const QString& activity, const QString& argument) override;

private:
    IProcessEngine* m_engine;
    CPreviewCorrectionModule* m_module;
};
