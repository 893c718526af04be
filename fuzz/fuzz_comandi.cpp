// Fuzz target: the input is what the player types into the default world.
// The whole program runs on it (load question, commands, questions, saving,
// reloading), with the plain console when the first byte is even and the
// UTF-8 one when it is odd, so that the fuzzer explores both and each input
// costs one game. The replay of kept inputs (rigioca, built with
// VELT_RIGIOCA) plays both, so an input found with either stays tested with
// it. The
// game's files are kept in memory (ambiente::in_memoria): mondo.ini is the
// default world and each input starts without a saved game, which "salva"
// writes and "carica" with "si" reads back, so no input touches the disk. A
// fatal error (answering "si" with no saved game) ends the input.
#include <cstdio>
#include <string>

#include "console/console_utf8.h"
#include "fuzz/supporto.h"
#include "game/ambiente.h"

// The bytes of worlds/mondo.ini, compiled in by the build.
extern const unsigned char mondo_predefinito[];
extern const std::size_t mondo_predefinito_lunghezza;

namespace {

// Plays the whole program on `ingresso` with the console `base`.
template <class base>
void partita(sessione_fuzz& sessione, ambiente::file_in_memoria& file,
             const std::string& ingresso) {
  sessione.leggi_da(ingresso);
  file.salvato.reset();
  con_console_fuzz<base> terminale;
  try {
    gioca();
  } catch (const uscita_fatale&) {
    // The loader's fatal stop: the program would end here with status 1.
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  static ambiente::file_in_memoria file{
      std::string(reinterpret_cast<const char*>(mondo_predefinito), mondo_predefinito_lunghezza),
      std::nullopt};
  ambiente::in_memoria = &file;
  {
    sessione_fuzz sessione;
    const std::string ingresso(reinterpret_cast<const char*>(dati), n);
#ifdef VELT_RIGIOCA
    const bool semplice = true, utf8 = true;
#else
    const bool utf8 = n > 0 && dati[0] % 2 != 0, semplice = !utf8;
#endif
    if (semplice) partita<console>(sessione, file, ingresso);
    if (utf8) partita<console_utf8>(sessione, file, ingresso);
  }
  file.salvato.reset();
  ambiente::in_memoria = nullptr;
  return 0;
}
