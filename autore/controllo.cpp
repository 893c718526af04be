#include "autore/controllo.h"

#include <sstream>

#include "autore/comune.h"

namespace {

std::string conta(size_t n, const char* uno, const char* molti) {
  return std::to_string(n) + ' ' + (n == 1 ? uno : molti);
}

}  // namespace

void scrivi_diagnostica(const std::string& nome, const diagnostica& d, std::ostream& uscita) {
  uscita << nome << ':';
  if (d.dove.riga != 0) uscita << d.dove.riga << ':';
  uscita << (d.livello == gravita::errore ? " errore: " : " avviso: ") << d.messaggio << '\n';
}

int controlla(const std::string& nome, std::ostream& uscita, std::ostream& errori) {
  std::vector<diagnostica> trovate;
  std::string dati;
  std::ostringstream scarto;  // the error is said as a diagnostic of the file
  if (leggi_tutto(nome, dati, scarto)) {
    risultato r = analizza(dati);
    if (r.convertito) errori << nota_conversione(nome) << '\n';
    trovate = std::move(r.diagnostiche);
  } else {
    diagnostica d;
    d.livello = gravita::errore;
    d.codice = "illeggibile";
    d.messaggio = "impossibile leggere il file";
    trovate.push_back(std::move(d));
  }
  size_t contati = 0;
  for (const diagnostica& d : trovate) {
    scrivi_diagnostica(nome, d, uscita);
    if (d.livello == gravita::errore) ++contati;
  }
  uscita << nome << ": " << conta(contati, "errore", "errori") << ", "
         << conta(trovate.size() - contati, "avviso", "avvisi") << '\n';
  return static_cast<int>(contati);
}
