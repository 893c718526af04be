#pragma once
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "analisi/analisi.h"

// A document open in the editor: its text as the editor sent it (UTF-8),
// where each of its lines starts, and the analysis of the text.
//
// Three ways of counting columns meet here: bytes of the UTF-8 text; the
// author's characters (one per code point), which the analysis answers in;
// and UTF-16 code units, which the editor speaks (a character outside the
// Basic Multilingual Plane is two). Lines are split at line feeds only, as
// the game reads them; a carriage return before a line feed does not count
// as part of the line. Lines count from 0 here, as the editor counts them.
class documento {
public:
  // Takes the whole text and analyses it.
  explicit documento(std::string testo = {}, long versione = 0);

  // Replaces the stretch between two editor positions with `nuovo`; the
  // analysis is left as it was until `analizza` is called, so a run of
  // edits costs one analysis.
  void modifica(unsigned long riga_da, unsigned long unita_da, unsigned long riga_a,
                unsigned long unita_a, const std::string& nuovo);
  // Replaces the whole text, without analysing it.
  void sostituisci(std::string nuovo);
  void analizza();

  const std::string& testo() const { return contenuto; }
  const risultato& analisi() const { return esito; }
  long versione = 0;

  std::size_t numero_righe() const { return inizi.size(); }
  // Line `riga` without its line end; empty past the last line.
  std::string_view riga(unsigned long riga) const;

  // The byte of the text at an editor position. A position past the end of
  // its line means the end of the line, past the last line the end of the
  // text; a position inside a character means that character's start.
  std::size_t byte(unsigned long riga, unsigned long unita) const;
  // The author's column at an editor position of line `riga`.
  unsigned long colonna(unsigned long riga, unsigned long unita) const;
  // The editor's column (UTF-16 units) of the author's column `colonna` of
  // line `riga`; a column past the end of the line means the line's end.
  unsigned long unita(unsigned long riga, unsigned long colonna) const;

private:
  void indicizza();
  std::size_t cammina(unsigned long riga, unsigned long unita, unsigned long& caratteri) const;
  std::string contenuto;
  std::vector<std::size_t> inizi;  // the byte where each line starts
  risultato esito;
};

// Walks the UTF-8 character that starts at `testo[i]`: returns its length in
// bytes and sets `unita` to its length in UTF-16 units. A byte that starts no
// valid character counts as one byte and one unit.
std::size_t carattere_utf8(std::string_view testo, std::size_t i, unsigned& unita);
