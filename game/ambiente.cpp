#include "game/ambiente.h"

#include <iostream>

oggcont ambiente::zaino("zaino", "Il tuo zainetto", false, false, false, true, false, "", "", true);

ambiente::ambiente(luogo& ll)
    : luoghi(alloc_mondo<mappa_luoghi::value_type>(&memoria)), utente(&ll), segnaposto(&ll) {}

// The objects of this world that the backpack or the placeholder place (both
// outlive it) hold lie in its arena: they go before the arena does. Others
// (those of a world loaded since) stay.
ambiente::~ambiente() {
  zaino.svuota(memoria);
  segnaposto->svuota(memoria);
}

ambiente& ambiente::operator+=(std::unique_ptr<luogo> l) {
  const std::string_view chiave = l->nome_ref();
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
