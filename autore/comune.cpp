#include "autore/comune.h"

#include <fstream>
#include <iterator>

#include "world/righe.h"

// The same files count as world files as in the game.
bool carica_file(const std::string& nome, partita& p, osservatore* oss) {
  std::ifstream ingresso;
  if (!apri_mondo(nome.c_str(), ingresso)) return false;
  ambiente::zaino.svuota();
  console_autore risponditore;
  silenzio zitto;
  p.mondo.carica_da(ingresso, oss);
  return true;
}

bool leggi_tutto(const std::string& nome, std::string& dati, std::ostream& errori) {
  std::ifstream ingresso;
  if (apri_mondo(nome.c_str(), ingresso)) {
    dati.assign(std::istreambuf_iterator<char>(ingresso), std::istreambuf_iterator<char>());
  }
  if (!ingresso.is_open() || ingresso.bad()) {
    errori << "velt-autore: impossibile leggere " << nome << '\n';
    return false;
  }
  return true;
}
