#pragma once
// What the fuzz targets share: a console that never waits and turns the
// fatal exit of a broken world file into an exception, so one input ends
// without ending the fuzzing process, and a session that gives every input
// a fresh run with its standard output discarded.
#include <cstddef>
#include <cstdint>
#include <sstream>
#include <streambuf>
#include <string>

#include "console/console.h"

// Thrown instead of the program's exit with status 1.
struct uscita_fatale {};

// The console of a fuzz run, over the plain console or the UTF-8 one: lines
// come from std::cin, which the session points at the input.
template <class base>
class console_fuzz : public base {
public:
  void pausa() override {}
  [[noreturn]] void termina_fatale() override { throw uscita_fatale{}; }
};

// Installs a fuzz console for the lifetime of this guard.
template <class base>
class con_console_fuzz {
public:
  con_console_fuzz() : prima(usa_console(&terminale)) {}
  ~con_console_fuzz() { usa_console(prima); }
  con_console_fuzz(const con_console_fuzz&) = delete;
  con_console_fuzz& operator=(const con_console_fuzz&) = delete;

private:
  console_fuzz<base> terminale;
  console* prima;
};

// Swallows every byte written to it.
class buffer_nullo : public std::streambuf {
protected:
  int_type overflow(int_type c) override {
    setp(scarto, scarto + sizeof scarto);
    return traits_type::not_eof(c);
  }
  std::streamsize xsputn(const char*, std::streamsize n) override { return n; }

private:
  char scarto[256];
};

// One fuzz input. While it lives, std::cout writes nowhere and std::cin
// reads `ingresso`; the backpack starts empty and the object and place
// numbers start as in a new process, so every input replays alike.
class sessione_fuzz {
public:
  explicit sessione_fuzz(const std::string& ingresso = std::string());
  ~sessione_fuzz();
  sessione_fuzz(const sessione_fuzz&) = delete;
  sessione_fuzz& operator=(const sessione_fuzz&) = delete;

  // Points std::cin at `testo` from its start.
  void leggi_da(const std::string& testo);

private:
  std::istringstream in;
  buffer_nullo nullo;
  std::streambuf* cin_prima;
  std::streambuf* cout_prima;
};

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n);
