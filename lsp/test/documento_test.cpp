// The three ways of counting columns in an open document: bytes of its UTF-8
// text, the author's characters and the editor's UTF-16 units.
#include "lsp/documento.h"

#include <gtest/gtest.h>

namespace {

// "é" is two bytes and one unit; "𝄞" (U+1D11E) four bytes and two units.
const std::string TESTO =
    "a\xC3\xA9"
    "b\n"
    "\xF0\x9D\x84\x9E"
    "x\r\n"
    "fine";

struct da_editor {
  unsigned long riga, unita;
  std::size_t byte;       // where the text is cut
  unsigned long colonna;  // the author's column
};

TEST(Documento, PosizioniDellEditor) {
  const da_editor casi[] = {
      {0, 0, 0, 0},  {0, 1, 1, 1},  {0, 2, 3, 2},
      {0, 3, 4, 3},  {0, 9, 4, 3},  // past the end of the line: its end
      {1, 0, 5, 0},  {1, 1, 5, 0},  // inside a surrogate pair: the character's start
      {1, 2, 9, 1},  {1, 3, 10, 2}, {1, 4, 10, 2},  // the carriage return is not part of the line
      {2, 4, 16, 4}, {7, 0, 16, 0},                 // past the last line: the end of the text
  };
  const documento doc(TESTO);
  for (const da_editor& c : casi) {
    EXPECT_EQ(doc.byte(c.riga, c.unita), c.byte) << c.riga << ":" << c.unita;
    EXPECT_EQ(doc.colonna(c.riga, c.unita), c.colonna) << c.riga << ":" << c.unita;
  }
}

TEST(Documento, ColonneDellAutore) {
  struct caso {
    unsigned long riga, colonna, unita;
  };
  const caso casi[] = {{0, 2, 2}, {0, 3, 3}, {0, 40, 3}, {1, 1, 2},
                       {1, 2, 3}, {2, 4, 4}, {9, 1, 0}};
  const documento doc(TESTO);
  for (const caso& c : casi)
    EXPECT_EQ(doc.unita(c.riga, c.colonna), c.unita) << c.riga << ":" << c.colonna;
  EXPECT_EQ(doc.numero_righe(), 3u);
  EXPECT_EQ(doc.riga(1),
            "\xF0\x9D\x84\x9E"
            "x");
}

TEST(Documento, ModificheInSequenza) {
  documento doc(TESTO);
  doc.modifica(1, 2, 1, 3, "yy");  // "x" after the surrogate pair
  doc.modifica(0, 4, 2, 0, "\n");  // joins across lines
  EXPECT_EQ(doc.testo(),
            "a\xC3\xA9"
            "b\nfine");
  EXPECT_EQ(doc.numero_righe(), 2u);
  doc.modifica(1, 4, 0, 0, "");  // a reversed range is the same range
  EXPECT_EQ(doc.testo(), "");
  doc.sostituisci("uno\ndue");
  EXPECT_EQ(doc.riga(1), "due");
}

TEST(Documento, ByteCheNonSonoUtf8) {
  // A lone continuation byte and a truncated sequence count one unit each.
  const documento doc("\x80z\xE2\x82");
  EXPECT_EQ(doc.byte(0, 1), 1u);
  EXPECT_EQ(doc.colonna(0, 4), 4u);
  EXPECT_EQ(doc.unita(0, 4), 4u);
}

}  // namespace
