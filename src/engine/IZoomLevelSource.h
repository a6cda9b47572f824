#pragma once

// The zoom of the views, as the process engine needs it: a high-resolution
// request renders from the input level that matches the zoom at which it was
// asked. The views' zoom controller implements this and registers itself when
// it is made; the engine never sees the view code. Read on the GUI thread,
// where the requests are made.
class IZoomLevelSource
{
public:
    virtual ~IZoomLevelSource() = default;

    // Percent: 100 shows one image pixel per screen pixel.
    virtual int currentZoom() const = 0;
};

// The registered source, or null. Without one, renders take full resolution.
void registerZoomLevelSource(IZoomLevelSource* source);
void unregisterZoomLevelSource(IZoomLevelSource* source);
IZoomLevelSource* zoomLevelSource();
