#include "text_extraction.h"

#include <QByteArrayView>
#include <QGlyphRun>
#include <QList>
#include <QRawFont>
#include <QSet>
#include <QString>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>

namespace kestrune::help {
namespace {

QList<QRawFont> fontsUsed(const QTextDocument& doc) {
    QList<QRawFont> fonts;
    for (QTextBlock block = doc.begin(); block.isValid(); block = block.next()) {
        if (block.layout() == nullptr) {
            continue;
        }
        // A layout of a document block holds no text of its own: the
        // range must be given.
        for (const QGlyphRun& run : block.layout()->glyphRuns(0, block.length())) {
            if (!fonts.contains(run.rawFont())) {
                fonts.append(run.rawFont());
            }
        }
    }
    return fonts;
}

bool isSurrogate(char16_t c) {
    return c >= 0xd800 && c <= 0xdfff;
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    return -1;
}

// The four hex digits at text, or -1.
int fourHex(const char* text) {
    int value = 0;
    for (int i = 0; i < 4; ++i) {
        const int digit = hexValue(text[i]);
        if (digit < 0) {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

void writeFourHex(char* text, char16_t c) {
    static const char digits[] = "0123456789ABCDEF";
    for (int i = 3; i >= 0; --i) {
        text[i] = digits[c & 0xf];
        c = static_cast<char16_t>(c >> 4);
    }
}

enum class Section { Other, Ranges, Chars };

// One line of a ToUnicode map: "<from> <to> [<u> <u> ...]" or
// "<from> <to> <u>" in a bfrange section, "<glyph> <u>" in a bfchar one. The
// leading glyph numbers stay; the characters are replaced.
void replaceInLine(char* line, qsizetype length, Section section,
                   const QHash<char16_t, char16_t>& preferred) {
    const int glyphTokens = section == Section::Ranges ? 2 : 1;
    int token = 0;
    for (qsizetype i = 0; i < length; ++i) {
        if (line[i] != '<') {
            continue;
        }
        qsizetype close = i + 1;
        while (close < length && line[close] != '>') {
            ++close;
        }
        if (close >= length) {
            return;
        }
        ++token;
        if (token > glyphTokens && close - i == 5) {
            const int c = fourHex(line + i + 1);
            const auto it = c < 0 ? preferred.end() : preferred.find(static_cast<char16_t>(c));
            if (it != preferred.end()) {
                writeFourHex(line + i + 1, it.value());
            }
        }
        i = close;
    }
}

} // namespace

QHash<char16_t, char16_t> preferredCharacters(const QTextDocument& doc) {
    QSet<char16_t> used;
    for (const QChar c : doc.toPlainText()) {
        if (!isSurrogate(c.unicode())) {
            used.insert(c.unicode());
        }
    }
    QString everyCharacter;
    for (char32_t c = 1; c <= 0xffff; ++c) {
        if (!isSurrogate(static_cast<char16_t>(c))) {
            everyCharacter.append(QChar(c));
        }
    }

    QHash<char16_t, char16_t> preferred;
    for (const QRawFont& font : fontsUsed(doc)) {
        const QList<quint32> glyphs = font.glyphIndexesForString(everyCharacter);
        if (glyphs.size() != everyCharacter.size()) {
            continue;
        }
        // The character the PDF writer names for each glyph: the lowest.
        QHash<quint32, char16_t> named;
        QHash<char16_t, quint32> glyphOf;
        for (qsizetype i = 0; i < glyphs.size(); ++i) {
            const char16_t c = everyCharacter.at(i).unicode();
            glyphOf.insert(c, glyphs[i]);
            if (glyphs[i] != 0 && !named.contains(glyphs[i])) {
                named.insert(glyphs[i], c);
            }
        }
        for (const char16_t c : used) {
            const quint32 glyph = glyphOf.value(c);
            const char16_t name = named.value(glyph, c);
            if (glyph != 0 && name != c && !used.contains(name)) {
                preferred.insert(name, c);
            }
        }
    }
    return preferred;
}

QByteArray withPreferredCharacters(const QByteArray& pdf,
                                   const QHash<char16_t, char16_t>& preferred) {
    static const QByteArray mapStart = "/CIDInit /ProcSet findresource begin";
    QByteArray out = pdf;
    if (preferred.isEmpty()) {
        return out;
    }
    qsizetype from = 0;
    while ((from = out.indexOf(mapStart, from)) >= 0) {
        const qsizetype end = out.indexOf("endstream", from);
        if (end < 0) {
            break;
        }
        Section section = Section::Other;
        qsizetype lineStart = from;
        while (lineStart < end) {
            qsizetype lineEnd = out.indexOf('\n', lineStart);
            if (lineEnd < 0 || lineEnd > end) {
                lineEnd = end;
            }
            const QByteArrayView line(out.constData() + lineStart, lineEnd - lineStart);
            if (line.endsWith("beginbfrange")) {
                section = Section::Ranges;
            } else if (line.endsWith("beginbfchar")) {
                section = Section::Chars;
            } else if (line.startsWith("endbf")) {
                section = Section::Other;
            } else if (section != Section::Other) {
                replaceInLine(out.data() + lineStart, lineEnd - lineStart, section, preferred);
            }
            lineStart = lineEnd + 1;
        }
        from = end;
    }
    return out;
}

} // namespace kestrune::help
