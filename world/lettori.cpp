#include "world/lettori.h"

#include <functional>
#include <iostream>

#include "game/console.h"
#include "objects/accenti.h"

namespace {

// The four kinds of object record and what tells them apart in the reader.
enum genere { SEMPLICE, OSTRUZIONE, CONTENITORE, NASCONDIGLIO };

struct tipo_record {
  const char* chiusura;  // closing marker
  const char* fatale;    // word in the message for a line without '='
  const char* mancante;  // words in the message for a record without a name
};

const tipo_record tipi[] = {
    {"[EndOggetto]", "oggetto", "oggetto"},
    {"[EndOggOstruzione]", "ostruzione", "oggetto ostruttore"},
    {"[EndOggContenitore]", "contenitore", "oggetto contenitore"},
    {"[EndOggNascondiglio]", "nascondiglio", "oggetto nascondiglio"},
};

// The fields of one object record, at their defaults.
struct record_oggetto {
  std::string nome, descrizione, suggerimento, reagente, direzione;
  bool illuminabile = false, trasportabile = false, spostabile = false, apribile = false,
       acceso = false;
  bool aperto = false;  // a container starts open, an obstruction closed
};

// Flags only move away from their default: TRUE in any case sets a false
// flag, FALSE in any case clears a true one, anything else changes nothing.
void imposta_se(std::string valore, const char* parola, bool& flag, bool nuovo) {
  maiuscolizza(valore);
  if (valore == parola) flag = nuovo;
}

void imposta_vero(const std::string& valore, bool& flag) { imposta_se(valore, "TRUE", flag, true); }

[[noreturn]] void comando_fatale(const std::string& linea, const char* tipo) {
  std::cout << "\n ! ERRORE: Comando " << linea << " non riconosciuto (" << tipo << ").\n";
  fatale();
}

// Reads key lines up to the kind's closing marker or the end of the file.
// The loop test follows each read, so a last line without a line feed is not
// interpreted. Unknown keys and empty keys or values are ignored.
void leggi_chiavi(lettore& s, genere g, record_oggetto& r) {
  const tipo_record& tipo = tipi[g];
  std::string linea;
  s.leggi(linea);
  while (linea != tipo.chiusura && !s.eof()) {
    std::string right, left;
    if (!research(linea, right, left)) comando_fatale(linea, tipo.fatale);
    if (!left.empty() && !right.empty()) {
      if (left == "NOMEOGGETTO") r.nome = right;
      else if (left == "REAGENTE") r.reagente = right;
      else if (left == "SUGGERIMENTO") r.suggerimento = right;
      else if (left == "DESCRIZIONE") r.descrizione = right;
      else if (left == "DIREZIONE" && g == OSTRUZIONE) r.direzione = right;
      else if (left == "ILLUMINABILE") imposta_vero(right, r.illuminabile);
      else if (left == "TRASPORTABILE") imposta_vero(right, r.trasportabile);
      else if (left == "SPOSTABILE") imposta_vero(right, r.spostabile);
      else if (left == "APRIBILE") imposta_vero(right, r.apribile);
      else if (left == "ACCESO") imposta_vero(right, r.acceso);
      else if (left == "APERTO" && g == OSTRUZIONE) imposta_vero(right, r.aperto);
      else if (left == "APERTO" && g == CONTENITORE) imposta_se(right, "FALSE", r.aperto, false);
    }
    s.leggi(linea);
  }
}

// Reads a record; false (after the kind's message) when it has no name.
bool leggi_record(lettore& s, genere g, record_oggetto& r) {
  leggi_chiavi(s, g, r);
  if (!r.nome.empty()) return true;
  std::cout << "\n ! ERRORE: Nome dell'" << tipi[g].mancante << " mancante.\n";
  return false;
}

// Reads the content or hidden list that follows a container or hiding-place
// record. The first non-blank line belongs to the record: if it is not the
// list's opening marker it is consumed and lost. Entries are plain objects;
// `aggiungi` receives each one (it destroys them when the holder had no
// name). The list ends at its closing marker or at the end of the file.
void leggi_lista(lettore& s, const char* apertura, const char* chiusura,
                 const std::function<void(std::unique_ptr<oggetto>)>& aggiungi) {
  std::string linea;
  s.leggi_non_vuota(linea);
  if (linea != apertura) return;
  while (linea != chiusura && !s.eof()) {
    s.leggi_non_vuota(linea);
    if (linea == "[Oggetto]") {
      std::unique_ptr<oggetto> voce;
      s >> voce;
      if (voce) aggiungi(std::move(voce));
    } else if (linea != chiusura) {
      std::cout << "\n ! ERRORE: Non si possono creare oggetti derivati, o errore comando "
                << linea << ".\n";
    }
  }
}

}  // namespace

lettore& operator>>(lettore& s, std::unique_ptr<oggetto>& a) {
  record_oggetto r;
  if (leggi_record(s, SEMPLICE, r)) {
    a = std::make_unique<oggetto>(r.nome, r.descrizione, r.illuminabile, r.trasportabile,
                                  r.spostabile, r.apribile, r.acceso, r.suggerimento, r.reagente);
  }
  return s;
}

lettore& operator>>(lettore& s, std::unique_ptr<oggostr>& a) {
  record_oggetto r;
  if (leggi_record(s, OSTRUZIONE, r)) {
    a = std::make_unique<oggostr>(r.nome, r.descrizione, r.illuminabile, r.trasportabile,
                                  r.spostabile, r.apribile, r.acceso, r.suggerimento, r.reagente,
                                  r.direzione, r.aperto);
  }
  return s;
}

lettore& operator>>(lettore& s, std::unique_ptr<oggcont>& a) {
  record_oggetto r;
  r.aperto = true;
  std::unique_ptr<oggcont> nuovo;
  if (leggi_record(s, CONTENITORE, r)) {
    nuovo = std::make_unique<oggcont>(r.nome, r.descrizione, r.illuminabile, r.trasportabile,
                                      r.spostabile, r.apribile, r.acceso, r.suggerimento,
                                      r.reagente, r.aperto);
  }
  leggi_lista(s, "[OggInContenitore]", "[EndOggInContenitore]",
              [&nuovo](std::unique_ptr<oggetto> voce) {
                if (nuovo) *nuovo += std::move(voce);
              });
  if (nuovo) a = std::move(nuovo);
  return s;
}

lettore& operator>>(lettore& s, std::unique_ptr<oggnasc>& a) {
  record_oggetto r;
  std::unique_ptr<oggnasc> nuovo;
  if (leggi_record(s, NASCONDIGLIO, r)) {
    nuovo = std::make_unique<oggnasc>(r.nome, r.descrizione, r.illuminabile, r.trasportabile,
                                      r.spostabile, r.apribile, r.acceso, r.suggerimento,
                                      r.reagente);
  }
  leggi_lista(s, "[OggNascosti]", "[EndOggNascosti]", [&nuovo](std::unique_ptr<oggetto> voce) {
    if (nuovo) *nuovo *= std::move(voce);
  });
  if (nuovo) a = std::move(nuovo);
  return s;
}

namespace {

// Appends the lines of a text block, each with its line feed, up to the
// block's closing marker or the end of the file.
void leggi_blocco(lettore& s, const char* chiusura, std::string& testo) {
  std::string linea;
  s.leggi(linea);
  while (linea != chiusura && !s.eof()) {
    testo += linea;
    testo += '\n';
    s.leggi(linea);
  }
}

}  // namespace

lettore& operator>>(lettore& s, std::unique_ptr<luogo>& a) {
  std::string nome, sopranome, descrizione, suggerimento;
  bool illuminazione = true, stato = false;
  std::string linea;
  s.leggi(linea);
  while (linea != "[EndLuogo]" && !s.eof()) {
    std::string right, left;
    if (research(linea, right, left)) {
      if (!left.empty() && !right.empty()) {
        if (left == "NOMELUOGO") nome = right;
        else if (left == "SOPRANOME") sopranome = right;
        else if (left == "ILLUMINAZIONE") imposta_se(right, "FALSE", illuminazione, false);
        else if (left == "STATO") imposta_vero(right, stato);
        else std::cout << "\n ! ERRORE: comando left " << left << " non riconosciuto.\n";
      }
    } else if (linea == "[Descrizione]") {
      leggi_blocco(s, "[EndDescrizione]", descrizione);
    } else if (linea == "[Suggerimento]") {
      leggi_blocco(s, "[EndSuggerimento]", suggerimento);
    } else {
      comando_fatale(linea, "luogo");
    }
    s.leggi(linea);
  }
  if (!nome.empty()) {
    a = std::make_unique<luogo>(nome, sopranome, descrizione, illuminazione, stato, suggerimento);
  } else {
    std::cout << " ! ERRORE: Non " E_GRAVE " stoto trovato il nome del luogo.\n - Il luogo non "
              << E_GRAVE " stato creato.";
  }
  return s;
}

bool marcatore_oggetto(const std::string& linea) {
  return linea == "[Oggetto]" || linea == "[OggOstruzione]" || linea == "[OggContenitore]" ||
         linea == "[OggNascondiglio]";
}

std::unique_ptr<oggetto> leggi_oggetto(lettore& s, const std::string& marcatore) {
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
