// Fuzz target: the input is a world file. It is loaded, a fixed script of
// commands is played on it, and the game is saved to text, loaded back into
// a fresh world and saved again. A fatal world-file error ends the input; a
// second save that differs from the first means the saver wrote something
// the loader reads back differently, and aborts.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz/supporto.h"
#include "game/ambiente.h"

namespace {

const char* const direzioni[] = {"nord", "sud", "est", "ovest", "alto", "basso"};

// Runs one command; its questions are answered yes, no, yes, then the input
// is over.
void comando(sessione_fuzz& sessione, ambiente& mondo, const std::string& riga) {
  sessione.leggi_da("si\nno\nsi\n");
  mondo.analizza(riga);
}

// Up to `quanti` names of a holder's objects, copied (the commands move them).
std::vector<std::string> nomi(const mappa_oggetti& mappa, std::size_t quanti) {
  std::vector<std::string> elenco;
  for (const auto& voce : mappa) {
    if (elenco.size() == quanti) break;
    elenco.emplace_back(voce.first);
  }
  return elenco;
}

// The script is fixed in shape; the names come from the world, so that the
// actions reach its objects: every action on the objects of the current
// place, with and without the first carried object as the tool, then a walk
// through the first free exit.
void copione(sessione_fuzz& sessione, ambiente& mondo) {
  comando(sessione, mondo, "aiuto");
  comando(sessione, mondo, "guarda zaino");
  for (int passo = 0; passo < 8; ++passo) {
    comando(sessione, mondo, "guarda");
    const std::vector<std::string> portati = nomi(ambiente::zaino.contenuto(), 1);
    const std::string attrezzo = portati.empty() ? "niente" : portati.front();
    for (const std::string& nome : nomi(mondo.corrente()->oggetti_(), 6)) {
      for (const char* verbo : {"guarda ", "sposta ", "apri ", "usa ", "accendi "}) {
        comando(sessione, mondo, verbo + nome);
        comando(sessione, mondo, verbo + nome + " con " + attrezzo);
      }
      comando(sessione, mondo, "prendi " + nome);
    }
    if (passo % 2 == 1 && !portati.empty()) comando(sessione, mondo, "lascia " + attrezzo);
    const luogo* qui = mondo.corrente();
    for (int d = 0; d < NUM_DIREZIONI; ++d) {
      const int verso = (passo + d) % NUM_DIREZIONI;
      const auto dir = static_cast<direzione>(verso);
      if (qui->collegamento(dir) != nullptr && qui->ostruzione(dir).empty()) {
        comando(sessione, mondo, std::string("vai ") + direzioni[verso]);
        break;
      }
    }
  }
}

// Loads `testo` into a fresh world around the placeholder place.
std::unique_ptr<ambiente> carica(const std::string& testo, luogo& segnaposto) {
  ambiente::zaino.svuota();
  auto mondo = std::make_unique<ambiente>(segnaposto);
  std::istringstream ingresso(testo);
  mondo->carica_da(ingresso);
  return mondo;
}

std::string salvato(const ambiente& mondo) {
  std::ostringstream uscita;
  mondo.salva_su(uscita);
  return uscita.str();
}

[[noreturn]] void guasto(const char* perche) {
  std::cerr << "fuzz_mondo: " << perche << "\n";
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* dati, std::size_t n) {
  sessione_fuzz sessione;
  con_console_fuzz<console> terminale;
  std::string primo;
  try {
    luogo dio("dio", "IO sono un dio", "", true, false, "");
    std::unique_ptr<ambiente> mondo =
        carica(std::string(reinterpret_cast<const char*>(dati), n), dio);
    copione(sessione, *mondo);
    primo = salvato(*mondo);
  } catch (const uscita_fatale&) {
    return 0;  // the world file was rejected with its fatal message: a clean end
  }
  try {
    luogo dio("dio", "IO sono un dio", "", true, false, "");
    if (salvato(*carica(primo, dio)) != primo) {
      guasto("the saved game does not load back as it was saved");
    }
  } catch (const uscita_fatale&) {
    guasto("the saved game is rejected by the loader");
  }
  return 0;
}
