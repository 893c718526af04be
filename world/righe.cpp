#include "world/righe.h"

#include <sys/stat.h>

#include <cstring>
#include <iostream>

bool maiuscolizza(std::string& linea) {
  if (linea.empty()) {
    std::cout << "\n ! ERRORE: riga vuota.\n";
    return false;
  }
  for (char& c : linea) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - ('a' - 'A'));
  }
  return true;
}

bool research(const std::string& linea, std::string& right, std::string& left) {
  const void* segno = std::memchr(linea.data(), '=', linea.size());
  if (segno == nullptr) return false;
  const auto uguale = static_cast<std::string::size_type>(static_cast<const char*>(segno) - linea.data());
  // clear and append copy straight into the strings' own room, which the
  // general assign does not; this runs for every key line of a world file.
  left.clear();
  left.append(linea.data(), uguale);
  right.clear();
  right.append(linea.data() + uguale + 1, linea.size() - uguale - 1);
  maiuscolizza(left);
  return true;
}

bool apri_mondo(const char* nome, std::ifstream& ingresso) {
  struct stat info;
  if (::stat(nome, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  ingresso.open(nome);
  return ingresso.is_open();
}

namespace {

// Reads ahead into `blocco` what the stream holds without waiting, at least
// one byte unless the stream has ended. False at the end of the stream, or
// after the stream's buffer failed, which sets badbit as std::getline does.
bool riempi(std::istream& in, std::string& blocco) {
  std::streambuf* sorgente = in.rdbuf();
  try {
    std::streamsize pronti = sorgente->in_avail();
    if (pronti == 0 && !std::istream::traits_type::eq_int_type(
                           sorgente->sgetc(), std::istream::traits_type::eof())) {
      pronti = sorgente->in_avail();
    }
    if (pronti <= 0) {
      blocco.clear();
      return false;
    }
    // Full blocks keep the size, so the resize fills nothing.
    blocco.resize(static_cast<std::string::size_type>(pronti < (1 << 16) ? pronti : (1 << 16)));
    blocco.resize(static_cast<std::string::size_type>(
        sorgente->sgetn(&blocco[0], static_cast<std::streamsize>(blocco.size()))));
  } catch (...) {
    blocco.clear();
    in.setstate(std::ios::badbit);
    return false;
  }
  return !blocco.empty();
}

}  // namespace

// Does what std::getline does, stream states included (eofbit when the line
// ends at the end of the file, failbit too when no byte was left, badbit when
// the stream broke), but cuts the lines out of blocks read ahead: std::getline
// pays a sentry and a buffer scan for every line, a third of the cost of
// loading a big world.
void lettore::leggi(std::string& linea) {
  linea.clear();
  bool letto = false;
  if (!in.good()) {
    in.setstate(std::ios::failbit);
  } else {
    while (true) {
      if (pos == blocco.size()) {
        pos = 0;
        if (!riempi(in, blocco)) {
          std::ios::iostate stato = in.bad() ? std::ios::goodbit : std::ios::eofbit;
          if (!letto) stato |= std::ios::failbit;
          in.setstate(stato);
          break;
        }
      }
      const char* inizio = blocco.data() + pos;
      const std::string::size_type resto = blocco.size() - pos;
      const void* a_capo = std::memchr(inizio, '\n', resto);
      letto = true;
      if (a_capo != nullptr) {
        const auto lunga = static_cast<std::string::size_type>(static_cast<const char*>(a_capo) - inizio);
        linea.append(inizio, lunga);
        pos += lunga + 1;
        break;
      }
      linea.append(inizio, resto);
      pos = blocco.size();
    }
  }
  if (!letto) return;
  ++numero;
  // Every trailing CR goes, not just one: a line read back from a saved game
  // must equal the text that was saved, so the reading has to be idempotent.
  while (!linea.empty() && linea.back() == '\r') linea.pop_back();
}

void lettore::leggi_non_vuota(std::string& linea) {
  leggi(linea);
  while (linea.empty() && !eof()) leggi(linea);
}
