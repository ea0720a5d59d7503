// The parts of make_help_pdf that decide what ends up in a document: the
// values put into its source, and the characters its text yields.

#include "help_pdf.h"
#include "text_extraction.h"

#include <gtest/gtest.h>

namespace kestrune::help {
namespace {

TEST(Substitute, PutsEveryValueInAndRefusesAForgottenOne) {
    QString error;
    EXPECT_EQ(substitute(QStringLiteral("<p>Version @VERSION@, @VERSION@</p>"),
                         {{QStringLiteral("VERSION"), QStringLiteral("0.1.0")}}, error),
              QStringLiteral("<p>Version 0.1.0, 0.1.0</p>"));
    EXPECT_TRUE(error.isEmpty());

    EXPECT_TRUE(substitute(QStringLiteral("Version @VERSON@"),
                           {{QStringLiteral("VERSION"), QStringLiteral("0.1.0")}}, error)
                    .isEmpty());
    EXPECT_EQ(error, QStringLiteral("no value for @VERSON@"));

    // An address is not a placeholder.
    error.clear();
    EXPECT_EQ(substitute(QStringLiteral("mail@example"), {}, error),
              QStringLiteral("mail@example"));
    EXPECT_TRUE(error.isEmpty());
}

TEST(ContentsHtml, ListsTheHeadingsWithTheirPagesEscaped) {
    const QString html = contentsHtml(QStringLiteral("Contents"),
                                      {QStringLiteral("Cut & paste"), QStringLiteral("Undo")}, {7});
    EXPECT_TRUE(html.contains(QStringLiteral("Cut &amp; paste</td><td align=\"right\" "
                                             "width=\"12%\">7</td>")));
    // A heading whose page is not known yet gets 0, which the next layout replaces.
    EXPECT_TRUE(html.contains(QStringLiteral("Undo</td><td align=\"right\" width=\"12%\">0</td>")));
}

// A ToUnicode map as the PDF writer writes it: glyph numbers first, then the
// characters, in ranges and single entries.
const QByteArray kMap = "/CIDInit /ProcSet findresource begin\n"
                        "1 begincodespacerange\n<0000> <FFFF>\nendcodespacerange\n"
                        "2 beginbfrange\n"
                        "<0000> <0000> <0000>\n"
                        "<2F6C> <2F6E> [<2F6C> <6B21> <D840DC0B> <2F00>]\n"
                        "endbfrange\n"
                        "1 beginbfchar\n<2F00> <2F00>\nendbfchar\n"
                        "endcmap\nendstream\n"
                        "<2F6C> outside a map\n";

TEST(PreferredCharacters, RenamesOnlyTheCharactersOfTheMaps) {
    const QHash<char16_t, char16_t> preferred = {{0x2f6c, 0x76ee}, {0x2f00, 0x4e00}};
    const QByteArray fixed = withPreferredCharacters(kMap, preferred);
    ASSERT_EQ(fixed.size(), kMap.size()) << "no offset in the file may move";
    EXPECT_TRUE(fixed.contains("<2F6C> <2F6E> [<76EE> <6B21> <D840DC0B> <4E00>]\n"));
    EXPECT_TRUE(fixed.contains("<2F00> <4E00>\nendbfchar"));
    EXPECT_TRUE(fixed.contains("<0000> <FFFF>\nendcodespacerange"));
    EXPECT_TRUE(fixed.endsWith("<2F6C> outside a map\n"));
}

TEST(PreferredCharacters, LeaveAPdfWithoutThemAlone) {
    EXPECT_EQ(withPreferredCharacters(kMap, {}), kMap);
    EXPECT_EQ(withPreferredCharacters(QByteArray("%PDF-1.4\n<2F6C>\n"), {{0x2f6c, 0x76ee}}),
              QByteArray("%PDF-1.4\n<2F6C>\n"));
}

} // namespace
} // namespace kestrune::help
