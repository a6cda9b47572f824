#pragma once

// The calibration-module manager: one object for the process, told at
// start-up which process engine the program uses. It takes part in undo as a
// lockable serialisable object; while locked (during an application state
// snapshot) it contributes no state.

#include "shell/SerializableLockImpl.h"

#include <QObject>

class IProcessEngine;

class CAFModulesManager : public QObject, public SerializableLockImpl
{
    Q_OBJECT
    Q_INTERFACES(ISerializableInterface)
public:
    // Created on the first call, destroyed when the process ends.
    static CAFModulesManager* instance();

    // The engine is forgotten as soon as it is destroyed, so the manager,
    // which outlives the application, never holds a deleted engine.
    void setProcessEngine(IProcessEngine* engine);
    IProcessEngine* processEngine() const { return m_processEngine; }

    // ISerializableInterface
    void deserialize(const QByteArray& data, bool flag) override;
    bool isEqual(const QByteArray& first, const QByteArray& second) override;
    QString id() const override;

private:
    CAFModulesManager() = default;

    IProcessEngine* m_processEngine = nullptr;
    QMetaObject::Connection m_engineDestroyed;
};
