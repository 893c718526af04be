#include "objects/oggostr.h"

#include <iostream>

#include "objects/accenti.h"
#include "places/luogo.h"

oggostr::oggostr(std::string_view n, std::string_view d, bool i, bool t, bool s, bool a, bool ac,
                 std::string_view sugg, std::string_view r, std::string_view dir, bool aperto)
    : oggetto(n, d, i, t, s, a, ac, sugg, r), direzione(dir), stato(aperto) {}

oggostr::~oggostr() = default;

std::unique_ptr<oggetto> oggostr::copia() const {
  return std::make_unique<oggostr>(nomeogg, desogg, illuminabile, trasportabile, spostabile,
                                   apribile, acceso, suggest, reagente, direzione, stato);
}

// The blockage lives in the place: clearing happens before the success
// message, so an error about the direction word comes first.
luogo* oggostr::apri(luogo*& utente, const std::string& ogg) {
  if (da_aprire(stato, ogg, " non " E_GRAVE " un oggetto apribile.\n")) {
    stato = true;
    utente->delostr(direzione);
    std::cout << "\n - Hai aperto l'oggetto " << nomeogg << ".\n";
    mostra_sugg();
  }
  return utente;
}

// Moving ignores the open state: a movable obstruction can be moved again.
luogo* oggostr::sposta(luogo*& utente, const std::string& ogg) {
  switch (regola(spostabile, ogg)) {
    case 1:
      utente->delostr(direzione);
      std::cout << "\n - Hai spostato l'oggetto " << nomeogg << ".\n";
      mostra_sugg();
      break;
    case 2:
      std::cout << "\n - L'oggetto " << nomeogg << " non si sposta con l'oggetto " << ogg << ".\n";
      break;
    case 3:
      std::cout << "\n - L'oggetto " << nomeogg
                << " ha bisogno di un altro oggetto per essere spostato.\n";
      break;
    default:
      std::cout << "\n - L'oggetto " << nomeogg << " non " E_GRAVE " spostabile.\n";
  }
  return utente;
}

// Using tests no capability: the right object (or none, when none is needed)
// clears the way silently but for the hint.
luogo* oggostr::usa(luogo*& utente, const std::string& ogg) {
  if (ogg == reagente.vista()) {
    utente->delostr(direzione);
    mostra_sugg();
  } else {
    std::cout << "\n - Spiacente, nulla di fatto.\n";
  }
  return utente;
}
