#pragma once
#include <functional>
#include <istream>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "objects/oggcont.h"
#include "objects/oggetto.h"
#include "objects/oggnasc.h"
#include "objects/oggostr.h"
#include "places/luogo.h"
#include "world/osservatore.h"

// The places of a world by name; the key views the name inside the place.
using mappa_luoghi =
    std::map<std::string_view, std::unique_ptr<luogo>, std::less<>,
             alloc_mondo<std::pair<const std::string_view, std::unique_ptr<luogo>>>>;

// The world of one game: its places, the current and the end place, the
// title, the closing message and the objects required in the end place. The
// backpack is shared by every game of a run.
class ambiente {
public:
  // `ll` is the placeholder place: the current place until the loader reads
  // the start place. It stays owned by the caller.
  explicit ambiente(luogo& ll);
  ~ambiente();
  ambiente(const ambiente&) = delete;
  ambiente& operator=(const ambiente&) = delete;

  // Adds a place under its name; a name already present keeps the first
  // place and the refused one is destroyed.
  ambiente& operator+=(std::unique_ptr<luogo> l);

  // Asks the player which game to load, opens world.ini or mondo.ini in the
  // working directory and reads it. A fatal error ends the program.
  bool carica();
  // Reads the sections of a world file from `flusso` (the loader's work
  // after the question). A fatal error ends the program. `oss`, when given,
  // hears what the readers meet and may have fatal lines skipped.
  void carica_da(std::istream& flusso, osservatore* oss = nullptr);
  // Makes this world, empty as before a load, a copy of `modello`: its
  // places with their objects, links and obstructions, the start and end
  // places, the title, the required objects and the closing message, all in
  // this world's arena, and copies of `zaino_modello` put in the backpack.
  // That is what loading again the file `modello` was loaded from would
  // build, without reading it.
  void copia_da(const ambiente& modello,
                const std::vector<std::unique_ptr<oggetto>>& zaino_modello);
  // Takes out of the backpack the objects that lie in this world's arena
  // (those its load put there), in name order: what a model for `copia_da`
  // keeps beside itself.
  std::vector<std::unique_ptr<oggetto>> togli_dallo_zaino();
  // Writes the game to world.ini, replacing the previous save only when
  // every byte was written. Prints the outcome; 0 on success, 1 otherwise.
  int salva();
  // Writes the game in the world file format to `uscita`.
  void salva_su(std::ostream& uscita) const;

  std::string prntitolo() const { return titolo; }
  // Shows the current place in full and marks it as seen.
  void start();
  // Interprets one command line; the end-of-game check is its last step.
  void analizza(std::string s);
  // True when the last line was `esci`, the player asked to save and the
  // save failed: the run must not end on that line, or the game is lost.
  bool esci_non_salvato() const { return salvataggio_fallito; }
  // Shows the closing message once, when the player stands in the end place
  // with every required object lying there.
  void end();

  // Read-only views for the author tools.
  const mappa_luoghi& luoghi_() const { return luoghi; }
  luogo* corrente() const { return utente; }
  luogo* finale() const { return fine; }
  const std::vector<std::string>& richiesti() const { return dati; }
  const std::string& messaggio_finale() const { return finegioco; }
  // Write access for the author tools' solver, which sets one live world to
  // each state it explores: where the player stands, and the closing message
  // (empty once shown).
  void imposta_corrente(luogo& l) { utente = &l; }
  void imposta_messaggio_finale(std::string testo) { finegioco = std::move(testo); }
  const arena& memoria_() const { return memoria; }

  // The player's backpack, object number 0, alive for the whole run.
  static oggcont zaino;

  // The two files of the game kept in memory: the world (mondo.ini) and the
  // saved game (world.ini); an empty optional is a file that is not there.
  struct file_in_memoria {
    std::optional<std::string> mondo;
    std::optional<std::string> salvato;
    // When set, a load of either file hands its text and the world to load
    // into to this, which reads it in its stead: fuzz_comandi keeps the
    // worlds it has read and gives out copies of them (`copia_da`).
    std::function<void(const std::string& testo, ambiente& mondo)> leggi;
  };
  // Null in the game. When set (by the fuzzers, which replay thousands of
  // games a second), `carica` reads these files and `salva` replaces the
  // saved game in memory, instead of the working folder's files; the
  // questions and messages stay the same.
  static file_in_memoria* in_memoria;

private:
  // The storage of everything `carica_da` builds: the places, their objects
  // (those in the backpack too), the map nodes, names and texts. Declared
  // first, so it goes last, after every object in it was destroyed.
  arena memoria;
  mappa_luoghi luoghi;
  luogo* utente;
  luogo* fine = nullptr;
  luogo* segnaposto;
  std::string titolo;
  std::string finegioco;
  std::vector<std::string> dati;
  bool salvataggio_fallito = false;
};

// The help text: the list of commands.
void help();

// The whole program: a loop of games on the active console. Returns the exit
// status (0 after `esci`); a fatal world-file error ends it from inside.
int gioca();
