#include "analisi/analisi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <tuple>

namespace {

// A small world with every kind of part: two places, objects in a place, in
// a container and in a hiding place, the backpack, links both ways and one
// way, an obstruction, the start and the end.
const char* const mondo =
    "[Titolo]\n"                // 1
    "Il faro\n"                 // 2
    "[EndTitolo]\n"             // 3
    "[Luogo]\n"                 // 4
    "NOMELUOGO=molo\n"          // 5
    "SOPRANOME=Il molo\n"       // 6
    "[Descrizione]\n"           // 7
    "Un molo di legno.\n"       // 8
    "Assi marce.\n"             // 9
    "[EndDescrizione]\n"        // 10
    "[EndLuogo]\n"              // 11
    "[Luogo]\n"                 // 12
    "NOMELUOGO=faro\n"          // 13
    "ILLUMINAZIONE=FALSE\n"     // 14
    "[EndLuogo]\n"              // 15
    "[Luogo]\n"                 // 16
    "NOMELUOGO=scoglio\n"       // 17
    "[EndLuogo]\n"              // 18
    "[OggInLuogo]\n"            // 19
    "NOMELUOGO=molo\n"          // 20
    "[OggContenitore]\n"        // 21
    "NOMEOGGETTO=cassa\n"       // 22
    "DESCRIZIONE=Una cassa.\n"  // 23
    "[EndOggContenitore]\n"     // 24
    "[OggInContenitore]\n"      // 25
    "[Oggetto]\n"               // 26
    "NOMEOGGETTO=chiave\n"      // 27
    "[EndOggetto]\n"            // 28
    "[EndOggInContenitore]\n"   // 29
    "[OggOstruzione]\n"         // 30
    "NOMEOGGETTO=porta\n"       // 31
    "DIREZIONE=nord\n"          // 32
    "APRIBILE=TRUE\n"           // 33
    "REAGENTE=chiave\n"         // 34
    "[EndOggOstruzione]\n"      // 35
    "[EndOggInLuogo]\n"         // 36
    "[Zaino]\n"                 // 37
    "[Oggetto]\n"               // 38
    "NOMEOGGETTO=lume\n"        // 39
    "REAGENTE=fiammiferi\n"     // 40
    "[EndOggetto]\n"            // 41
    "[EndZaino]\n"              // 42
    "[PuntatoriALuogo]\n"       // 43
    "NOMELUOGO=molo\n"          // 44
    "NORD=faro\n"               // 45
    "EST=scoglio\n"             // 46
    "OSTRUZIONENORD=Chiuso.\n"  // 47
    "NOMELUOGO=faro\n"          // 48
    "SUD=molo\n"                // 49
    "[EndPuntatoriALuogo]\n"    // 50
    "[Utente]\n"                // 51
    "INIZIO=molo\n"             // 52
    "[EndUtente]\n"             // 53
    "[FineGioco]\n"             // 54
    "FINELUOGO=faro\n"          // 55
    "OBJ=chiave\n"              // 56
    "[MsgFineGioco]\n"          // 57
    "Fine.\n"                   // 58
    "[EndMsgFineGioco]\n"       // 59
    "[EndFineGioco]\n";         // 60

std::string nome_di(const risultato& r, long i) {
  return i < 0 ? "-" : r.simboli[static_cast<std::size_t>(i)].nome;
}

TEST(Analisi, IlProfiloElencaSezioniERecordConLeRigheEIlContenitore) {
  const risultato r = analizza(mondo);
  // genere, nome, prima, ultima, dentro
  using voce = std::tuple<genere_simbolo, std::string, unsigned long, unsigned long, std::string>;
  const std::vector<voce> attese = {
      {genere_simbolo::sezione, "[Titolo]", 1, 3, "-"},
      {genere_simbolo::luogo, "molo", 4, 11, "-"},
      {genere_simbolo::luogo, "faro", 12, 15, "-"},
      {genere_simbolo::luogo, "scoglio", 16, 18, "-"},
      {genere_simbolo::sezione, "[OggInLuogo]", 19, 36, "-"},
      // The container's symbol spans its content list too.
      {genere_simbolo::contenitore, "cassa", 21, 29, "[OggInLuogo]"},
      {genere_simbolo::oggetto, "chiave", 26, 28, "cassa"},
      {genere_simbolo::ostruzione, "porta", 30, 35, "[OggInLuogo]"},
      {genere_simbolo::sezione, "[Zaino]", 37, 42, "-"},
      {genere_simbolo::oggetto, "lume", 38, 41, "[Zaino]"},
      {genere_simbolo::sezione, "[PuntatoriALuogo]", 43, 50, "-"},
      {genere_simbolo::sezione, "[Utente]", 51, 53, "-"},
      {genere_simbolo::sezione, "[FineGioco]", 54, 60, "-"},
  };
  std::vector<voce> trovate;
  for (const simbolo& s : r.simboli) {
    trovate.emplace_back(s.genere, s.nome, s.prima, s.ultima, nome_di(r, s.dentro));
  }
  EXPECT_EQ(trovate, attese);
  // Where the name is written, and the hover text.
  EXPECT_EQ(r.simboli[1].nome_dove.riga, 5u);
  EXPECT_EQ(r.simboli[1].nome_dove.colonna, 10u);
  EXPECT_EQ(r.simboli[1].nome_dove.fine, 14u);
  EXPECT_EQ(r.simboli[1].descrizione, "Un molo di legno.");
  EXPECT_EQ(r.simboli[5].descrizione, "Una cassa.");
  EXPECT_TRUE(r.diagnostiche.size() == 1 && r.diagnostiche[0].codice == "oggetto-inesistente")
      << "only the lamp's missing reagent";
}

TEST(Analisi, IRiferimentiPortanoAllaDefinizioneOANulla) {
  const risultato r = analizza(mondo);
  // a_luogo, nome, riga, colonna, fine, what it resolves to
  using voce =
      std::tuple<bool, std::string, unsigned long, unsigned long, unsigned long, std::string>;
  const std::vector<voce> attesi = {
      {true, "molo", 20, 10, 14, "molo"},     {false, "chiave", 34, 9, 15, "chiave"},
      {false, "fiammiferi", 40, 9, 19, "-"},  {true, "molo", 44, 10, 14, "molo"},
      {true, "faro", 45, 5, 9, "faro"},       {true, "scoglio", 46, 4, 11, "scoglio"},
      {true, "faro", 48, 10, 14, "faro"},     {true, "molo", 49, 4, 8, "molo"},
      {true, "molo", 52, 7, 11, "molo"},      {true, "faro", 55, 10, 14, "faro"},
      {false, "chiave", 56, 4, 10, "chiave"},
  };
  std::vector<voce> trovati;
  for (const riferimento& f : r.riferimenti) {
    trovati.emplace_back(f.a_luogo, f.nome, f.dove.riga, f.dove.colonna, f.dove.fine,
                         nome_di(r, f.definizione));
  }
  EXPECT_EQ(trovati, attesi);
}

TEST(Analisi, LaMappaHaILuoghiInOrdineDiNomeELeUscite) {
  const risultato r = analizza(mondo);
  // nome, titolo, buio, partenza, fine, raggiungibile, its record's line
  using nodo = std::tuple<std::string, std::string, bool, bool, bool, bool, unsigned long>;
  const std::vector<nodo> attesi = {
      {"faro", "faro", true, false, true, true, 12},
      {"molo", "Il molo", false, true, false, true, 4},
      {"scoglio", "scoglio", false, false, false, true, 16},
  };
  std::vector<nodo> trovati;
  for (const nodo_mappa& n : r.mappa.nodi) {
    ASSERT_GE(n.simbolo, 0);
    EXPECT_EQ(n.riga, r.simboli[static_cast<std::size_t>(n.simbolo)].prima) << n.nome;
    trovati.emplace_back(n.nome, n.titolo, n.buio, n.partenza, n.fine, n.raggiungibile, n.riga);
  }
  EXPECT_EQ(trovati, attesi);
  // da, a, direzione, ostruzione, senso unico, the link line
  using uscita = std::tuple<long, long, int, std::string, bool, unsigned long>;
  const std::vector<uscita> attese = {
      {0, 1, 1, "", false, 49},         // faro sud -> molo
      {1, 0, 0, "Chiuso.", false, 45},  // molo nord -> faro, obstructed
      {1, 2, 2, "", true, 46},          // molo est -> scoglio, no way back
  };
  std::vector<uscita> trovate;
  for (const uscita_mappa& u : r.mappa.uscite) {
    trovate.emplace_back(u.da, u.a, u.direzione, u.ostruzione, u.senso_unico, u.dove.riga);
  }
  EXPECT_EQ(trovate, attese);
}

TEST(Analisi, UnLuogoSenzaCollegamentiNonERaggiungibile) {
  std::string testo = mondo;
  testo.replace(testo.find("EST=scoglio\n"), 12, "");
  const risultato r = analizza(testo);
  ASSERT_EQ(r.mappa.nodi.size(), 3u);
  EXPECT_FALSE(r.mappa.nodi[2].raggiungibile);
  EXPECT_EQ(r.mappa.uscite.size(), 2u);
}

// Applies the first fix of every diagnostic (from the last to the first, so
// the earlier positions still hold; at one position a replacement before an
// insertion, which then stands before what replaced the line). The texts here are ASCII: characters
// are bytes.
std::string corretto(const std::string& testo, const risultato& r) {
  std::vector<std::size_t> inizi{0};
  for (std::size_t p = 0; p < testo.size(); ++p) {
    if (testo[p] == '\n') inizi.push_back(p + 1);
  }
  std::vector<const correzione*> tutte;
  for (const diagnostica& d : r.diagnostiche) {
    if (!d.correzioni.empty()) tutte.push_back(&d.correzioni[0]);
  }
  std::sort(tutte.begin(), tutte.end(), [](const correzione* a, const correzione* b) {
    return std::tie(a->dove.riga, a->dove.colonna, a->dove.fine) >
           std::tie(b->dove.riga, b->dove.colonna, b->dove.fine);
  });
  std::string fuori = testo;
  for (const correzione* c : tutte) {
    const std::size_t inizio =
        c->dove.riga - 1 < inizi.size() ? inizi[c->dove.riga - 1] : testo.size();
    fuori.replace(inizio + c->dove.colonna, c->dove.fine - c->dove.colonna, c->testo);
  }
  return fuori;
}

// Broken copies of the world: what is replaced, by what, the code of the
// one diagnostic and whether its fix mends the file.
struct guasto {
  const char* prima;
  const char* dopo;
  const char* codice;
};

const guasto guasti[] = {
    {"[Luogo]\nNOMELUOGO=faro", "[Lugo]\nNOMELUOGO=faro", "marcatore-sconosciuto"},
    {"[Zaino]\n[Oggetto]", "[Zaino]\n[oggetto] ", "marcatore-sconosciuto"},
    {"[OggInContenitore]\n[Oggetto]", "[OggInContenitore]\n[Ogetto]", "marcatore-sconosciuto"},
    {"[EndOggetto]\n[EndOggInContenitore]", "[EndOgetto]\n[EndOggInContenitore]",
     "marcatore-sconosciuto"},
    {"[EndOggOstruzione]", "[EndOggetto]", "fine-sbagliata"},
    {"[EndDescrizione]\n", "", "manca-fine"},
    {"[EndLuogo]\n[Luogo]\nNOMELUOGO=faro", "\n[Luogo]\nNOMELUOGO=faro", "manca-fine"},
    {"[EndOggInContenitore]\n", "", "manca-fine"},
    {"[EndZaino]\n", "\n\n", "manca-fine"},
    {"[EndFineGioco]\n", "", "manca-fine"},
    {"[EndFineGioco]\n", "[EndFineGioco", "manca-fine"},
    {"NOMEOGGETTO=cassa", "NOMEOGGETTO=cassa\nDESCRIZIONE  =Vuota.", "chiave-con-spazio"},
    // The name is still read: the key that OBJ and REAGENTE name exists.
    {"NOMEOGGETTO=chiave", "NOMEOGGETTO =chiave", "chiave-con-spazio"},
};

TEST(Analisi, OgniGuastoDaUnaDiagnosiELaSuaCorrezioneLoRipara) {
  std::string sano = mondo;
  sano.replace(sano.find("REAGENTE=fiammiferi\n"), 20, "");
  ASSERT_TRUE(analizza(sano).diagnostiche.empty());
  for (const guasto& g : guasti) {
    std::string rotto = sano;
    const std::size_t p = rotto.find(g.prima);
    ASSERT_NE(p, std::string::npos) << g.prima;
    rotto.replace(p, std::string(g.prima).size(), g.dopo);
    const risultato r = analizza(rotto);
    ASSERT_EQ(r.diagnostiche.size(), 1u) << rotto << "\n" << r.diagnostiche.back().messaggio;
    EXPECT_EQ(r.diagnostiche[0].codice, g.codice) << r.diagnostiche[0].messaggio;
    ASSERT_EQ(r.diagnostiche[0].correzioni.size(), 1u) << g.dopo;
    const std::string riparato = corretto(rotto, r);
    const risultato dopo = analizza(riparato);
    EXPECT_TRUE(dopo.diagnostiche.empty())
        << riparato << "\n"
        << (dopo.diagnostiche.empty() ? "" : dopo.diagnostiche[0].messaggio);
  }
}

TEST(Analisi, UnaFineMancanteEUnMarcatoreSbagliatoDopoSonoDueDiagnosiEDueCorrezioni) {
  std::string testo = mondo;
  testo.replace(testo.find("REAGENTE=fiammiferi\n"), 20, "");
  testo.replace(testo.find("[EndLuogo]\n[Luogo]\nNOMELUOGO=faro"), 19, "[Lugo]\n");
  const risultato r = analizza(testo);
  ASSERT_EQ(r.diagnostiche.size(), 2u);
  EXPECT_EQ(r.diagnostiche[0].codice, "manca-fine");
  EXPECT_EQ(r.diagnostiche[0].dove.riga, 4u);
  EXPECT_EQ(r.diagnostiche[1].codice, "marcatore-sconosciuto");
  EXPECT_EQ(r.diagnostiche[1].dove.riga, 11u);
  // Both places are there, and the one after the mistakes has its own name.
  ASSERT_EQ(r.mappa.nodi.size(), 3u);
  EXPECT_TRUE(analizza(corretto(testo, r)).diagnostiche.empty());
}

TEST(Analisi, InUnFileUtf8LeColonneContanoICaratteriDellAutore) {
  // "è…x" is three characters, five bytes converted ("è" one, "…" three dots).
  std::string testo = mondo;
  testo.replace(testo.find("EST=scoglio"), 11, "EST=\xC3\xA8\xE2\x80\xA6x");
  testo.replace(testo.find("Assi marce."), 11, "Assi \xC3\xA8 \xE2\x82\xAC marce.");
  const risultato r = analizza(testo);
  EXPECT_TRUE(r.convertito);
  const auto rif = std::find_if(r.riferimenti.begin(), r.riferimenti.end(),
                                [](const riferimento& f) { return f.dove.riga == 46; });
  ASSERT_NE(rif, r.riferimenti.end());
  EXPECT_EQ(rif->nome, "\xC3\xA8...x");  // read converted, given back in UTF-8
  EXPECT_EQ(rif->dove.colonna, 4u);
  EXPECT_EQ(rif->dove.fine, 7u);
  // The euro sign: an error at its own character, and the rest is read.
  ASSERT_FALSE(r.diagnostiche.empty());
  const diagnostica& euro = r.diagnostiche.front();
  EXPECT_EQ(euro.codice, "carattere-mancante");
  EXPECT_EQ(euro.dove.riga, 9u);
  EXPECT_EQ(euro.dove.colonna, 7u);
  EXPECT_EQ(euro.dove.fine, 8u);
  EXPECT_EQ(r.mappa.nodi.size(), 3u);
}

TEST(Analisi, IlMondoPredefinitoNonHaDiagnosiEOgniTroncamentoRestaNeiLimiti) {
  const char* sorgenti = std::getenv("VELT_SORGENTI");
  ASSERT_NE(sorgenti, nullptr);
  std::ifstream file(std::string(sorgenti) + "/worlds/mondo.ini", std::ios::binary);
  std::ostringstream tutto;
  tutto << file.rdbuf();
  const std::string testo = tutto.str();
  ASSERT_FALSE(testo.empty());
  const risultato r = analizza(testo);
  EXPECT_TRUE(r.diagnostiche.empty());
  EXPECT_FALSE(r.mappa.nodi.empty());
  // Cut anywhere, the file still gets an answer whose stretches lie on its
  // lines, and whose references name real symbols.
  for (std::size_t taglio = 0; taglio < testo.size(); taglio += 211) {
    const std::string parte = testo.substr(0, taglio);
    const risultato t = analizza(parte);
    const auto righe = static_cast<unsigned long>(std::count(parte.begin(), parte.end(), '\n'));
    for (const diagnostica& d : t.diagnostiche) {
      EXPECT_LE(d.dove.riga, righe + 1) << taglio;
      EXPECT_LE(d.dove.colonna, d.dove.fine) << taglio;
    }
    for (const riferimento& f : t.riferimenti) {
      EXPECT_LT(f.definizione, static_cast<long>(t.simboli.size()));
    }
    for (const simbolo& s : t.simboli) EXPECT_LE(s.prima, s.ultima) << taglio;
  }
}

}  // namespace
