#include "paged_layout.h"

#include <QAbstractTextDocumentLayout>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QPainter>
#include <QPdfWriter>
#include <QSet>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace kestrune::help {
namespace {

// A4 margins; the footer sits in the bottom margin.
constexpr qreal kLeftMm = 22.0;
constexpr qreal kRightMm = 22.0;
constexpr qreal kTopMm = 20.0;
constexpr qreal kBottomMm = 24.0;
constexpr qreal kFooterRuleMm = 7.0; // below the body
constexpr qreal kFooterTextMm = 11.0;

qreal mmToPixels(qreal mm, const QPaintDevice& device) {
    return mm / 25.4 * device.logicalDpiY();
}

// The page (from 0) of a block's first or last line: a paragraph that
// begins at the foot of a page may have all its lines moved to the next.
int pageOfLine(const QTextDocument& doc, const QTextBlock& block, bool last) {
    qreal y = doc.documentLayout()->blockBoundingRect(block).top();
    const QTextLayout* layout = block.layout();
    if (layout != nullptr && layout->lineCount() > 0) {
        y += layout->lineAt(last ? layout->lineCount() - 1 : 0).y();
    }
    return static_cast<int>(std::floor(y / doc.pageSize().height()));
}

// The document laid out with the headings numbered in breaks (counted from 0
// in document order) starting new pages. Every format is set before the
// first layout: a document changed after it is laid out again only lazily,
// and parts of it would be missing from the pages.
std::unique_ptr<QTextDocument> layOut(const QString& html, const PageStyle& style,
                                      QPaintDevice* device, QSizeF body, const QSet<int>& breaks) {
    auto doc = std::make_unique<QTextDocument>();
    doc->documentLayout()->setPaintDevice(device);
    doc->setDefaultFont(style.font);
    doc->setDefaultStyleSheet(style.styleSheet);
    doc->setDocumentMargin(0);
    doc->setHtml(html);
    int heading = 0;
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0) {
            continue;
        }
        if (breaks.contains(heading)) {
            QTextBlockFormat format;
            format.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
            QTextCursor(block).mergeBlockFormat(format);
        }
        ++heading;
    }
    doc->setPageSize(body);
    doc->documentLayout()->documentSize(); // lays out the whole document now
    return doc;
}

// The first heading whose next paragraph begins on a later page, counted as
// in layOut; -1 when there is none.
int strandedHeading(const QTextDocument& doc) {
    int heading = 0;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 0) {
            continue;
        }
        const QTextBlock next = block.next();
        if (next.isValid() && pageOfLine(doc, next, false) > pageOfLine(doc, block, true)) {
            return heading;
        }
        ++heading;
    }
    return -1;
}

void paintFooter(QPainter& painter, const QTextDocument& doc, const PageStyle& style, int page,
                 int pages, QSizeF body) {
    const QPaintDevice& device = *painter.device();
    QFont font = style.font;
    font.setPointSizeF(style.font.pointSizeF() * 0.8);
    painter.setFont(QFont(font, painter.device()));
    const QFontMetricsF metrics(painter.font(), painter.device());
    const qreal left = mmToPixels(kLeftMm, device);
    const qreal right = left + body.width();
    const qreal bodyBottom = mmToPixels(kTopMm, device) + body.height();
    const qreal rule = bodyBottom + mmToPixels(kFooterRuleMm, device);
    const qreal baseline = bodyBottom + mmToPixels(kFooterTextMm, device);

    painter.setPen(QPen(QColor(0x9a, 0xa5, 0xb1), mmToPixels(0.2, device)));
    painter.drawLine(QPointF(left, rule), QPointF(right, rule));
    painter.setPen(QColor(0x55, 0x5f, 0x6b));
    painter.drawText(QPointF(left, baseline), doc.metaInformation(QTextDocument::DocumentTitle));
    const QString label = style.footerFormat.arg(page).arg(pages);
    painter.drawText(QPointF(right - metrics.horizontalAdvance(label), baseline), label);
}

} // namespace

QSizeF bodySize(const QPdfWriter& writer) {
    const QSizeF page = writer.pageLayout().fullRect(QPageLayout::Millimeter).size();
    return {std::floor(mmToPixels(page.width() - kLeftMm - kRightMm, writer)),
            std::floor(mmToPixels(page.height() - kTopMm - kBottomMm, writer))};
}

std::unique_ptr<QTextDocument> layOutPages(const QString& html, const PageStyle& style,
                                           QPaintDevice* device, QSizeF body) {
    QSet<int> breaks;
    for (;;) {
        auto doc = layOut(html, style, device, body, breaks);
        const int stranded = strandedHeading(*doc);
        // A heading that already starts its page cannot be helped.
        if (stranded < 0 || breaks.contains(stranded)) {
            return doc;
        }
        breaks.insert(stranded);
    }
}

int pageOfBlock(const QTextDocument& doc, const QTextBlock& block) {
    return pageOfLine(doc, block, false) + 1;
}

QStringList paragraphsWithMissingGlyphs(const QTextDocument& doc) {
    QStringList missing;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        const QTextLayout* layout = block.layout();
        if (layout == nullptr) {
            continue;
        }
        // A layout of a document block holds no text of its own: the range
        // must be given.
        const QList<QGlyphRun> runs = layout->glyphRuns(0, block.length());
        const bool boxes = std::any_of(runs.begin(), runs.end(), [](const QGlyphRun& run) {
            return run.glyphIndexes().contains(0u);
        });
        if (boxes) {
            missing.append(block.text().left(80));
        }
    }
    return missing;
}

bool paintPages(const QTextDocument& doc, const PageStyle& style, QPdfWriter& writer) {
    QPainter painter;
    if (!painter.begin(&writer)) {
        return false;
    }
    const QSizeF body = doc.pageSize();
    const qreal left = mmToPixels(kLeftMm, writer);
    const qreal top = mmToPixels(kTopMm, writer);
    const int pages = doc.pageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0 && !writer.newPage()) {
            return false;
        }
        painter.save();
        painter.translate(left, top - page * body.height());
        QAbstractTextDocumentLayout::PaintContext context;
        context.clip = QRectF(0, page * body.height(), body.width(), body.height());
        context.palette.setColor(QPalette::Text, Qt::black);
        painter.setClipRect(context.clip);
        doc.documentLayout()->draw(&painter, context);
        painter.restore();
        if (page > 0) { // the title page carries no footer
            paintFooter(painter, doc, style, page + 1, pages, body);
        }
    }
    return painter.end();
}

} // namespace kestrune::help
