#include "game/ambiente.h"

#include <iostream>

#include "console/console.h"

namespace {

// How many of the nodes of `mappa` lie on the heap (in no arena).
std::size_t nodi_sul_heap(const mappa_oggetti& mappa) {
  std::size_t n = 0;
  for (const auto& voce : mappa) n += arena::di(&voce) == nullptr ? 1 : 0;
  return n;
}

}  // namespace

oggcont ambiente::zaino("zaino", "Il tuo zainetto", false, false, false, true, false, "", "", true);

ambiente::ambiente(luogo& ll)
    : luoghi(alloc_mondo<mappa_luoghi::value_type>(&memoria, arena::NODI_LUOGHI)),
      utente(&ll),
      segnaposto(&ll) {}

// The objects of this world that the backpack or the placeholder place (both
// outlive it) hold lie in its arena: they go before the arena does. Others
// (those of a world loaded since) stay.
//
// Then, when every place lies in the arena, no object lives on the heap and
// every map node on the heap is one of the backpack's or the placeholder's
// (none was moved into a map of the world), nothing in the world owns memory
// outside the arena, and no destructor of its places and objects has
// anything left to do: the places are let go unvisited and the arena returns
// them, their objects, nodes and texts to the system in one piece. Otherwise
// (a place, object or node made outside a load, in tests and tools) the
// places are destroyed one by one as ever.
ambiente::~ambiente() {
  zaino.svuota(memoria);
  segnaposto->svuota(memoria);
  if (oggetto::sul_heap != 0 || arena::nodi_sul_heap != nodi_sul_heap(zaino.contenuto()) +
                                                            nodi_sul_heap(segnaposto->oggetti_())) {
    return;
  }
  for (const auto& voce : luoghi) {
    if (!memoria.contiene(voce.second.get())) return;
  }
  for (auto& voce : luoghi) static_cast<void>(voce.second.release());
}

ambiente& ambiente::operator+=(std::unique_ptr<luogo> l) {
  const std::string_view chiave = l->nome_ref();
  luoghi.try_emplace(chiave, std::move(l));
  return *this;
}

void ambiente::copia_da(const ambiente& modello,
                        const std::vector<std::unique_ptr<oggetto>>& zaino_modello) {
  const arena::in_uso nel_mondo(memoria);
  // In name order, each place goes in at the end with a single comparison.
  for (const auto& voce : modello.luoghi) {
    std::unique_ptr<luogo> l = voce.second->copia();
    const std::string_view chiave = l->nome_ref();
    luoghi.try_emplace(luoghi.end(), chiave, std::move(l));
  }
  // A place of the copy, by the name of the model's; null for a place the
  // model does not list (its placeholder).
  const auto copia_di = [this](const luogo* l) -> luogo* {
    if (l == nullptr) return nullptr;
    const auto trovato = luoghi.find(l->nome_ref());
    return trovato == luoghi.end() ? nullptr : trovato->second.get();
  };
  for (const auto& voce : modello.luoghi) {
    luogo* copia = copia_di(voce.second.get());
    for (int d = 0; d < NUM_DIREZIONI; ++d) {
      const auto verso = static_cast<direzione>(d);
      copia->collega(verso, copia_di(voce.second->collegamento(verso)));
    }
  }
  if (modello.utente != modello.segnaposto) utente = copia_di(modello.utente);
  if (utente == nullptr) utente = segnaposto;
  fine = copia_di(modello.fine);
  titolo = modello.titolo;
  finegioco = modello.finegioco;
  dati = modello.dati;
  for (const std::unique_ptr<oggetto>& o : zaino_modello) zaino += o->copia();
}

std::vector<std::unique_ptr<oggetto>> ambiente::togli_dallo_zaino() {
  std::vector<std::unique_ptr<oggetto>> presi;
  mappa_oggetti& nello_zaino = zaino.contenuto_mod();
  for (auto it = nello_zaino.begin(); it != nello_zaino.end();) {
    const auto voce = it++;
    if (memoria.contiene(voce->second.get())) {
      presi.push_back(std::move(nello_zaino.extract(voce).mapped()));
    }
  }
  return presi;
}

void ambiente::start() {
  utente->guarda("");
  utente->cambiastato();
}

// Only objects lying directly in the end place count: carried ones, or ones
// inside a container there, do not. The message shows once, and the console
// hears of it first.
void ambiente::end() {
  if (utente != fine) return;
  unsigned trovato = 0;
  for (const std::string& nome : dati) utente->ricerca(nome, trovato);
  if (trovato == dati.size() && !finegioco.empty()) {
    console_attiva().segna(segno::fine);
    std::cout << "\n - " << finegioco;
    finegioco.clear();
  }
}
