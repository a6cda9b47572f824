#pragma once

// The common base of the correction modules: the link to the host, the
// module's active flag and order, the host's state signal relayed, and
// shortcuts that write one engine parameter.
//
// Its meta-object answers the serialisable interface too, so the host keeps
// every module's state in its undo record and an undo restores the modules
// with the picture.

#include "correction/ICorrectionModuleInterface.h"

#include <QObject>

class CBaseCorrectionModule : public QObject, public ICorrectionModuleInterface
{
    Q_OBJECT
    Q_INTERFACES(ICorrectionModuleInterface ISerializableInterface)
public:
    explicit CBaseCorrectionModule(int order);
    ~CBaseCorrectionModule() override;

    ICorrectionModuleHost* host() const;

    // One engine parameter of the after image; integers and doubles travel
    // as single-precision floats.
    virtual void setCEProperty(const QString& key, int value);
    virtual void setCEProperty(const QString& key, double value);
    virtual void setCEProperty(const QString& key, const QString& value);
    virtual void setCEProperty(const QString& key, bool value);

    // Stores the host, runs doInitialize, then relays the host's state signal.
    void setHost(ICorrectionModuleHost* host) override;
    QObject* moduleObject() override;
    QWidget* createPanelWidget(QWidget* parent) override;
    int moduleOrder() override;
    bool isModuleActive() override;
    void resetForNewImage() override;

    // The active flag as one byte, for the modules' own records.
    QByteArray serializeBaseState() const;
    void deserializeBaseState(const QByteArray& bytes);
    // False when the flag is already `active`.
    bool setModuleState(bool active);

Q_SIGNALS:
    void correctionOrModuleStateIsChanged();
    void resetForNewImageSignal();

protected:
    // The module's own set-up once it has a host.
    virtual void doInitialize() = 0;

private:
    ICorrectionModuleHost* m_host = nullptr;
    bool m_isModuleActive = false;
    int m_moduleOrder;
};
