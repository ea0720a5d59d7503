#pragma once
// A Canvas that records every primitive with the full state it was drawn
// with, so drawings can be compared call by call.

#include "ports/canvas.h"

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace kestrune::test {

struct DrawCall {
    enum class Kind { Text, Line, FrameRect, FillRect, Erase };

    Kind kind = Kind::Text;
    DrawTarget target;
    double x0 = 0.0; // text: baseline start
    double y0 = 0.0;
    double x1 = 0.0;
    double y1 = 0.0;
    Colour colour;
    double lineWidth = 0.0;   // lines and outlines only
    std::int32_t fontNum = 0; // texts only
    std::string fontName;
    double fontSize = 0.0;
    std::string text;
    double stretch = 1.0; // texts only

    friend bool operator==(const DrawCall&, const DrawCall&) = default;

    // The window-y range the call can paint into.
    double top() const {
        if (kind == Kind::Text) {
            return y0 - fontSize;
        }
        return std::min(y0, y1) - lineWidth / 2.0;
    }
    double bottom() const {
        if (kind == Kind::Text) {
            return y0 + fontSize / 3.0;
        }
        return std::max(y0, y1) + lineWidth / 2.0;
    }
};

inline const char* kindName(DrawCall::Kind kind) {
    switch (kind) {
    case DrawCall::Kind::Text:
        return "Text";
    case DrawCall::Kind::Line:
        return "Line";
    case DrawCall::Kind::FrameRect:
        return "FrameRect";
    case DrawCall::Kind::FillRect:
        return "FillRect";
    case DrawCall::Kind::Erase:
        return "Erase";
    }
    return "?";
}

// Readable failure messages in GoogleTest.
inline void PrintTo(const DrawCall& c, std::ostream* os) {
    *os << kindName(c.kind) << (c.target.printPage ? " page" : " window ") << c.target.window
        << " (" << c.x0 << ", " << c.y0 << ")";
    if (c.kind != DrawCall::Kind::Text) {
        *os << "-(" << c.x1 << ", " << c.y1 << ")";
    }
    *os << " rgb(" << c.colour.red << ", " << c.colour.green << ", " << c.colour.blue << ")";
    if (c.kind == DrawCall::Kind::Text) {
        *os << " font " << c.fontNum << " '" << c.fontName << "' " << c.fontSize << " \"" << c.text
            << "\"";
        if (c.stretch != 1.0) {
            *os << " stretched " << c.stretch;
        }
    } else {
        *os << " width " << c.lineWidth;
    }
}

// Texts are measured with the canvas's estimate (EstimatedTextWidth), so
// fitted texts land at positions a test can work out.
class RecordingCanvas : public Canvas {
public:
    std::vector<DrawCall> calls;
    std::int64_t measurements = 0;

    // The x range the glyphs of a recorded text cover, leading blanks aside.
    std::pair<double, double> glyphSpan(const DrawCall& text) {
        const std::size_t first = std::min(text.text.find_first_not_of(' '), text.text.size());
        const double lead =
            TextWidth(std::string_view(text.text).substr(0, first), text.fontNum, text.fontSize);
        const double width = TextWidth(text.text, text.fontNum, text.fontSize);
        return {text.x0 + lead * text.stretch, text.x0 + width * text.stretch};
    }

    std::vector<DrawCall> texts() const { return ofKind(DrawCall::Kind::Text); }
    std::vector<DrawCall> ofKind(DrawCall::Kind kind) const {
        std::vector<DrawCall> out;
        for (const DrawCall& c : calls) {
            if (c.kind == kind) {
                out.push_back(c);
            }
        }
        return out;
    }

protected:
    void drawText(const DrawTarget& target, const TextRun& run) override {
        DrawCall c;
        c.kind = DrawCall::Kind::Text;
        c.target = target;
        c.x0 = run.x;
        c.y0 = run.baseline;
        c.colour = run.colour;
        c.fontNum = run.fontNum;
        c.fontName = std::string(run.fontName);
        c.fontSize = run.fontSize;
        c.text = std::string(run.bytes);
        c.stretch = run.stretch;
        calls.push_back(c);
    }
    double textWidth(const TextRun& run) override {
        ++measurements;
        return EstimatedTextWidth(run);
    }
    void strokeLine(const DrawTarget& target, double x0, double y0, double x1, double y1,
                    double width, Colour colour) override {
        calls.push_back(shape(DrawCall::Kind::Line, target, x0, y0, x1, y1, width, colour));
    }
    void strokeRect(const DrawTarget& target, double x0, double y0, double x1, double y1,
                    double width, Colour colour) override {
        calls.push_back(shape(DrawCall::Kind::FrameRect, target, x0, y0, x1, y1, width, colour));
    }
    void fillRect(const DrawTarget& target, double x0, double y0, double x1, double y1,
                  Colour colour) override {
        calls.push_back(shape(DrawCall::Kind::FillRect, target, x0, y0, x1, y1, 0.0, colour));
    }
    void eraseRect(const DrawTarget& target, double x0, double y0, double x1, double y1) override {
        calls.push_back(shape(DrawCall::Kind::Erase, target, x0, y0, x1, y1, 0.0, {1.0, 1.0, 1.0}));
    }

private:
    static DrawCall shape(DrawCall::Kind kind, const DrawTarget& target, double x0, double y0,
                          double x1, double y1, double width, Colour colour) {
        DrawCall c;
        c.kind = kind;
        c.target = target;
        c.x0 = x0;
        c.y0 = y0;
        c.x1 = x1;
        c.y1 = y1;
        c.colour = colour;
        c.lineWidth = width;
        return c;
    }
};

} // namespace kestrune::test
