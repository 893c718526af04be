// Fuzz target: the input is what the player types into the default world.
// The whole program runs on it (load question, commands, questions, saving,
// reloading), once with the plain console and once with the UTF-8 one, in a
// scratch folder that holds the default world as mondo.ini; each input starts
// without a saved game. A fatal error (answering "si" with no saved game)
// ends the input.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "fuzz/supporto.h"
#include "game/ambiente.h"
#include "console/console_utf8.h"

// The bytes of worlds/mondo.ini, compiled in by the build.
extern const unsigned char mondo_predefinito[];
extern const std::size_t mondo_predefinito_lunghezza;

namespace {

// The scratch folder, made once per process and removed at its exit.
std::string cartella;

void rimuovi_cartella() {
  std::remove((cartella + "/world.ini").c_str());
  std::remove((cartella + "/mondo.ini").c_str());
  ::rmdir(cartella.c_str());
}

void prepara_cartella() {
  if (!cartella.empty()) return;
  const char* base = "/dev/shm";  // memory-backed, so saving costs no disk sync
  struct stat info;
  if (::stat(base, &info) != 0 || !S_ISDIR(info.st_mode) || ::access(base, W_OK) != 0) {
    base = std::getenv("TMPDIR") != nullptr ? std::getenv("TMPDIR") : "/tmp";
  }
  std::string modello = std::string(base) + "/velt-fuzz-XXXXXX";
  if (::mkdtemp(&modello[0]) == nullptr) {
    std::perror("fuzz_comandi: mkdtemp");
    std::abort();
  }
  cartella = modello;
  std::ofstream mondo(cartella + "/mondo.ini", std::ios::binary);
  mondo.write(reinterpret_cast<const char*>(mondo_predefinito),
              static_cast<std::streamsize>(mondo_predefinito_lunghezza));
  if (!mondo.flush()) {
    std::perror("fuzz_comandi: mondo.ini");
    std::abort();
  }
  std::atexit(rimuovi_cartella);
}

// Plays the whole program on `ingresso` with the console `base`.
template <class base>
void partita(sessione_fuzz& sessione, const std::string& ingresso) {
  sessione.leggi_da(ingresso);
  ::unlink("world.ini");
  con_console_fuzz<base> terminale;
  try {
    gioca();
  } catch (const uscita_fatale&) {
    // The loader's fatal stop: the program would end here with status 1.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  prepara_cartella();
  const int qui = ::open(".", O_RDONLY | O_DIRECTORY);
  if (qui < 0 || ::chdir(cartella.c_str()) != 0) {
    std::perror("fuzz_comandi: scratch folder");
    std::abort();
  }
  {
    sessione_fuzz sessione;
    const std::string ingresso(reinterpret_cast<const char*>(dati), n);
    partita<console>(sessione, ingresso);
    partita<console_utf8>(sessione, ingresso);
  }
  ::unlink("world.ini");
  if (::fchdir(qui) != 0) std::abort();
  ::close(qui);
  return 0;
}
