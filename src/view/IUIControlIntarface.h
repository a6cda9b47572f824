#pragma once

// A control that edits one engine parameter: the panels name the parameter
// it edits and put it back to its default through this interface.

#include <QObject>
#include <QString>

class IUIControlIntarface
{
public:
    virtual void setParameterName(const QString& name) = 0;
    virtual QString parameterName() const = 0;
    virtual void resetToDefault() = 0;

protected:
    ~IUIControlIntarface() = default;
};

Q_DECLARE_INTERFACE(IUIControlIntarface, "IUIControlIntarface")
