#pragma once
// Bench of the robustness tests: a scratch working folder per test, files
// read and written whole, and a small world whose start is easy to spell out.
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>

#include "banco_mondo.h"
#include "objects/accenti.h"

namespace robustezza {

using mondo_prova::uscita_fatale;

using mondo_prova::come_utente_comune;
using mondo_prova::leggi_file;
using mondo_prova::scrivi_file;

// Two places; the start place "sala" holds one object, "sasso".
inline const char* mondo_piccolo() {
  return "[Titolo]\nLa prova\n[EndTitolo]\n"
         "[Luogo]\nNOMELUOGO=sala\nSOPRANOME=La sala\n[Descrizione]\nUna sala.\n"
         "[EndDescrizione]\n[EndLuogo]\n"
         "[Luogo]\nNOMELUOGO=cortile\nSOPRANOME=Il cortile\n[EndLuogo]\n"
         "[OggInLuogo]\nNOMELUOGO=sala\n[Oggetto]\nNOMEOGGETTO=sasso\nDESCRIZIONE=Un sasso.\n"
         "TRASPORTABILE=TRUE\n[EndOggetto]\n[EndOggInLuogo]\n"
         "[PuntatoriALuogo]\nNOMELUOGO=sala\nNORD=cortile\n[EndPuntatoriALuogo]\n"
         "[Utente]\nINIZIO=sala\n[EndUtente]\n";
}

// The load question with the line feed printed after the answer.
constexpr const char* domanda_carica =
    "\n - Vuoi caricare il gioco salvato se ne esiste uno"
    "\n   oppure vuoi caricare il gioco di default? si = salvato no = default.\n"
    "\nSono in attesa di una risposta => \n";
constexpr const char* prompt = "\nSono in attesa di un comando => ";

// Each test works in a scratch folder of its own, removed afterwards.
class Robustezza : public mondo_prova::banco_mondo {
protected:
  Robustezza() : prima(std::filesystem::current_path()) {
    std::string modello =
        (std::filesystem::temp_directory_path() / "velt-robustezza-XXXXXX").string();
    if (::mkdtemp(&modello[0]) == nullptr) throw std::runtime_error("mkdtemp");
    cartella = modello;
    std::filesystem::current_path(cartella);
  }
  ~Robustezza() override {
    std::filesystem::current_path(prima);
    std::error_code ignora;
    std::filesystem::remove_all(cartella, ignora);
  }

  std::filesystem::path prima;
  std::filesystem::path cartella;
};

}  // namespace robustezza
