#pragma once

// The collapsible frame around one correction module's settings widget in
// the settings column: a header with the expand arrow, the module's name, an
// optional extra button and the reset button; the settings widget; and a
// strip with the button that shows or hides the module's additional options.
// It turns the header actions into activities for the module host, asks for
// undo steps, keeps per module whether it is expanded and whether the
// additional options are hidden ("app_correctionExpanded" and
// "app_correctionAdditionalOptions" followed by the module id), and gives its
// own state to the undo snapshots.
//
// The enable check box is never shown; its state is still used and stored.

#include "shell/SerializableUiImpl.h"
#include "view/ICorrectionPanelModule.h"

#include <QWidget>

#include <memory>

class Ui_baseUIPanelWidget;

class COutsidePanelWidget : public QWidget, public SerializableUiImpl
{
    Q_OBJECT
    Q_INTERFACES(ISerializableUiInterface ISerializableInterface)
public:
    explicit COutsidePanelWidget(QWidget* parent = nullptr, Qt::WindowFlags f = Qt::WindowFlags());
    // Writes the two settings of the module.
    ~COutsidePanelWidget() override;

    // Binds the panel to its module once: creates the module's settings
    // widget inside the panel, wires it and loads the module's settings.
    // Returns the settings widget; null (and nothing bound) without a module.
    // Without a host the module is bound but the host is never called.
    QWidget* setCorrectionModule(ICorrectionPanelModulePtr module, ICorrectionPanelHost* host);

    // ISerializableUiInterface: the enable check box, the two hidden flags and
    // whether the extra header button is enabled.
    QByteArray serializeWidgetState() override;
    void deserializeWidgetState(const QByteArray& state) override;
    QWidget* asWidget() override;

    virtual bool isModuleEnabledRestorable();
    virtual bool isAdditionalOptionsButtonForcedHidden();

    bool eventFilter(QObject* watched, QEvent* event) override;

signals:
    void showAdditionalOptions(bool show);
    void heightIsChanged();
    void onCreateUndoCommand(QString text);
    void toolWasActivated(bool enabled);
    void additionalHeaderButtonClicked();

public slots:
    void onCorrectionOrModuleStateChanged();
    void showHideExpandButton(bool show);
    void onEnableAdditionalHeaderControl(bool enabled);
    void onSetExpanded(bool expanded);
    bool isExpanded();
    void onReset();
    void onHideShowAdditionalOptions();
    void onModuleEnabled(bool enabled);
    bool isModuleEnabled();
    bool isAdditionalHeaderControlEnabled();
    bool isAdditionalHeaderControlVisible();
    void clickAdditionalHeaderControl();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    QString moduleId() const;
    void loadSettings();
    void saveSettings();

    std::unique_ptr<Ui_baseUIPanelWidget> ui;
    bool m_isAdditionalOptionsHiden = false;
    bool m_isAdditionalOptionsButtonHiden = false;
    ICorrectionPanelModulePtr m_module;
    ICorrectionPanelHost* m_host = nullptr;
};
