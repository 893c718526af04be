#pragma once
#include <cstddef>
#include <cstdint>

#include "analisi/analisi.h"

// Generated map graphs, for testing and measuring the layout without going
// through a world file. Names are zero-padded, so the nodes are in name order
// as the analysis gives them; titles are "Luogo N".

// A grid of `luoghi` places as wide as the square root of their number, each
// linked both ways to its neighbours north, south, east and west: a graph
// with a perfect layout. Place 0 is the start, the last place the end.
grafo_mappa grafo_griglia(std::size_t luoghi);

// A graph that fits no grid: each place gets up to `uscite` exits in random
// directions (up and down included) to random places, itself included, some
// with an obstruction, some with the way back; about one place in twenty has
// no exit at all and one in ten a long title. The same `seme` gives the same
// graph.
grafo_mappa grafo_casuale(std::size_t luoghi, std::size_t uscite, std::uint32_t seme);
