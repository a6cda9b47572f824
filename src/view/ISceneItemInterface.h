#pragma once

// What a tool item (a keystoning handle or line, a crop handle, rectangle,
// overlay or size label) tells the views beside its graphics-item bases.

#include <QString>

class ISceneItemInterface
{
public:
    virtual ~ISceneItemInterface() = default;

    // True: a view treats the item as absent when it asks whether a tool item
    // lies under the mouse (IViewInterface::isToolItemAt).
    virtual bool isTransparentForView() const = 0;
    // True: a press on the item makes the view report the item's position
    // (mouseOnScenePoint), which the loupe follows.
    virtual bool reportsPressPosition() const = 0;
    // The name the module gave the item, for example "LeftTop" or "CropMainRect".
    virtual QString itemName() const = 0;
};
