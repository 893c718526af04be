#include <iostream>

#include "game/ambiente.h"
#include "console/console_utf8.h"

// The same game for a UTF-8 terminal: the console layer transcodes.
int main() {
  std::ios::sync_with_stdio(false);
  console_utf8 terminale;
  usa_console(&terminale);
  const int stato = gioca();
  usa_console(nullptr);
  return stato;
}
