#include "autore/principale.h"

#include <new>
#include <sstream>
#include <stdexcept>

#include "analisi/disposizione.h"
#include "autore/comune.h"
#include "autore/controllo.h"
#include "autore/converti.h"
#include "autore/mappa.h"
#include "autore/prova.h"
#include "autore/pubblica.h"
#include "autore/risolutore.h"
#include "autore/studio.h"

#ifndef VELT_VERSIONE
#define VELT_VERSIONE "sviluppo"
#endif

namespace {

// The map comes from the analysis, which reads even a world the game would
// stop on.
int mappa(const std::string& nome, bool svg, std::ostream& uscita, std::ostream& errori) {
  std::string dati;
  if (!leggi_tutto(nome, dati, errori)) return 1;
  risultato r = analizza(dati);
  if (svg) {
    disponi(r.mappa);
    scrivi_svg(r.mappa, uscita);
  } else {
    scrivi_dot(r.mappa, uscita);
  }
  return 0;
}

int risolvi(const std::string& nome, unsigned long max_stati, std::ostream& uscita,
            std::ostream& errori) {
  // An OBJ that names no object of the world can never lie in the end place
  // (when there is one; a world without one is told so after the search):
  // the checker's own diagnostics say so before any search. The analysis
  // comes first, as it loads a world of its own.
  std::vector<diagnostica> inesistenti;
  std::string dati;
  std::ostringstream scarto;  // an unreadable file is reported by the load below
  if (leggi_tutto(nome, dati, scarto)) {
    for (diagnostica& d : analizza(dati).diagnostiche) {
      if (d.codice == "richiesto-inesistente") inesistenti.push_back(std::move(d));
    }
  }
  partita p;
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
  if (!inesistenti.empty() && p.mondo.finale() != nullptr) {
    for (const diagnostica& d : inesistenti) scrivi_diagnostica(nome, d, uscita);
    uscita << "Nessuna sequenza di comandi mostra il messaggio finale: ogni oggetto richiesto "
              "deve esistere nel mondo. Nessuno stato esplorato.\n";
    ambiente::zaino.svuota();
    return 1;
  }
  prepara_ricerca(p);
  esito_ricerca esito;
  try {
    esito = cerca_soluzione(p, max_stati, &errori);
  } catch (const std::bad_alloc&) {
    ambiente::zaino.svuota();
    errori << "\nvelt-autore: memoria esaurita: riprova con un --max-stati più piccolo\n";
    return 2;
  } catch (const std::logic_error& e) {
    // A fault of the solver itself, reported instead of a crash.
    ambiente::zaino.svuota();
    errori << "\nvelt-autore: errore interno del risolutore: " << e.what() << '\n';
    return 2;
  }
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
  // Why, as far as the explored states tell.
  const char* dove = esito.completa ? "" : " esplorato";
  if (p.mondo.finale() == nullptr) {
    uscita << "Il mondo non ha un luogo di fine (FINELUOGO).\n";
    return 1;
  }
  if (!esito.fine_raggiunta) {
    uscita << "Il luogo di fine " << tra_apici(p.mondo.finale()->name())
           << " non è mai raggiunto in nessuno stato" << dove << ".\n";
  }
  for (const std::string& oggetto : esito.mai_nella_fine) {
    uscita << "L'oggetto richiesto " << tra_apici(oggetto)
           << " non è mai nel luogo di fine in nessuno stato" << dove << ".\n";
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

// Each command receives the arguments after its name and returns the exit
// status, or SBAGLIATA when they do not fit it: the caller then prints the
// usage on standard error and ends with status 2.
constexpr int SBAGLIATA = -1;

using argomenti_t = std::vector<std::string>;

int comando_controlla(const argomenti_t& a, std::ostream& uscita, std::ostream&) {
  if (a.size() != 1) return SBAGLIATA;
  return controlla(a[0], uscita) == 0 ? 0 : 1;
}

int comando_mappa(const argomenti_t& a, std::ostream& uscita, std::ostream& errori) {
  if (a.size() != 1 && (a.size() != 2 || a[1] != "--svg")) return SBAGLIATA;
  return mappa(a[0], a.size() == 2, uscita, errori);
}

int comando_risolvi(const argomenti_t& a, std::ostream& uscita, std::ostream& errori) {
  unsigned long max_stati = 1000000;
  if (a.size() != 1 && (a.size() != 3 || a[1] != "--max-stati" || !numero(a[2], max_stati))) {
    return SBAGLIATA;
  }
  return risolvi(a[0], max_stati, uscita, errori);
}

int comando_prova(const argomenti_t& a, std::ostream& uscita, std::ostream& errori) {
  if (a.size() < 2) return SBAGLIATA;
  return prova(a[0], {a.begin() + 1, a.end()}, uscita, errori);
}

int comando_copertura(const argomenti_t& a, std::ostream& uscita, std::ostream& errori) {
  if (a.size() < 2) return SBAGLIATA;
  return copertura(a[0], {a.begin() + 1, a.end()}, uscita, errori);
}

int comando_converti(const argomenti_t& a, std::ostream&, std::ostream& errori) {
  const bool indietro = !a.empty() && a[0] == "--utf8";
  if (a.size() != (indietro ? 3u : 2u)) return SBAGLIATA;
  return converti(a[a.size() - 2], a.back(), indietro, errori);
}

int comando_pubblica(const argomenti_t& a, std::ostream& uscita, std::ostream& errori) {
  if (a.size() != 1 && (a.size() != 3 || a[1] != "--pagina")) return SBAGLIATA;
  return pubblica(a[0], a.size() == 3 ? a[2] : pagina_predefinita, uscita, errori);
}

// `studio [MONDO] -o FILE [--studio STUDIO]`, its options in any order.
int comando_studio(const argomenti_t& a, std::ostream&, std::ostream& errori) {
  std::string mondo, destinazione, pagina = studio_predefinito;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if ((a[i] == "-o" || a[i] == "--studio") && i + 1 < a.size()) {
      (a[i] == "-o" ? destinazione : pagina) = a[i + 1];
      ++i;
    } else if (mondo.empty() && !a[i].empty() && a[i][0] != '-') {
      mondo = a[i];
    } else {
      return SBAGLIATA;
    }
  }
  if (destinazione.empty()) return SBAGLIATA;
  return studio(mondo, pagina, destinazione, errori);
}

// The commands of velt-autore: a new command is one more entry.
struct comando {
  const char* nome;
  const char* argomenti;  // for the usage text
  int (*esegui)(const argomenti_t&, std::ostream& uscita, std::ostream& errori);
};

const comando comandi[] = {
    {"controlla", "FILE", comando_controlla},
    {"mappa", "FILE [--svg]", comando_mappa},
    {"risolvi", "FILE [--max-stati N]", comando_risolvi},
    {"prova", "MONDO FILE...", comando_prova},
    {"copertura", "MONDO FILE...", comando_copertura},
    {"converti", "[--utf8] ORIGINE DESTINAZIONE", comando_converti},
    {"pubblica", "FILE [--pagina PAGINA]", comando_pubblica},
    {"studio", "[MONDO] -o FILE [--studio STUDIO]", comando_studio},
};

void scrivi_uso(std::ostream& uscita) {
  const char* prima = "uso: ";
  for (const comando& c : comandi) {
    uscita << prima << "velt-autore " << c.nome << ' ' << c.argomenti << '\n';
    prima = "     ";
  }
  uscita << prima << "velt-autore --help | --version\n";
}

}  // namespace

int esegui_autore(const std::vector<std::string>& argomenti, std::ostream& uscita,
                  std::ostream& errori) {
  if (argomenti.size() == 1 && (argomenti[0] == "--help" || argomenti[0] == "-h")) {
    scrivi_uso(uscita);
    return 0;
  }
  if (argomenti.size() == 1 && (argomenti[0] == "--version" || argomenti[0] == "-V")) {
    uscita << "velt-autore " << VELT_VERSIONE << '\n';
    return 0;
  }
  for (const comando& c : comandi) {
    if (argomenti.empty() || argomenti[0] != c.nome) continue;
    const int stato = c.esegui({argomenti.begin() + 1, argomenti.end()}, uscita, errori);
    if (stato != SBAGLIATA) return stato;
    break;
  }
  scrivi_uso(errori);
  return 2;
}
