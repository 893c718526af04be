#include <iostream>

#include "objects/accenti.h"
#include "places/luogo.h"

namespace {

// The direction words in the order `vai` tests them, with the reply for a
// missing link (down and up end with a full stop, the others do not).
struct verso {
  const char* parola;
  direzione dir;
  const char* nessun_luogo;
};

const verso versi[] = {
    {"nord", NORD, "\n - Verso Nord non vi " E_GRAVE " alcun luogo\n"},
    {"sud", SUD, "\n - Verso Sud non vi " E_GRAVE " alcun luogo\n"},
    {"est", EST, "\n - Verso Est non vi " E_GRAVE " alcun luogo\n"},
    {"ovest", OVEST, "\n - Verso Ovest non vi " E_GRAVE " alcun luogo\n"},
    {"basso", BASSO, "\n - Verso gi" U_GRAVE " non vi " E_GRAVE " alcun luogo.\n"},
    {"alto", ALTO, "\n - Verso su non vi " E_GRAVE " alcun luogo.\n"},
};

const verso* trova_verso(std::string_view parola) {
  for (const verso& v : versi) {
    if (parola == v.parola) return &v;
  }
  return nullptr;
}

}  // namespace

// The obstruction is examined only when a link exists; arrival shows the
// full look at an unseen place and the short description at a seen one.
luogo* luogo::vai(luogo*& utente, const std::string& s) {
  const verso* v = trova_verso(s);
  if (v == nullptr) {
    std::cout << "\n ! ERRORE: Direzione non riconosciuta\n";
    return utente;
  }
  luogo* meta = utente->link[v->dir];
  if (meta == nullptr) {
    std::cout << v->nessun_luogo;
    return utente;
  }
  if (!utente->ostr[v->dir].empty()) {
    std::cout << "\n - " << utente->ostr[v->dir] << '\n';
    return utente;
  }
  utente = meta;
  if (!utente->stato) {
    utente->guarda("");
  } else {
    utente->prnt_des();
  }
  return utente;
}

void luogo::delostr(std::string_view direzione) {
  const verso* v = trova_verso(direzione);
  if (v == nullptr) {
    std::cout << "\n ! ERRORE: direzione (dell'ostruzione) non riconosciuta: " << direzione
              << ".\n";
    return;
  }
  ostr[v->dir].clear();
}
