#include "game/ambiente.h"

#include <iostream>

oggcont ambiente::zaino("zaino", "Il tuo zainetto", false, false, false, true, false, "", "", true);

ambiente::ambiente(luogo& ll) : utente(&ll), segnaposto(&ll) {}

ambiente::~ambiente() = default;

ambiente& ambiente::operator+=(std::unique_ptr<luogo> l) {
  const std::string chiave = l->name();
  luoghi.try_emplace(chiave, std::move(l));
  return *this;
}

void ambiente::start() {
  utente->guarda("");
  utente->cambiastato();
}

// Only objects lying directly in the end place count: carried ones, or ones
// inside a container there, do not. The message shows once.
void ambiente::end() {
  if (utente != fine) return;
  unsigned trovato = 0;
  for (const std::string& nome : dati) utente->ricerca(nome, trovato);
  if (trovato == dati.size() && !finegioco.empty()) {
    std::cout << "\n - " << finegioco;
    finegioco.clear();
  }
}
