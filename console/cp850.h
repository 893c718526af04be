#pragma once
#include <cstddef>
#include <string>
#include <string_view>

// Code page 850, the character set of the engine's bytes, and UTF-8, the
// character set of today's terminals, editors and browsers.

// Code page 850 to UTF-8: every byte from 0x80 up becomes its character.
std::string cp850_a_utf8(const std::string& testo);
// The same, appending the `n` bytes at `s` to `uscita`.
void accoda_utf8(std::string& uscita, const char* s, std::size_t n);

// UTF-8 to code page 850 for what the player types: each character that the
// code page has becomes its byte; anything else (plain ASCII, characters the
// code page lacks, bytes that are not valid UTF-8) passes through unchanged.
std::string utf8_a_cp850(const std::string& testo);

// True when `testo` is valid UTF-8 and holds at least one byte from 0x80 up:
// a world file an author saved from a UTF-8 editor. A code page 850 file with
// accented letters is practically never valid UTF-8.
bool utf8_non_ascii(std::string_view testo);

// The outcome of converting an author's UTF-8 text to code page 850.
struct conversione_cp850 {
  bool riuscita = true;
  std::string testo;          // the converted text; empty when it failed
  unsigned long riga = 0;     // failed: the line (from 1) of the character
  unsigned long colonna = 0;  // failed: its column, in characters from 1
  std::string carattere;      // failed: that character, in UTF-8
};

// Converts a whole world file from UTF-8 to code page 850. Characters the
// code page has become their byte; the ones editors type every day that it
// lacks become their plain equivalents: typographic quotes and apostrophes
// become ' and ", dashes become -, the ellipsis becomes "...", the narrow and
// figure non-breaking spaces become a space (U+00A0 is in the code page). A
// byte-order mark at the start is dropped. Any other character, or a byte
// that is not valid UTF-8, fails the whole conversion with its line, so no
// half-converted text is ever produced.
conversione_cp850 converti_in_cp850(const std::string& testo);

// Why the conversion `esito` failed, in UTF-8, for an author: the character
// the code page lacks with its code point and column ("il carattere '€'
// (U+20AC), alla colonna 12, non esiste nella code page 850 e non ha un
// equivalente semplice"), or the byte that is not UTF-8 and its column. The
// checker's diagnostic and every tool that refuses the file say this text.
std::string motivo_conversione(const conversione_cp850& esito);

// The line that stops a tool on a file `nome` whose conversion `esito`
// failed, in the checker's form: "NOME:RIGA: errore: " and the reason, in
// UTF-8, without a line feed.
std::string errore_conversione(const std::string& nome, const conversione_cp850& esito);
