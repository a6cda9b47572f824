#pragma once

// The one object through which the correction modules live in the program:
// it owns them, keeps their item groups on the before and after scenes,
// remembers whose tool is the current correction, and dispatches every user
// activity through the correction state machine. Its state (the modules'
// states, the current correction, the groups' visibility) is part of every
// undo step.

#include "correction/CCorrectionStateMachine.h"
#include "correction/ICorrectionModuleHost.h"

#include <QList>
#include <QMap>
#include <QObject>
#include <QPair>
#include <QPointer>

#include <memory>

class QGraphicsScene;

class CCorrectionModuleHost : public QObject, public ICorrectionModuleHost, public ISerializableInterface
{
    Q_OBJECT
    Q_INTERFACES(ICorrectionModuleHost ISerializableInterface)
public:
    static CCorrectionModuleHost* instance();
    // Drops the singleton; it goes when no other holder remains.
    static void resetInstance();
    static bool exists();

    CCorrectionModuleHost();
    ~CCorrectionModuleHost() override;

    void initialize(QGraphicsScene* beforeScene, QGraphicsScene* afterScene);
    void addCorrectionModule(ICorrectionModuleInterfacePtr module);
    // Sorted by order, smallest first.
    QList<ICorrectionModuleInterfacePtr> correctionModules() const;

    QGraphicsItemGroup* beforeSceneItemGroup(const QString& name) override;
    QGraphicsItemGroup* afterSceneItemGroup(const QString& name) override;
    void addItemToAfterSceneGroupA(QGraphicsItem* item) override;
    void addItemToAfterSceneGroupB(QGraphicsItem* item) override;
    void deactivateAllSceneItems() override;
    QObject* hostObject() override;
    IProcessEngine* processEngine() override;
    void resetBeforeImageOpen() override;
    void setSingleMode() override;
    void setSplitedMode() override;
    ICorrectionModuleInterfacePtr module(const QString& id) const override;
    ICorrectionModuleInterfacePtr currentCorrectionModule() override;
    bool isModuleActive(const QString& id) override;
    QString currentCorrectionName() override;
    bool isAnyModuleActive() override;
    void processModuleAction(const QString& moduleId, const QString& activity, const QString& argument) override;

    QByteArray serialize() override;
    void deserialize(const QByteArray& state, bool flag) override;
    bool isEqual(const QByteArray& a, const QByteArray& b) override;
    QString id() const override;

Q_SIGNALS:
    void correctionOrModuleStateIsChanged();

private:
    using ModuleEntry = QPair<QString, ICorrectionModuleInterfacePtr>;

    QGraphicsItemGroup* sceneItemGroup(QGraphicsScene* scene, QMap<QString, QGraphicsItemGroup*>& groups,
                                       const QString& name);
    void addItemToSharedGroup(QGraphicsItemGroup*& group, QGraphicsItem* item);
    // The registered module of that id; an assertion and null when none is.
    ICorrectionModuleInterfacePtr registeredModule(const QString& id) const;
    void makeModuleAction(const QString& moduleId, const QString& activity, const QString& argument);

    QMap<QString, QGraphicsItemGroup*> m_beforeSceneGroups;
    QMap<QString, QGraphicsItemGroup*> m_afterSceneGroups;
    QGraphicsItemGroup* m_afterSceneGroupA = nullptr;
    QGraphicsItemGroup* m_afterSceneGroupB = nullptr;
    QPointer<QGraphicsScene> m_beforeScene;
    QPointer<QGraphicsScene> m_afterScene;
    ICorrectionModuleInterfacePtr m_currentCorrectionModule;
    QList<ModuleEntry> m_correctionModules;
    CCorrectionStateMachine m_stateMachine;

    static std::shared_ptr<CCorrectionModuleHost> s_instance;
};
