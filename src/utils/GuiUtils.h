#pragma once

// Painting and window helpers shared by the views and dialogs.

#include "utils/UtilsGlobal.h"

#include <QList>
#include <QPixmap>

class QDialog;
class QPainter;
class QRect;
class QWidget;

namespace NAVIK_tarl1 {

// Paints a frame around `rect` grown by `outset` on every side, cut from a
// (2 * corner + 1) square pixmap: its corner squares go unscaled to the
// corners, its middle row and column are stretched along the sides. The
// inside is not painted. Nothing is checked: a smaller pixmap gives clipped
// or empty pieces.
NAVIK_UTILS_EXPORT void drawRoundedImageBorder(QPainter* painter, const QRect& rect, const QPixmap& image,
                                               int corner, int outset);

// Paints a drop shadow just outside `rect` from eight pieces, anticlockwise
// from the top-left corner: top-left, left, bottom-left, bottom,
// bottom-right, right, top-right, top. Corners keep their size, sides are
// stretched along the rectangle. Fewer than eight pieces paint nothing.
NAVIK_UTILS_EXPORT void drawShadowRect(QPainter* painter, const QRect& rect, const QList<QPixmap>& images);

// Makes the widget's background roles fully transparent, so that it shows
// what lies behind it; text keeps its colours. A null widget is ignored.
NAVIK_UTILS_EXPORT void setWidgetFullTransparency(QWidget* widget);

// Shows the dialog with the modality it has and returns once it has finished,
// running a local event loop meanwhile. A dialog without a parent is raised
// and kept above other windows while the program is the active one.
NAVIK_UTILS_EXPORT void showUntilFinished(QDialog& dialog);

// Keeps the widget at least as wide as its text needs with the style sheet in
// force (whose min-width would otherwise let a tight layout cut a long
// translation short); the other items of the layout give way first.
NAVIK_UTILS_EXPORT void keepWholeText(QWidget* widget);

} // namespace NAVIK_tarl1
