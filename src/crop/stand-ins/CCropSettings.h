#pragma once

// Stand-in for the crop settings panel until the real panel lands: an empty
// panel named as the real one, with its reset slot.

#include <QWidget>

class CCropCorrection;

class CCropSettings : public QWidget
{
    Q_OBJECT
public:
    CCropSettings(CCropCorrection& module, QWidget* parent)
        : QWidget(parent)
        , m_module(module)
    {
        setObjectName(QStringLiteral("CropSettings"));
    }

public Q_SLOTS:
    void moduleReseted() {}

private:
    [[maybe_unused]] CCropCorrection& m_module;
};
