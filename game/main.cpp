#include <iostream>

#include "game/avvio.h"

// The game prints code page 850 bytes, as a DOS-style console expects.
int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  return avvia(argc, argv, "velt");
}
