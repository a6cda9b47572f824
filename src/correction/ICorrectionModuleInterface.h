#pragma once

// What the module host, the panel frame and the settings widget know of a
// correction module (keystoning, horizon, crop). Modules are held through
// ICorrectionModuleInterfacePtr; a module lives until its last holder lets go.
// The part the panel frame calls (moduleObject, createSettingsWidget,
// moduleDisplayName, isModuleActive) is declared by the view's
// ICorrectionPanelModule.

#include "correction/CorrectionIds.h"
#include "view/ICorrectionPanelModule.h"

#include <QByteArray>
#include <QString>

#include <memory>

class ICorrectionModuleHost;
class QLayout;
class QObject;
class QWidget;

class ICorrectionModuleInterface : public ICorrectionPanelModule
{
public:
    // ISerializableInterface: serialize, deserialize, isEqual and id (the
    // module id, under which the host keys the module).
    virtual ~ICorrectionModuleInterface() = default;

    // Called once by the host when the module is added.
    virtual void setHost(ICorrectionModuleHost* host) = 0;
    virtual QWidget* createToolPaneWidget(QWidget* parent) = 0;
    virtual QWidget* createPanelWidget(QWidget* parent) = 0;
    // Connects the module to the tool pane the caller put into the layout.
    virtual void attachToLayout(QLayout* layout) = 0;
    virtual void setSingleMode() = 0;
    virtual void setSplitedMode() = 0;
    virtual int moduleOrder() = 0;
    virtual void setModuleActive(bool active) = 0;
    virtual void activateSpecificCorrection(const QString& argument) = 0;
    // A control of the module other than its tool was changed; each concrete
    // module implements it.
    virtual void touchAdditionalControl(const QString& argument) = 0;
    virtual void resetForNewImage() = 0;
    virtual void resetModule() = 0;
    virtual void resetCurrentCorrection() = 0;
    // The host passes no pointer; a module may store a flag of its own there.
    virtual void applyCorrection(bool* applied = nullptr) = 0;
    virtual bool isModuleAvailable() = 0;
};

using ICorrectionModuleInterfacePtr = std::shared_ptr<ICorrectionModuleInterface>;

Q_DECLARE_INTERFACE(ICorrectionModuleInterface, "ICorrectionModuleInterface")
