#pragma once
#include <cstddef>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "autore/comune.h"

// One command of a solution and how many questions it asks (each answered
// "si").
struct passo {
  std::string comando;
  unsigned domande;
};

struct esito_ricerca {
  bool trovata = false;
  bool completa = false;  // every reachable state was explored
  std::vector<passo> passi;
  unsigned long esplorati = 0;
  // What the search saw, to say why there is no solution: whether the player
  // stood in the end place in some explored state, and the required objects
  // (OBJ lines) that lay there in none.
  bool fine_raggiunta = false;
  std::vector<std::string> mai_nella_fine;
  // Bytes held by the stored states (their records, the table that finds
  // them and the links of the search tree), for the benchmarks.
  std::size_t memoria = 0;
  unsigned long conservati = 0;  // states stored: explored or waiting
};

// Puts the world just loaded into `p` into the state the game is in after
// showing the start place. Whether places were seen and hints shown only
// changes what is printed, so every place is marked seen and every hint
// dropped first: states that differ only there are one state.
void prepara_ricerca(partita& p);

// Called with a state's number and the live world in that state: once when
// the state is expanded (the world set to it), and after every try that
// leads to it (the world as the game's own code left it).
using visita_stato = std::function<void(unsigned long, const ambiente&)>;

// Breadth-first search, from the state of the world in `p` (prepared by
// `prepara_ricerca`), for the shortest sequence of commands after which the
// closing message is shown. A state is the compact record of what play can
// change: the player's place, where each object lies (in a place, in the
// backpack, in a container, hidden, or destroyed by a reveal into a place
// that held its name), the lit and open flags, and the cleared
// obstructions. It is stored as its differences from the start, so its size
// and cost do not grow with the world. The closing message is not part of
// it: the search ends when a command shows it.
//
// Each try runs one command through the game's interpreter (questions
// answered "si", output discarded) on the live world set to the state; only
// the place where the player stands and the backpack can change, and only
// they are read back and reset. At most `max_stati` states are expanded;
// `progresso`, when given, receives a progress line every second. The world
// is left in an unspecified state.
esito_ricerca cerca_soluzione(partita& p, unsigned long max_stati, std::ostream* progresso,
                              const visita_stato& visita = nullptr);

// The commands worth trying in the current state of `mondo`: moves through
// free exits; taking each object in reach; dropping each carried object;
// opening, lighting and moving each object of the place alone and with each
// carried object (and moving it with its reagent, which need not be
// carried); using each carried object on each object of the place.
std::vector<std::string> comandi_possibili(const ambiente& mondo);

// The solution as a script for `velt`: the answer to the load question,
// the commands with a "si" line per question, then `esci` and its answer.
void scrivi_copione(const std::vector<passo>& passi, std::ostream& uscita);
