#include "places/luogo.h"

#include <iostream>

#include "console/console.h"
#include "objects/accenti.h"

int luogo::luogocod = 0;

luogo::luogo(std::string_view n, std::string_view sopran, std::string_view d, bool i, bool st,
             std::string_view sugg)
    : idluogo(luogocod++),
      memoria(arena::attiva()),
      sopranome(sopran),
      nome(n),
      descrizione(d),
      stato(st),
      illuminazione(i),
      suggest(sugg) {}

luogo::~luogo() = default;

std::unique_ptr<luogo> luogo::copia() const {
  auto l = std::make_unique<luogo>(nome, sopranome, descrizione, illuminazione, stato, suggest);
  for (int d = 0; d < NUM_DIREZIONI; ++d) l->ostr[d] = testo(ostr[d], l->memoria);
  oggetto::copia_lista(oggetti, l->oggetti);
  return l;
}

luogo& luogo::operator+=(std::unique_ptr<oggetto> ogg) {
  const std::string_view chiave = ogg->nome_ref();
  oggetti.try_emplace(chiave, std::move(ogg));
  return *this;
}

// Only objects lying directly in the place count: a lit lamp inside a chest
// or in the backpack lights nothing.
bool luogo::illuminato() const {
  if (illuminazione) return true;
  for (const auto& voce : oggetti) {
    if (voce.second->lux()) return true;
  }
  return false;
}

// The title and the one-time hint show even in the dark; only a lit place is
// marked as seen, so a dark place shows in full at every arrival.
void luogo::guarda(const std::string& ogg) {
  const bool luce = illuminato();
  if (ogg.empty()) {
    console_attiva().segna(segno::luogo);
    std::cout << "\n* " << sopranome << '\n';
    if (!suggest.empty()) {
      std::cout << '\n' << suggest;
      suggest.clear();
    }
  }
  if (!luce) {
    std::cout << "\n - Spiacente: il luogo non " E_GRAVE " illuminato.\n";
    return;
  }
  if (ogg.empty()) {
    stato = true;
    if (oggetti.empty()) {
      std::cout << "\n - Non ci sono oggetti in questo luogo.";
    } else {
      std::cout << "\n  Questa " E_GRAVE " la lista degli oggetti presenti in questo luogo.\n";
      for (const auto& voce : oggetti) std::cout << "  - " << voce.first << '\n';
    }
    std::cout << '\n' << descrizione;
    return;
  }
  auto it = oggetti.find(ogg);
  if (it == oggetti.end()) {
    std::cout << "\n ! ERRORE: L'oggetto " << ogg << " non " E_GRAVE " presente nel luogo.\n";
  } else {
    it->second->guarda();
  }
}

void luogo::prnt_des() const {
  console_attiva().segna(segno::luogo);
  std::cout << "\n* " << sopranome;
  if (!illuminato()) std::cout << "\n - Questo luogo non " E_GRAVE " illuminato.";
  std::cout << "\n\n" << descrizione;
}

void luogo::ricerca(const std::string& nomeobj, unsigned& trovato) const {
  trovato += static_cast<unsigned>(oggetti.count(nomeobj));
}
