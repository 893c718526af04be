#pragma once
#include <fstream>
#include <istream>
#include <string>

#include "world/osservatore.h"

// Turns `linea` to upper case (ASCII a-z only; bytes from 0x80 up keep their
// case). An empty `linea` prints the empty-line notice and returns false.
bool maiuscolizza(std::string& linea);

// Splits KEY=VALUE at the first '=': `right` receives the value verbatim,
// `left` the key in upper case. Returns false, touching neither, when the line
// holds no '='. An empty key prints the notice of `maiuscolizza`.
bool research(const std::string& linea, std::string& right, std::string& left);

// Opens a world file for reading. Only a regular file that can be read
// counts: a folder or an unreadable file is one that is not there.
bool apri_mondo(const char* nome, std::ifstream& ingresso);

// The world file as a source of lines. Each line comes without its line feed
// and without trailing carriage returns, so CR LF files read like LF files.
// The end-of-file and error states are those of the underlying stream: a line
// read together with the end of the file leaves `eof` true. The lettore reads
// the stream ahead in large blocks, so the stream belongs to it until the end.
class lettore {
public:
  // `o`, when given, hears what the readers meet (the author tools).
  explicit lettore(std::istream& s, osservatore* o = nullptr) : in(s), oss(o) {}
  // Reads the next line into `linea` (empty when nothing could be read).
  void leggi(std::string& linea);
  // Reads lines until one is not empty or the file has ended.
  void leggi_non_vuota(std::string& linea);
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
};
