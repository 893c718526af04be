#include <sys/stat.h>

#include <fstream>
#include <iostream>

#include "game/ambiente.h"
#include "game/console.h"
#include "objects/accenti.h"
#include "world/lettori.h"

namespace {

const char* const impossibile =
    "\n Sar" A_GRAVE " impossibile continuare nell'esecuzione del programma.\n";

// A world file must be a regular file that can be read; a directory or an
// unreadable file counts as one that is not there.
bool apri_mondo(const char* nome, std::ifstream& ingresso) {
  struct stat info;
  if (stat(nome, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  ingresso.open(nome);
  return ingresso.is_open();
}

// The link keys of "[PuntatoriALuogo]", with the word each error names.
struct chiave_direzione {
  const char* link;
  const char* ostruzione;
  const char* nome;
  void (luogo::*imposta)(luogo&);
  void (luogo::*ostruisci)(std::string);
};

const chiave_direzione chiavi_direzione[] = {
    {"NORD", "OSTRUZIONENORD", "Nord", &luogo::pnord, &luogo::Onord},
    {"SUD", "OSTRUZIONESUD", "Sud", &luogo::psud, &luogo::Osud},
    {"EST", "OSTRUZIONEEST", "Est", &luogo::pest, &luogo::Oest},
    {"OVEST", "OSTRUZIONEOVEST", "Ovest", &luogo::povest, &luogo::Oovest},
    {"ALTO", "OSTRUZIONEALTO", "Alto", &luogo::palto, &luogo::Oalto},
    {"BASSO", "OSTRUZIONEBASSO", "Basso", &luogo::pbasso, &luogo::Obasso},
};

}  // namespace

bool ambiente::carica() {
  std::cout << "\n - Vuoi caricare il gioco salvato se ne esiste uno"
            << "\n   oppure vuoi caricare il gioco di default? si = salvato no = default.\n"
            << "\nSono in attesa di una risposta => ";
  const std::string domanda = risposta();
  std::cout << '\n';
  const bool salvato = domanda == "si";
  std::ifstream ingresso;
  if (!apri_mondo(salvato ? "world.ini" : "mondo.ini", ingresso)) {
    if (salvato) {
      std::cout << "\n ! ERRORE in apertura file: 'world.ini' non trovato:\n"
                << "\n          probabilmente non esiste alcun gioco salvato!\n";
    } else {
      std::cout << "\n ! ERRORE in apertura file: 'mondo.ini' non trovato\n";
    }
    std::cout << impossibile;
    fatale();
  }
  carica_da(ingresso);
  return true;
}

// Every name is looked up when its line is read, so sections may name only
// places whose records stand earlier. Every loop also stops at the end of
// the file, so no input makes the loader wait for ever.
void ambiente::carica_da(std::istream& flusso) {
  lettore ingresso(flusso);
  std::string linea;
  while (!ingresso.eof()) {
    ingresso.leggi_non_vuota(linea);
    if (linea == "[Titolo]") {
      ingresso.leggi(linea);
      while (linea != "[EndTitolo]" && !ingresso.eof()) {
        titolo += linea;
        titolo += '\n';
        ingresso.leggi(linea);
      }
    } else if (linea == "[Zaino]") {
      ingresso.leggi(linea);
      while (linea != "[EndZaino]" && !ingresso.eof()) {
        if (marcatore_oggetto(linea)) {
          std::unique_ptr<oggetto> o = leggi_oggetto(ingresso, linea);
          if (o) zaino += std::move(o);
        }
        ingresso.leggi(linea);
      }
    } else if (linea == "[Luogo]") {
      std::unique_ptr<luogo> l;
      ingresso >> l;
      if (l) *this += std::move(l);
    } else if (linea == "[OggInLuogo]") {
      std::string nomeluogo;
      while (linea != "[EndOggInLuogo]" && !ingresso.eof()) {
        ingresso.leggi_non_vuota(linea);
        std::string right, left;
        if (research(linea, right, left)) {
          if (left == "NOMELUOGO") {
            nomeluogo = right;
          } else if (nomeluogo.empty()) {
            std::cout << "\n ! ERRORE: Ci si aspettava il nome del luogo.\n";
          }
        }
        auto trovato = luoghi.find(nomeluogo);
        if (trovato == luoghi.end()) {
          std::cout << " ! ERRORE: Oggetto non creato perch" E_GRAVE
                       " il luogo non " E_GRAVE " stato trovato.\n";
        } else if (marcatore_oggetto(linea)) {
          std::unique_ptr<oggetto> o = leggi_oggetto(ingresso, linea);
          if (o) *trovato->second += std::move(o);
        }
      }
    } else if (linea == "[PuntatoriALuogo]") {
      std::string nomeluogo;
      luogo* scelto = nullptr;
      while (linea != "[EndPuntatoriALuogo]" && !ingresso.eof()) {
        ingresso.leggi_non_vuota(linea);
        std::string right, left;
        if (!research(linea, right, left) || left.empty() || right.empty()) continue;
        if (left == "NOMELUOGO") {
          nomeluogo = right;
          auto trovato = luoghi.find(nomeluogo);
          if (trovato == luoghi.end()) {
            std::cout << " ! ERRORE: Luogo non trovato nella mappa." << impossibile;
            fatale();
          }
          scelto = trovato->second.get();
          continue;
        }
        const chiave_direzione* chiave = nullptr;
        bool ostruzione = false;
        for (const chiave_direzione& c : chiavi_direzione) {
          if (left == c.link) chiave = &c;
          if (left == c.ostruzione) chiave = &c, ostruzione = true;
        }
        if (chiave == nullptr) {
          if (right != "NULL") std::cout << "\n ! ERRORE: linea " << left << " non riconosciuta.\n";
        } else if (!ostruzione && right == "NULL") {
          // "NULL" leaves the exit as it is.
        } else if (scelto == nullptr) {
          // A direction before any place was named has nowhere to go.
          std::cout << "\n ! ERRORE: Ci si aspettava il nome del luogo.\n";
        } else if (ostruzione) {
          (scelto->*chiave->ostruisci)(right);
        } else {
          auto meta = luoghi.find(right);
          if (meta == luoghi.end()) {
            std::cout << "\n ! ERRORE: Puntatore " << chiave->nome << " del luogo " << nomeluogo
                      << " errato.\n";
          } else {
            (scelto->*chiave->imposta)(*meta->second);
          }
        }
      }
    } else if (linea == "[FineGioco]") {
      ingresso.leggi(linea);
      while (linea != "[EndFineGioco]" && !ingresso.eof()) {
        std::string right, left;
        if (research(linea, right, left)) {
          if (left == "OBJ") {
            dati.push_back(right);
          } else if (left == "FINELUOGO") {
            auto trovato = luoghi.find(right);
            if (trovato == luoghi.end()) {
              std::cout << "\n ! ERRORE GRAVE: Non " E_GRAVE
                           " stato trovato il luogo di fine del gioco.\n"
                        << impossibile;
              fatale();
            }
            fine = trovato->second.get();
          }
        } else if (linea == "[MsgFineGioco]") {
          ingresso.leggi(linea);
          while (linea != "[EndMsgFineGioco]" && !ingresso.eof()) {
            finegioco += linea;
            finegioco += '\n';
            ingresso.leggi(linea);
          }
        }
        ingresso.leggi(linea);
      }
    } else if (linea == "[Utente]") {
      ingresso.leggi(linea);
      while (linea != "[EndUtente]" && !ingresso.eof()) {
        std::string right, left;
        if (research(linea, right, left) && left == "INIZIO") {
          auto trovato = luoghi.find(right);
          if (trovato == luoghi.end()) {
            std::cout << "\n ! ERRORE GRAVE: Non " E_GRAVE " stato trovato il luogo di partenza.\n"
                      << impossibile;
            fatale();
          }
          utente = trovato->second.get();
        }
        ingresso.leggi(linea);
      }
    }
    if (ingresso.bad()) {
      std::cout << "\n - ! Si " E_GRAVE " verificato un errore non gestito.\n";
      fatale();
    }
  }
}
