// make_help_pdf: one help document from its HTML source to an A4 PDF, at
// build time and without a display.
//
//   make_help_pdf [--css FILE] [--font-family NAME] [--font-size PT]
//                 [--footer FORMAT] [--contents-title TEXT] [--set NAME=VALUE]...
//                 SOURCE.html OUTPUT.pdf

#include "help_pdf.h"

#include <QCommandLineParser>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace {

int fail(const QString& message) {
    std::fprintf(stderr, "make_help_pdf: %s\n", qPrintable(message));
    return 1;
}

} // namespace

int main(int argc, char* argv[]) {
    // Fonts and text layout need a GUI application, not a screen. Build
    // machines often have no session, and so no runtime folder: lend one.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    const QTemporaryDir runtimeDir;
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtimeDir.isValid()) {
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtimeDir.path()));
    }
    QGuiApplication app(argc, argv);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Makes a PDF help document from HTML."));
    parser.addHelpOption();
    const QCommandLineOption css(QStringLiteral("css"), QStringLiteral("CSS for the document."),
                                 QStringLiteral("file"));
    const QCommandLineOption family(QStringLiteral("font-family"), QStringLiteral("Body font."),
                                    QStringLiteral("name"), QStringLiteral("DejaVu Sans"));
    const QCommandLineOption size(QStringLiteral("font-size"),
                                  QStringLiteral("Body size in points."), QStringLiteral("pt"),
                                  QStringLiteral("10"));
    const QCommandLineOption footer(QStringLiteral("footer"),
                                    QStringLiteral("Page label: %1 the page, %2 the pages."),
                                    QStringLiteral("format"), QStringLiteral("Page %1 of %2"));
    const QCommandLineOption contents(QStringLiteral("contents-title"),
                                      QStringLiteral("Title of the table of contents."),
                                      QStringLiteral("text"), QStringLiteral("Contents"));
    const QCommandLineOption set(QStringLiteral("set"), QStringLiteral("Replace @NAME@ by VALUE."),
                                 QStringLiteral("NAME=VALUE"));
    parser.addOptions({css, family, size, footer, contents, set});
    parser.addPositionalArgument(QStringLiteral("source"), QStringLiteral("The HTML source."));
    parser.addPositionalArgument(QStringLiteral("output"), QStringLiteral("The PDF to write."));
    parser.process(app);

    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) {
        return fail(QStringLiteral("expected SOURCE.html OUTPUT.pdf"));
    }
    kestrune::help::HelpPdfOptions options;
    options.source = positional[0];
    options.output = positional[1];
    options.fontFamily = parser.value(family);
    bool sizeOk = false;
    options.fontPointSize = parser.value(size).toDouble(&sizeOk);
    if (!sizeOk || options.fontPointSize < 4.0 || options.fontPointSize > 30.0) {
        return fail(QStringLiteral("--font-size wants a size in points"));
    }
    options.footerFormat = parser.value(footer);
    options.contentsTitle = parser.value(contents);
    if (parser.isSet(css)) {
        QFile cssFile(parser.value(css));
        if (!cssFile.open(QIODevice::ReadOnly)) {
            return fail(QStringLiteral("cannot read %1").arg(cssFile.fileName()));
        }
        options.styleSheet = QString::fromUtf8(cssFile.readAll());
    }
    for (const QString& pair : parser.values(set)) {
        const qsizetype equals = pair.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            return fail(QStringLiteral("--set wants NAME=VALUE, not %1").arg(pair));
        }
        options.substitutions.insert(pair.left(equals), pair.mid(equals + 1));
    }

    const kestrune::help::HelpPdfResult result = kestrune::help::makeHelpPdf(options);
    if (!result.ok) {
        return fail(QStringLiteral("%1: %2").arg(options.source, result.error));
    }
    return 0;
}
