#include "fuzz/supporto.h"

#include <iostream>

#include "game/ambiente.h"

sessione_fuzz::sessione_fuzz(const std::string& ingresso)
    : in(ingresso), cin_prima(std::cin.rdbuf(in.rdbuf())), cout_prima(std::cout.rdbuf(&nullo)) {
  std::cin.clear();
  std::cout.clear();
  ambiente::zaino.svuota();
  // The backpack is object 0; nothing else is built before the first game.
  oggetto::CodOgg = ambiente::zaino.id() + 1;
  luogo::luogocod = 0;
}

sessione_fuzz::~sessione_fuzz() {
  ambiente::zaino.svuota();
  std::cout.rdbuf(cout_prima);
  std::cin.rdbuf(cin_prima);
  std::cin.clear();
  std::cout.clear();
}

void sessione_fuzz::leggi_da(const std::string& testo) {
  in.str(testo);
  in.clear();
  std::cin.rdbuf(in.rdbuf());
  std::cin.clear();
}
