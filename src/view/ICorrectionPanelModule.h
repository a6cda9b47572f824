#pragma once

// What the correction panel frame (COutsidePanelWidget) needs of a correction
// module and of the module host. The modules and the host live in the
// correction framework, a layer above the view, so the view cannot name them:
// it declares here the narrow part it calls, and the framework's
// ICorrectionModuleInterface and ICorrectionModuleHost derive from these two
// interfaces (without redeclaring what is here), so a module pointer and a
// host pointer of the framework pass to the frame unchanged.

#include "shell/ISerializableInterface.h"

#include <QString>

#include <functional>
#include <memory>

class IProcessEngine;
class QObject;
class QWidget;

class ICorrectionPanelModule : public ISerializableInterface
{
public:
    // ISerializableInterface::id() is the module id ("Keystoning", "Horizon", "Crop").
    virtual ~ICorrectionPanelModule() = default;

    // The module as QObject; it emits resetForNewImageSignal() and
    // correctionOrModuleStateIsChanged().
    virtual QObject* moduleObject() = 0;
    // A new settings widget of the module on `parent`.
    virtual QWidget* createSettingsWidget(QWidget* parent) = 0;
    // The panel's header text.
    virtual QString moduleDisplayName() const = 0;
    virtual bool isModuleActive() = 0;
};

using ICorrectionPanelModulePtr = std::shared_ptr<ICorrectionPanelModule>;

class ICorrectionPanelHost
{
public:
    virtual ~ICorrectionPanelHost() = default;

    virtual IProcessEngine* processEngine() = 0;
    virtual bool isModuleActive(const QString& id) = 0;
    // The current module's id, or "Empty_Correction_ID".
    virtual QString currentCorrectionName() = 0;
    virtual void processModuleAction(const QString& moduleId, const QString& activity,
                                     const QString& argument) = 0;
};

// Where panels send their undo requests. The correction framework's undo
// controller is a layer above the view; it registers a provider here that
// returns the controller (creating it on first use), and every panel frame
// made afterwards connects its onCreateUndoCommand(QString) to the
// controller's createUndoCommand(QString) slot. Without a provider the
// requests go nowhere.
using UndoControllerProvider = std::function<QObject*()>;
void setUndoControllerProvider(UndoControllerProvider provider);
QObject* undoController();
