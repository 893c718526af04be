#pragma once
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
};

// The state the game is in after loading the world of `p` and showing the
// start place, as the saver writes it. Whether places were seen and hints
// shown only changes what is printed, so every place is marked seen and
// every hint dropped first: states that differ only there are one state.
std::string stato_iniziale(partita& p);

// Breadth-first search from the state `iniziale` (a text of the saver) for
// the shortest sequence of commands after which the closing message is
// shown. Each state is loaded into a fresh world, one command is run through
// the game's interpreter (questions answered "si", output discarded), and
// the world is saved again: equal texts are the same state. At most
// `max_stati` states are expanded; `progresso`, when given, receives a
// progress line every second.
esito_ricerca cerca_soluzione(const std::string& iniziale, unsigned long max_stati,
                              std::ostream* progresso);

// The commands worth trying in the current state of `mondo`: moves through
// free exits; taking each object in reach; dropping each carried object;
// opening, lighting and moving each object of the place alone and with each
// carried object (and moving it with its reagent, which need not be
// carried); using each carried object on each object of the place.
std::vector<std::string> comandi_possibili(const ambiente& mondo);

// The solution as a script for `velt`: the answer to the load question,
// the commands with a "si" line per question, then `esci` and its answer.
void scrivi_copione(const std::vector<passo>& passi, std::ostream& uscita);
