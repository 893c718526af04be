#include <emscripten.h>
#include <sys/stat.h>

#include <cstdint>
#include <iostream>

#include "console/console_web.h"
#include "console/cp850.h"
#include "game/ambiente.h"
#include "world/mondo_letto.h"

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
mondo_letto ultimo;
std::string motivo;
}  // namespace

// What velt_converti hands to the page; the fields are 32-bit words.
struct esito_conversione {
  std::uint32_t stato;  // 0 passed unchanged, 1 converted, 2 failed
  const char* testo;    // the world to play (stati 0 and 1)
  std::uint32_t lunghezza;
  std::uint32_t riga;  // stato 2: the line of the character
  const char* motivo;  // stato 2: why, as the author tools say it, UTF-8
};

// A world file the player opens, read as the author tools and the terminal
// games read one (see mondo_letto). The result stays valid until the next
// call.
extern "C" EMSCRIPTEN_KEEPALIVE const esito_conversione* velt_converti(const char* dati,
                                                                       std::size_t n) {
  static esito_conversione esito;
  ultimo = mondo_da_testo(std::string(dati, n));
  const conversione_cp850& c = ultimo.conversione;
  motivo = ultimo.esito == mondo_letto::NON_CONVERTIBILE ? motivo_conversione(c) : "";
  esito.stato = ultimo.esito == mondo_letto::LETTO        ? 0
                : ultimo.esito == mondo_letto::CONVERTITO ? 1
                                                          : 2;
  esito.testo = ultimo.testo.data();
  esito.lunghezza = static_cast<std::uint32_t>(ultimo.testo.size());
  esito.riga = static_cast<std::uint32_t>(c.riga);
  esito.motivo = motivo.c_str();
  return &esito;
}
