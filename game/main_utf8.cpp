#include <iostream>

#include "console/console_utf8.h"
#include "game/avvio.h"

// The same game for a UTF-8 terminal: the console layer transcodes.
int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  console_utf8 terminale;
  usa_console(&terminale);
  const int stato = avvia(argc, argv, "velt-utf8");
  usa_console(nullptr);
  return stato;
}
