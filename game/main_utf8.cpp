#include <unistd.h>

#include <iostream>
#include <memory>

#include "console/console_libedit.h"
#include "console/console_utf8.h"
#include "game/avvio.h"

// The same game for a UTF-8 terminal: the console layer transcodes. A player
// at a terminal types through libedit; piped or redirected input is read as
// plain lines, byte for byte like velt's.
int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::unique_ptr<console_utf8> terminale;
  if (::isatty(STDIN_FILENO) && ::isatty(STDOUT_FILENO)) {
    terminale = std::make_unique<console_libedit>();
  } else {
    terminale = std::make_unique<console_utf8>();
  }
  usa_console(terminale.get());
  const int stato = avvia(argc, argv, "velt-utf8");
  usa_console(nullptr);
  return stato;
}
