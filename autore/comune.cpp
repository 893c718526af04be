#include "autore/comune.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "world/righe.h"

namespace {

void carica_flusso(std::istream& ingresso, partita& p, osservatore* oss) {
  ambiente::zaino.svuota();
  console_autore risponditore;
  silenzio zitto;
  p.mondo.carica_da(ingresso, oss);
}

}  // namespace

// The same files count as world files as in the game.
bool carica_file(const std::string& nome, partita& p, osservatore* oss) {
  std::ifstream ingresso;
  if (!apri_mondo(nome.c_str(), ingresso)) return false;
  carica_flusso(ingresso, p, oss);
  return true;
}

void carica_testo(const std::string& testo, partita& p, osservatore* oss) {
  std::istringstream ingresso(testo);
  carica_flusso(ingresso, p, oss);
}

bool leggi_mondo_autore(const std::string& nome, std::string& testo, std::ostream& errori,
                        mondo_letto::esito_t* esito) {
  mondo_letto letto = leggi_mondo(nome);
  if (esito != nullptr) *esito = letto.esito;
  switch (letto.esito) {
    case mondo_letto::ILLEGGIBILE:
      errori << "velt-autore: impossibile leggere " << nome << '\n';
      return false;
    case mondo_letto::NON_CONVERTIBILE:
      errori << errore_conversione(nome, letto.conversione) << '\n';
      return false;
    case mondo_letto::CONVERTITO:
      errori << nota_conversione(nome) << '\n';
      break;
    case mondo_letto::LETTO:
      break;
  }
  testo = std::move(letto.testo);
  return true;
}

bool leggi_tutto(const std::string& nome, std::string& dati, std::ostream& errori) {
  if (!leggi_intero(nome.c_str(), dati)) {
    errori << "velt-autore: impossibile leggere " << nome << '\n';
    return false;
  }
  return true;
}

bool scrivi_intero(const std::string& destinazione, const std::string& testo) {
  std::string temporaneo = destinazione + ".XXXXXX";
  const int fd = ::mkstemp(&temporaneo[0]);
  if (fd < 0) return false;
  const mode_t maschera = ::umask(0);
  ::umask(maschera);
  bool ok = ::fchmod(fd, 0644 & ~maschera) == 0;
  for (size_t scritti = 0; ok && scritti < testo.size();) {
    const ssize_t n = ::write(fd, testo.data() + scritti, testo.size() - scritti);
    ok = n > 0;
    if (ok) scritti += static_cast<size_t>(n);
  }
  ok = ::fsync(fd) == 0 && ok;
  ok = ::close(fd) == 0 && ok;
  ok = ok && std::rename(temporaneo.c_str(), destinazione.c_str()) == 0;
  if (!ok) ::unlink(temporaneo.c_str());
  return ok;
}
