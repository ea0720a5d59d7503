#pragma once
// A help document laid out on A4 pages and painted into a PDF writer: the
// body between the margins, a footer with the title and the page number on
// every page but the title page.

#include <QFont>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>

class QPaintDevice;
class QPdfWriter;
class QTextBlock;
class QTextDocument;

namespace kestrune::help {

struct PageStyle {
    QString styleSheet;
    QFont font;           // the body font
    QString footerFormat; // "%1" the page, "%2" the number of pages
};

// The device pixels of the body of an A4 page at the writer's resolution:
// whole pixels, the way the text layout counts page heights.
QSizeF bodySize(const QPdfWriter& writer);

// Lays the HTML out on pages of the body's size. A heading that would be
// left at the foot of a page, with the text it heads on the next page,
// starts that page instead.
std::unique_ptr<QTextDocument> layOutPages(const QString& html, const PageStyle& style,
                                           QPaintDevice* device, QSizeF body);

// The page (from 1) on which a block begins.
int pageOfBlock(const QTextDocument& doc, const QTextBlock& block);

// Paragraphs that hold characters no font could show (they would print as
// empty boxes), cut to their first 80 characters.
QStringList paragraphsWithMissingGlyphs(const QTextDocument& doc);

// Paints every page; false when the writer fails.
bool paintPages(const QTextDocument& doc, const PageStyle& style, QPdfWriter& writer);

} // namespace kestrune::help
