#include "world/righe.h"

#include <sys/stat.h>

#include <cstring>
#include <iostream>

namespace {

void avvisa_riga_vuota() { std::cout << "\n ! ERRORE: riga vuota.\n"; }

}  // namespace

bool maiuscolizza(std::string& linea) {
  if (linea.empty()) {
    avvisa_riga_vuota();
    return false;
  }
  for (char& c : linea) c = maiuscola(c);
  return true;
}

std::string in_maiuscolo(std::string_view testo) {
  std::string copia(testo);
  for (char& c : copia) c = maiuscola(c);
  return copia;
}

bool dividi(std::string_view linea, std::string_view& chiave, std::string_view& valore) {
  if (linea.empty()) return false;  // memchr may not be given the null of an empty view
  const auto* uguale = static_cast<const char*>(std::memchr(linea.data(), '=', linea.size()));
  if (uguale == nullptr) return false;
  const auto prima = static_cast<std::string_view::size_type>(uguale - linea.data());
  chiave = std::string_view(linea.data(), prima);
  valore = std::string_view(uguale + 1, linea.size() - prima - 1);
  if (prima == 0) avvisa_riga_vuota();
  return true;
}

bool research(const std::string& linea, std::string& right, std::string& left) {
  std::string_view chiave, valore;
  if (!dividi(linea, chiave, valore)) return false;
  left = in_maiuscolo(chiave);
  right.assign(valore);
  return true;
}

bool apri_mondo(const char* nome, std::ifstream& ingresso) {
  struct stat info;
  if (::stat(nome, &info) != 0 || !S_ISREG(info.st_mode)) return false;
  ingresso.open(nome);
  return ingresso.is_open();
}

bool leggi_intero(const char* nome, std::string& dati) {
  std::ifstream ingresso;
  if (!apri_mondo(nome, ingresso)) return false;
  ingresso.seekg(0, std::ios::end);
  const std::streamoff misura = ingresso.tellg();
  ingresso.seekg(0, std::ios::beg);
  dati.resize(misura > 0 ? static_cast<std::size_t>(misura) : 0);
  ingresso.read(&dati[0], static_cast<std::streamsize>(dati.size()));
  dati.resize(static_cast<std::size_t>(ingresso.gcount()));
  // A file grown since it was measured: the rest, as it comes.
  if (ingresso) {
    char blocco[1 << 16];
    while (ingresso.read(blocco, sizeof blocco) || ingresso.gcount() > 0) {
      dati.append(blocco, static_cast<std::size_t>(ingresso.gcount()));
    }
  }
  return !ingresso.bad();
}

namespace {

// Reads ahead into `blocco` what the stream holds without waiting, at least
// one byte unless the stream has ended. False at the end of the stream, or
// after the stream's buffer failed, which sets badbit as std::getline does.
bool riempi(std::istream& in, std::string& blocco) {
  std::streambuf* sorgente = in.rdbuf();
  try {
    std::streamsize pronti = sorgente->in_avail();
    if (pronti == 0 && !std::istream::traits_type::eq_int_type(sorgente->sgetc(),
                                                               std::istream::traits_type::eof())) {
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
// loading a big world. A line that lies wholly inside the block is handed out
// where it lies; only one that runs over the block's end is copied, piece by
// piece, into `spezzata`.
std::string_view lettore::leggi() {
  if (rimessa) {
    rimessa = false;
    return ultima;
  }
  // Most lines lie whole in the block: cut them out at once.
  if (pos < blocco.size() && in.good()) {
    const char* inizio = blocco.data() + pos;
    const auto* a_capo = static_cast<const char*>(std::memchr(inizio, '\n', blocco.size() - pos));
    if (a_capo != nullptr) {
      std::string_view linea(inizio, static_cast<std::string::size_type>(a_capo - inizio));
      pos += linea.size() + 1;
      ++numero;
      while (!linea.empty() && linea.back() == '\r') linea.remove_suffix(1);
      return ultima = linea;
    }
  }
  std::string_view linea;
  bool letto = false;
  bool a_pezzi = false;  // the line so far is in `spezzata`
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
          if (a_pezzi) linea = spezzata;
          break;
        }
      }
      const char* inizio = blocco.data() + pos;
      const std::string::size_type resto = blocco.size() - pos;
      const void* a_capo = std::memchr(inizio, '\n', resto);
      letto = true;
      if (a_capo == nullptr) {
        // The line goes on in the next block, which will overwrite this one.
        if (!a_pezzi) spezzata.clear();
        a_pezzi = true;
        spezzata.append(inizio, resto);
        pos = blocco.size();
        continue;
      }
      const auto lunga =
          static_cast<std::string::size_type>(static_cast<const char*>(a_capo) - inizio);
      pos += lunga + 1;
      if (a_pezzi) {
        spezzata.append(inizio, lunga);
        linea = spezzata;
      } else {
        linea = std::string_view(inizio, lunga);
      }
      break;
    }
  }
  if (!letto) return ultima = linea;
  ++numero;
  // Every trailing CR goes, not just one: a line read back from a saved game
  // must equal the text that was saved, so the reading has to be idempotent.
  while (!linea.empty() && linea.back() == '\r') linea.remove_suffix(1);
  return ultima = linea;
}

std::string_view lettore::leggi_non_vuota() {
  std::string_view linea = leggi();
  while (linea.empty() && !eof()) linea = leggi();
  return linea;
}
