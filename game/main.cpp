#include <iostream>

#include "game/ambiente.h"

// The game prints code page 850 bytes, as a DOS-style console expects.
int main() {
  std::ios::sync_with_stdio(false);
  return gioca();
}
