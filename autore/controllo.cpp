#include "autore/controllo.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <vector>

#include "autore/comune.h"
#include "console/cp850.h"
#include "world/lettori.h"

namespace {

struct diagnosi {
  unsigned long riga;  // 0: the file as a whole
  bool errore;
  std::string testo;
};

// Every marker of the world file format.
const char* const marcatori[] = {
    "[Titolo]",
    "[EndTitolo]",
    "[Zaino]",
    "[EndZaino]",
    "[Luogo]",
    "[EndLuogo]",
    "[Descrizione]",
    "[EndDescrizione]",
    "[Suggerimento]",
    "[EndSuggerimento]",
    "[OggInLuogo]",
    "[EndOggInLuogo]",
    "[PuntatoriALuogo]",
    "[EndPuntatoriALuogo]",
    "[Utente]",
    "[EndUtente]",
    "[FineGioco]",
    "[EndFineGioco]",
    "[MsgFineGioco]",
    "[EndMsgFineGioco]",
    "[Oggetto]",
    "[EndOggetto]",
    "[OggOstruzione]",
    "[EndOggOstruzione]",
    "[OggContenitore]",
    "[EndOggContenitore]",
    "[OggNascondiglio]",
    "[EndOggNascondiglio]",
    "[OggInContenitore]",
    "[EndOggInContenitore]",
    "[OggNascosti]",
    "[EndOggNascosti]",
};

// The marker that `linea` resembles without being it: the same letters in
// another case, or blanks or tabs around it. Null when it resembles none.
const char* somiglia(const std::string& linea) {
  const auto inizio = linea.find_first_not_of(" \t");
  if (inizio == std::string::npos) return nullptr;
  const auto fine = linea.find_last_not_of(" \t");
  const std::string nudo = in_maiuscolo(std::string_view(linea).substr(inizio, fine - inizio + 1));
  for (const char* m : marcatori) {
    if (nudo == in_maiuscolo(m) && linea != m) return m;
  }
  return nullptr;
}

// The remark appended to a message about a line that resembles a marker.
std::string come_marcatore(const std::string& linea) {
  const char* m = somiglia(linea);
  if (m == nullptr) return "";
  return std::string(" (somiglia al marcatore ") + m +
         ", ma i marcatori vanno scritti esatti: stesse maiuscole, niente spazi attorno)";
}

// The opening marker of a record kind, from the word the readers name it by.
std::string marcatore(const std::string& genere) {
  if (genere == "ostruzione") return "[OggOstruzione]";
  if (genere == "contenitore") return "[OggContenitore]";
  if (genere == "nascondiglio") return "[OggNascondiglio]";
  if (genere == "luogo") return "[Luogo]";
  return "[Oggetto]";
}

// Hears the readers while the world loads. Remarks become diagnostics at
// once; names of places become diagnostics after the load, when it is known
// whether the place is defined later in the file or nowhere. Every line that
// would stop the game is reported and skipped, so one pass finds everything.
class raccoglitore : public osservatore {
public:
  bool segnala(evento e, unsigned long riga, const std::string& testo) override;
  void oggetto_letto(unsigned long riga, const oggetto& o, bool doppio) override;
  void luogo_letto(unsigned long riga, const luogo& l, bool doppio) override;

  void aggiungi(unsigned long riga, bool errore, std::string testo) {
    trovate.push_back({riga, errore, std::move(testo)});
  }
  // Turns the place names heard during the load into diagnostics.
  void risolvi_riferimenti();
  unsigned long riga_di(const oggetto& o) const {
    auto it = righe_oggetti.find(o.id());
    return it == righe_oggetti.end() ? 0 : it->second;
  }
  unsigned long riga_di(std::string_view luogo) const {
    auto it = righe_luoghi.find(std::string(luogo));
    return it == righe_luoghi.end() ? 0 : it->second;
  }

  std::vector<diagnosi> trovate;
  std::vector<std::pair<unsigned long, std::string>> richiesti;  // OBJ lines
  unsigned long ultima_riga = 0;
  bool inizio_mancante = false;  // INIZIO named a missing place: reported already
  bool fine_file = false;        // a part open at the end of the file: reported already

private:
  void in_lista(unsigned long riga, const std::string& linea);

  struct riferimento {
    evento e;
    unsigned long riga;
    std::string nome;
  };
  std::vector<riferimento> riferimenti;
  std::map<int, unsigned long> righe_oggetti;         // object number -> its record
  std::map<std::string, unsigned long> righe_luoghi;  // first record of each name
  std::string fine_derivato;  // closing marker of a derived record met in a list
};

bool raccoglitore::segnala(evento e, unsigned long riga, const std::string& testo) {
  ultima_riga = riga;
  switch (e) {
    case CHIAVE_SCONOSCIUTA:
      if (testo.empty()) {
        aggiungi(riga, false, "riga con la chiave vuota: è ignorata");
      } else if (testo.back() == ' ') {
        aggiungi(riga, false,
                 "la chiave " + tra_apici(testo) + " finisce con uno spazio: la riga è ignorata");
      } else {
        aggiungi(riga, false,
                 "chiave " + tra_apici(testo) + " sconosciuta qui: la riga è ignorata");
      }
      break;
    case VALORE_FLAG:
      aggiungi(riga, false,
               "il valore " + tra_apici(testo) + " non è né TRUE né FALSE: il flag non cambia");
      break;
    case MARCATORE_PERSO:
      aggiungi(riga, false,
               "manca la lista del contenitore o nascondiglio che precede: la riga " +
                   tra_apici(testo) + " va persa");
      break;
    case RIGA_IN_LISTA:
      in_lista(riga, testo);
      break;
    case SENZA_NOME:
      aggiungi(riga, false,
               "record " + marcatore(testo) + " senza " +
                   (testo == "luogo" ? "NOMELUOGO" : "NOMEOGGETTO") + ": non viene creato");
      break;
    case OGGETTO_RICHIESTO:
      richiesti.emplace_back(riga, testo);
      break;
    case RIGA_SENZA_UGUALE:
      aggiungi(riga, true,
               testo.empty() ? "riga vuota dentro un record: il gioco si ferma"
                             : "riga senza '=' dentro un record: " + tra_apici(testo) +
                                   come_marcatore(testo) + ": il gioco si ferma");
      break;
    case RIGA_IGNORATA:
      if (const char* m = somiglia(testo)) {
        aggiungi(riga, false,
                 "la riga " + tra_apici(testo) + " non è un marcatore: forse " + m +
                     "? I marcatori vanno scritti esatti (stesse maiuscole, niente spazi "
                     "attorno); la riga è ignorata");
      }
      break;
    case APERTO_A_FINE:
      // The innermost part is reported; the parts around it end with it.
      if (!fine_file) {
        fine_file = true;
        aggiungi(riga, true,
                 "il file finisce dentro " + testo + ", aperto qui: manca [End" + testo.substr(1));
      }
      break;
    case COLLEGAMENTO_MANCANTE:
    case OGGETTI_SENZA_LUOGO:
    case LUOGO_PUNTATORI:
    case LUOGO_INIZIO:
    case LUOGO_FINE:
      riferimenti.push_back({e, riga, testo});
      break;
  }
  return true;
}

// A derived record in a list is reported once, at its opening marker; the
// lines up to its closing marker are part of it.
void raccoglitore::in_lista(unsigned long riga, const std::string& linea) {
  if (!fine_derivato.empty()) {
    if (linea == fine_derivato) fine_derivato.clear();
    return;
  }
  if (marcatore_oggetto(linea)) {
    aggiungi(
        riga, false,
        "record derivato " + linea + " dentro una lista, dove vale solo [Oggetto]: è ignorato");
    fine_derivato = "[End" + linea.substr(1);
  } else {
    aggiungi(
        riga, false,
        "riga " + tra_apici(linea) + " dentro una lista" + come_marcatore(linea) + ": è ignorata");
  }
}

void raccoglitore::oggetto_letto(unsigned long riga, const oggetto& o, bool doppio) {
  ultima_riga = riga;
  righe_oggetti[o.id()] = riga;
  if (doppio) {
    aggiungi(riga, false,
             "il nome " + tra_apici(o.nome()) +
                 " è già presente dove l'oggetto va messo: l'oggetto viene scartato");
  }
}

void raccoglitore::luogo_letto(unsigned long riga, const luogo& l, bool doppio) {
  ultima_riga = riga;
  if (doppio) {
    aggiungi(riga, false,
             "il luogo " + tra_apici(l.name()) + " è già definito alla riga " +
                 std::to_string(riga_di(l.name())) + ": questo record viene scartato");
  } else {
    righe_luoghi.emplace(l.name(), riga);
  }
}

void raccoglitore::risolvi_riferimenti() {
  for (const riferimento& r : riferimenti) {
    if (r.e == OGGETTI_SENZA_LUOGO && r.nome.empty()) {
      aggiungi(r.riga, false, "oggetti prima di NOMELUOGO in [OggInLuogo]: non vengono creati");
      continue;
    }
    auto dove = righe_luoghi.find(r.nome);
    const std::string luogo = "il luogo " + tra_apici(r.nome) +
                              (dove == righe_luoghi.end() ? ", che non esiste"
                                                          : ", definito più avanti alla riga " +
                                                                std::to_string(dove->second));
    switch (r.e) {
      case COLLEGAMENTO_MANCANTE:
        aggiungi(r.riga, false, "il collegamento nomina " + luogo + ": non viene impostato");
        break;
      case OGGETTI_SENZA_LUOGO:
        aggiungi(r.riga, false,
                 "[OggInLuogo] nomina " + luogo + ": i suoi oggetti non vengono creati");
        break;
      case LUOGO_PUNTATORI:
        aggiungi(r.riga, true, "[PuntatoriALuogo] nomina " + luogo + ": il gioco si ferma");
        break;
      case LUOGO_INIZIO:
        inizio_mancante = true;
        aggiungi(r.riga, true, "INIZIO nomina " + luogo + ": il gioco si ferma");
        break;
      default:
        aggiungi(r.riga, true, "FINELUOGO nomina " + luogo + ": il gioco si ferma");
    }
  }
}

// An obstruction object can clear its direction when it can still be opened,
// can be moved, or can be used with its reagent (`usa` always names a tool).
bool libera(const oggetto& o) {
  const auto* ostr = dynamic_cast<const oggostr*>(&o);
  return ostr != nullptr &&
         ((o.apribile_() && !ostr->aperto()) || o.spostabile_() || !o.reagente_().empty());
}

bool direzione_valida(std::string_view parola) {
  return std::find_if(std::begin(parole_direzione), std::end(parole_direzione),
                      [&parola](const char* p) { return parola == p; }) !=
         std::end(parole_direzione);
}

// The checks that need the whole world: obstructions that nothing clears,
// names that name no object, places that cannot be reached.
void esamina_mondo(const ambiente& mondo, raccoglitore& r) {
  std::set<std::string, std::less<>> nomi;
  std::vector<const oggetto*> tutti;
  // Directions cleared by obstructions that the player can carry anywhere.
  std::set<std::string, std::less<>> portatili;
  auto raccogli = [&](const oggetto& o) {
    nomi.insert(o.nome());
    tutti.push_back(&o);
    if (libera(o) && o.prendi()) portatili.emplace(static_cast<const oggostr&>(o).direzione_());
  };
  per_ogni_oggetto(ambiente::zaino.contenuto(), raccogli);
  for (const auto& voce : mondo.luoghi_()) per_ogni_oggetto(voce.second->oggetti_(), raccogli);

  for (const oggetto* o : tutti) {
    if (const auto* ostr = dynamic_cast<const oggostr*>(o)) {
      if (!direzione_valida(ostr->direzione_())) {
        r.aggiungi(r.riga_di(*o), false,
                   "l'ostruzione " + tra_apici(o->nome()) + " ha DIREZIONE " +
                       tra_apici(ostr->direzione_()) +
                       ", che non è nord, sud, est, ovest, alto o basso");
      }
    }
    if (!o->reagente_().empty() && nomi.count(o->reagente_()) == 0) {
      r.aggiungi(r.riga_di(*o), false,
                 "il REAGENTE " + tra_apici(o->reagente_()) + " dell'oggetto " +
                     tra_apici(o->nome()) + " non è un oggetto del mondo");
    }
  }
  for (const auto& richiesto : r.richiesti) {
    if (nomi.count(richiesto.second) == 0) {
      r.aggiungi(
          richiesto.first, false,
          "l'oggetto richiesto " + tra_apici(richiesto.second) + " non è un oggetto del mondo");
    }
  }

  for (const auto& voce : mondo.luoghi_()) {
    const luogo& l = *voce.second;
    std::set<std::string, std::less<>> liberate = portatili;
    per_ogni_oggetto(l.oggetti_(), [&liberate](const oggetto& o) {
      if (libera(o)) liberate.emplace(static_cast<const oggostr&>(o).direzione_());
    });
    for (int d = 0; d < NUM_DIREZIONI; ++d) {
      if (!l.ostruzione(direzione(d)).empty() && liberate.count(parole_direzione[d]) == 0) {
        r.aggiungi(r.riga_di(voce.first), false,
                   std::string("l'uscita ") + parole_direzione[d] + " del luogo " +
                       tra_apici(voce.first) +
                       " è ostruita, ma nessuna ostruzione del luogo può liberarla");
      }
    }
  }

  if (mondo.luoghi_().empty() || r.inizio_mancante) return;
  const luogo* partenza = mondo.corrente();
  if (mondo.luoghi_().count(partenza->name()) == 0 ||
      mondo.luoghi_().at(partenza->name()).get() != partenza) {
    r.aggiungi(0, false,
               "manca il luogo di partenza (INIZIO in [Utente]): nessun luogo è raggiungibile");
    return;
  }
  std::set<const luogo*> visti{partenza};
  std::vector<const luogo*> da_fare{partenza};
  while (!da_fare.empty()) {
    const luogo* l = da_fare.back();
    da_fare.pop_back();
    for (int d = 0; d < NUM_DIREZIONI; ++d) {
      const luogo* meta = l->collegamento(direzione(d));
      if (meta != nullptr && visti.insert(meta).second) da_fare.push_back(meta);
    }
  }
  for (const auto& voce : mondo.luoghi_()) {
    if (visti.count(voce.second.get()) != 0) continue;
    r.aggiungi(
        r.riga_di(voce.first), false,
        std::string(voce.second.get() == mondo.finale() ? "il luogo di fine " : "il luogo ") +
            tra_apici(voce.first) + " non è raggiungibile dalla partenza");
  }
}

// A file saved in UTF-8 by the author's editor: the game would show every
// accented letter as two wrong characters. The warning names the first line
// with such a letter.
void controlla_utf8(const std::string& nome, raccoglitore& r) {
  std::string dati;
  std::ostringstream scarto;  // an unreadable file is reported on its own
  if (!leggi_tutto(nome, dati, scarto) || !utf8_non_ascii(dati)) return;
  const auto primo = std::find_if(dati.begin(), dati.end(),
                                  [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
  const unsigned long riga = 1 + static_cast<unsigned long>(std::count(dati.begin(), primo, '\n'));
  r.aggiungi(riga, false,
             "il file è in UTF-8: il gioco mostrerebbe ogni lettera accentata come due "
             "caratteri sbagliati; convertilo nella code page 850 con 'velt-autore converti " +
                 nome + " DESTINAZIONE'");
}

std::string conta(size_t n, const char* uno, const char* molti) {
  return std::to_string(n) + ' ' + (n == 1 ? uno : molti);
}

}  // namespace

int controlla(const std::string& nome, std::ostream& uscita) {
  raccoglitore r;
  partita p;
  bool letto = false;
  controlla_utf8(nome, r);
  try {
    letto = carica_file(nome, p, &r);
    if (!letto) r.aggiungi(0, true, "impossibile leggere il file");
  } catch (const arresto_fatale&) {
    r.aggiungi(r.ultima_riga, true, "la lettura si interrompe qui: il gioco si ferma");
  }
  if (letto) {
    r.risolvi_riferimenti();
    esamina_mondo(p.mondo, r);
  }
  std::stable_sort(r.trovate.begin(), r.trovate.end(),
                   [](const diagnosi& a, const diagnosi& b) { return a.riga < b.riga; });
  size_t errori = 0;
  for (const diagnosi& d : r.trovate) {
    uscita << nome << ':';
    if (d.riga != 0) uscita << d.riga << ':';
    uscita << (d.errore ? " errore: " : " avviso: ") << d.testo << '\n';
    if (d.errore) ++errori;
  }
  uscita << nome << ": " << conta(errori, "errore", "errori") << ", "
         << conta(r.trovate.size() - errori, "avviso", "avvisi") << '\n';
  ambiente::zaino.svuota();
  return static_cast<int>(errori);
}
