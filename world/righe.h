#pragma once
#include <cstring>
#include <fstream>
#include <istream>
#include <string>
#include <string_view>

#include "world/osservatore.h"

// Turns `linea` to upper case (ASCII a-z only; bytes from 0x80 up keep their
// case). An empty `linea` prints the empty-line notice and returns false.
bool maiuscolizza(std::string& linea);

// The upper case of `c` as `maiuscolizza` makes it.
inline char maiuscola(char c) {
  return c >= 'a' && c <= 'z' ? static_cast<char>(c - ('a' - 'A')) : c;
}

// A copy of `testo` in upper case as `maiuscolizza` makes it, without the
// notice for an empty text.
std::string in_maiuscolo(std::string_view testo);

// True when `testo` turned to upper case equals `parola` (which is in upper
// case already). Copies nothing and prints nothing; the lengths are compared
// first, so the readers can test a key against all the names they know.
inline bool uguale_in_maiuscolo(std::string_view testo, std::string_view parola) {
  if (testo.size() != parola.size()) return false;
  // Keys are most often written in upper case already: one comparison of
  // the bytes, which the compiler does in a few words for a known word.
  if (parola.empty() || std::memcmp(testo.data(), parola.data(), parola.size()) == 0) return true;
  for (std::string_view::size_type i = 0; i < testo.size(); ++i) {
    if (maiuscola(testo[i]) != parola[i]) return false;
  }
  return true;
}

// Splits KEY=VALUE at the first '=': `right` receives the value verbatim,
// `left` the key in upper case. Returns false, touching neither, when the line
// holds no '='. An empty key prints the notice of `maiuscolizza`.
bool research(const std::string& linea, std::string& right, std::string& left);

// As `research`, but copying nothing: `chiave` views the key as it is written
// and `valore` the value, both inside `linea`. The readers match the key with
// `uguale_in_maiuscolo` and copy only the values they keep. An empty key
// prints the notice of `maiuscolizza`, as in `research`.
bool dividi(std::string_view linea, std::string_view& chiave, std::string_view& valore);

// Opens a world file for reading. Only a regular file that can be read
// counts: a folder or an unreadable file is one that is not there.
bool apri_mondo(const char* nome, std::ifstream& ingresso);

// Reads the whole world file `nome` (one `apri_mondo` accepts) into `dati`
// at once, sized first: a big world is not grown byte by byte. False when it
// cannot be opened or reading it fails.
bool leggi_intero(const char* nome, std::string& dati);

// The world file as a source of lines. Each line comes without its line feed
// and without trailing carriage returns, so CR LF files read like LF files.
// The end-of-file and error states are those of the underlying stream: a line
// read together with the end of the file leaves `eof` true. The lettore reads
// the stream ahead in large blocks, so the stream belongs to it until the end.
class lettore {
public:
  // `o`, when given, hears what the readers meet (the author tools).
  explicit lettore(std::istream& s, osservatore* o = nullptr) : in(s), oss(o) {}
  // Reads the next line (empty when nothing could be read). The view stays
  // valid until the next read: most lines are handed out where they lie in
  // the block read ahead, without a copy.
  std::string_view leggi();
  // Hands out the line read last once more at the next read, with its
  // number (the author tools' checker, which ends a broken record at the
  // next marker and leaves that marker to whoever reads on).
  void rimetti() { rimessa = true; }
  // Reads lines until one is not empty or the file has ended.
  std::string_view leggi_non_vuota();
  // The same two reads into a string of the caller's.
  void leggi(std::string& linea) { linea.assign(leggi()); }
  void leggi_non_vuota(std::string& linea) { linea.assign(leggi_non_vuota()); }
  // A failed read that is not the end of the file also ends the reading, so
  // no loop can wait for ever on a broken stream.
  bool eof() const { return in.eof() || in.fail(); }
  bool bad() const { return in.bad(); }
  // Number of the line read last, counting from 1.
  unsigned long riga() const { return numero; }
  // The observer, or null (always null in the game).
  osservatore* osserva() const { return oss; }

private:
  std::istream& in;
  osservatore* oss;
  unsigned long numero = 0;
  // Bytes read ahead from the stream, and the first one not yet handed out.
  std::string blocco;
  std::string::size_type pos = 0;
  // A line that runs over the end of a block, pieced together here.
  std::string spezzata;
  // The line read last, and whether it is to be read again.
  std::string_view ultima;
  bool rimessa = false;
};
