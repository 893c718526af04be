#include "game/ambiente.h"

#include <iostream>

oggcont ambiente::zaino("zaino", "Il tuo zainetto", false, false, false, true, false, "", "", true);

ambiente::ambiente(luogo& ll)
    : luoghi(alloc_mondo<mappa_luoghi::value_type>(&memoria)), utente(&ll), segnaposto(&ll) {}

// The objects of this world that the backpack or the placeholder place (both
// outlive it) hold lie in its arena: they go before the arena does. Others
// (those of a world loaded since) stay.
//
// Then, when every place lies in the arena and no object lives on the heap,
// nothing in the world owns memory outside the arena, and no destructor of
// its places and objects has anything left to do: the places are let go
// unvisited and the arena returns them, their objects, nodes and texts to
// the system in one piece. Otherwise (a place or an object made outside a
// load, in tests and tools) the places are destroyed one by one as ever.
ambiente::~ambiente() {
  zaino.svuota(memoria);
  segnaposto->svuota(memoria);
  if (oggetto::sul_heap != 0) return;
  for (const auto& voce : luoghi) {
    if (!memoria.contiene(voce.second.get())) return;
  }
  for (auto& voce : luoghi) voce.second.release();
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
