#include "help_pdf.h"

#include "paged_layout.h"
#include "text_extraction.h"

#include <QBuffer>
#include <QFile>
#include <QFontDatabase>
#include <QPageSize>
#include <QPdfWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextBlock>
#include <QTextDocument>

#include <algorithm>
#include <memory>

namespace kestrune::help {
namespace {

constexpr int kResolution = 1200;

// The contents' page numbers change the layout they describe; they settle
// within a few rounds, or the document is refused.
constexpr int kMaxContentsRounds = 8;

bool fontInstalled(const QString& family) {
    const QStringList families = QFontDatabase::families();
    return std::any_of(families.begin(), families.end(), [&family](const QString& f) {
        return f.compare(family, Qt::CaseInsensitive) == 0;
    });
}

struct Section {
    QString title;
    int page = 0;
    bool operator==(const Section&) const = default;
};

// The second-level headings: the document's sections.
QList<Section> sectionsOf(const QTextDocument& doc) {
    QList<Section> sections;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.blockFormat().headingLevel() == 2) {
            sections.append({block.text().trimmed(), pageOfBlock(doc, block)});
        }
    }
    return sections;
}

} // namespace

QString substitute(const QString& html, const QMap<QString, QString>& substitutions,
                   QString& error) {
    QString result = html;
    for (auto it = substitutions.cbegin(); it != substitutions.cend(); ++it) {
        result.replace(QLatin1Char('@') + it.key() + QLatin1Char('@'), it.value());
    }
    static const QRegularExpression leftOver(QStringLiteral("@[A-Z][A-Z_]*@"));
    const QRegularExpressionMatch match = leftOver.match(result);
    if (match.hasMatch()) {
        error = QStringLiteral("no value for %1").arg(match.captured());
        return {};
    }
    return result;
}

QString contentsHtml(const QString& title, const QStringList& headings, const QList<int>& pages) {
    QString html = QStringLiteral("<p class=\"contents-title\">%1</p>\n"
                                  "<table class=\"contents\" width=\"100%\" cellspacing=\"0\" "
                                  "cellpadding=\"3\">\n")
                       .arg(title.toHtmlEscaped());
    for (qsizetype i = 0; i < headings.size(); ++i) {
        const int page = i < pages.size() ? pages[i] : 0;
        html += QStringLiteral("<tr><td>%1</td><td align=\"right\" width=\"12%\">%2</td></tr>\n")
                    .arg(headings[i].toHtmlEscaped())
                    .arg(page);
    }
    html += QStringLiteral("</table>\n");
    return html;
}

HelpPdfResult makeHelpPdf(const HelpPdfOptions& options) {
    HelpPdfResult result;
    if (!fontInstalled(options.fontFamily)) {
        result.error = QStringLiteral("the font \"%1\" is not installed").arg(options.fontFamily);
        return result;
    }
    QFile in(options.source);
    if (!in.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("cannot read %1: %2").arg(options.source, in.errorString());
        return result;
    }
    const QString html =
        substitute(QString::fromUtf8(in.readAll()), options.substitutions, result.error);
    if (html.isEmpty()) {
        if (result.error.isEmpty()) {
            result.error = QStringLiteral("%1 is empty").arg(options.source);
        }
        return result;
    }

    QByteArray pdf;
    QBuffer buffer(&pdf);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    writer.setResolution(kResolution);
    writer.setCreator(QStringLiteral("Kestrune"));

    PageStyle style;
    style.styleSheet = options.styleSheet;
    style.font = QFont(options.fontFamily);
    style.font.setPointSizeF(options.fontPointSize);
    // No ligatures: a reader searching for "file" must find it, and a PDF
    // names a ligature's glyph by the one character U+FB01.
    style.font.setStyleStrategy(QFont::PreferNoShaping);
    style.footerFormat = options.footerFormat;

    // Lay out with the contents of the previous round until their page
    // numbers describe the layout they are part of.
    const bool hasContents = html.contains(QLatin1String(kContentsMarker));
    QList<Section> sections;
    std::unique_ptr<QTextDocument> doc;
    for (int round = 0;; ++round) {
        QString full = html;
        if (hasContents) {
            QStringList titles;
            QList<int> pages;
            for (const Section& s : sections) {
                titles.append(s.title);
                pages.append(s.page);
            }
            full.replace(QLatin1String(kContentsMarker),
                         contentsHtml(options.contentsTitle, titles, pages));
        }
        doc = layOutPages(full, style, &writer, bodySize(writer));
        const QList<Section> found = sectionsOf(*doc);
        if (!hasContents || found == sections) {
            break;
        }
        if (round == kMaxContentsRounds) {
            result.error = QStringLiteral("the page numbers of the contents do not settle");
            return result;
        }
        sections = found;
    }

    const QStringList missing = paragraphsWithMissingGlyphs(*doc);
    if (!missing.isEmpty()) {
        result.error = QStringLiteral("no font has glyphs for some characters of:\n  ") +
                       missing.join(QStringLiteral("\n  "));
        return result;
    }
    writer.setTitle(doc->metaInformation(QTextDocument::DocumentTitle));
    if (!paintPages(*doc, style, writer)) {
        result.error = QStringLiteral("the pages could not be painted");
        return result;
    }
    buffer.close();

    QSaveFile out(options.output);
    if (!out.open(QIODevice::WriteOnly) ||
        out.write(withPreferredCharacters(pdf, preferredCharacters(*doc))) < 0 || !out.commit()) {
        result.error = QStringLiteral("cannot write %1: %2").arg(options.output, out.errorString());
        return result;
    }
    result.ok = true;
    result.pages = doc->pageCount();
    return result;
}

} // namespace kestrune::help
