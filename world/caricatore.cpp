#include <fstream>
#include <iostream>
#include <optional>
#include <streambuf>
#include <string_view>

#include "console/console.h"
#include "game/ambiente.h"
#include "objects/accenti.h"
#include "world/lettori.h"

namespace {

const char* const impossibile =
    "\n Sar" A_GRAVE " impossibile continuare nell'esecuzione del programma.\n";

// The link keys of "[PuntatoriALuogo]", with the word each error names.
// Every pointer line is compared with all of them: views compare the length
// first, which keeps that cheap.
struct chiave_direzione {
  std::string_view link;
  std::string_view ostruzione;
  const char* nome;
  void (luogo::*imposta)(luogo&);
  void (luogo::*ostruisci)(std::string_view);
};

const chiave_direzione chiavi_direzione[] = {
    {"NORD", "OSTRUZIONENORD", "Nord", &luogo::pnord, &luogo::Onord},
    {"SUD", "OSTRUZIONESUD", "Sud", &luogo::psud, &luogo::Osud},
    {"EST", "OSTRUZIONEEST", "Est", &luogo::pest, &luogo::Oest},
    {"OVEST", "OSTRUZIONEOVEST", "Ovest", &luogo::povest, &luogo::Oovest},
    {"ALTO", "OSTRUZIONEALTO", "Alto", &luogo::palto, &luogo::Oalto},
    {"BASSO", "OSTRUZIONEBASSO", "Basso", &luogo::pbasso, &luogo::Obasso},
};

// A text in memory read as a stream where it lies, without a copy.
class buffer_testo : public std::streambuf {
public:
  explicit buffer_testo(const std::string& testo) {
    char* inizio = const_cast<char*>(testo.data());  // only ever read
    setg(inizio, inizio, inizio + testo.size());
  }
};

// True when an observer has a line that would stop the game skipped instead
// (the author tools); the game has none and stops.
bool salta(lettore& s, osservatore::evento e, const std::string& testo) {
  osservatore* o = s.osserva();
  return o != nullptr && o->segnala(e, s.riga(), testo);
}

// Tells the observer of a line that the loader passes over, unless it is
// blank or a key line.
void ignorata(lettore& s, std::string_view linea) {
  osservatore* o = s.osserva();
  if (o != nullptr && !linea.empty() && linea.find('=') == linea.npos) {
    o->segnala(osservatore::RIGA_IGNORATA, s.riga(), std::string(linea));
  }
}

}  // namespace

bool ambiente::carica() {
  std::cout << "\n - Vuoi caricare il gioco salvato se ne esiste uno"
            << "\n   oppure vuoi caricare il gioco di default? si = salvato no = default.\n"
            << "\nSono in attesa di una risposta => ";
  const std::string domanda = risposta();
  std::cout << '\n';
  const bool salvato = domanda == "si";
  std::ifstream file;
  std::optional<buffer_testo> testo;
  std::istream flusso_memoria(nullptr);
  std::istream* ingresso = &file;
  bool aperto;
  if (in_memoria != nullptr) {
    const std::optional<std::string>& scelto = salvato ? in_memoria->salvato : in_memoria->mondo;
    aperto = scelto.has_value();
    if (aperto && in_memoria->leggi) {
      in_memoria->leggi(*scelto, *this);
      return true;
    }
    if (aperto) flusso_memoria.rdbuf(&testo.emplace(*scelto));
    ingresso = &flusso_memoria;
  } else {
    aperto = apri_mondo(salvato ? "world.ini" : "mondo.ini", file);
  }
  if (!aperto) {
    if (salvato) {
      std::cout << "\n ! ERRORE in apertura file: 'world.ini' non trovato:\n"
                << "\n          probabilmente non esiste alcun gioco salvato!\n";
    } else {
      std::cout << "\n ! ERRORE in apertura file: 'mondo.ini' non trovato\n";
    }
    std::cout << impossibile;
    fatale();
  }
  carica_da(*ingresso);
  return true;
}

// Every name is looked up when its line is read, so sections may name only
// places whose records stand earlier. Every loop also stops at the end of
// the file, so no input makes the loader wait for ever. `linea` views the
// line read last, valid until the next read; `cercato` holds a value while
// it is looked up in the map of places.
void ambiente::carica_da(std::istream& flusso, osservatore* oss) {
  const arena::in_uso nel_mondo(memoria);
  lettore ingresso(flusso, oss);
  std::string_view linea;
  std::string cercato;
  const auto cerca = [this, &cercato](std::string_view nome) {
    cercato.assign(nome);
    return luoghi.find(cercato);
  };
  while (!ingresso.eof()) {
    linea = vaglia(ingresso, ingresso.leggi_non_vuota(), "",
                   {"[Titolo]", "[Zaino]", "[Luogo]", "[OggInLuogo]", "[PuntatoriALuogo]",
                    "[Utente]", "[FineGioco]"});
    // Where the section opened, for a file that ends inside it.
    const unsigned long sezione = ingresso.riga();
    if (linea == "[Titolo]") {
      leggi_blocco(ingresso, "[Titolo]", "[EndTitolo]", titolo);
    } else if (linea == "[Zaino]") {
      apre(ingresso, "[Zaino]");
      // A saved game wraps the backpack's records in its content list's
      // markers, which the loader passes over like any other line.
      const auto prossima = [&ingresso] {
        return vaglia(ingresso, ingresso.leggi(), "[EndZaino]",
                      {"[Oggetto]", "[OggOstruzione]", "[OggContenitore]", "[OggNascondiglio]",
                       "[EndZaino]", "[OggInContenitore]", "[EndOggInContenitore]"});
      };
      linea = prossima();
      while (linea != "[EndZaino]" && !ingresso.eof()) {
        if (marcatore_oggetto(linea)) {
          const unsigned long inizio = ingresso.riga();
          std::unique_ptr<oggetto> o = leggi_oggetto(ingresso, linea);
          if (o) {
            annuncia(ingresso, inizio, *o, zaino.contenuto());
            zaino += std::move(o);
          }
        } else {
          ignorata(ingresso, linea);
        }
        linea = prossima();
      }
      fine_parte(ingresso, sezione, "[EndZaino]", linea == "[EndZaino]");
    } else if (linea == "[Luogo]") {
      const unsigned long inizio = ingresso.riga();
      std::unique_ptr<luogo> l;
      ingresso >> l;
      if (l) {
        osservatore* o = ingresso.osserva();
        if (o != nullptr) o->luogo_letto(inizio, *l, luoghi.count(l->name()) != 0);
        *this += std::move(l);
      }
    } else if (linea == "[OggInLuogo]") {
      // The section adds no place, so the place found for a name stays the
      // same until the next NOMELUOGO line: it is looked up once per name.
      // The closing marker is noted as soon as it is read: an object record
      // reads on, and `linea` no longer holds its marker afterwards.
      apre(ingresso, "[OggInLuogo]");
      std::string nomeluogo;
      auto trovato = luoghi.find(nomeluogo);
      bool chiusa = false;
      while (!chiusa && !ingresso.eof()) {
        linea = vaglia(ingresso, ingresso.leggi_non_vuota(), "[EndOggInLuogo]",
                       {"[Oggetto]", "[OggOstruzione]", "[OggContenitore]", "[OggNascondiglio]",
                        "[EndOggInLuogo]"});
        chiusa = linea == "[EndOggInLuogo]";
        std::string_view chiave, right;
        bool nome = false;
        if (dividi(linea, chiave, right)) {
          chiave = chiave_letta(ingresso, chiave, right);
          nome = uguale_in_maiuscolo(chiave, "NOMELUOGO");
          if (nome) {
            nomeluogo.assign(right);
            trovato = luoghi.find(nomeluogo);
          } else if (nomeluogo.empty()) {
            std::cout << "\n ! ERRORE: Ci si aspettava il nome del luogo.\n";
          }
        }
        if (!chiusa && !marcatore_oggetto(linea)) ignorata(ingresso, linea);
        if (trovato == luoghi.end()) {
          osservatore* o = ingresso.osserva();
          if (o != nullptr && (nome || (nomeluogo.empty() && marcatore_oggetto(linea)))) {
            o->segnala(osservatore::OGGETTI_SENZA_LUOGO, ingresso.riga(), nomeluogo);
          }
          std::cout << " ! ERRORE: Oggetto non creato perch" E_GRAVE " il luogo non " E_GRAVE
                       " stato trovato.\n";
        } else if (marcatore_oggetto(linea)) {
          const unsigned long inizio = ingresso.riga();
          std::unique_ptr<oggetto> o = leggi_oggetto(ingresso, linea);
          if (o) {
            annuncia(ingresso, inizio, *o, trovato->second->oggetti_());
            *trovato->second += std::move(o);
          }
        }
      }
      fine_parte(ingresso, sezione, "[EndOggInLuogo]", chiusa);
    } else if (linea == "[PuntatoriALuogo]") {
      apre(ingresso, "[PuntatoriALuogo]");
      std::string nomeluogo;
      luogo* scelto = nullptr;
      while (linea != "[EndPuntatoriALuogo]" && !ingresso.eof()) {
        linea = vaglia(ingresso, ingresso.leggi_non_vuota(), "[EndPuntatoriALuogo]",
                       {"[EndPuntatoriALuogo]"});
        std::string_view chiave, right;
        if (!dividi(linea, chiave, right) || chiave.empty() || right.empty()) continue;
        chiave = chiave_letta(ingresso, chiave, right);
        // Keys match in any case; the lengths are compared first, which keeps
        // the many tests cheap.
        const auto e = [chiave](std::string_view parola) {
          return uguale_in_maiuscolo(chiave, parola);
        };
        if (e("NOMELUOGO")) {
          nomeluogo.assign(right);
          auto trovato = luoghi.find(nomeluogo);
          if (trovato == luoghi.end() &&
              !salta(ingresso, osservatore::LUOGO_PUNTATORI, nomeluogo)) {
            std::cout << " ! ERRORE: Luogo non trovato nella mappa." << impossibile;
            fatale();
          }
          scelto = trovato == luoghi.end() ? nullptr : trovato->second.get();
          continue;
        }
        const chiave_direzione* direzione = nullptr;
        bool ostruzione = false;
        for (const chiave_direzione& c : chiavi_direzione) {
          if (e(c.link)) direzione = &c;
          if (e(c.ostruzione)) direzione = &c, ostruzione = true;
        }
        if (direzione == nullptr) {
          const std::string left = in_maiuscolo(chiave);
          if (right != "NULL") std::cout << "\n ! ERRORE: linea " << left << " non riconosciuta.\n";
          if (osservatore* o = ingresso.osserva()) {
            o->segnala(osservatore::CHIAVE_SCONOSCIUTA, ingresso.riga(), left);
          }
        } else if (!ostruzione && right == "NULL") {
          // "NULL" leaves the exit as it is.
        } else if (scelto == nullptr) {
          // A direction before any place was named has nowhere to go.
          std::cout << "\n ! ERRORE: Ci si aspettava il nome del luogo.\n";
        } else if (ostruzione) {
          (scelto->*direzione->ostruisci)(right);
        } else {
          auto meta = cerca(right);
          if (meta == luoghi.end()) {
            if (osservatore* o = ingresso.osserva()) {
              o->segnala(osservatore::COLLEGAMENTO_MANCANTE, ingresso.riga(), cercato);
            }
            std::cout << "\n ! ERRORE: Puntatore " << direzione->nome << " del luogo " << nomeluogo
                      << " errato.\n";
          } else {
            (scelto->*direzione->imposta)(*meta->second);
          }
        }
      }
      fine_parte(ingresso, sezione, "[EndPuntatoriALuogo]", linea == "[EndPuntatoriALuogo]");
    } else if (linea == "[FineGioco]") {
      apre(ingresso, "[FineGioco]");
      const auto prossima = [&ingresso] {
        return vaglia(ingresso, ingresso.leggi(), "[EndFineGioco]",
                      {"[EndFineGioco]", "[MsgFineGioco]"});
      };
      linea = prossima();
      while (linea != "[EndFineGioco]" && !ingresso.eof()) {
        std::string_view chiave, right;
        if (dividi(linea, chiave, right)) {
          chiave = chiave_letta(ingresso, chiave, right);
          if (uguale_in_maiuscolo(chiave, "OBJ")) {
            dati.emplace_back(right);
            if (osservatore* o = ingresso.osserva()) {
              o->segnala(osservatore::OGGETTO_RICHIESTO, ingresso.riga(), dati.back());
            }
          } else if (uguale_in_maiuscolo(chiave, "FINELUOGO")) {
            auto trovato = cerca(right);
            if (trovato == luoghi.end() && !salta(ingresso, osservatore::LUOGO_FINE, cercato)) {
              std::cout << "\n ! ERRORE GRAVE: Non " E_GRAVE
                           " stato trovato il luogo di fine del gioco.\n"
                        << impossibile;
              fatale();
            }
            if (trovato != luoghi.end()) fine = trovato->second.get();
          } else if (osservatore* o = ingresso.osserva()) {
            o->segnala(osservatore::CHIAVE_SCONOSCIUTA, ingresso.riga(), in_maiuscolo(chiave));
          }
        } else if (linea == "[MsgFineGioco]") {
          leggi_blocco(ingresso, "[MsgFineGioco]", "[EndMsgFineGioco]", finegioco);
        }
        linea = prossima();
      }
      fine_parte(ingresso, sezione, "[EndFineGioco]", linea == "[EndFineGioco]");
    } else if (linea == "[Utente]") {
      apre(ingresso, "[Utente]");
      const auto prossima = [&ingresso] {
        return vaglia(ingresso, ingresso.leggi(), "[EndUtente]", {"[EndUtente]"});
      };
      linea = prossima();
      while (linea != "[EndUtente]" && !ingresso.eof()) {
        std::string_view chiave, right;
        const bool diviso = dividi(linea, chiave, right);
        if (diviso) chiave = chiave_letta(ingresso, chiave, right);
        if (diviso && uguale_in_maiuscolo(chiave, "INIZIO")) {
          auto trovato = cerca(right);
          if (trovato == luoghi.end() && !salta(ingresso, osservatore::LUOGO_INIZIO, cercato)) {
            std::cout << "\n ! ERRORE GRAVE: Non " E_GRAVE " stato trovato il luogo di partenza.\n"
                      << impossibile;
            fatale();
          }
          if (trovato != luoghi.end()) utente = trovato->second.get();
        } else if (osservatore* o = ingresso.osserva(); o != nullptr && !chiave.empty()) {
          o->segnala(osservatore::CHIAVE_SCONOSCIUTA, ingresso.riga(), in_maiuscolo(chiave));
        }
        linea = prossima();
      }
      fine_parte(ingresso, sezione, "[EndUtente]", linea == "[EndUtente]");
    } else {
      ignorata(ingresso, linea);
    }
    if (ingresso.bad()) {
      std::cout << "\n - ! Si " E_GRAVE " verificato un errore non gestito.\n";
      fatale();
    }
  }
}
