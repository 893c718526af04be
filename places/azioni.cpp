#include <iostream>

#include "console/console.h"
#include "objects/accenti.h"
#include "objects/oggcont.h"
#include "places/luogo.h"

namespace {

void errore_luogo_vuoto() { std::cout << "\n ! ERRORE: Non ci sono oggetti in questo luogo.\n"; }

void errore_non_nello_zaino(const std::string& ogg) {
  std::cout << "\n ! ERRORE: L'oggetto " << ogg << " non " E_GRAVE " presente nello zaino.\n";
}

}  // namespace

// The scan walks the place in name order. A direct match is offered with a
// question; declined or too heavy, the scan goes on, so containers later in
// the map are still offered. Every container is asked for the name, whether
// or not its own name matched. The first object actually taken ends it.
luogo& luogo::prendi(const std::string& ogg, oggcont& zaino) {
  if (oggetti.empty()) {
    std::cout << "\n ! ERRORE: Non vi sono oggetti in questo luogo\n";
    return *this;
  }
  // Taking a second object of a name the backpack holds would make one of
  // them vanish; the player is told instead.
  if (zaino.search(ogg)) {
    std::cout << "\n ! ERRORE: Nello zaino " E_GRAVE " gi" A_GRAVE " presente un oggetto " << ogg
              << ".\n";
    return *this;
  }
  bool trovato = false;
  for (auto it = oggetti.begin(); it != oggetti.end(); ++it) {
    if (it->first == ogg) {
      trovato = true;
      std::cout << "\n - Vuoi prendere l'oggetto " << ogg << " presente nel luogo si/no\n"
                << "\nRisposta => ";
      const bool si = risposta() == "si";
      if (si && it->second->prendi()) {
        std::unique_ptr<oggetto> preso = std::move(it->second);
        oggetti.erase(it);
        if (preso->lux()) {
          std::cout << "\n - Hai spento l'oggetto " << ogg << ".\n";
          preso->spegni();
        }
        oggetto& tenuto = *preso;
        zaino += std::move(preso);
        std::cout << "\n - Hai messo l'oggetto " << ogg << " nello zaino.\n";
        tenuto.mostra_sugg();
        return *this;
      }
      if (si) {
        std::cout << "\n - Questo oggetto " << ogg
                  << " non pu" O_GRAVE " essere preso: troppo pesante da trasportare.\n";
      }
    }
    if (it->second->contenitore()) {
      std::unique_ptr<oggetto> preso = it->second->estrai(ogg, std::string(it->first));
      if (preso) {
        zaino += std::move(preso);
        return *this;
      }
    }
  }
  if (!trovato) std::cout << "\n - Oggetto " << ogg << " non trovato.\n";
  return *this;
}

// A dropped object never vanishes: when the place already holds its name it
// stays in the backpack.
luogo* luogo::lascia(luogo*& utente, const std::string& ogg, oggcont& zaino) {
  if (zaino.search(ogg) && utente->oggetti.count(ogg) != 0) {
    std::cout << "\n ! ERRORE: Nel luogo " E_GRAVE " gi" A_GRAVE " presente un oggetto " << ogg
              << ".\n";
    return utente;
  }
  std::unique_ptr<oggetto> lasciato = zaino.estrai(ogg, "zaino");
  if (lasciato) {
    *utente += std::move(lasciato);
    std::cout << "\n - Hai lasciato " << ogg << " nel luogo\n";
  }
  return utente;
}

luogo* luogo::apri(luogo*& utente, oggcont& zaino, const std::string& ogg1,
                   const std::string& ogg2) {
  if (oggetti.empty()) {
    errore_luogo_vuoto();
    return utente;
  }
  auto it = oggetti.find(ogg1);
  if (it == oggetti.end()) {
    std::cout << "\n ! ERRORE: L'oggetto " << ogg1 << " non " E_GRAVE " presente nel luogo\n";
    return utente;
  }
  if (!ogg2.empty() && !zaino.search(ogg2)) {
    errore_non_nello_zaino(ogg2);
    return utente;
  }
  it->second->apri(utente, ogg2);
  return utente;
}

// Objects are lit only where they lie in the place.
void luogo::accendi(oggcont& zaino, const std::string& ogg1, const std::string& ogg2) {
  if (oggetti.empty()) {
    errore_luogo_vuoto();
    return;
  }
  auto it = oggetti.find(ogg1);
  if (it == oggetti.end()) {
    if (zaino.search(ogg1)) {
      std::cout << "\n - Forse " E_GRAVE " opportuno che lasci l'oggetto " << ogg1
                << " nel luogo prima!\n";
    } else {
      std::cout << "\n ! ERRORE: L'oggetto " << ogg1
                << " non " E_GRAVE " n" E_GRAVE " nel luogo n" E_GRAVE " nel tuo zaino!\n";
    }
    return;
  }
  if (ogg2.empty() || zaino.search(ogg2)) {
    it->second->accendi(ogg2);
  } else {
    errore_non_nello_zaino(ogg2);
  }
}

// The target is looked up first, so a line naming two unknown objects
// reports the target.
luogo* luogo::usa(luogo*& utente, oggcont& zaino, const std::string& ogg1,
                  const std::string& ogg2) {
  if (oggetti.empty()) {
    errore_luogo_vuoto();
    return utente;
  }
  auto it = oggetti.find(ogg2);
  if (it == oggetti.end()) {
    std::cout << "\n ! ERRORE: L'oggetto " << ogg2 << " non " E_GRAVE " presente nel luogo\n";
    return utente;
  }
  if (!zaino.search(ogg1)) {
    errore_non_nello_zaino(ogg1);
    return utente;
  }
  it->second->usa(utente, ogg1);
  return utente;
}

// The second name is passed on unchecked: the object judges it.
luogo* luogo::sposta(luogo*& utente, const std::string& ogg1, const std::string& ogg2) {
  if (oggetti.empty()) {
    errore_luogo_vuoto();
    return utente;
  }
  auto it = oggetti.find(ogg1);
  if (it == oggetti.end()) {
    std::cout << "\n ! ERRORE: L'oggetto " << ogg1
              << " che si vuole spostare non " E_GRAVE " presente nel luogo\n";
    return utente;
  }
  it->second->sposta(utente, ogg2);
  return utente;
}
