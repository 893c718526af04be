#include "game/avvio.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <system_error>

#include "console/console.h"
#include "game/ambiente.h"
#include "objects/accenti.h"
#include "world/mondo_letto.h"

#ifndef VELT_VERSIONE
#define VELT_VERSIONE "sviluppo"
#endif

namespace fs = std::filesystem;

namespace {

void aiuto(const std::string& p, bool cp850) {
  std::cout << "uso: " << p << " [OPZIONI] [MONDO]\n"
            << "Gioca un'avventura testuale di velt.\n"
               "\n"
               "Senza MONDO il gioco legge mondo.ini, o il salvataggio world.ini, nella\n"
               "cartella corrente e salva l" A_GRAVE
               ". Con MONDO, un file del mondo, il gioco si\n"
               "svolge in una cartella tutta sua, $XDG_DATA_HOME/velt/NOME/ (di solito\n"
               "~/.local/share/velt/NOME/, NOME " E_GRAVE
               " il nome del file senza estensione):\n"
               "a ogni avvio vi copia MONDO come mondo.ini e vi tiene il salvataggio.\n"
               "\n"
               "Opzioni:\n"
               "  -h, --help     mostra questo aiuto ed esce\n"
               "  -V, --version  mostra la versione ed esce\n";
  if (cp850) {
    std::cout << "      --cp850    scrive i byte della code page 850 anche in un terminale UTF-8\n";
  }
}

// One line on standard error, through the console (velt-utf8 transcodes it).
int errore(const std::string& p, const std::string& messaggio, int stato) {
  console_attiva().errore(p + ": " + messaggio + "\n");
  return stato;
}

// The folder of the world named `nome` under the user's data folder; empty
// when neither XDG_DATA_HOME (absolute, as the XDG rules require) nor HOME
// says where that is.
fs::path cartella_dati(const fs::path& nome) {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  fs::path base;
  if (xdg != nullptr && fs::path(xdg).is_absolute()) {
    base = xdg;
  } else {
    const char* casa = std::getenv("HOME");
    if (casa == nullptr || *casa == '\0') return {};
    base = fs::path(casa) / ".local" / "share";
  }
  return base / "velt" / nome;
}

// Copies the world into its folder and moves there. The world file is read
// in full before anything is written, so a copy over itself (the player
// gave the folder's own mondo.ini) leaves it whole.
int prepara_mondo(const std::string& p, const std::string& mondo) {
  std::error_code e;
  if (!fs::exists(mondo, e)) return errore(p, "file del mondo non trovato: " + mondo, 2);
  if (!fs::is_regular_file(mondo, e)) {
    return errore(p, mondo + " non " E_GRAVE " un file del mondo", 2);
  }
  // A world from a UTF-8 editor is played converted, as the page plays it.
  const mondo_letto letto = leggi_mondo(mondo);
  if (letto.esito == mondo_letto::ILLEGGIBILE) return errore(p, "impossibile leggere " + mondo, 2);
  if (letto.esito == mondo_letto::NON_CONVERTIBILE) {
    console_attiva().errore_utf8(errore_conversione(mondo, letto.conversione) + '\n');
    return 2;
  }
  if (letto.esito == mondo_letto::CONVERTITO) {
    console_attiva().errore_utf8(nota_conversione(mondo) + '\n');
  }
  const std::string& testo = letto.testo;

  // "..ini" would make the folder "." of velt/ itself.
  fs::path nome = fs::path(mondo).stem();
  if (nome == "." || nome == "..") nome = fs::path(mondo).filename();
  const fs::path cartella = cartella_dati(nome);
  if (cartella.empty()) {
    return errore(p, "n" E_GRAVE " XDG_DATA_HOME n" E_GRAVE " HOME dicono dove tenere il mondo", 1);
  }
  fs::create_directories(cartella, e);
  if (e) return errore(p, "impossibile creare la cartella " + cartella.string(), 1);
  std::ofstream copia(cartella / "mondo.ini", std::ios::binary | std::ios::trunc);
  copia << testo;
  copia.close();
  if (!copia) return errore(p, "impossibile scrivere " + (cartella / "mondo.ini").string(), 1);
  if (::chdir(cartella.c_str()) != 0) {
    return errore(p, "impossibile entrare nella cartella " + cartella.string(), 1);
  }
  return -1;
}

}  // namespace

int avvia(int argc, char** argv, const char* programma, bool cp850) {
  const std::string p = programma;
  const char* mondo = nullptr;
  bool opzioni = true;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (opzioni && a == "--") {
      opzioni = false;
    } else if (opzioni && (a == "-h" || a == "--help")) {
      aiuto(p, cp850);
      return 0;
    } else if (opzioni && (a == "-V" || a == "--version")) {
      std::cout << p << ' ' << VELT_VERSIONE << '\n';
      return 0;
    } else if (opzioni && cp850 && a == "--cp850") {
      continue;
    } else if (opzioni && a.size() > 1 && a[0] == '-') {
      return errore(p, "opzione sconosciuta '" + a + "' (aiuto: " + p + " --help)", 2);
    } else if (mondo != nullptr) {
      return errore(p, "un solo MONDO alla volta (aiuto: " + p + " --help)", 2);
    } else {
      mondo = argv[i];
    }
  }
  if (mondo != nullptr) {
    const int stato = prepara_mondo(p, mondo);
    if (stato >= 0) return stato;
  }
  return gioca();
}
