#pragma once
// Turns one help document, written as HTML, into a paged A4 PDF: a title
// page, a table of contents filled in with the page numbers of the section
// headings, and a footer with the document's title and the page number on
// every page after the first.

#include <QMap>
#include <QString>
#include <QStringList>

namespace kestrune::help {

struct HelpPdfOptions {
    QString source;     // the HTML file
    QString output;     // the PDF to write
    QString styleSheet; // CSS text applied to the document
    QString fontFamily; // the body font; it must be installed
    qreal fontPointSize = 10.0;
    QString footerFormat; // "%1" the page, "%2" the number of pages
    QString contentsTitle;
    QMap<QString, QString> substitutions; // @NAME@ in the source becomes the value
};

// Replaces every @NAME@ of substitutions in html. Fails (empty result and a
// message in error) when an @NAME@ of capitals is left over: a misspelt or
// forgotten value would otherwise end up printed in the document.
QString substitute(const QString& html, const QMap<QString, QString>& substitutions,
                   QString& error);

// The contents table for the given headings and their pages, as HTML.
QString contentsHtml(const QString& title, const QStringList& headings, const QList<int>& pages);

// The marker in a source that the contents table replaces.
inline constexpr char kContentsMarker[] = "<!--contents-->";

struct HelpPdfResult {
    bool ok = false;
    QString error;
    int pages = 0;
};

// Lays the document out and writes the PDF; the output is replaced only when
// the whole document was written.
HelpPdfResult makeHelpPdf(const HelpPdfOptions& options);

} // namespace kestrune::help
