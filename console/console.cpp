#include "console/console.h"

#include <unistd.h>

#include <cstdlib>
#include <iostream>

#include "console/cp850.h"

console::~console() = default;

bool console::leggi_riga(std::string& riga) {
  if (std::getline(std::cin, riga)) return true;
  riga.clear();
  return false;
}

void console::errore(const std::string& testo) {
  std::cout.flush();
  std::cerr << testo;
}

void console::errore_utf8(const std::string& testo) { errore(utf8_a_cp850(testo)); }

// Scripted runs (input or output not a terminal) must end at once, so the
// wait happens only when a player sits at the terminal.
void console::pausa() {
  if (!::isatty(STDIN_FILENO) || !::isatty(STDOUT_FILENO)) return;
  std::cout << "\nPremere INVIO per continuare . . .\n";
  std::string riga;
  leggi_riga(riga);
}

void console::termina_fatale() {
  pausa();
  std::cout.flush();
  std::exit(1);
}

void console::segna(segno) {}

namespace {
console predefinita;
console* attiva = &predefinita;
}  // namespace

console& console_attiva() { return *attiva; }

console* usa_console(console* c) {
  console* prima = attiva;
  attiva = c != nullptr ? c : &predefinita;
  return prima;
}

std::string risposta() {
  std::string riga;
  attiva->leggi_riga(riga);
  return riga;
}

// A console whose fatal exit returns would let the loader run on broken
// state; stop the program instead.
void fatale() {
  attiva->termina_fatale();
  std::abort();
}
