#include "analisi/caricamento.h"

#include <algorithm>

#include "console/cp850.h"

const char* const parole_direzione[NUM_DIREZIONI] = {"nord",  "sud",  "est",
                                                     "ovest", "alto", "basso"};

partita::partita() : segnaposto("dio", "IO sono un dio", "", true, false, ""), mondo(segnaposto) {}

console_autore::console_autore() : prima(usa_console(this)) {}

console_autore::~console_autore() { usa_console(prima); }

bool console_autore::leggi_riga(std::string& riga) {
  ++domande;
  riga = "si";
  return true;
}

void console_autore::termina_fatale() { throw arresto_fatale{}; }

// The stream is also put in the failed state, so every insertion gives up at
// once instead of formatting for nothing (the solver's tries print a lot);
// the buffer that swallows everything stays as a second guard.
silenzio::silenzio() : prima(std::cout.rdbuf(&nulla)), stato_prima(std::cout.rdstate()) {
  std::cout.setstate(std::ios::failbit);
}

silenzio::~silenzio() {
  std::cout.rdbuf(prima);
  std::cout.clear(stato_prima);
}

void per_ogni_oggetto(const mappa_oggetti& mappa, const std::function<void(const oggetto&)>& fai) {
  for (const auto& voce : mappa) {
    const oggetto& o = *voce.second;
    fai(o);
    if (const auto* c = dynamic_cast<const oggcont*>(&o)) per_ogni_oggetto(c->contenuto(), fai);
    if (const auto* n = dynamic_cast<const oggnasc*>(&o)) per_ogni_oggetto(n->nascosti(), fai);
  }
}

std::string in_utf8(std::string_view testo) {
  // Most names are plain ASCII, the same bytes in both.
  if (std::none_of(testo.begin(), testo.end(), [](char c) { return (c & 0x80) != 0; })) {
    return std::string(testo);
  }
  std::string fuori;
  fuori.reserve(testo.size());
  accoda_utf8(fuori, testo.data(), testo.size());
  return fuori;
}

std::string tra_apici(std::string_view testo) { return "'" + in_utf8(testo) + "'"; }
