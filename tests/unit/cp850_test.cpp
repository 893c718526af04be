#include <gtest/gtest.h>

#include <string>

#include "console/cp850.h"

// An author's UTF-8 file becomes the code page 850 bytes the engine prints.
TEST(ConversioneCp850, AccentiECaratteriTipograficiDiventanoByteOSempliciEquivalenti) {
  const auto esito = converti_in_cp850(
      "\xEF\xBB\xBFperch\xC3\xA9 \xE2\x80\x9Cs\xC3\xAC\xE2\x80\x9D \xE2\x80\x98l\xE2\x80\x99"
      "\xE2\x80\x94 no\xE2\x80\xA6\xC2\xA0"
      "fine\n");
  ASSERT_TRUE(esito.riuscita);
  // The non-breaking space is in the code page (0xFF) and keeps its byte.
  EXPECT_EQ(esito.testo,
            "perch\x82 \"s\x8D\" 'l'- no...\xFF"
            "fine\n");
}

// A character the code page lacks stops the whole conversion at its line and
// column, counted in characters (an accented letter before it is one).
TEST(ConversioneCp850, CarattereMancanteFermaTuttoConLaRiga) {
  const auto emoji = converti_in_cp850("uno\ndue\ntr\xC3\xA8 \xF0\x9F\x98\x80\n");
  EXPECT_FALSE(emoji.riuscita);
  EXPECT_EQ(emoji.riga, 3u);
  EXPECT_EQ(emoji.colonna, 5u);
  EXPECT_EQ(emoji.carattere, "\xF0\x9F\x98\x80");
  EXPECT_TRUE(emoji.testo.empty());
  const auto rotto = converti_in_cp850("a\nb\xC3(\n");
  EXPECT_FALSE(rotto.riuscita);
  EXPECT_EQ(rotto.riga, 2u);
  EXPECT_EQ(rotto.colonna, 2u);
}

// Telling a UTF-8 world file from a code page 850 one, and the round trip of
// every byte of the code page.
TEST(ConversioneCp850, RiconosceUtf8EFaIlGiroCompleto) {
  EXPECT_TRUE(utf8_non_ascii("caff\xC3\xA8"));
  EXPECT_FALSE(utf8_non_ascii("caff\x8A"));
  EXPECT_FALSE(utf8_non_ascii("solo ascii"));
  EXPECT_FALSE(utf8_non_ascii("\xC0\x80"));      // overlong NUL
  EXPECT_FALSE(utf8_non_ascii("\xED\xA0\x80"));  // surrogate
  std::string tutti;
  for (int b = 1; b < 256; ++b) tutti += static_cast<char>(b);
  const std::string utf8 = cp850_a_utf8(tutti);
  EXPECT_EQ(utf8_a_cp850(utf8), tutti);
  const auto esito = converti_in_cp850(utf8);
  ASSERT_TRUE(esito.riuscita);
  EXPECT_EQ(esito.testo, tutti);
}

// The reason an author reads names the character, its code point and its
// column, or the stray byte; the tool's line puts the file and line first.
TEST(ConversioneCp850, IlMotivoNominaCarattereCodiceEColonna) {
  const auto euro = converti_in_cp850("[Titolo]\nCosta 5 \xE2\x82\xAC\n");
  ASSERT_FALSE(euro.riuscita);
  EXPECT_EQ(errore_conversione("m.ini", euro),
            "m.ini:2: errore: il carattere '\xE2\x82\xAC' (U+20AC), alla colonna 9, non esiste "
            "nella code page 850 e non ha un equivalente semplice");
  const auto emoji = converti_in_cp850("\xC3\xA8\xF0\x9F\x98\x80");
  EXPECT_EQ(motivo_conversione(emoji),
            "il carattere '\xF0\x9F\x98\x80' (U+1F600), alla colonna 2, non esiste nella code "
            "page 850 e non ha un equivalente semplice");
  EXPECT_EQ(motivo_conversione(converti_in_cp850("ab\xFF")),
            "il byte 0xFF, alla colonna 3, non \xC3\xA8 UTF-8 valido");
}
