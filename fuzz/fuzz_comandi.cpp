// Fuzz target: the input is what the player types into the default world.
// The whole program runs on it (load question, commands, questions, saving,
// reloading), with the plain console when the first byte is even and the
// UTF-8 one when it is odd, so that the fuzzer explores both and each input
// costs one game. The replay of kept inputs (rigioca, built with
// VELT_RIGIOCA) plays both, so an input found with either stays tested with
// it. The game's files are kept in memory (ambiente::in_memoria): mondo.ini
// is the default world and each input starts without a saved game, which
// "salva" writes and "carica" with "si" reads back, so no input touches the
// disk. A text already read is mostly not read again: the default world,
// which every game of every input loads, and a saved game loaded again give
// their games copies of the worlds read from them (mondi_letti). A fatal error
// (answering "si" with no saved game) ends the input.
#include <cstdio>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "console/console_utf8.h"
#include "fuzz/supporto.h"
#include "game/ambiente.h"

// The bytes of worlds/mondo.ini, compiled in by the build.
extern const unsigned char mondo_predefinito[];
extern const std::size_t mondo_predefinito_lunghezza;

namespace {

// The worlds read so far, each kept as loaded with the objects its backpack
// held, so that a game that loads the same text again starts from a copy,
// which costs a fraction of reading it: the default world, and the saved
// game that was loaded a second time last. A saved game is kept only from
// its second load: most are loaded once, straight into the game.
class mondi_letti {
public:
  explicit mondi_letti(const std::string& mondo) : testo_predefinito(mondo) {}

  void carica(const std::string& testo, ambiente& mondo) {
    for (const std::unique_ptr<letto>* l : {&predefinito, &ripreso}) {
      if (*l != nullptr && (*l)->testo == testo) {
        mondo.copia_da((*l)->mondo, (*l)->zaino);
        return;
      }
    }
    if (testo != testo_predefinito && testo != visto) {
      visto = testo;
      std::istringstream ingresso(testo);
      mondo.carica_da(ingresso);
      return;
    }
    auto nuovo = std::make_unique<letto>(testo);
    mondo.copia_da(nuovo->mondo, nuovo->zaino);
    (testo == testo_predefinito ? predefinito : ripreso) = std::move(nuovo);
  }

private:
  struct letto {
    // Reads `testo` (a fatal error throws, and nothing is kept); the objects
    // it puts into the backpack are taken out again and kept here.
    explicit letto(const std::string& t) : testo(t) {
      std::istringstream ingresso(testo);
      mondo.carica_da(ingresso);
      zaino = mondo.togli_dallo_zaino();
    }

    std::string testo;
    luogo segnaposto{"dio", "IO sono un dio", "", true, false, ""};
    ambiente mondo{segnaposto};
    // Declared after the world, so it goes first: its objects lie in the
    // world's arena. A plain list, not a map: a map's nodes would stay on the
    // heap, and a world that goes with map nodes on the heap that are not the
    // backpack's visits every place to destroy it.
    std::vector<std::unique_ptr<oggetto>> zaino;
  };

  const std::string testo_predefinito;
  std::unique_ptr<letto> predefinito;
  // The saved game loaded last, not kept.
  std::string visto;
  std::unique_ptr<letto> ripreso;
};

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
      std::nullopt, [](const std::string& testo, ambiente& mondo) {
        static mondi_letti letti(std::string(reinterpret_cast<const char*>(mondo_predefinito),
                                             mondo_predefinito_lunghezza));
        letti.carica(testo, mondo);
      }};
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
