#pragma once
#include <ostream>

#include "analisi/analisi.h"

// The map's layout: places by the compass (north up, south down, east right,
// west left; up and down as another level), with no two boxes overlapping
// whatever the exits say. Fills `x`, `y`, `larghezza`, `altezza` and `piano`
// of every node of `g`; the same graph always gets the same layout.
void disponi(grafo_mappa& g);

// Writes the laid-out map `g` as a standalone SVG document. Each place's box
// carries the place's name and the line of its record as data attributes.
void scrivi_svg(const grafo_mappa& g, std::ostream& uscita);
