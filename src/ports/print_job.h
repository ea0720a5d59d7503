#pragma once
// What the program and the desktop's printing system say to each other:
// the paper, the pages asked for and a job that draws them.

#include <cstdint>
#include <functional>
#include <string>

namespace kestrune {

class Canvas;

// A page rectangle in points, relative to the corner the page is drawn from.
struct PageRect {
    double top = 0.0;
    double left = 0.0;
    double bottom = 0.0;
    double right = 0.0;
};

// Blank borders of the paper, in points, on the page as it is turned.
struct PageMargins {
    double left = 0.0;
    double top = 0.0;
    double right = 0.0;
    double bottom = 0.0;
    friend bool operator==(const PageMargins&, const PageMargins&) = default;
};

// The paper as Page Setup and Print choose it: its size upright, in
// points, how it is turned, the margins the pages are drawn within, and
// the user's scale in percent.
struct PageFormat {
    double paperWidth = 595.0; // A4
    double paperHeight = 842.0;
    bool landscape = true;
    PageMargins margins;
    double scale = 100.0;
    friend bool operator==(const PageFormat&, const PageFormat&) = default;
};

// A range of pages, both ends included. 0 to 0 stands for "all pages".
struct PageRange {
    std::int32_t first = 0;
    std::int32_t last = 0;
    friend bool operator==(const PageRange&, const PageRange&) = default;
};

// What the Print dialog offers: the job's name, the paper, the pages 1 to
// pageCount and the number of copies.
struct PrintRequest {
    std::string jobName;
    PageFormat format; // the paper the dialog starts from
    std::int32_t pageCount = 1;
    int copies = 1;
};

// One print job: the pages first to last, each drawn by drawPage onto a
// canvas whose unit is one point of the page, scaled by scalePercent.
struct PrintRun {
    std::string jobName;
    PageRange pages;
    int copies = 1;
    double scalePercent = 100.0;
    std::function<void(Canvas&, std::int32_t page)> drawPage;
};

} // namespace kestrune
