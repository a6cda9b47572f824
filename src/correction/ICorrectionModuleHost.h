#pragma once

// What a correction module knows of the module host: the item groups on the
// before and after scenes, the process engine, the other modules and the
// dispatcher of user activities. The part the panel frame calls
// (processEngine, isModuleActive, currentCorrectionName, processModuleAction)
// is declared by the view's ICorrectionPanelHost.

#include "correction/ICorrectionModuleInterface.h"

#include <QString>
#include <QtPlugin>

class IProcessEngine;
class QGraphicsItem;
class QGraphicsItemGroup;
class QObject;

class ICorrectionModuleHost : public ICorrectionPanelHost
{
public:
    virtual ~ICorrectionModuleHost() = default;

    // A named group on the scene, created hidden on the first request.
    virtual QGraphicsItemGroup* beforeSceneItemGroup(const QString& name) = 0;
    virtual QGraphicsItemGroup* afterSceneItemGroup(const QString& name) = 0;
    // Shared visible groups on the after scene.
    virtual void addItemToAfterSceneGroupA(QGraphicsItem* item) = 0;
    virtual void addItemToAfterSceneGroupB(QGraphicsItem* item) = 0;
    virtual void deactivateAllSceneItems() = 0;
    // The host as the sender of correctionOrModuleStateIsChanged().
    virtual QObject* hostObject() = 0;
    virtual void resetBeforeImageOpen() = 0;
    virtual void setSingleMode() = 0;
    virtual void setSplitedMode() = 0;
    virtual ICorrectionModuleInterfacePtr module(const QString& id) const = 0;
    virtual ICorrectionModuleInterfacePtr currentCorrectionModule() = 0;
    virtual bool isAnyModuleActive() = 0;
};

Q_DECLARE_INTERFACE(ICorrectionModuleHost, "ICorrectionModuleHost")
