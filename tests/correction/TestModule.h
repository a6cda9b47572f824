#pragma once

// A correction module for the framework's tests: every call the host makes
// goes into a shared journal as "<id> <call>", its state is its active flag
// and a value the test sets, and a test may hook its reset.

#include "correction/CBaseCorrectionModule.h"
#include "utils/DataStreamFormat.h"

#include <QDataStream>
#include <QIODevice>
#include <QStringList>

#include <functional>

class TestModule : public CBaseCorrectionModule
{
    Q_OBJECT
public:
    TestModule(const QString& id, int order, QStringList* journal)
        : CBaseCorrectionModule(order)
        , m_id(id)
        , m_journal(journal)
    {
    }

    QByteArray serialize() override
    {
        QByteArray bytes;
        QDataStream stream(&bytes, QIODevice::WriteOnly);
        stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
        stream << serializeBaseState() << value;
        return bytes;
    }
    void deserialize(const QByteArray& bytes, bool flag) override
    {
        QDataStream stream(bytes);
        stream.setVersion(NAVIK_tarl1::g_dataStreamVersion);
        QByteArray base;
        stream >> base >> value;
        deserializeBaseState(base);
        note(QStringLiteral("deserialize %1").arg(flag));
    }
    bool isEqual(const QByteArray& a, const QByteArray& b) override { return a == b; }
    QString id() const override { return m_id; }

    QWidget* createToolPaneWidget(QWidget*) override { return nullptr; }
    void attachToLayout(QLayout*) override {}
    void setSingleMode() override { note(QStringLiteral("single")); }
    void setSplitedMode() override { note(QStringLiteral("split")); }
    void setModuleActive(bool active) override
    {
        if (setModuleState(active))
            note(QStringLiteral("active %1").arg(active));
    }
    void activateSpecificCorrection(const QString& argument) override { note(QStringLiteral("activate ") + argument); }
    void touchAdditionalControl(const QString& argument) override { note(QStringLiteral("touch ") + argument); }
    void resetForNewImage() override
    {
        note(QStringLiteral("resetForNewImage"));
        CBaseCorrectionModule::resetForNewImage();
    }
    void resetModule() override
    {
        note(QStringLiteral("reset"));
        if (onReset)
            onReset();
    }
    void resetCurrentCorrection() override { note(QStringLiteral("resetCurrent")); }
    void applyCorrection(bool*) override { note(QStringLiteral("apply")); }
    QWidget* createSettingsWidget(QWidget*) override { return nullptr; }
    bool isModuleAvailable() override { return true; }
    QString moduleDisplayName() const override { return m_id; }

    QString value;
    std::function<void()> onReset;

protected:
    void doInitialize() override { note(QStringLiteral("initialize")); }

private:
    void note(const QString& call) { m_journal->append(m_id + QLatin1Char(' ') + call); }

    QString m_id;
    QStringList* m_journal;
};
