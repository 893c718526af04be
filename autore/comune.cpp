#include "autore/comune.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>

#include "console/cp850.h"
#include "world/righe.h"

const char* const parole_direzione[NUM_DIREZIONI] = {"nord",  "sud",  "est",
                                                     "ovest", "alto", "basso"};

partita::partita() : segnaposto("dio", "IO sono un dio", "", true, false, ""), mondo(segnaposto) {}

console_autore::console_autore() : prima(usa_console(this)) {}

console_autore::~console_autore() { usa_console(prima); }

bool console_autore::leggi_riga(std::string& riga) {
  ++domande;
  riga = "si";
  return true;
}

void console_autore::termina_fatale() { throw arresto_fatale{}; }

// The stream is also put in the failed state, so every insertion gives up at
// once instead of formatting for nothing (the solver's tries print a lot);
// the buffer that swallows everything stays as a second guard.
silenzio::silenzio() : prima(std::cout.rdbuf(&nulla)), stato_prima(std::cout.rdstate()) {
  std::cout.setstate(std::ios::failbit);
}

silenzio::~silenzio() {
  std::cout.rdbuf(prima);
  std::cout.clear(stato_prima);
}

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

void per_ogni_oggetto(const mappa_oggetti& mappa, const std::function<void(const oggetto&)>& fai) {
  for (const auto& voce : mappa) {
    const oggetto& o = *voce.second;
    fai(o);
    if (const auto* c = dynamic_cast<const oggcont*>(&o)) per_ogni_oggetto(c->contenuto(), fai);
    if (const auto* n = dynamic_cast<const oggnasc*>(&o)) per_ogni_oggetto(n->nascosti(), fai);
  }
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

std::string tra_apici(std::string_view testo) {
  return "'" + cp850_a_utf8(std::string(testo)) + "'";
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
