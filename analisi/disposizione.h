#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "analisi/analisi.h"

// The map's layout: places by the compass (north up, south down, east right,
// west left; up and down as another level), with no two boxes overlapping
// whatever the exits say. Fills `x`, `y`, `larghezza`, `altezza` and `piano`
// of every node of `g`; the same graph always gets the same layout, whatever
// the order of its exits. Separate groups of places are laid out apart.
// Coordinates start at 0 and grow right and down.
void disponi(grafo_mappa& g);

// Writes the laid-out map `g` as a standalone SVG document. Each place's box
// carries the place's name and the line of its record as data attributes.
void scrivi_svg(const grafo_mappa& g, std::ostream& uscita);

// The marks of a place shown under its title ("partenza, fine, piano +1,
// irraggiungibile"); empty when it has none.
std::string segni_luogo(const nodo_mappa& n);

// How each exit of a map is drawn: on its own; as one arrow with two heads
// for a free two-way pair (two free exits leading back to each other's place
// in opposite directions), drawn from the place whose name sorts first; or
// not at all, being the other half of such a pair (or naming no place).
enum class tratto { sola, coppia, nessuno };
std::vector<tratto> tratti(const grafo_mappa& g);
