#pragma once
// Keeps the text of a PDF searchable and copyable as it was written.
//
// A PDF maps each glyph back to one character. When a font draws several
// characters with the same glyph, the PDF writer names the lowest of them:
// in Japanese fonts the Kangxi radicals (U+2F00 on) share their glyphs with
// the ideographs, so "目次" would be found in the PDF as "⽬次". The fix
// looks at the characters the document really uses and names those instead.

#include <QByteArray>
#include <QHash>

class QTextDocument;

namespace kestrune::help {

// For every character that the PDF writer would name in place of one the
// document uses (same glyph, a character the document does not use): that
// character and the one to name instead.
QHash<char16_t, char16_t> preferredCharacters(const QTextDocument& doc);

// The PDF with the characters named by its ToUnicode maps replaced as
// preferred says. Only maps written uncompressed are changed, and every
// replacement keeps the length, so no offset in the file moves.
QByteArray withPreferredCharacters(const QByteArray& pdf,
                                   const QHash<char16_t, char16_t>& preferred);

} // namespace kestrune::help
