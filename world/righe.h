#pragma once
#include <istream>
#include <string>

// Turns `linea` to upper case (ASCII a-z only; bytes from 0x80 up keep their
// case). An empty `linea` prints the empty-line notice and returns false.
bool maiuscolizza(std::string& linea);

// Splits KEY=VALUE at the first '=': `right` receives the value verbatim,
// `left` the key in upper case. Returns false, touching neither, when the line
// holds no '='. An empty key prints the notice of `maiuscolizza`.
bool research(const std::string& linea, std::string& right, std::string& left);

// The world file as a source of lines. Each line comes without its line feed
// and without one trailing carriage return, so CR LF files read like LF files.
// The end-of-file and error states are those of the underlying stream: a line
// read together with the end of the file leaves `eof` true.
class lettore {
public:
  explicit lettore(std::istream& s) : in(s) {}
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

private:
  std::istream& in;
  unsigned long numero = 0;
};
