#pragma once
#include <functional>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "console/console.h"
#include "game/ambiente.h"
#include "world/mondo_letto.h"
#include "world/osservatore.h"

// What the author tools share: a world holder built as the game builds one,
// a console that answers the game's questions by itself, and the silencing of
// the engine's own messages.

// The six direction words, in the order of `direzione`.
extern const char* const parole_direzione[NUM_DIREZIONI];

// A world holder with its placeholder place, as the game's main loop builds
// them: the player stands in the placeholder until the loader names a start.
struct partita {
  partita();
  luogo segnaposto;
  ambiente mondo;
};

// Thrown by the tools' console where the game would end after a fatal error
// in a world file.
struct arresto_fatale {};

// The console of the tools, installed for its lifetime. Every question is
// answered "si" and counted; the wait does nothing; a fatal stop throws
// `arresto_fatale` instead of ending the program.
class console_autore : public console {
public:
  console_autore();
  ~console_autore() override;
  bool leggi_riga(std::string& riga) override;
  void pausa() override {}
  [[noreturn]] void termina_fatale() override;
  unsigned domande = 0;

private:
  console* prima;
};

// Discards everything written to std::cout for its lifetime.
class silenzio {
public:
  silenzio();
  ~silenzio();
  silenzio(const silenzio&) = delete;
  silenzio& operator=(const silenzio&) = delete;

private:
  class scarico : public std::streambuf {
  protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize n) override { return n; }
  };
  scarico nulla;
  std::streambuf* prima;
  std::ios::iostate stato_prima;
};

// Reads the world file `nome` into `p` with the game's loader, after emptying
// the backpack, with the engine's messages silenced and the tools' console
// installed. The bytes are taken as they are, as the game takes mondo.ini in
// its own folder. False when the file is not a readable regular file. A fatal
// error that `oss` does not have skipped throws `arresto_fatale`.
bool carica_file(const std::string& nome, partita& p, osservatore* oss);

// The same load from the code page 850 text of a world (from
// `leggi_mondo_autore`).
void carica_testo(const std::string& testo, partita& p, osservatore* oss);

// Reads the world file `nome` for a tool as the game reads its MONDO
// argument (see mondo_letto): a file saved in UTF-8 comes converted, and
// `errori` gets one note that it was. False when it cannot be read
// ("velt-autore: impossibile leggere NOME") or holds a character that code
// page 850 lacks (the checker's line for it), said on `errori`. `esito`,
// when given, receives which of the four it was.
bool leggi_mondo_autore(const std::string& nome, std::string& testo, std::ostream& errori,
                        mondo_letto::esito_t* esito = nullptr);

// Reads the whole file `nome` (a readable regular file, as for the game)
// into `dati`. False, with "velt-autore: impossibile leggere NOME" on
// `errori`, when it cannot.
bool leggi_tutto(const std::string& nome, std::string& dati, std::ostream& errori);

// Writes `testo` to a new file in the destination's folder, then renames it
// over the destination. False, with nothing left behind and an existing
// destination untouched, on any failure.
bool scrivi_intero(const std::string& destinazione, const std::string& testo);

// Text from a world file, between single quotes and turned from code page
// 850 to UTF-8, for the tools' messages.
std::string tra_apici(std::string_view testo);

// Walks every object of `mappa` and, inside containers and hiding places,
// every object they hold, in name order.
void per_ogni_oggetto(const mappa_oggetti& mappa, const std::function<void(const oggetto&)>& fai);
