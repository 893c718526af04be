#include "objects/oggcont.h"

#include <iostream>

#include "console/console.h"
#include "objects/accenti.h"

oggcont::oggcont(std::string_view n, std::string_view d, bool i, bool t, bool s, bool a, bool ac,
                 std::string_view sugg, std::string_view r, bool st)
    : oggetto(n, d, i, t, s, a, ac, sugg, r), stato(st) {
  cnt = true;
}

oggcont::~oggcont() = default;

std::unique_ptr<oggetto> oggcont::copia() const {
  auto c = std::make_unique<oggcont>(nomeogg, desogg, illuminabile, trasportabile, spostabile,
                                     apribile, acceso, suggest, reagente, stato);
  copia_lista(cont, c->cont);
  return c;
}

oggcont& oggcont::operator+=(std::unique_ptr<oggetto> ogg) {
  const std::string_view chiave = ogg->nome_ref();
  cont.try_emplace(chiave, std::move(ogg));
  return *this;
}

std::unique_ptr<oggetto> oggcont::estrai(const std::string& ogg, const std::string& tipo) {
  if (cont.empty()) return nullptr;
  auto it = cont.find(ogg);
  if (tipo == "zaino") {
    if (it == cont.end()) {
      std::cout << "\n - L'oggetto " << ogg << " non " E_GRAVE " presente nello " << tipo << '\n';
      return nullptr;
    }
    std::unique_ptr<oggetto> preso = std::move(it->second);
    cont.erase(it);
    return preso;
  }
  if (it == cont.end() || !stato) return nullptr;
  std::cout << "\n - Vuoi prendere questo oggetto " << ogg << " da " << tipo << " ? si/no\n"
            << "\nRisposta => ";
  if (risposta() != "si") return nullptr;
  if (!it->second->prendi()) {
    std::cout << "\n - L'oggetto " << ogg << " non " E_GRAVE " trasportabile\n";
    return nullptr;
  }
  std::unique_ptr<oggetto> preso = std::move(it->second);
  cont.erase(it);
  std::cout << "\n - Hai messo l'oggetto " << ogg << " nello zaino\n";
  preso->mostra_sugg();
  return preso;
}

void oggcont::guarda() const {
  oggetto::guarda();
  if (!stato) {
    std::cout << "\n  - Spiacente: " << nomeogg << " " E_GRAVE " chiuso/a.\n";
    return;
  }
  if (cont.empty()) {
    std::cout << "\n - Non ci sono oggetti in questo/a " << nomeogg << '\n';
    return;
  }
  std::cout << "\n  Questi sono gli oggetti presenti in questo/a " << nomeogg << ":\n";
  for (const auto& voce : cont) {
    std::cout << "  - " << voce.first << " (" << voce.second->descrizione() << ")\n";
  }
}

// Unlike the base object, any offered object that is not the reagent is the
// wrong one, also when the container needs none.
luogo* oggcont::apri(luogo*& utente, const std::string& ogg) {
  if (da_aprire(stato, ogg, " non " E_GRAVE " apribile.\n")) {
    stato = true;
    std::cout << "\n - Hai aperto l'oggetto " << nomeogg << ".\n";
  }
  return utente;
}

luogo* oggcont::usa(luogo*& utente, const std::string& ogg) {
  apri(utente, ogg);
  return utente;
}
