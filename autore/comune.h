#pragma once
#include <functional>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "analisi/caricamento.h"

// What the author tools share beyond the analysis's loading helpers
// (analisi/caricamento.h): reading a world file by its name.

// Reads the world file `nome` into `p` with the game's loader, after emptying
// the backpack, with the engine's messages silenced and the tools' console
// installed. False when the file is not a readable regular file. A fatal
// error that `oss` does not have skipped throws `arresto_fatale`.
bool carica_file(const std::string& nome, partita& p, osservatore* oss);

// Reads the whole file `nome` (a readable regular file, as for the game)
// into `dati`. False, with "velt-autore: impossibile leggere NOME" on
// `errori`, when it cannot.
bool leggi_tutto(const std::string& nome, std::string& dati, std::ostream& errori);

// Writes `testo` to a new file in the destination's folder, then renames it
// over the destination. False, with nothing left behind and an existing
// destination untouched, on any failure.
bool scrivi_intero(const std::string& destinazione, const std::string& testo);
