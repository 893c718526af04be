#include <cstring>
#include <iostream>
#include <memory>

#include "console/console_libedit.h"
#include "game/avvio.h"

namespace {

// --cp850 among the options (the words before a lone "--"), as avvia reads
// them.
bool chiede_cp850(int argc, char** argv) {
  for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
    if (std::strcmp(argv[i], "--cp850") == 0) return true;
  }
  return false;
}

}  // namespace

// The game for the terminal it runs in. At a terminal that shows UTF-8 it is
// velt-utf8, with line editing; everywhere else (a pipe, a file, another
// character set) and with --cp850 it prints the code page 850 bytes a
// DOS-style console expects. --help and --version follow the same choice.
int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  std::unique_ptr<console_utf8> terminale;
  if (!chiede_cp850(argc, argv) && terminale_utf8()) terminale = console_per_utf8();
  usa_console(terminale.get());
  const int stato = avvia(argc, argv, "velt", true);
  usa_console(nullptr);
  return stato;
}
