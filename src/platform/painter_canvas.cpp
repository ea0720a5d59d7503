#include "platform/painter_canvas.h"

#include <QColor>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QRectF>
#include <QString>
#include <algorithm>
#include <cmath>

namespace kestrune {
namespace {

struct FontChoice {
    const char* family;
    const char* fallback;
    bool bold;
};

// Free fonts with metrics close to the ones the sheet was laid out for.
FontChoice choiceFor(std::int32_t fontNum) {
    switch (fontNum) {
    case 2: // Lucida Sans Typewriter Bold
        return {"DejaVu Sans Mono", "Liberation Mono", true};
    case 3: // Lucida Sans Typewriter
        return {"DejaVu Sans Mono", "Liberation Mono", false};
    case 4: // Lucida Grande Bold
        return {"DejaVu Sans", "Liberation Sans", true};
    case 6: // Arial Bold
    case 8: // Helvetica Bold
        return {"Liberation Sans", "Nimbus Sans", true};
    case 7: // Helvetica
        return {"Liberation Sans", "Nimbus Sans", false};
    case 1: // Lucida Grande
    case 5: // Geneva
    default:
        return {"DejaVu Sans", "Liberation Sans", false};
    }
}

QColor qColour(Colour c) {
    return QColor::fromRgbF(static_cast<float>(c.red), static_cast<float>(c.green),
                            static_cast<float>(c.blue));
}

QRectF rectOf(double x0, double y0, double x1, double y1) {
    return {x0, y0, x1 - x0, y1 - y0};
}

} // namespace

PainterCanvas::PainterCanvas(QPainter& painter) : painter_(painter) {
    painter_.setRenderHint(QPainter::Antialiasing, true);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

QFont PainterCanvas::fontFor(std::int32_t fontNum, double size) {
    const FontChoice choice = choiceFor(fontNum);
    QFont font(QString::fromLatin1(choice.family));
    font.setFamilies({QString::fromLatin1(choice.family), QString::fromLatin1(choice.fallback)});
    font.setBold(choice.bold);
    // Sized in pixels, so that the sheet's positions hold on any screen.
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    font.setLetterSpacing(QFont::AbsoluteSpacing, 0.0);
    font.setKerning(true);
    return font;
}

const QFont& PainterCanvas::cachedFont(std::int32_t fontNum, double size) {
    const auto key = std::make_pair(fontNum, size);
    auto it = fonts_.find(key);
    if (it == fonts_.end()) {
        it = fonts_.emplace(key, fontFor(fontNum, size)).first;
    }
    return it->second;
}

void PainterCanvas::drawText(const DrawTarget& /*target*/, const TextRun& run) {
    if (run.bytes.empty()) {
        return;
    }
    painter_.setFont(cachedFont(run.fontNum, run.fontSize));
    painter_.setPen(qColour(run.colour));
    // Drawn at the baseline and never clipped: a long name runs on into
    // the next column.
    const QString text =
        QString::fromUtf8(run.bytes.data(), static_cast<qsizetype>(run.bytes.size()));
    if (run.stretch == 1.0) {
        painter_.drawText(QPointF(run.x, run.baseline), text);
        return;
    }
    // Condensed about its start, the height unchanged.
    painter_.save();
    painter_.translate(run.x, run.baseline);
    painter_.scale(run.stretch, 1.0);
    painter_.drawText(QPointF(0.0, 0.0), text);
    painter_.restore();
}

double PainterCanvas::textWidth(const TextRun& run) {
    const QFontMetricsF metrics(cachedFont(run.fontNum, run.fontSize));
    return metrics.horizontalAdvance(
        QString::fromUtf8(run.bytes.data(), static_cast<qsizetype>(run.bytes.size())));
}

void PainterCanvas::strokeLine(const DrawTarget& /*target*/, double x0, double y0, double x1,
                               double y1, double width, Colour colour) {
    painter_.setPen(QPen(qColour(colour), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
    painter_.drawLine(QPointF(x0, y0), QPointF(x1, y1));
}

void PainterCanvas::strokeRect(const DrawTarget& /*target*/, double x0, double y0, double x1,
                               double y1, double width, Colour colour) {
    painter_.setPen(QPen(qColour(colour), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(rectOf(x0, y0, x1, y1));
}

void PainterCanvas::fillRect(const DrawTarget& /*target*/, double x0, double y0, double x1,
                             double y1, Colour colour) {
    painter_.fillRect(rectOf(x0, y0, x1, y1), qColour(colour));
}

void PainterCanvas::eraseRect(const DrawTarget& /*target*/, double x0, double y0, double x1,
                              double y1) {
    painter_.fillRect(rectOf(x0, y0, x1, y1), Qt::white);
}

} // namespace kestrune
