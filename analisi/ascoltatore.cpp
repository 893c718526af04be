#include "analisi/ascoltatore.h"

#include <algorithm>

#include "analisi/caricamento.h"
#include "console/cp850.h"
#include "world/lettori.h"

namespace {

constexpr std::string_view direzioni[] = {"NORD", "SUD", "EST", "OVEST", "ALTO", "BASSO"};

// The first line of a text block.
std::string prima_riga(std::string_view testo) {
  return in_utf8(testo.substr(0, testo.find('\n')));
}

// A line without the blanks around it, in upper case as keys are compared.
std::string normalizzata(std::string_view linea) {
  const auto inizio = linea.find_first_not_of(" \t");
  if (inizio == std::string_view::npos) return {};
  return in_maiuscolo(linea.substr(inizio, linea.find_last_not_of(" \t") - inizio + 1));
}

// Edit distance between `a` and `b`, a swap of two neighbours counting one.
std::size_t distanza(std::string_view a, std::string_view b) {
  std::vector<std::size_t> due(b.size() + 1), una(b.size() + 1), ora(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) una[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    ora[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t costo = a[i - 1] == b[j - 1] ? 0 : 1;
      ora[j] = std::min({una[j] + 1, ora[j - 1] + 1, una[j - 1] + costo});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        ora[j] = std::min(ora[j], due[j - 2] + 1);
      }
    }
    std::swap(due, una);
    std::swap(una, ora);
  }
  return una[b.size()];
}

// Whether `nuda` (a line as `normalizzata` gives it) resembles marker `m`:
// a few letters off, as a slip of the keyboard leaves it.
bool somiglia(std::string_view nuda, std::string_view m) {
  return distanza(nuda, in_maiuscolo(m)) <= std::max<std::size_t>(2, m.size() / 3);
}

// The closing marker of the part opened by `apertura`: the marker of the
// format that adds "End" to it.
std::string_view chiusura_di(std::string_view apertura) {
  for (std::string_view m : marcatori_formato) {
    if (m.size() == apertura.size() + 3 && m.substr(0, 4) == "[End" &&
        m.substr(4) == apertura.substr(1)) {
      return m;
    }
  }
  return {};
}

bool e_record(std::string_view m) { return m == "[Luogo]" || marcatore_oggetto(m); }

genere_simbolo genere_di(std::string_view m) {
  for (genere_simbolo g : {genere_simbolo::luogo, genere_simbolo::oggetto, genere_simbolo::ostruzione,
                           genere_simbolo::contenitore, genere_simbolo::nascondiglio}) {
    if (m == marcatore_del_genere(g)) return g;
  }
  return genere_simbolo::sezione;
}

// The opening marker of a record kind, from the word the readers name it by.
std::string marcatore_di(const std::string& genere) {
  if (genere == "ostruzione") return "[OggOstruzione]";
  if (genere == "contenitore") return "[OggContenitore]";
  if (genere == "nascondiglio") return "[OggNascondiglio]";
  if (genere == "luogo") return "[Luogo]";
  return "[Oggetto]";
}

std::string maiuscola_iniziale(std::string testo) {
  if (!testo.empty()) testo[0] = maiuscola(testo[0]);
  return testo;
}

}  // namespace

const char* marcatore_del_genere(genere_simbolo g) {
  switch (g) {
    case genere_simbolo::luogo:
      return "[Luogo]";
    case genere_simbolo::oggetto:
      return "[Oggetto]";
    case genere_simbolo::ostruzione:
      return "[OggOstruzione]";
    case genere_simbolo::contenitore:
      return "[OggContenitore]";
    case genere_simbolo::nascondiglio:
      return "[OggNascondiglio]";
    case genere_simbolo::sezione:
      break;
  }
  return nullptr;
}

diagnostica& ascoltatore::aggiungi(unsigned long riga, gravita g, std::string codice,
                                   std::string testo, unsigned long da, unsigned long a) {
  diagnostica d;
  d.livello = g;
  d.dove = {riga, riga == 0 ? 0 : da, riga == 0 ? 0 : a};
  d.codice = std::move(codice);
  d.messaggio = std::move(testo);
  r.diagnostiche.push_back(std::move(d));
  return r.diagnostiche.back();
}

// A remark inside a record waits for the record's end: if its closing
// marker turns out missing, a blank line or a key of what follows is part
// of that one mistake, not another.
void ascoltatore::nel_record(unsigned long riga, gravita g, std::string codice, std::string testo,
                             unsigned long da, unsigned long a) {
  aggiungi(riga, g, std::move(codice), std::move(testo), da, a);
  for (auto it = parti.rbegin(); it != parti.rend(); ++it) {
    if (!it->record) continue;
    it->sospese.push_back(std::move(r.diagnostiche.back()));
    r.diagnostiche.pop_back();
    return;
  }
}

// Whether the derived record opened by `marcatore` at line `riga` stands
// inside the list closed by `chiusura`: after its own closing marker the
// list goes on (another entry or the list's closing marker).
bool ascoltatore::resta_in_lista(unsigned long riga, std::string_view marcatore,
                                 std::string_view chiusura) const {
  const std::string fine = "[End" + std::string(marcatore.substr(1));
  unsigned long n = riga + 1;
  while (n <= righe.numero() && righe.riga(n) != fine) {
    if (marcatore_del_formato(righe.riga(n))) return true;  // not a record of ours: the game's way
    ++n;
  }
  for (++n; n <= righe.numero(); ++n) {
    const std::string_view dopo = righe.riga(n);
    if (!dopo.empty()) return dopo == chiusura || dopo == "[Oggetto]";
  }
  return true;
}

// The line after `riga` where the text block closed by `chiusura` ends:
// its closing marker, or a line resembling it (which is read as it), when
// it comes before the next line that is, or resembles, the opening marker
// of a section; 0 when a section opens first or the file ends. A block's
// closing marker never belongs past the next section, so a later one is
// another block's. Each line is searched at most once for each kind of
// block: the reader only moves on, and a search that starts inside the
// stretch searched last stops where that one did.
unsigned long ascoltatore::chiusura_che_segue(unsigned long riga, std::string_view chiusura) {
  auto c = std::find_if(ricerche.begin(), ricerche.end(),
                        [chiusura](const ricerca& x) { return x.chiusura == chiusura; });
  if (c == ricerche.end()) c = ricerche.insert(ricerche.end(), ricerca{chiusura});
  const unsigned long da = riga + 1;
  if (c->fermata != 0 && c->da <= da && da <= c->fermata) return c->fine;
  c->da = da;
  c->fine = 0;
  unsigned long n = da;
  for (; n <= righe.numero(); ++n) {
    const std::string_view linea = righe.riga(n);
    if (!forma_di_marcatore(linea)) continue;
    if (linea == chiusura) {
      c->fine = n;
      break;
    }
    if (marcatore_di_sezione(linea)) break;
    if (marcatore_del_formato(linea)) continue;
    const std::string nuda = normalizzata(linea);
    if (somiglia(nuda, chiusura)) {
      c->fine = n;
      break;
    }
    if (std::any_of(std::begin(marcatori_formato), std::end(marcatori_formato),
                    [&nuda](std::string_view m) {
                      return marcatore_di_sezione(m) && somiglia(nuda, m);
                    })) {
      break;
    }
  }
  c->fermata = n;
  return c->fine;
}

// In a text block, a line shaped like the marker of another part (an
// opening marker, the closing marker of a part around the block, or a line
// resembling an opening marker) shows the block's closing marker missing
// only when that marker does not follow before the next section. When it
// does follow, the game shows every line up to it as text, and an author
// who wrote the block's end a few lines on either means the line as text or
// put the end in the wrong place: either way nothing after the block is
// wrong, so one warning at the block's first such line says what the game
// does, and the lines up to the end are read as text with nothing more said
// about them. True when the line stays in the text.
bool ascoltatore::resta_nel_testo(unsigned long riga, std::string_view linea) {
  parte& p = parti.back();
  if (!p.blocco) return false;
  if (p.fine_testo != 0) return true;
  p.fine_testo = chiusura_che_segue(riga, p.chiusura);
  if (p.fine_testo == 0) return false;
  aggiungi(riga, gravita::avviso, "marcatore-nel-testo",
           "la riga " + tra_apici(linea) + " è dentro il testo " + std::string(p.apertura) +
               " aperto alla riga " + std::to_string(p.riga) + " e chiuso alla riga " +
               std::to_string(p.fine_testo) +
               ": il gioco la mostra come testo, con le righe che seguono fino a lì");
  return true;
}

long ascoltatore::simbolo_alla_riga(unsigned long riga) const {
  auto it = std::lower_bound(r.simboli.begin(), r.simboli.end(), riga,
                             [](const simbolo& s, unsigned long n) { return s.prima < n; });
  return it != r.simboli.end() && it->prima == riga ? it - r.simboli.begin() : -1;
}

void ascoltatore::apre(unsigned long riga, std::string_view marcatore) {
  ultima_riga = riga;
  parte p;
  p.apertura = marcatore;
  p.chiusura = chiusura_di(marcatore);
  p.riga = riga;
  p.record = e_record(marcatore);
  p.lista = marcatore == "[OggInContenitore]" || marcatore == "[OggNascosti]";
  p.blocco = marcatore == "[Descrizione]" || marcatore == "[Suggerimento]" ||
             marcatore == "[MsgFineGioco]" || marcatore == "[Titolo]";
  long dentro = -1;
  for (auto it = parti.rbegin(); it != parti.rend() && dentro < 0; ++it) dentro = it->simbolo;
  if (p.lista) {
    p.simbolo = ultimo_chiuso;  // the container or hiding place it belongs to
  } else if (p.record || parti.empty()) {
    simbolo s;
    s.genere = genere_di(marcatore);
    if (s.genere == genere_simbolo::sezione) s.nome = std::string(marcatore);
    s.prima = s.ultima = riga;
    s.nome_dove = {riga, 0, riga == riga_sostituita ? FINO_A_FINE_RIGA : marcatore.size()};
    s.dentro = dentro;
    p.simbolo = static_cast<long>(r.simboli.size());
    r.simboli.push_back(std::move(s));
  }
  parti.push_back(std::move(p));
}

void ascoltatore::chiude(unsigned long riga) {
  ultima_riga = riga;
  if (parti.empty()) return;
  parte p = std::move(parti.back());
  parti.pop_back();
  const unsigned long ultima = p.mancante ? p.ultima : riga;
  if (p.simbolo >= 0) {
    simbolo& s = r.simboli[static_cast<std::size_t>(p.simbolo)];
    s.ultima = std::max(s.ultima, ultima);
  }
  if (p.record) ultimo_chiuso = p.simbolo;
  // A derived record left open ends with its list.
  if (p.lista) fine_derivato.clear();
  for (diagnostica& d : p.sospese) r.diagnostiche.push_back(std::move(d));
}

// The part on top lacks its closing marker, which belongs after its last
// line that holds more than blanks before `riga_dopo` (the line that showed
// it missing) or before the end of the file.
void ascoltatore::manca_fine(unsigned long riga_dopo, bool a_fine_file) {
  parte& p = parti.back();
  const unsigned long ultima =
      righe.ultima_piena(a_fine_file ? righe.numero() : riga_dopo - 1, p.riga);
  p.mancante = true;
  p.ultima = ultima;
  const char* cosa = p.record                               ? "il record aperto"
                     : p.lista                              ? "la lista aperta"
                     : p.blocco && p.apertura != "[Titolo]" ? "il blocco di testo aperto"
                                                            : "la sezione aperta";
  diagnostica& d = aggiungi(
      p.riga, gravita::errore, "manca-fine",
      "manca " + std::string(p.chiusura) + " per " + cosa + " alla riga " + std::to_string(p.riga));
  correzione c;
  c.titolo = "inserisci " + std::string(p.chiusura);
  if (ultima == righe.numero() && !righe.finisce_a_capo()) {
    c.dove = {ultima, FINO_A_FINE_RIGA, FINO_A_FINE_RIGA};
    c.testo = "\n" + std::string(p.chiusura);
  } else {
    c.dove = {ultima + 1, 0, 0};
    c.testo = std::string(p.chiusura) + "\n";
  }
  d.correzioni.push_back(std::move(c));
  // What a record had to say about its blank lines and unknown keys was
  // about the lines after its missing end.
  for (diagnostica& s : p.sospese) {
    if (s.codice != "riga-vuota" && s.codice != "chiave-sconosciuta") {
      r.diagnostiche.push_back(std::move(s));
    }
  }
  p.sospese.clear();
}

osservatore::lettura ascoltatore::marcatore(unsigned long riga, std::string_view linea,
                                            std::string_view chiusura,
                                            std::initializer_list<std::string_view> attesi) {
  ultima_riga = riga;
  if (!fine_derivato.empty()) return {};  // inside a derived record in a list
  const parte* cima = parti.empty() ? nullptr : &parti.back();
  // A text block already said to hold a marker-shaped line: the lines up to
  // its closing marker are its text.
  if (cima != nullptr && riga < cima->fine_testo) return {};
  const bool esatto = marcatore_del_formato(linea);
  // A derived record in a list is the list's own remark, unless the list
  // does not go on after it: then the list's closing marker is missing.
  if (cima != nullptr && cima->lista && esatto && marcatore_oggetto(linea) &&
      resta_in_lista(riga, linea, cima->chiusura)) {
    return {};
  }
  if (!chiusura.empty() && esatto) {
    // An opening marker, or the closing marker of a part around this one:
    // this part's own closing marker is missing before it.
    bool intorno = linea.substr(0, 4) != "[End";
    for (const parte& p : parti) intorno = intorno || p.chiusura == linea;
    if (intorno) {
      if (resta_nel_testo(riga, linea)) return {};
      manca_fine(riga, false);
      return {chiusura, true};
    }
  }
  const bool in_record = cima != nullptr && cima->record;
  const bool lista_dovuta =
      chiusura.empty() && attesi.size() == 1 &&
      (*attesi.begin() == "[OggInContenitore]" || *attesi.begin() == "[OggNascosti]");
  const std::string nuda = normalizzata(linea);
  std::string_view vicino;
  std::size_t d = std::string::npos;
  for (std::string_view a : attesi) {
    const std::size_t da = distanza(nuda, in_maiuscolo(a));
    if (da < d) d = da, vicino = a;
  }
  const bool simile = !esatto && d <= std::max<std::size_t>(2, vicino.size() / 3);
  // Inside a record, where such a line stops the game, a closing marker of
  // another kind, or a line that begins like one, is the record's own
  // closing marker written wrong.
  const bool fine_sbagliata = in_record && !simile && nuda.compare(0, 4, "[END") == 0;
  std::string_view forse = fine_sbagliata ? chiusura : vicino;
  // In a record or a text block, a line that resembles an opening marker
  // and nothing of the part's own is the next part, misspelt, after a
  // closing marker the file lacks: that is said here, and the line is then
  // read again where it belongs, which says the rest.
  if (!simile && !fine_sbagliata && cima != nullptr && (cima->record || cima->blocco)) {
    for (std::string_view m : marcatori_formato) {
      if (m.substr(0, 4) == "[End") continue;
      if (somiglia(nuda, m)) {
        if (resta_nel_testo(riga, linea)) return {};
        manca_fine(riga, false);
        return {chiusura, true};
      }
    }
  }
  if (!simile && !fine_sbagliata) {
    // A marker of another place in the file, in the wrong case or with
    // blanks around: said, but not read as it.
    forse = {};
    if (!esatto) {
      for (std::string_view m : marcatori_formato) {
        if (nuda == in_maiuscolo(m)) forse = m;
      }
    }
    if (forse.empty()) return {};
    d = 0;
  }
  const gravita g = in_record ? gravita::errore : gravita::avviso;
  const std::string conseguenza = in_record      ? "il gioco si ferma"
                                  : lista_dovuta ? "la riga va persa"
                                  : cima != nullptr && cima->blocco
                                      ? "la riga e quelle che seguono restano nel testo"
                                      : "la riga è ignorata";
  std::string testo;
  std::string codice = "marcatore-sconosciuto";
  if (esatto) {
    codice = "fine-sbagliata";
    testo = std::string(linea) + " non chiude il record " + std::string(cima->apertura) +
            " aperto alla riga " + std::to_string(cima->riga) + ": ci vuole " +
            std::string(chiusura) + "; " + conseguenza;
  } else {
    testo =
        "la riga " + tra_apici(linea) + " non è un marcatore: forse " + std::string(forse) + "? " +
        (d == 0 ? "I marcatori vanno scritti esatti (stesse maiuscole, niente spazi attorno); " +
                      conseguenza
                : maiuscola_iniziale(conseguenza));
  }
  diagnostica& diag = aggiungi(riga, g, codice, testo);
  diag.correzioni.push_back(
      {"sostituisci con " + std::string(forse), {riga, 0, FINO_A_FINE_RIGA}, std::string(forse)});
  if (!simile && !fine_sbagliata) {
    riga_detta = riga;  // the reader's own remark about the line would repeat it
    return {};
  }
  riga_sostituita = riga;
  return {forse, false};
}

bool ascoltatore::segnala(evento e, unsigned long riga, const std::string& testo) {
  ultima_riga = riga;
  const bool valore = riga_valore == riga;
  switch (e) {
    case CHIAVE_SCONOSCIUTA:
      if (testo.empty()) {
        nel_record(riga, gravita::avviso, "chiave-vuota", "riga con la chiave vuota: è ignorata");
      } else {
        nel_record(riga, gravita::avviso, "chiave-sconosciuta",
                   "chiave " + tra_apici(testo) + " sconosciuta qui: la riga è ignorata", 0,
                   testo.size());
      }
      break;
    case VALORE_FLAG:
      aggiungi(riga, gravita::avviso, "valore-flag",
               "il valore " + tra_apici(testo) + " non è né TRUE né FALSE: il flag non cambia",
               valore ? da_valore : 0, valore ? a_valore : FINO_A_FINE_RIGA);
      break;
    case MARCATORE_PERSO:
      if (riga != riga_detta) {
        aggiungi(riga, gravita::avviso, "lista-mancante",
                 "manca la lista del contenitore o nascondiglio che precede: la riga " +
                     tra_apici(testo) + " va persa");
      }
      break;
    case RIGA_IN_LISTA:
      if (riga != riga_detta) in_lista(riga, testo);
      break;
    case SENZA_NOME:
      aggiungi(riga, gravita::avviso, "senza-nome",
               "record " + marcatore_di(testo) + " senza " +
                   (testo == "luogo" ? "NOMELUOGO" : "NOMEOGGETTO") + ": non viene creato");
      break;
    case OGGETTO_RICHIESTO:
      break;  // the OBJ line is a reference, checked after the load
    case RIGA_SENZA_UGUALE:
      if (riga == riga_detta) break;
      if (testo.empty()) {
        nel_record(riga, gravita::errore, "riga-vuota",
                   "riga vuota dentro un record: il gioco si ferma");
      } else {
        nel_record(riga, gravita::errore, "riga-senza-uguale",
                   "riga senza '=' dentro un record: " + tra_apici(testo) + ": il gioco si ferma");
      }
      break;
    case RIGA_IGNORATA:
      break;  // free text between sections; markers are asked about first
    case APERTO_A_FINE:
      if (parti.empty()) break;
      // The innermost part is reported; the parts around it end with it.
      if (!fine_file) {
        fine_file = true;
        manca_fine(righe.numero() + 1, true);
      }
      parti.back().mancante = true;
      parti.back().ultima = righe.numero();
      chiude(righe.numero());
      break;
    case COLLEGAMENTO_MANCANTE:
    case OGGETTI_SENZA_LUOGO:
    case LUOGO_PUNTATORI:
    case LUOGO_INIZIO:
    case LUOGO_FINE:
      nomi_luoghi.push_back(
          {e, riga, testo, valore ? da_valore : 0, valore ? a_valore : FINO_A_FINE_RIGA});
      break;
  }
  return true;
}

// A derived record in a list is reported once, at its opening marker; the
// lines up to its closing marker are part of it.
void ascoltatore::in_lista(unsigned long riga, const std::string& linea) {
  if (!fine_derivato.empty()) {
    if (linea == fine_derivato) fine_derivato.clear();
    return;
  }
  if (marcatore_oggetto(linea)) {
    aggiungi(
        riga, gravita::avviso, "derivato-in-lista",
        "record derivato " + linea + " dentro una lista, dove vale solo [Oggetto]: è ignorato");
    fine_derivato = "[End" + linea.substr(1);
  } else {
    aggiungi(riga, gravita::avviso, "riga-in-lista",
             "riga " + tra_apici(linea) + " dentro una lista: è ignorata");
  }
}

void ascoltatore::oggetto_letto(unsigned long riga, const oggetto& o, bool doppio) {
  ultima_riga = riga;
  righe_oggetti.emplace_back(o.id(), riga);
  if (doppio) {
    aggiungi(riga, gravita::avviso, "nome-doppio",
             "il nome " + tra_apici(o.nome()) +
                 " è già presente dove l'oggetto va messo: l'oggetto viene scartato");
  }
}

void ascoltatore::luogo_letto(unsigned long riga, const luogo& l, bool doppio) {
  ultima_riga = riga;
  const long s = simbolo_alla_riga(riga);
  if (s >= 0) r.simboli[static_cast<std::size_t>(s)].descrizione = prima_riga(l.descrizione_());
  if (doppio) {
    aggiungi(riga, gravita::avviso, "luogo-doppio",
             "il luogo " + tra_apici(l.name()) + " è già definito alla riga " +
                 std::to_string(riga_di(l.nome_ref())) + ": questo record viene scartato");
  } else {
    luoghi.emplace(l.name(), s);
  }
}

void ascoltatore::riferisci(unsigned long riga, uso u, std::string_view valore) {
  riferimento rif;
  rif.a_luogo = u != uso::reagente && u != uso::obj;
  rif.nome = in_utf8(valore);
  rif.dove = {riga, da_valore, a_valore};
  r.riferimenti.push_back(std::move(rif));
  tipi_uso.push_back(u);
  long dentro = -1;
  for (auto it = parti.rbegin(); it != parti.rend() && dentro < 0; ++it) dentro = it->simbolo;
  proprietari.push_back(dentro);
}

std::string_view ascoltatore::chiave(unsigned long riga, std::string_view chiave,
                                     std::string_view valore) {
  ultima_riga = riga;
  riga_valore = riga;
  da_valore = chiave.size() + 1;
  a_valore = da_valore + valore.size();
  // A key that ends in blanks is a key no reader knows: said once here,
  // and read without them, so what the line meant still happens.
  const auto nuda = chiave.find_last_not_of(' ') + 1;
  if (nuda != 0 && nuda < chiave.size()) {
    nel_record(riga, gravita::avviso, "chiave-con-spazio",
               "la chiave " + tra_apici(in_maiuscolo(chiave)) +
                   " finisce con uno spazio: la riga è ignorata",
               0, chiave.size());
    // The remark waits in its record, or stands last when there is none.
    std::vector<diagnostica>& dove =
        !parti.empty() && parti.back().record ? parti.back().sospese : r.diagnostiche;
    dove.back().correzioni.push_back(
        {"togli lo spazio dopo la chiave", {riga, nuda, chiave.size()}, ""});
    chiave = chiave.substr(0, nuda);
  }
  if (parti.empty() || chiave.empty() || valore.empty()) return chiave;
  const parte& p = parti.back();
  const auto e = [chiave](std::string_view parola) { return uguale_in_maiuscolo(chiave, parola); };
  if (p.record) {
    simbolo& s = r.simboli[static_cast<std::size_t>(p.simbolo)];
    if (e(p.apertura == "[Luogo]" ? "NOMELUOGO" : "NOMEOGGETTO")) {
      s.nome = in_utf8(valore);
      s.nome_dove = {riga, da_valore, a_valore};
    } else if (p.apertura != "[Luogo]" && e("REAGENTE")) {
      riferisci(riga, uso::reagente, valore);
    } else if (p.apertura != "[Luogo]" && e("DESCRIZIONE")) {
      s.descrizione = in_utf8(valore);
    }
  } else if (p.apertura == "[OggInLuogo]") {
    if (e("NOMELUOGO")) riferisci(riga, uso::nomeluogo_oggetti, valore);
  } else if (p.apertura == "[PuntatoriALuogo]") {
    if (e("NOMELUOGO")) {
      riferisci(riga, uso::nomeluogo_puntatori, valore);
      selezionato.assign(valore);
      return chiave;
    }
    for (int d = 0; d < NUM_DIREZIONI_MAPPA; ++d) {
      if (!e(direzioni[d]) || valore == "NULL") continue;
      riferisci(riga, uso::collegamento, valore);
      // The exit is set when both places exist by now.
      if (luoghi.count(selezionato) != 0 && luoghi.count(std::string(valore)) != 0) {
        uscite[{selezionato, d}] = {riga, da_valore, a_valore};
      }
    }
  } else if (p.apertura == "[Utente]") {
    if (e("INIZIO")) riferisci(riga, uso::inizio, valore);
  } else if (p.apertura == "[FineGioco]") {
    if (e("FINELUOGO")) riferisci(riga, uso::fineluogo, valore);
    if (e("OBJ")) riferisci(riga, uso::obj, valore);
  }
  return chiave;
}

void ascoltatore::fermato() {
  aggiungi(ultima_riga, gravita::errore, "arresto",
           "la lettura si interrompe qui: il gioco si ferma");
}

unsigned long ascoltatore::riga_di(std::string_view nome) const {
  const long s = simbolo_luogo(nome);
  return s < 0 ? 0 : r.simboli[static_cast<std::size_t>(s)].prima;
}

unsigned long ascoltatore::riga_di(int id) const {
  auto it = std::lower_bound(righe_oggetti.begin(), righe_oggetti.end(), std::make_pair(id, 0UL));
  return it == righe_oggetti.end() || it->first != id ? 0 : it->second;
}

long ascoltatore::simbolo_luogo(std::string_view nome) const {
  auto it = luoghi.find(std::string(nome));
  return it == luoghi.end() ? -1 : it->second;
}

const intervallo* ascoltatore::collegamento(std::string_view luogo, int direzione) const {
  auto it = uscite.find({std::string(luogo), direzione});
  return it == uscite.end() ? nullptr : &it->second;
}

void ascoltatore::concludi() {
  std::sort(righe_oggetti.begin(), righe_oggetti.end());
  // Parts still open after a stop keep what they had to say.
  for (parte& p : parti) {
    for (diagnostica& d : p.sospese) r.diagnostiche.push_back(std::move(d));
  }
  parti.clear();
  for (const nome_luogo& n : nomi_luoghi) {
    if (n.e == OGGETTI_SENZA_LUOGO && n.nome.empty()) {
      aggiungi(n.riga, gravita::avviso, "oggetti-senza-luogo",
               "oggetti prima di NOMELUOGO in [OggInLuogo]: non vengono creati");
      continue;
    }
    const unsigned long dove = riga_di(n.nome);
    const std::string luogo =
        "il luogo " + tra_apici(n.nome) +
        (dove == 0 ? ", che non esiste"
                   : ", definito più avanti alla riga " + std::to_string(dove));
    switch (n.e) {
      case COLLEGAMENTO_MANCANTE:
        aggiungi(n.riga, gravita::avviso, "luogo-inesistente",
                 "il collegamento nomina " + luogo + ": non viene impostato", n.da, n.a);
        break;
      case OGGETTI_SENZA_LUOGO:
        aggiungi(n.riga, gravita::avviso, "luogo-inesistente",
                 "[OggInLuogo] nomina " + luogo + ": i suoi oggetti non vengono creati", n.da, n.a);
        break;
      case LUOGO_PUNTATORI:
        aggiungi(n.riga, gravita::errore, "luogo-inesistente",
                 "[PuntatoriALuogo] nomina " + luogo + ": il gioco si ferma", n.da, n.a);
        break;
      case LUOGO_INIZIO:
        inizio_mancante = true;
        aggiungi(n.riga, gravita::errore, "luogo-inesistente",
                 "INIZIO nomina " + luogo + ": il gioco si ferma", n.da, n.a);
        break;
      default:
        aggiungi(n.riga, gravita::errore, "luogo-inesistente",
                 "FINELUOGO nomina " + luogo + ": il gioco si ferma", n.da, n.a);
    }
  }

  // Records without a name leave the outline; what they held moves up.
  std::vector<long> nuovo(r.simboli.size(), -1);
  std::vector<long> sopra(r.simboli.size(), -1);  // holders, in the old numbering
  std::vector<simbolo> tenuti;
  for (std::size_t i = 0; i < r.simboli.size(); ++i) {
    long su = r.simboli[i].dentro;
    while (su >= 0 && nuovo[static_cast<std::size_t>(su)] < 0)
      su = sopra[static_cast<std::size_t>(su)];
    sopra[i] = su;
    if (r.simboli[i].nome.empty()) continue;
    nuovo[i] = static_cast<long>(tenuti.size());
    tenuti.push_back(std::move(r.simboli[i]));
    tenuti.back().dentro = su < 0 ? -1 : nuovo[static_cast<std::size_t>(su)];
  }
  r.simboli = std::move(tenuti);
  const auto rinumera = [&nuovo](long& i) { i = i < 0 ? -1 : nuovo[static_cast<std::size_t>(i)]; };
  for (auto& voce : luoghi) rinumera(voce.second);
  for (long& p : proprietari) rinumera(p);

  // Each name goes to its first record: the one the game keeps.
  std::unordered_map<std::string_view, long> luoghi_utf8, oggetti;
  luoghi_utf8.reserve(luoghi.size());
  oggetti.reserve(r.simboli.size());
  for (std::size_t i = 0; i < r.simboli.size(); ++i) {
    const simbolo& s = r.simboli[i];
    if (s.genere == genere_simbolo::sezione) continue;
    (s.genere == genere_simbolo::luogo ? luoghi_utf8 : oggetti)
        .emplace(s.nome, static_cast<long>(i));
  }
  for (riferimento& rif : r.riferimenti) {
    const auto& nomi = rif.a_luogo ? luoghi_utf8 : oggetti;
    auto it = nomi.find(rif.nome);
    rif.definizione = it == nomi.end() ? -1 : it->second;
  }
}
