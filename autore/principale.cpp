#include "autore/principale.h"

#include <cstdio>
#include <sstream>

#include "autore/comune.h"
#include "autore/controllo.h"
#include "autore/mappa.h"
#include "autore/risolutore.h"

#ifndef VELT_VERSIONE
#define VELT_VERSIONE "sviluppo"
#endif

namespace {

const char* const uso =
    "uso: velt-autore controlla FILE\n"
    "     velt-autore mappa FILE [--svg]\n"
    "     velt-autore risolvi FILE [--max-stati N]\n"
    "     velt-autore --help | --version\n";

// The map of a world that the game might not even load: every line that
// would stop it is skipped, as the checker does.
class salta_tutto : public osservatore {
 public:
  bool segnala(evento, unsigned long, const std::string&) override { return true; }
  void oggetto_letto(unsigned long, const oggetto&, bool) override {}
  void luogo_letto(unsigned long, const luogo&, bool) override {}
};

int mappa(const std::string& nome, bool svg, std::ostream& uscita, std::ostream& errori) {
  partita p;
  salta_tutto oss;
  if (!carica_file(nome, p, &oss)) {
    errori << "velt-autore: impossibile leggere " << nome << '\n';
    return 1;
  }
  std::ostringstream testo;
  scrivi_mappa(p.mondo, testo);
  ambiente::zaino.svuota();
  if (!svg) {
    uscita << testo.str();
    return 0;
  }
  // dot writes the SVG straight to our standard output.
  uscita.flush();
  std::fflush(stdout);
  FILE* dot = ::popen("dot -Tsvg", "w");
  if (dot == nullptr) {
    errori << "velt-autore: impossibile eseguire dot (pacchetto graphviz)\n";
    return 1;
  }
  const std::string dati = testo.str();
  std::fwrite(dati.data(), 1, dati.size(), dot);
  if (::pclose(dot) != 0) {
    errori << "velt-autore: dot non ha prodotto la mappa (serve il pacchetto graphviz)\n";
    return 1;
  }
  return 0;
}

int risolvi(const std::string& nome, unsigned long max_stati, std::ostream& uscita,
            std::ostream& errori) {
  partita p;
  std::string iniziale;
  try {
    if (!carica_file(nome, p, nullptr)) {
      errori << "velt-autore: impossibile leggere " << nome << '\n';
      return 2;
    }
  } catch (const arresto_fatale&) {
    errori << "velt-autore: il gioco si ferma leggendo " << nome
           << ": i problemi li elenca 'velt-autore controlla'\n";
    ambiente::zaino.svuota();
    return 2;
  }
  if (p.mondo.messaggio_finale().empty()) {
    uscita << "Il mondo non ha un messaggio finale: non c'è nulla da raggiungere.\n";
    ambiente::zaino.svuota();
    return 1;
  }
  iniziale = stato_iniziale(p);
  const esito_ricerca esito = cerca_soluzione(iniziale, max_stati, &errori);
  ambiente::zaino.svuota();
  if (esito.trovata) {
    scrivi_copione(esito.passi, uscita);
    errori << "risolvi: soluzione di " << esito.passi.size()
           << (esito.passi.size() == 1 ? " comando, " : " comandi, ") << esito.esplorati
           << (esito.esplorati == 1 ? " stato esplorato\n" : " stati esplorati\n");
    return 0;
  }
  const unsigned long n = esito.esplorati;
  uscita << "Nessuna sequenza di comandi mostra il messaggio finale";
  if (esito.completa && n == 1) {
    uscita << ": esplorato l'unico stato raggiungibile.\n";
  } else if (esito.completa) {
    uscita << ": esplorati tutti i " << n << " stati raggiungibili.\n";
  } else {
    uscita << " entro il limite di " << n << (n == 1 ? " stato esplorato" : " stati esplorati")
           << " (--max-stati).\n";
  }
  return 1;
}

bool numero(const std::string& testo, unsigned long& n) {
  if (testo.empty() || testo.size() > 12 ||
      testo.find_first_not_of("0123456789") != std::string::npos) {
    return false;
  }
  n = std::stoul(testo);
  return n > 0;
}

}  // namespace

int esegui_autore(const std::vector<std::string>& argomenti, std::ostream& uscita,
                  std::ostream& errori) {
  const size_t n = argomenti.size();
  if (n == 1 && (argomenti[0] == "--help" || argomenti[0] == "-h")) {
    uscita << uso << "\nStrumenti per chi scrive i mondi di velt: controlla elenca i problemi\n"
                     "del file, mappa disegna i luoghi (DOT, o SVG con --svg), risolvi cerca\n"
                     "la soluzione più breve.\n";
    return 0;
  }
  if (n == 1 && (argomenti[0] == "--version" || argomenti[0] == "-V")) {
    uscita << "velt-autore " << VELT_VERSIONE << '\n';
    return 0;
  }
  if (n == 2 && argomenti[0] == "controlla") return controlla(argomenti[1], uscita) == 0 ? 0 : 1;
  if ((n == 2 || (n == 3 && argomenti[2] == "--svg")) && argomenti[0] == "mappa") {
    return mappa(argomenti[1], n == 3, uscita, errori);
  }
  unsigned long max_stati = 1000000;
  if ((n == 2 || (n == 4 && argomenti[2] == "--max-stati" && numero(argomenti[3], max_stati))) &&
      argomenti[0] == "risolvi") {
    return risolvi(argomenti[1], max_stati, uscita, errori);
  }
  errori << uso;
  return 2;
}
