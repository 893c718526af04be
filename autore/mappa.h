#pragma once
#include <ostream>

#include "game/ambiente.h"

// `velt-autore mappa`: writes the map of `mondo` as a Graphviz DOT graph.
// One node per place, labelled with its title (dark places shaded, the start
// and end places marked); one edge per exit, labelled with its direction. A
// pair of free exits leading to each other's place in opposite directions is
// one edge with arrows at both ends; a one-way exit (no way back the
// opposite way) is blue; an obstructed exit is dashed, with the obstruction
// text as its tooltip. Places and exits come in name and direction order, so
// the same world always gives the same text. World text is code page 850 and
// comes out as UTF-8.
void scrivi_mappa(const ambiente& mondo, std::ostream& uscita);
