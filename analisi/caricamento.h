#pragma once
#include <functional>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "console/console.h"
#include "game/ambiente.h"
#include "world/osservatore.h"

// What the analysis and the author tools share to read a world as the game
// does: a world holder built as the game builds one, a console that answers
// the game's questions by itself, and the silencing of the engine's own
// messages.

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

// Text from a world file turned from code page 850 to UTF-8.
std::string in_utf8(std::string_view testo);

// Text from a world file, between single quotes and turned from code page
// 850 to UTF-8, for the tools' messages.
std::string tra_apici(std::string_view testo);

// Walks every object of `mappa` and, inside containers and hiding places,
// every object they hold, in name order.
void per_ogni_oggetto(const mappa_oggetti& mappa, const std::function<void(const oggetto&)>& fai);
