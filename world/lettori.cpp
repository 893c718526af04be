#include "world/lettori.h"

#include <algorithm>
#include <functional>
#include <iostream>
#include <string_view>

#include "console/console.h"
#include "objects/accenti.h"

namespace {

// The four kinds of object record and what tells them apart in the reader.
enum genere { SEMPLICE, OSTRUZIONE, CONTENITORE, NASCONDIGLIO };

struct tipo_record {
  std::string_view apertura;  // opening marker
  std::string_view chiusura;  // closing marker (compared with every line)
  const char* fatale;         // word in the message for a line without '='
  const char* mancante;       // words in the message for a record without a name
};

const tipo_record tipi[] = {
    {"[Oggetto]", "[EndOggetto]", "oggetto", "oggetto"},
    {"[OggOstruzione]", "[EndOggOstruzione]", "ostruzione", "oggetto ostruttore"},
    {"[OggContenitore]", "[EndOggContenitore]", "contenitore", "oggetto contenitore"},
    {"[OggNascondiglio]", "[EndOggNascondiglio]", "nascondiglio", "oggetto nascondiglio"},
};

// The fields of one object record, at their defaults.
struct record_oggetto {
  std::string nome, descrizione, suggerimento, reagente, direzione;
  bool illuminabile = false, trasportabile = false, spostabile = false, apribile = false,
       acceso = false;
  bool aperto = false;  // a container starts open, an obstruction closed
};

// The record being read, at its defaults. One serves every record: each is
// made into its object before the next is read, and the strings keep their
// room from one record to the next, so reading a value allocates nothing.
record_oggetto& record_nuovo(bool aperto) {
  static record_oggetto r;
  for (std::string* campo : {&r.nome, &r.descrizione, &r.suggerimento, &r.reagente, &r.direzione}) {
    campo->clear();
  }
  r.illuminabile = r.trasportabile = r.spostabile = r.apribile = r.acceso = false;
  r.aperto = aperto;
  return r;
}

// Flags only move away from their default: TRUE in any case sets a false
// flag, FALSE in any case clears a true one, anything else changes nothing.
// `valore` is not empty; the observer hears of one that is neither word, in
// upper case, and only then is it copied.
void imposta_se(lettore& s, std::string_view valore, std::string_view parola, bool& flag,
                bool nuovo) {
  if (uguale_in_maiuscolo(valore, parola)) {
    flag = nuovo;
  } else if (osservatore* o = s.osserva()) {
    if (!uguale_in_maiuscolo(valore, "TRUE") && !uguale_in_maiuscolo(valore, "FALSE")) {
      o->segnala(osservatore::VALORE_FLAG, s.riga(), in_maiuscolo(valore));
    }
  }
}

void imposta_vero(lettore& s, std::string_view valore, bool& flag) {
  imposta_se(s, valore, "TRUE", flag, true);
}

// A line without '=' inside a record ends the program, unless an observer
// has the line skipped.
void comando_fatale(lettore& s, std::string_view linea, const char* tipo) {
  osservatore* o = s.osserva();
  if (o != nullptr && o->segnala(osservatore::RIGA_SENZA_UGUALE, s.riga(), std::string(linea))) {
    return;
  }
  std::cout << "\n ! ERRORE: Comando " << linea << " non riconosciuto (" << tipo << ").\n";
  fatale();
}

// Reads key lines up to the kind's closing marker or the end of the file.
// The loop test follows each read, so a last line without a line feed is not
// interpreted. Unknown keys and empty keys or values are ignored. Only the
// values kept are copied out of the line.
void leggi_chiavi(lettore& s, genere g, record_oggetto& r) {
  const tipo_record& tipo = tipi[g];
  const unsigned long inizio = s.riga();
  apre(s, tipo.apertura);
  const auto prossima = [&s, &tipo] {
    return vaglia(s, s.leggi(), tipo.chiusura, {tipo.chiusura}, true);
  };
  std::string_view linea = prossima();
  while (linea != tipo.chiusura && !s.eof()) {
    std::string_view chiave, right;
    if (!dividi(linea, chiave, right)) {
      comando_fatale(s, linea, tipo.fatale);
      risincronizza(s);
      linea = prossima();
      continue;
    }
    chiave = chiave_letta(s, chiave, right);
    // Keys match in any case; the lengths are compared first, so most are
    // told apart for free.
    const auto e = [chiave](std::string_view parola) {
      return uguale_in_maiuscolo(chiave, parola);
    };
    if (!chiave.empty() && !right.empty()) {
      if (e("NOMEOGGETTO")) r.nome.assign(right);
      else if (e("REAGENTE")) r.reagente.assign(right);
      else if (e("SUGGERIMENTO")) r.suggerimento.assign(right);
      else if (e("DESCRIZIONE")) r.descrizione.assign(right);
      else if (e("DIREZIONE") && g == OSTRUZIONE) r.direzione.assign(right);
      else if (e("ILLUMINABILE")) imposta_vero(s, right, r.illuminabile);
      else if (e("TRASPORTABILE")) imposta_vero(s, right, r.trasportabile);
      else if (e("SPOSTABILE")) imposta_vero(s, right, r.spostabile);
      else if (e("APRIBILE")) imposta_vero(s, right, r.apribile);
      else if (e("ACCESO")) imposta_vero(s, right, r.acceso);
      else if (e("APERTO") && g == OSTRUZIONE) imposta_vero(s, right, r.aperto);
      else if (e("APERTO") && g == CONTENITORE) imposta_se(s, right, "FALSE", r.aperto, false);
      else if (osservatore* o = s.osserva())
        o->segnala(osservatore::CHIAVE_SCONOSCIUTA, s.riga(), in_maiuscolo(chiave));
    }
    linea = prossima();
  }
  fine_parte(s, inizio, tipo.chiusura, linea == tipo.chiusura);
}

// Reads a record; false (after the kind's message) when it has no name.
bool leggi_record(lettore& s, genere g, record_oggetto& r) {
  const unsigned long inizio = s.riga();
  leggi_chiavi(s, g, r);
  if (!r.nome.empty()) return true;
  if (osservatore* o = s.osserva()) o->segnala(osservatore::SENZA_NOME, inizio, tipi[g].fatale);
  std::cout << "\n ! ERRORE: Nome dell'" << tipi[g].mancante << " mancante.\n";
  return false;
}

// Reads the content or hidden list that follows a container or hiding-place
// record. The first non-blank line belongs to the record: if it is not the
// list's opening marker it is consumed and lost. Entries are plain objects;
// `aggiungi` receives each one (it destroys them when the holder had no
// name). The list ends at its closing marker or at the end of the file.
void leggi_lista(lettore& s, std::string_view apertura, std::string_view chiusura,
                 const std::function<void(std::unique_ptr<oggetto>, unsigned long)>& aggiungi) {
  std::string_view linea = vaglia(s, s.leggi_non_vuota(), "", {apertura});
  if (linea != apertura) {
    osservatore* o = s.osserva();
    if (o != nullptr && !linea.empty()) {
      o->segnala(osservatore::MARCATORE_PERSO, s.riga(), std::string(linea));
    }
    return;
  }
  const unsigned long inizio = s.riga();
  apre(s, apertura);
  // The closing marker is tested as soon as it is read: an entry's record
  // reads on, and `linea` no longer holds its marker afterwards.
  bool chiusa = false;
  while (!chiusa && !s.eof()) {
    linea = vaglia(s, s.leggi_non_vuota(), chiusura, {"[Oggetto]", chiusura});
    chiusa = linea == chiusura;
    if (chiusa) break;
    if (linea == "[Oggetto]") {
      const unsigned long inizio = s.riga();
      std::unique_ptr<oggetto> voce;
      s >> voce;
      if (voce) aggiungi(std::move(voce), inizio);
    } else {
      if (osservatore* o = s.osserva()) {
        o->segnala(osservatore::RIGA_IN_LISTA, s.riga(), std::string(linea));
      }
      std::cout << "\n ! ERRORE: Non si possono creare oggetti derivati, o errore comando " << linea
                << ".\n";
    }
  }
  fine_parte(s, inizio, chiusura, chiusa);
}

}  // namespace

lettore& operator>>(lettore& s, std::unique_ptr<oggetto>& a) {
  record_oggetto& r = record_nuovo(false);
  if (leggi_record(s, SEMPLICE, r)) {
    a = std::make_unique<oggetto>(r.nome, r.descrizione, r.illuminabile, r.trasportabile,
                                  r.spostabile, r.apribile, r.acceso, r.suggerimento, r.reagente);
  }
  return s;
}

lettore& operator>>(lettore& s, std::unique_ptr<oggostr>& a) {
  record_oggetto& r = record_nuovo(false);
  if (leggi_record(s, OSTRUZIONE, r)) {
    a = std::make_unique<oggostr>(r.nome, r.descrizione, r.illuminabile, r.trasportabile,
                                  r.spostabile, r.apribile, r.acceso, r.suggerimento, r.reagente,
                                  r.direzione, r.aperto);
  }
  return s;
}

lettore& operator>>(lettore& s, std::unique_ptr<oggcont>& a) {
  record_oggetto& r = record_nuovo(true);
  std::unique_ptr<oggcont> nuovo;
  if (leggi_record(s, CONTENITORE, r)) {
    nuovo = std::make_unique<oggcont>(r.nome, r.descrizione, r.illuminabile, r.trasportabile,
                                      r.spostabile, r.apribile, r.acceso, r.suggerimento,
                                      r.reagente, r.aperto);
  }
  leggi_lista(s, "[OggInContenitore]", "[EndOggInContenitore]",
              [&s, &nuovo](std::unique_ptr<oggetto> voce, unsigned long riga) {
                if (!nuovo) return;
                annuncia(s, riga, *voce, nuovo->contenuto());
                *nuovo += std::move(voce);
              });
  if (nuovo) a = std::move(nuovo);
  return s;
}

lettore& operator>>(lettore& s, std::unique_ptr<oggnasc>& a) {
  record_oggetto& r = record_nuovo(false);
  std::unique_ptr<oggnasc> nuovo;
  if (leggi_record(s, NASCONDIGLIO, r)) {
    nuovo =
        std::make_unique<oggnasc>(r.nome, r.descrizione, r.illuminabile, r.trasportabile,
                                  r.spostabile, r.apribile, r.acceso, r.suggerimento, r.reagente);
  }
  leggi_lista(s, "[OggNascosti]", "[EndOggNascosti]",
              [&s, &nuovo](std::unique_ptr<oggetto> voce, unsigned long riga) {
                if (!nuovo) return;
                annuncia(s, riga, *voce, nuovo->nascosti());
                *nuovo *= std::move(voce);
              });
  if (nuovo) a = std::move(nuovo);
  return s;
}

void leggi_blocco(lettore& s, std::string_view apertura, std::string_view chiusura,
                  std::string& testo) {
  const unsigned long inizio = s.riga();
  apre(s, apertura);
  std::string_view linea = vaglia(s, s.leggi(), chiusura, {chiusura});
  while (linea != chiusura && !s.eof()) {
    testo += linea;
    testo += '\n';
    linea = vaglia(s, s.leggi(), chiusura, {chiusura});
  }
  fine_parte(s, inizio, chiusura, linea == chiusura);
}

lettore& operator>>(lettore& s, std::unique_ptr<luogo>& a) {
  std::string nome, sopranome, descrizione, suggerimento;
  bool illuminazione = true, stato = false;
  const unsigned long inizio = s.riga();
  apre(s, "[Luogo]");
  const auto prossima = [&s] {
    return vaglia(s, s.leggi(), "[EndLuogo]", {"[EndLuogo]", "[Descrizione]", "[Suggerimento]"},
                  true);
  };
  std::string_view linea = prossima();
  while (linea != "[EndLuogo]" && !s.eof()) {
    std::string_view chiave, right;
    if (dividi(linea, chiave, right)) {
      chiave = chiave_letta(s, chiave, right);
      const auto e = [chiave](std::string_view parola) {
        return uguale_in_maiuscolo(chiave, parola);
      };
      if (!chiave.empty() && !right.empty()) {
        if (e("NOMELUOGO")) nome.assign(right);
        else if (e("SOPRANOME")) sopranome.assign(right);
        else if (e("ILLUMINAZIONE")) imposta_se(s, right, "FALSE", illuminazione, false);
        else if (e("STATO")) imposta_vero(s, right, stato);
        else {
          const std::string left = in_maiuscolo(chiave);
          std::cout << "\n ! ERRORE: comando left " << left << " non riconosciuto.\n";
          osservatore* o = s.osserva();
          if (o != nullptr) o->segnala(osservatore::CHIAVE_SCONOSCIUTA, s.riga(), left);
        }
      }
    } else if (linea == "[Descrizione]") {
      leggi_blocco(s, "[Descrizione]", "[EndDescrizione]", descrizione);
    } else if (linea == "[Suggerimento]") {
      leggi_blocco(s, "[Suggerimento]", "[EndSuggerimento]", suggerimento);
    } else {
      comando_fatale(s, linea, "luogo");
      risincronizza(s);
    }
    linea = prossima();
  }
  fine_parte(s, inizio, "[EndLuogo]", linea == "[EndLuogo]");
  if (!nome.empty()) {
    a = std::make_unique<luogo>(nome, sopranome, descrizione, illuminazione, stato, suggerimento);
  } else {
    if (osservatore* o = s.osserva()) o->segnala(osservatore::SENZA_NOME, inizio, "luogo");
    std::cout << " ! ERRORE: Non " E_GRAVE " stoto trovato il nome del luogo.\n - Il luogo non "
              << E_GRAVE " stato creato.";
  }
  return s;
}

void aperto_a_fine(lettore& s, unsigned long riga, std::string_view chiusura) {
  if (osservatore* o = s.osserva()) {
    std::string apertura = "[";
    apertura += chiusura.substr(4);  // "[End" off
    o->segnala(osservatore::APERTO_A_FINE, riga, apertura);
  }
}

void risincronizza(lettore& s) {
  std::string_view linea = s.leggi();
  while (!s.eof() && !forma_di_marcatore(linea)) linea = s.leggi();
  s.rimetti();
}

const std::string_view marcatori_formato[NUM_MARCATORI] = {
    "[Titolo]",
    "[Zaino]",
    "[Luogo]",
    "[OggInLuogo]",
    "[PuntatoriALuogo]",
    "[Utente]",
    "[FineGioco]",
    "[EndTitolo]",
    "[EndZaino]",
    "[EndLuogo]",
    "[EndOggInLuogo]",
    "[EndPuntatoriALuogo]",
    "[EndUtente]",
    "[EndFineGioco]",
    "[Descrizione]",
    "[EndDescrizione]",
    "[Suggerimento]",
    "[EndSuggerimento]",
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

namespace {

constexpr int NUM_SEZIONI = 7;

}  // namespace

bool forma_di_marcatore(std::string_view linea) {
  const auto inizio = linea.find_first_not_of(" \t");
  if (inizio == std::string_view::npos) return false;
  const auto fine = linea.find_last_not_of(" \t");
  return fine > inizio && linea[inizio] == '[' && linea[fine] == ']';
}

bool marcatore_di_sezione(std::string_view linea) {
  return std::find(marcatori_formato, marcatori_formato + NUM_SEZIONI, linea) !=
         marcatori_formato + NUM_SEZIONI;
}

bool marcatore_del_formato(std::string_view linea) {
  return std::find(std::begin(marcatori_formato), std::end(marcatori_formato), linea) !=
         std::end(marcatori_formato);
}

osservatore::lettura osservatore::marcatore(unsigned long, std::string_view, std::string_view,
                                            std::initializer_list<std::string_view>) {
  return {};
}

std::string_view vaglia_osservata(lettore& s, osservatore& o, std::string_view linea,
                                  std::string_view chiusura,
                                  std::initializer_list<std::string_view> attesi, bool record) {
  // Most lines start with a letter: nothing to ask about.
  if (linea.empty() || (linea[0] != '[' && linea[0] != ' ' && linea[0] != '\t') ||
      !forma_di_marcatore(linea) ||
      std::find(attesi.begin(), attesi.end(), linea) != attesi.end()) {
    return linea;
  }
  osservatore::lettura l = o.marcatore(s.riga(), linea, chiusura, attesi);
  if (l.come.empty() && record && marcatore_del_formato(linea)) l = {chiusura, true};
  if (l.come.empty()) return linea;
  if (l.prima) s.rimetti();
  return l.come;
}

bool marcatore_oggetto(std::string_view l) {
  return l == "[Oggetto]" || l == "[OggOstruzione]" || l == "[OggContenitore]" ||
         l == "[OggNascondiglio]";
}

std::unique_ptr<oggetto> leggi_oggetto(lettore& s, std::string_view marcatore) {
  if (marcatore == "[OggOstruzione]") {
    std::unique_ptr<oggostr> o;
    s >> o;
    return o;
  }
  if (marcatore == "[OggContenitore]") {
    std::unique_ptr<oggcont> o;
    s >> o;
    return o;
  }
  if (marcatore == "[OggNascondiglio]") {
    std::unique_ptr<oggnasc> o;
    s >> o;
    return o;
  }
  std::unique_ptr<oggetto> o;
  s >> o;
  return o;
}
