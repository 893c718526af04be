#include "analisi/completamento.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

// A world with a place, a container with its list, an obstruction and the
// sections after them. Each "@" is an accented letter, written in UTF-8 or
// in code page 850 by the tests; INIZIO is written in lower case.
const char* const mondo =
    "[Luogo]\n"                // 1
    "NOMELUOGO=sala\n"         // 2
    "[Descrizione]\n"          // 3
    "Una sala.\n"              // 4
    "[EndDescrizione]\n"       // 5
    "[EndLuogo]\n"             // 6
    "[OggInLuogo]\n"           // 7
    "NOMELUOGO=sala\n"         // 8
    "[OggContenitore]\n"       // 9
    "NOMEOGGETTO=baule\n"      // 10
    "[EndOggContenitore]\n"    // 11
    "[OggInContenitore]\n"     // 12
    "[Oggetto]\n"              // 13
    "NOMEOGGETTO=pi@ma\n"      // 14
    "[EndOggetto]\n"           // 15
    "[EndOggInContenitore]\n"  // 16
    "[OggOstruzione]\n"        // 17
    "NOMEOGGETTO=grata\n"      // 18
    "REAGENTE=pi@m\n"          // 19
    "DIREZIONE=\n"             // 20
    "[EndOggOstruzione]\n"     // 21
    "[EndOggInLuogo]\n"        // 22
    "[Utente]\n"               // 23
    "INIZIO=sala\n"            // 24
    "[EndUtente]\n"            // 25
    "[PuntatoriALuogo]\n"      // 26
    "NOMELUOGO=sala\n"         // 27
    "NORD=\n"                  // 28
    "[EndPuntatoriALuogo]\n"   // 29
    "[Luogo]\n"                // 30
    "NOMELUOGO=cella\n"        // 31
    "SUD=\n"                   // 32
    "[EndLuogo]\n";            // 33

struct caso {
  const char* nome;
  unsigned long riga, colonna;
  unsigned long da, a;
  std::vector<std::string> offerti, esclusi;
};

// Columns count the author's characters: the accented letter is one in
// either encoding.
const caso casi[] = {
    {"nel testo di un luogo solo la sua chiusura",
     4,
     0,
     0,
     0,
     {"[EndDescrizione]"},
     {"NOMELUOGO", "[EndLuogo]"}},
    {"in un luogo le sue chiavi e i blocchi",
     2,
     3,
     0,
     3,
     {"NOMELUOGO", "ILLUMINAZIONE", "[Descrizione]", "[EndLuogo]"},
     {"ILLUMINABILE"}},
    {"dopo il contenitore si apre la sua lista",
     12,
     1,
     0,
     1,
     {"[OggInContenitore]"},
     {"[Oggetto]", "NOMEOGGETTO"}},
    {"nella lista un oggetto o la sua fine",
     13,
     0,
     0,
     0,
     {"[Oggetto]", "[EndOggInContenitore]"},
     {"[OggInContenitore]"}},
    {"un'ostruzione ha DIREZIONE e APERTO",
     18,
     0,
     0,
     0,
     {"DIREZIONE", "APERTO", "[EndOggOstruzione]"},
     {"[EndOggetto]"}},
    {"gli oggetti dopo REAGENTE, fino al cursore",
     19,
     12,
     9,
     12,
     {"pi\xC3\xB9ma", "baule", "grata"},
     {"sala"}},
    {"una colonna oltre la riga vale la sua fine", 19, 40, 9, 13, {"baule"}, {}},
    {"le parole di una direzione", 20, 10, 10, 10, {"nord", "basso"}, {"NULL", "sala"}},
    {"i luoghi dopo NOMELUOGO fuori da un luogo", 8, 10, 10, 10, {"sala"}, {"baule"}},
    {"NOMELUOGO in un luogo ne definisce uno", 2, 10, 10, 10, {}, {"sala"}},
    {"chiavi scritte in minuscolo", 24, 7, 7, 7, {"sala"}, {}},
    {"un'uscita porta a un luogo o a NULL", 28, 5, 5, 5, {"sala", "cella", "NULL"}, {"baule"}},
    {"una direzione fuori dalle uscite non porta a NULL", 32, 4, 4, 4, {"sala", "cella"}, {"NULL"}},
    {"fuori da ogni sezione le sezioni", 34, 0, 0, 0, {"[Titolo]", "[FineGioco]"}, {"[EndUtente]"}},
};

class Completamento : public ::testing::TestWithParam<bool> {};

TEST_P(Completamento, ProponeCioCheLaRigaAmmetteEContaICaratteriDellAutore) {
  const bool utf8 = GetParam();
  std::string testo = mondo;
  for (std::size_t at = testo.find('@'); at != std::string::npos; at = testo.find('@')) {
    testo.replace(at, 1, utf8 ? "\xC3\xB9" : "\x97");
  }
  testo.replace(testo.find("INIZIO"), 6, "inizio");
  const risultato r = analizza(testo);
  ASSERT_EQ(r.convertito, utf8);
  const righe_testo righe(testo);
  for (const caso& c : casi) {
    SCOPED_TRACE(c.nome);
    const completamento esito = completa(r, righe, c.riga, c.colonna);
    EXPECT_EQ(esito.da, c.da);
    EXPECT_EQ(esito.a, c.a);
    std::vector<std::string> etichette;
    for (const proposta& p : esito.proposte) {
      // A key is written with its "=", anything else as it is shown.
      EXPECT_EQ(p.testo, p.genere == genere_proposta::chiave ? p.etichetta + "=" : p.etichetta);
      etichette.push_back(p.etichetta);
    }
    // Names come back in UTF-8 from either file.
    for (const std::string& o : c.offerti) {
      EXPECT_NE(std::find(etichette.begin(), etichette.end(), o), etichette.end()) << o;
    }
    for (const std::string& o : c.esclusi) {
      EXPECT_EQ(std::find(etichette.begin(), etichette.end(), o), etichette.end()) << o;
    }
  }
}

INSTANTIATE_TEST_SUITE_P(Codifiche, Completamento, ::testing::Values(true, false));

}  // namespace
