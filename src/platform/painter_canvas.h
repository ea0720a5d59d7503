#pragma once
// The sheet's drawing primitives on a QPainter. One point of the sheet's
// geometry is one device-independent pixel, and half-pixel coordinates are
// kept as they are, so one-pixel lines on x.5 stay crisp.

#include "ports/canvas.h"

#include <QFont>
#include <map>
#include <utility>

class QPainter;

namespace kestrune {

class PainterCanvas final : public Canvas {
public:
    // The painter must outlive the canvas; its transform maps content
    // coordinates of the window onto the device.
    explicit PainterCanvas(QPainter& painter);

    // The free font that stands in for a font number, at a size in pixels.
    static QFont fontFor(std::int32_t fontNum, double size);

protected:
    void drawText(const DrawTarget& target, const TextRun& run) override;
    void strokeLine(const DrawTarget& target, double x0, double y0, double x1, double y1,
                    double width, Colour colour) override;
    void strokeRect(const DrawTarget& target, double x0, double y0, double x1, double y1,
                    double width, Colour colour) override;
    void fillRect(const DrawTarget& target, double x0, double y0, double x1, double y1,
                  Colour colour) override;
    void eraseRect(const DrawTarget& target, double x0, double y0, double x1, double y1) override;
    double textWidth(const TextRun& run) override;

private:
    const QFont& cachedFont(std::int32_t fontNum, double size);

    QPainter& painter_;
    // A sheet uses three fonts thousands of times per paint.
    std::map<std::pair<std::int32_t, double>, QFont> fonts_;
};

} // namespace kestrune
