#include "lsp/funzioni.h"

#include <algorithm>
#include <tuple>
#include <vector>

#include "console/cp850.h"

namespace {

json posizione(unsigned long riga, unsigned long unita) {
  return {{"line", riga}, {"character", unita}};
}

json luogo_lsp(const std::string& uri, const documento& doc, const intervallo& dove) {
  return {{"uri", uri}, {"range", intervallo_lsp(doc, dove)}};
}

bool di_luogo(const simbolo& s) { return s.genere == genere_simbolo::luogo; }
bool di_oggetto(const simbolo& s) {
  return s.genere != genere_simbolo::sezione && s.genere != genere_simbolo::luogo;
}

const char* nome_genere(genere_simbolo g) {
  switch (g) {
    case genere_simbolo::sezione:
      return "sezione";
    case genere_simbolo::luogo:
      return "luogo";
    case genere_simbolo::oggetto:
      return "oggetto";
    case genere_simbolo::ostruzione:
      return "ostruzione";
    case genere_simbolo::contenitore:
      return "contenitore";
    case genere_simbolo::nascondiglio:
      return "nascondiglio";
  }
  return "";
}

// LSP's SymbolKind: a section is a namespace, a place a class, an object an
// object.
int tipo_simbolo(genere_simbolo g) {
  if (g == genere_simbolo::sezione) return 3;
  if (g == genere_simbolo::luogo) return 5;
  return 19;
}

bool contiene(const intervallo& dove, unsigned long riga, unsigned long colonna) {
  return dove.riga == riga + 1 && dove.colonna <= colonna && colonna <= dove.fine;
}

// The place or object name under the editor's position: a use of a name or
// the name in its own definition.
struct nome_scelto {
  bool a_luogo = true;
  std::string nome;
  intervallo dove;
  long definizione = -1;  // the symbol it names, -1 for none
};

bool nome_in(const documento& doc, unsigned long riga, unsigned long unita, nome_scelto& scelto) {
  const risultato& a = doc.analisi();
  const unsigned long colonna = doc.colonna(riga, unita);
  for (const riferimento& r : a.riferimenti) {
    if (!contiene(r.dove, riga, colonna)) continue;
    const bool valida =
        r.definizione >= 0 && static_cast<std::size_t>(r.definizione) < a.simboli.size();
    scelto = {r.a_luogo, r.nome, r.dove, valida ? r.definizione : -1};
    return true;
  }
  for (std::size_t i = 0; i < a.simboli.size(); ++i) {
    const simbolo& s = a.simboli[i];
    if (s.genere == genere_simbolo::sezione || !contiene(s.nome_dove, riga, colonna)) continue;
    scelto = {di_luogo(s), s.nome, s.nome_dove, static_cast<long>(i)};
    return true;
  }
  return false;
}

// Every stretch where the name is written: its uses and, with
// `dichiarazioni`, its definitions; in file order.
std::vector<intervallo> occorrenze(const risultato& a, const nome_scelto& scelto,
                                   bool dichiarazioni) {
  std::vector<intervallo> tutte;
  for (const riferimento& r : a.riferimenti) {
    if (r.a_luogo == scelto.a_luogo && r.nome == scelto.nome) tutte.push_back(r.dove);
  }
  if (dichiarazioni) {
    for (const simbolo& s : a.simboli) {
      if (s.nome == scelto.nome && (scelto.a_luogo ? di_luogo(s) : di_oggetto(s))) {
        tutte.push_back(s.nome_dove);
      }
    }
  }
  std::sort(tutte.begin(), tutte.end(), [](const intervallo& x, const intervallo& y) {
    return std::tie(x.riga, x.colonna) < std::tie(y.riga, y.colonna);
  });
  return tutte;
}

json diagnostica_lsp(const documento& doc, const diagnostica& d) {
  return {{"range", intervallo_lsp(doc, d.dove)},
          {"severity", d.livello == gravita::errore ? 1 : 2},
          {"code", d.codice},
          {"source", "velt"},
          {"message", d.messaggio}};
}

}  // namespace

json intervallo_lsp(const documento& doc, const intervallo& dove) {
  if (dove.riga == 0) return {{"start", posizione(0, 0)}, {"end", posizione(0, 0)}};
  const unsigned long riga = dove.riga - 1;
  return {{"start", posizione(riga, doc.unita(riga, dove.colonna))},
          {"end", posizione(riga, doc.unita(riga, std::max(dove.colonna, dove.fine)))}};
}

json diagnostiche_lsp(const documento& doc) {
  json tutte = json::array();
  for (const diagnostica& d : doc.analisi().diagnostiche) tutte.push_back(diagnostica_lsp(doc, d));
  return tutte;
}

json simboli_lsp(const documento& doc) {
  const std::vector<simbolo>& simboli = doc.analisi().simboli;
  // Built from the last symbol back, so each one's children are complete
  // when it is moved into its parent (a parent always comes before them).
  std::vector<json> voci(simboli.size());
  std::vector<bool> figlio(simboli.size(), false);
  for (std::size_t i = 0; i < simboli.size(); ++i) {
    const simbolo& s = simboli[i];
    const unsigned long prima = s.prima > 0 ? s.prima - 1 : 0;
    const unsigned long ultima = std::max(s.ultima > 0 ? s.ultima - 1 : 0, prima);
    json selezione = intervallo_lsp(doc, s.nome_dove);
    json tutto = {{"start", posizione(prima, 0)},
                  {"end", posizione(ultima, doc.unita(ultima, doc.riga(ultima).size()))}};
    // The name's stretch must lie inside the whole symbol's.
    if (s.nome_dove.riga < s.prima || s.nome_dove.riga > s.ultima) selezione = tutto;
    voci[i] = {{"name", s.nome.empty() ? std::string("(senza nome)") : s.nome},
               {"detail", nome_genere(s.genere)},
               {"kind", tipo_simbolo(s.genere)},
               {"range", tutto},
               {"selectionRange", selezione},
               {"children", json::array()}};
    figlio[i] = s.dentro >= 0 && static_cast<std::size_t>(s.dentro) < i;
  }
  for (std::size_t i = simboli.size(); i-- > 0;) {
    if (!figlio[i]) continue;
    json& figli = voci[static_cast<std::size_t>(simboli[i].dentro)]["children"];
    figli.insert(figli.begin(), std::move(voci[i]));
  }
  json radice = json::array();
  for (std::size_t i = 0; i < simboli.size(); ++i) {
    if (!figlio[i]) radice.push_back(std::move(voci[i]));
  }
  return radice;
}

json definizione_lsp(const documento& doc, const std::string& uri, unsigned long riga,
                     unsigned long unita) {
  nome_scelto scelto;
  if (!nome_in(doc, riga, unita, scelto) || scelto.definizione < 0) return nullptr;
  const simbolo& s = doc.analisi().simboli[static_cast<std::size_t>(scelto.definizione)];
  return luogo_lsp(uri, doc, s.nome_dove);
}

json riferimenti_lsp(const documento& doc, const std::string& uri, unsigned long riga,
                     unsigned long unita, bool dichiarazioni) {
  nome_scelto scelto;
  if (!nome_in(doc, riga, unita, scelto)) return nullptr;
  json tutti = json::array();
  for (const intervallo& dove : occorrenze(doc.analisi(), scelto, dichiarazioni)) {
    tutti.push_back(luogo_lsp(uri, doc, dove));
  }
  return tutti;
}

json hover_lsp(const documento& doc, unsigned long riga, unsigned long unita) {
  nome_scelto scelto;
  if (!nome_in(doc, riga, unita, scelto)) return nullptr;
  std::string testo;
  if (scelto.definizione < 0) {
    testo = scelto.nome +
            (scelto.a_luogo ? ": nessun luogo ha questo nome" : ": nessun oggetto ha questo nome");
  } else {
    const simbolo& s = doc.analisi().simboli[static_cast<std::size_t>(scelto.definizione)];
    testo = std::string(nome_genere(s.genere)) + " " + s.nome;
    if (!s.descrizione.empty()) testo += "\n" + s.descrizione;
  }
  return {{"contents", {{"kind", "plaintext"}, {"value", testo}}},
          {"range", intervallo_lsp(doc, scelto.dove)}};
}

json prepara_rinomina_lsp(const documento& doc, unsigned long riga, unsigned long unita) {
  nome_scelto scelto;
  if (!nome_in(doc, riga, unita, scelto)) return nullptr;
  return {{"range", intervallo_lsp(doc, scelto.dove)}, {"placeholder", scelto.nome}};
}

json rinomina_lsp(const documento& doc, const std::string& uri, unsigned long riga,
                  unsigned long unita, const std::string& nuovo) {
  nome_scelto scelto;
  if (!nome_in(doc, riga, unita, scelto)) {
    throw richiesta_fallita{"qui non c'è il nome di un luogo o di un oggetto"};
  }
  const char* cosa = scelto.a_luogo ? "luogo" : "oggetto";
  if (nuovo.empty()) throw richiesta_fallita{"il nuovo nome è vuoto"};
  if (nuovo.find_first_of("\r\n") != std::string::npos) {
    throw richiesta_fallita{"il nuovo nome va su una riga sola"};
  }
  if (scelto.a_luogo && nuovo == "NULL") {
    throw richiesta_fallita{
        "NULL non può essere il nome di un luogo: vuol dire nessun collegamento"};
  }
  if (!converti_in_cp850(nuovo).riuscita) {
    throw richiesta_fallita{"il nuovo nome ha caratteri che il gioco non può scrivere"};
  }
  if (nuovo != scelto.nome) {
    for (const simbolo& s : doc.analisi().simboli) {
      if (s.nome == nuovo && (scelto.a_luogo ? di_luogo(s) : di_oggetto(s))) {
        throw richiesta_fallita{std::string("c'è già un ") + cosa + " di nome " + nuovo};
      }
    }
  }
  json modifiche = json::array();
  for (const intervallo& dove : occorrenze(doc.analisi(), scelto, true)) {
    modifiche.push_back({{"range", intervallo_lsp(doc, dove)}, {"newText", nuovo}});
  }
  return {{"changes", {{uri, modifiche}}}};
}

json azioni_lsp(const documento& doc, const std::string& uri, const json& intervallo,
                const json& contesto) {
  json azioni = json::array();
  if (contesto.contains("only")) {
    const json& solo = contesto.at("only");
    const bool rapide = std::any_of(solo.begin(), solo.end(), [](const json& tipo) {
      const std::string t = tipo.get<std::string>();
      return t == "quickfix" || t.empty();
    });
    if (!rapide) return azioni;
  }
  const unsigned long da = intervallo.at("start").at("line").get<unsigned long>();
  const unsigned long a = intervallo.at("end").at("line").get<unsigned long>();
  for (const diagnostica& d : doc.analisi().diagnostiche) {
    const unsigned long riga = d.dove.riga > 0 ? d.dove.riga - 1 : 0;
    if (d.correzioni.empty() || riga < da || riga > a) continue;
    for (const correzione& c : d.correzioni) {
      azioni.push_back({{"title", c.titolo},
                        {"kind", "quickfix"},
                        {"diagnostics", json::array({diagnostica_lsp(doc, d)})},
                        {"isPreferred", d.correzioni.size() == 1},
                        {"edit",
                         {{"changes",
                           {{uri, json::array({{{"range", intervallo_lsp(doc, c.dove)},
                                                {"newText", c.testo}}})}}}}}});
    }
  }
  return azioni;
}
