#include "analisi/completamento.h"

#include <algorithm>
#include <set>
#include <string_view>

#include "analisi/caricamento.h"
#include "world/righe.h"

// Inside a record, only the text blocks and the content lists that follow
// containers and hiding places are looked for on the lines themselves,
// since the analysis makes no symbol of them.

namespace {

const char* const SEZIONI[] = {"[Titolo]",          "[Zaino]",  "[Luogo]",    "[OggInLuogo]",
                               "[PuntatoriALuogo]", "[Utente]", "[FineGioco]"};
const char* const RECORD_OGGETTO[] = {"[Oggetto]", "[OggOstruzione]", "[OggContenitore]",
                                      "[OggNascondiglio]"};
const char* const CHIAVI_OGGETTO[] = {"NOMEOGGETTO", "DESCRIZIONE",  "SUGGERIMENTO",
                                      "REAGENTE",    "ILLUMINABILE", "TRASPORTABILE",
                                      "SPOSTABILE",  "APRIBILE",     "ACCESO"};
const char* const CHIAVI_LUOGO[] = {"NOMELUOGO", "SOPRANOME", "ILLUMINAZIONE", "STATO"};
const char* const DIREZIONI[] = {"NORD", "SUD", "EST", "OVEST", "ALTO", "BASSO"};
const char* const FLAG[] = {"ILLUMINABILE", "TRASPORTABILE", "SPOSTABILE",    "APRIBILE",
                            "ACCESO",       "APERTO",        "ILLUMINAZIONE", "STATO"};

class proposte {
public:
  explicit proposte(std::vector<proposta>& voci) : voci(voci) {}
  void aggiungi(const std::string& etichetta, genere_proposta genere, const std::string& testo) {
    if (etichetta.empty() || !viste.insert(etichetta).second) return;
    voci.push_back({etichetta, testo, genere});
  }
  void marcatore(const std::string& m) { aggiungi(m, genere_proposta::marcatore, m); }
  void chiave(const std::string& k) { aggiungi(k, genere_proposta::chiave, k + "="); }

private:
  std::vector<proposta>& voci;
  std::set<std::string> viste;
};

// The marker that closes `apertura`: "[Luogo]" -> "[EndLuogo]".
std::string chiusura(std::string_view apertura) { return "[End" + std::string(apertura.substr(1)); }

// The innermost symbol whose lines after its opening marker hold line `r`,
// or -1 outside every record and section.
long intorno(const std::vector<simbolo>& simboli, unsigned long r) {
  long scelto = -1;
  for (std::size_t i = 0; i < simboli.size(); ++i) {
    const simbolo& s = simboli[i];
    if (s.prima < r && r <= s.ultima) scelto = static_cast<long>(i);
    if (s.prima >= r) break;
  }
  return scelto;
}

// The text block opened and not yet closed between lines `da` and `a` (`a`
// excluded), among the pairs `blocchi` {opening, closing}; empty when none
// is open.
std::string blocco_aperto(const righe_testo& righe, unsigned long da, unsigned long a,
                          std::initializer_list<const char*> blocchi) {
  std::string aperto;
  for (unsigned long r = da; r < a; ++r) {
    const std::string_view linea = righe.riga(r);
    if (aperto.empty()) {
      for (const char* b : blocchi) {
        if (linea == b) aperto = b;
      }
    } else if (linea == chiusura(aperto)) {
      aperto.clear();
    }
  }
  return aperto;
}

// After a container or hiding-place record `c`, the first line that is not
// blank must open its list: true, with `apertura` set, when line `r` stands
// where the list opens (`dentro` false) or inside the open list (`dentro`
// true). The analysis counts the list among the record's lines.
bool in_lista(const righe_testo& righe, const simbolo& c, unsigned long r, std::string& apertura,
              bool& dentro) {
  if (c.genere != genere_simbolo::contenitore && c.genere != genere_simbolo::nascondiglio) {
    return false;
  }
  const std::string chiude_record = chiusura(marcatore_del_genere(c.genere));
  unsigned long k = c.prima + 1;
  while (k < r && righe.riga(k) != chiude_record) ++k;
  if (k >= r) return false;  // still inside the record itself
  apertura = c.genere == genere_simbolo::contenitore ? "[OggInContenitore]" : "[OggNascosti]";
  dentro = false;
  for (++k; k < r; ++k) {
    const std::string_view linea = righe.riga(k);
    if (linea.empty()) continue;
    if (!dentro && linea != apertura) return false;
    if (dentro && linea == chiusura(apertura)) return false;
    dentro = true;
  }
  return true;
}

// The last container or hiding place that opens after line `dopo` and
// before line `r`, or null.
const simbolo* ultimo_con_lista(const std::vector<simbolo>& simboli, unsigned long dopo,
                                unsigned long r) {
  const simbolo* ultimo = nullptr;
  for (const simbolo& s : simboli) {
    if (s.prima <= dopo) continue;
    if (s.prima >= r) break;
    if (s.genere == genere_simbolo::contenitore || s.genere == genere_simbolo::nascondiglio) {
      ultimo = &s;
    }
  }
  return ultimo;
}

void proponi_lista(const std::string& apertura, bool dentro, proposte& p) {
  if (dentro) {
    p.marcatore("[Oggetto]");
    p.marcatore(chiusura(apertura));
  } else {
    p.marcatore(apertura);
  }
}

// Markers and keys for the start of line `r`.
void all_inizio(const risultato& esito, const righe_testo& righe, unsigned long r, proposte& p) {
  const std::vector<simbolo>& simboli = esito.simboli;
  const long i = intorno(simboli, r);
  if (i < 0) {
    for (const char* m : SEZIONI) p.marcatore(m);
    return;
  }
  const simbolo& s = simboli[static_cast<std::size_t>(i)];
  const std::string apertura =
      s.genere == genere_simbolo::sezione ? s.nome : marcatore_del_genere(s.genere);
  if (apertura == "[Luogo]") {
    const std::string blocco =
        blocco_aperto(righe, s.prima + 1, r, {"[Descrizione]", "[Suggerimento]"});
    if (!blocco.empty()) {
      p.marcatore(chiusura(blocco));
      return;
    }
    for (const char* k : CHIAVI_LUOGO) p.chiave(k);
    p.marcatore("[Descrizione]");
    p.marcatore("[Suggerimento]");
  } else if (s.genere != genere_simbolo::sezione) {
    std::string lista;
    bool dentro = false;
    if (in_lista(righe, s, r, lista, dentro)) {
      proponi_lista(lista, dentro, p);
      return;
    }
    for (const char* k : CHIAVI_OGGETTO) p.chiave(k);
    if (s.genere == genere_simbolo::ostruzione) p.chiave("DIREZIONE");
    if (s.genere == genere_simbolo::ostruzione || s.genere == genere_simbolo::contenitore) {
      p.chiave("APERTO");
    }
  } else if (apertura == "[Zaino]" || apertura == "[OggInLuogo]") {
    std::string lista;
    bool dentro = false;
    const simbolo* c = ultimo_con_lista(simboli, s.prima, r);
    if (c != nullptr && in_lista(righe, *c, r, lista, dentro)) {
      proponi_lista(lista, dentro, p);
      return;
    }
    if (apertura == "[OggInLuogo]") p.chiave("NOMELUOGO");
    for (const char* m : RECORD_OGGETTO) p.marcatore(m);
  } else if (apertura == "[PuntatoriALuogo]") {
    p.chiave("NOMELUOGO");
    for (const char* d : DIREZIONI) p.chiave(d);
    for (const char* d : DIREZIONI) p.chiave(std::string("OSTRUZIONE") + d);
  } else if (apertura == "[Utente]") {
    p.chiave("INIZIO");
  } else if (apertura == "[FineGioco]") {
    if (blocco_aperto(righe, s.prima + 1, r, {"[MsgFineGioco]"}).empty()) {
      p.chiave("OBJ");
      p.chiave("FINELUOGO");
      p.marcatore("[MsgFineGioco]");
    } else {
      p.marcatore("[EndMsgFineGioco]");
      return;
    }
  }
  p.marcatore(chiusura(apertura));
}

// Values after the `=` of the key `chiave` on line `r`.
void dopo_uguale(const risultato& esito, unsigned long r, const std::string& chiave, proposte& p) {
  const std::vector<simbolo>& simboli = esito.simboli;
  const bool direzione =
      std::find(std::begin(DIREZIONI), std::end(DIREZIONI), chiave) != std::end(DIREZIONI);
  const long i = intorno(simboli, r);
  const simbolo* dentro = i < 0 ? nullptr : &simboli[static_cast<std::size_t>(i)];
  bool luoghi = direzione || chiave == "INIZIO" || chiave == "FINELUOGO";
  if (chiave == "NOMELUOGO") {
    // In a place record the name is being defined, not used.
    luoghi =
        dentro != nullptr && dentro->genere == genere_simbolo::sezione && dentro->nome != "[Luogo]";
  }
  const bool oggetti = chiave == "REAGENTE" || chiave == "OBJ";
  for (const simbolo& s : simboli) {
    if (luoghi && s.genere == genere_simbolo::luogo) {
      p.aggiungi(s.nome, genere_proposta::luogo, s.nome);
    }
    if (oggetti && s.genere != genere_simbolo::luogo && s.genere != genere_simbolo::sezione) {
      p.aggiungi(s.nome, genere_proposta::oggetto, s.nome);
    }
  }
  // NULL, no exit, where a direction is an exit.
  if (direzione && dentro != nullptr && dentro->nome == "[PuntatoriALuogo]") {
    p.aggiungi("NULL", genere_proposta::valore, "NULL");
  }
  if (chiave == "DIREZIONE") {
    for (const char* d : parole_direzione) p.aggiungi(d, genere_proposta::valore, d);
  }
  if (std::find(std::begin(FLAG), std::end(FLAG), chiave) != std::end(FLAG)) {
    p.aggiungi("TRUE", genere_proposta::valore, "TRUE");
    p.aggiungi("FALSE", genere_proposta::valore, "FALSE");
  }
}

// The byte of `linea` where character `colonna` starts (the line's end past
// it): with `utf8`, a character is a lead byte and its continuation bytes.
std::size_t byte_di(std::string_view linea, unsigned long colonna, bool utf8) {
  std::size_t b = 0;
  for (unsigned long c = 0; c < colonna && b < linea.size(); ++c) {
    ++b;
    while (utf8 && b < linea.size() && (static_cast<unsigned char>(linea[b]) & 0xC0) == 0x80) ++b;
  }
  return b;
}

// The characters of `testo`, counted as `byte_di` counts them.
unsigned long caratteri(std::string_view testo, bool utf8) {
  if (!utf8) return static_cast<unsigned long>(testo.size());
  return static_cast<unsigned long>(std::count_if(testo.begin(), testo.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

completamento completa(const risultato& r, const righe_testo& righe, unsigned long riga,
                       unsigned long colonna) {
  const std::string_view linea = righe.riga(riga);
  const std::string_view prima = linea.substr(0, byte_di(linea, colonna, r.convertito));
  completamento c;
  c.a = caratteri(prima, r.convertito);
  proposte p(c.proposte);
  const auto uguale = prima.find('=');
  if (uguale == std::string_view::npos) {
    all_inizio(r, righe, riga, p);
  } else {
    c.da = caratteri(prima.substr(0, uguale + 1), r.convertito);
    dopo_uguale(r, riga, in_maiuscolo(prima.substr(0, uguale)), p);
  }
  return c;
}
