#pragma once
#include <ostream>

#include "analisi/analisi.h"

// `velt-autore mappa`: the map of a world as a Graphviz DOT graph (the SVG
// is analisi/disposizione.h's). One node per place, labelled with its title
// (dark places shaded, the start and end places marked); one edge per exit,
// labelled with its direction. A pair of free exits leading to each other's
// place in opposite directions is one edge with arrows at both ends; a
// one-way exit (no way back the opposite way) is blue; an obstructed exit is
// dashed, with the obstruction text as its tooltip. Places and exits come in
// name and direction order, so the same world always gives the same text.
void scrivi_dot(const grafo_mappa& g, std::ostream& uscita);
