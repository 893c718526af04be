#include "objects/oggnasc.h"

#include <iostream>

#include "objects/accenti.h"
#include "places/luogo.h"

oggnasc::oggnasc(std::string_view n, std::string_view d, bool i, bool t, bool s, bool a, bool ac,
                 std::string_view sugg, std::string_view r)
    : oggetto(n, d, i, t, s, a, ac, sugg, r) {}

oggnasc::~oggnasc() = default;

std::unique_ptr<oggetto> oggnasc::copia() const {
  auto n = std::make_unique<oggnasc>(nomeogg, desogg, illuminabile, trasportabile, spostabile,
                                     apribile, acceso, suggest, reagente);
  copia_lista(nascondiglio, n->nascondiglio);
  return n;
}

oggnasc& oggnasc::operator*=(std::unique_ptr<oggetto> ogg) {
  const std::string_view chiave = ogg->nome_ref();
  nascondiglio.try_emplace(chiave, std::move(ogg));
  return *this;
}

// A revealed object whose name the place already holds is destroyed by the
// place, so nothing is left without an owner.
void oggnasc::rivela(luogo& utente) {
  for (auto& voce : nascondiglio) utente += std::move(voce.second);
  nascondiglio.clear();
}

luogo* oggnasc::sposta(luogo*& utente, const std::string& ogg) {
  switch (regola(spostabile, ogg)) {
    case 1:
      std::cout << "\n - Hai spostato l'oggetto " << nomeogg << '\n';
      mostra_sugg();
      if (!nascondiglio.empty()) {
        rivela(*utente);
        utente->guarda("");
      }
      break;
    case 4:
      std::cout << "\n - Spiacente: l'oggetto " << nomeogg << " non " E_GRAVE " spostabile.\n";
      break;
    default:
      // A wrong or a missing object: the refusals of any object.
      oggetto::sposta(utente, ogg);
  }
  return utente;
}

// Using reveals silently (only the hint shows) and does not show the place;
// an emptied hiding place used rightly prints nothing, not even its hint.
luogo* oggnasc::usa(luogo*& utente, const std::string& ogg) {
  if (ogg != reagente.vista()) {
    std::cout << "\n - L'oggetto " << nomeogg << " deve essere usato con un'altro oggetto.\n";
  } else if (!nascondiglio.empty()) {
    rivela(*utente);
    mostra_sugg();
  }
  return utente;
}
