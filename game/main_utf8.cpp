#include <iostream>
#include <memory>

#include "console/console_libedit.h"
#include "game/avvio.h"

// The same game for a UTF-8 terminal: the console layer transcodes. A player
// at a terminal types through libedit; piped or redirected input is read as
// plain lines, byte for byte like velt's.
int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::unique_ptr<console_utf8> terminale = console_per_utf8();
  usa_console(terminale.get());
  const int stato = avvia(argc, argv, "velt-utf8");
  usa_console(nullptr);
  return stato;
}
