#pragma once
#include <functional>
#include <iostream>
#include <streambuf>
#include <string>
#include <string_view>

#include "analisi/caricamento.h"
#include "world/mondo_letto.h"

// What the author tools share beyond the analysis's loading helpers
// (analisi/caricamento.h): reading a world file by its name.

// Reads the world file `nome` into `p` with the game's loader, after emptying
// the backpack, with the engine's messages silenced and the tools' console
// installed. The bytes are taken as they are, as the game takes mondo.ini in
// its own folder. False when the file is not a readable regular file. A fatal
// error that `oss` does not have skipped throws `arresto_fatale`.
bool carica_file(const std::string& nome, partita& p, osservatore* oss);

// The same load from the code page 850 text of a world (from
// `leggi_mondo_autore`).
void carica_testo(const std::string& testo, partita& p, osservatore* oss);

// Reads the world file `nome` for a tool as the game reads its MONDO
// argument (see mondo_letto): a file saved in UTF-8 comes converted, and
// `errori` gets one note that it was. False when it cannot be read
// ("velt-autore: impossibile leggere NOME") or holds a character that code
// page 850 lacks (the checker's line for it), said on `errori`. `esito`,
// when given, receives which of the four it was.
bool leggi_mondo_autore(const std::string& nome, std::string& testo, std::ostream& errori,
                        mondo_letto::esito_t* esito = nullptr);

// Reads the whole file `nome` (a readable regular file, as for the game)
// into `dati`. False, with "velt-autore: impossibile leggere NOME" on
// `errori`, when it cannot.
bool leggi_tutto(const std::string& nome, std::string& dati, std::ostream& errori);

// Writes `testo` to a new file in the destination's folder, then renames it
// over the destination. False, with nothing left behind and an existing
// destination untouched, on any failure.
bool scrivi_intero(const std::string& destinazione, const std::string& testo);
