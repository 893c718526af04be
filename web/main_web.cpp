#include <emscripten.h>
#include <sys/stat.h>

#include <cstdint>
#include <iostream>

#include "console/console_web.h"
#include "console/cp850.h"
#include "game/ambiente.h"

// The game in the browser page: the same loop as the terminal programs, with
// the page's console. The page puts the world as mondo.ini in the game's
// folder and makes it the working directory before it calls main.
int main() {
  // Emscripten starts with a umask that would create the saved game with no
  // permissions at all, so the file system could not reopen it.
  ::umask(022);
  std::ios::sync_with_stdio(false);
  int stato;
  {
    console_web pagina;
    usa_console(&pagina);
    stato = gioca();
    usa_console(nullptr);
  }
  fine_pagina(stato);
  return stato;
}

namespace {
conversione_cp850 ultima;
}  // namespace

// What velt_converti hands to the page; the fields are 32-bit words.
struct esito_conversione {
  std::uint32_t stato;  // 0 passed unchanged, 1 converted, 2 failed
  const char* testo;    // the world to play (stati 0 and 1)
  std::uint32_t lunghezza;
  std::uint32_t riga;     // stato 2: the line of the character
  const char* carattere;  // stato 2: that character, UTF-8, NUL-terminated
};

// A world file the player opens: a file that is valid UTF-8 with non-ASCII
// text is converted to code page 850 with the rules of the author tools;
// anything else is the engine's own bytes and passes unchanged. The result
// stays valid until the next call.
extern "C" EMSCRIPTEN_KEEPALIVE const esito_conversione* velt_converti(const char* dati,
                                                                       std::size_t n) {
  static esito_conversione esito;
  const std::string testo(dati, n);
  if (!utf8_non_ascii(testo)) {
    ultima = conversione_cp850{};
    ultima.testo = testo;
    esito.stato = 0;
  } else {
    ultima = converti_in_cp850(testo);
    esito.stato = ultima.riuscita ? 1 : 2;
  }
  esito.testo = ultima.testo.data();
  esito.lunghezza = static_cast<std::uint32_t>(ultima.testo.size());
  esito.riga = static_cast<std::uint32_t>(ultima.riga);
  esito.carattere = ultima.carattere.c_str();
  return &esito;
}
