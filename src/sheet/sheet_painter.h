#pragma once
// Paints the data sheet: background bands, stripes, header, rows, the
// selection's highlight and frame, and the grid, in that order.

namespace kestrune {

class AppState;
class Canvas;

// Paints the sheet as the last redraw's bookkeeping left it (selection,
// scroll position and the selection rectangle in app.sheet). Only what meets
// the window-y range [visibleTop, visibleBottom) is drawn: rows outside it
// are skipped without being visited, so the cost does not grow with the
// table. Whatever is drawn is drawn exactly as a full paint would, in the same
// order. Infinite bounds paint everything.
void PaintSheet(Canvas& canvas, const AppState& app, double visibleTop, double visibleBottom);

} // namespace kestrune
