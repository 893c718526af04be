#include "autore/principale.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <initializer_list>
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
#include "console/cp850.h"
#ifndef __EMSCRIPTEN__
#include "lsp/lsp.h"
#endif

#ifndef VELT_VERSIONE
#define VELT_VERSIONE "sviluppo"
#endif

namespace {

// The map comes from the analysis, which reads even a world the game would
// stop on; a world saved in UTF-8 is read converted, as by every tool.
int mappa(const std::string& nome, bool svg, std::ostream& uscita, std::ostream& errori) {
  std::string mondo;
  if (!leggi_mondo_autore(nome, mondo, errori)) return 1;
  risultato r = analizza(mondo);
  if (svg) {
    disponi(r.mappa);
    scrivi_svg(r.mappa, uscita);
  } else {
    scrivi_dot(r.mappa, uscita);
  }
  return 0;
}

// The progress lines, rewritten in place with carriage returns, go to
// `errori` only when standard error is a terminal: in a log they would be
// noise glued into one line.
int risolvi(const std::string& nome, unsigned long max_stati, std::ostream& uscita,
            std::ostream& errori) {
  std::string mondo;
  mondo_letto::esito_t letto;
  if (!leggi_mondo_autore(nome, mondo, errori, &letto)) return 2;
  // An OBJ that names no object of the world can never lie in the end place
  // (when there is one; a world without one is told so after the search):
  // the checker's own diagnostics say so before any search. The analysis
  // comes first, as it loads a world of its own.
  std::vector<diagnostica> inesistenti;
  for (diagnostica& d : analizza(mondo).diagnostiche) {
    if (d.codice == "richiesto-inesistente") inesistenti.push_back(std::move(d));
  }
  partita p;
  try {
    carica_testo(mondo, p, nullptr);
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
    esito = cerca_soluzione(p, max_stati, ::isatty(STDERR_FILENO) ? &errori : nullptr);
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
    // The script in the world file's own encoding: a UTF-8 world's author
    // feeds it to `prova` or to velt-utf8, a code page 850 one's to velt.
    std::ostringstream copione;
    scrivi_copione(esito.passi, copione);
    uscita << (letto == mondo_letto::CONVERTITO ? cp850_a_utf8(copione.str()) : copione.str());
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

int comando_controlla(const argomenti_t& a, std::ostream& uscita, std::ostream& errori) {
  if (a.size() != 1) return SBAGLIATA;
  return controlla(a[0], uscita, errori) == 0 ? 0 : 1;
}

int comando_mappa(const argomenti_t& a, std::ostream& uscita, std::ostream& errori) {
  // --svg may stand before or after the file.
  if (a.size() == 2 && a[0] == "--svg") return mappa(a[1], true, uscita, errori);
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

// Reads the options `opzioni` (each with its value) and one argument, in any
// order, into the strings they point to. False when an argument fits none.
bool leggi_opzioni(const argomenti_t& a, std::initializer_list<std::pair<const char*, std::string*>> opzioni,
                   std::string& argomento) {
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto opzione = std::find_if(opzioni.begin(), opzioni.end(),
                                      [&](const auto& o) { return a[i] == o.first; });
    if (opzione != opzioni.end() && i + 1 < a.size()) {
      *opzione->second = a[++i];
    } else if (opzione == opzioni.end() && argomento.empty() && !a[i].empty() && a[i][0] != '-') {
      argomento = a[i];
    } else {
      return false;
    }
  }
  return true;
}

// The page goes to standard output, or with -o to a file that is written
// whole or not at all.
int comando_pubblica(const argomenti_t& a, std::ostream& uscita, std::ostream& errori) {
  std::string mondo, file, pagina = pagina_predefinita();
  presentazione chi;
  if (!leggi_opzioni(a, {{"-o", &file}, {"--pagina", &pagina}, {"--autore", &chi.autore},
                         {"--descrizione", &chi.descrizione}},
                     mondo) ||
      mondo.empty()) {
    return SBAGLIATA;
  }
  if (file.empty()) return pubblica(mondo, pagina, chi, uscita, errori);
  std::ostringstream html;
  const int stato = pubblica(mondo, pagina, chi, html, errori);
  if (stato == 0 && !scrivi_intero(file, html.str())) {
    errori << "velt-autore: impossibile scrivere " << file << '\n';
    return 2;
  }
  return stato;
}

#ifndef __EMSCRIPTEN__
// The language server reads the editor's messages from standard input and
// answers on `uscita`; std::cout is silenced meanwhile, since a stray line
// from the engine would break the stream of messages. "--stdio", which many
// editors pass, names the only channel there is.
int comando_lsp(const argomenti_t& a, std::ostream& uscita, std::ostream&) {
  if (a.size() > 1 || (a.size() == 1 && a[0] != "--stdio")) return SBAGLIATA;
  std::ios::sync_with_stdio(false);
  std::ostream messaggi(uscita.rdbuf());
  silenzio quiete;
  return esegui_lsp(std::cin, messaggi);
}
#endif

// `studio [MONDO] -o USCITA [--studio STUDIO]`, in any order.
int comando_studio(const argomenti_t& a, std::ostream&, std::ostream& errori) {
  std::string mondo, destinazione, pagina = studio_predefinito();
  if (!leggi_opzioni(a, {{"-o", &destinazione}, {"--studio", &pagina}}, mondo) || destinazione.empty()) {
    return SBAGLIATA;
  }
  return studio(mondo, pagina, destinazione, errori);
}

// The commands of velt-autore: a new command is one more entry.
struct comando {
  const char* nome;
  const char* argomenti;  // for the usage line
  const char* cosa;       // what it does, one line for --help
  const char* opzioni;    // its options, one a line, for COMMAND --help
  int (*esegui)(const argomenti_t&, std::ostream& uscita, std::ostream& errori);
};

const comando comandi[] = {
    {"controlla", "FILE", "elenca gli errori e gli avvisi di un mondo, come un compilatore", "",
     comando_controlla},
    {"mappa", "FILE [--svg]", "scrive la mappa dei luoghi come grafo DOT, o come SVG",
     "  --svg               scrive SVG, i luoghi disposti secondo la bussola\n", comando_mappa},
    {"risolvi", "FILE [--max-stati N]",
     "cerca la sequenza di comandi più breve che mostra il messaggio finale",
     "  --max-stati N       esplora al più N stati (predefinito: un milione)\n", comando_risolvi},
    {"prova", "MONDO FILE...", "gioca i file di prova sul mondo e ne verifica i controlli", "",
     comando_prova},
    {"copertura", "MONDO FILE...", "elenca i testi del mondo che nessun file di prova mostra", "",
     comando_copertura},
    {"converti", "[--utf8] ORIGINE DESTINAZIONE",
     "converte un mondo da UTF-8 alla code page 850 del gioco, o il contrario",
     "  --utf8              converte dalla code page 850 a UTF-8\n", comando_converti},
    {"pubblica", "FILE [-o USCITA] [--autore NOME] [--descrizione TESTO] [--pagina PAGINA]",
     "scrive un'unica pagina HTML che gioca il mondo in un browser",
     "  -o USCITA           scrive la pagina in USCITA, intera o per niente, invece che\n"
     "                      sull'uscita standard\n"
     "  --autore NOME       il nome dell'autore, sulla pagina\n"
     "  --descrizione TESTO una riga sul gioco, sulla pagina e nelle anteprime dei link\n"
     "  --pagina PAGINA     la pagina del gioco per il browser da usare\n",
     comando_pubblica},
#ifndef __EMSCRIPTEN__
    {"lsp", "[--stdio]",
     "il server di linguaggio per gli editor: LSP su ingresso e uscita standard",
     "  --stdio             su ingresso e uscita standard, come sempre\n", comando_lsp},
#endif
    {"studio", "[MONDO] -o USCITA [--studio STUDIO]",
     "scrive lo studio, per scrivere, giocare, provare e pubblicare un mondo nel browser",
     "  -o USCITA           scrive lo studio in USCITA, intero o per niente\n"
     "  --studio STUDIO     lo studio per il browser da usare\n",
     comando_studio},
};

void scrivi_uso(std::ostream& uscita) {
  std::size_t larghezza = 0;
  for (const comando& c : comandi) larghezza = std::max(larghezza, std::strlen(c.nome));
  uscita << "uso: velt-autore COMANDO ARGOMENTI...\n"
            "     velt-autore COMANDO --help\n"
            "     velt-autore --help | --version\n"
            "\ncomandi:\n";
  for (const comando& c : comandi) {
    uscita << "  " << c.nome << std::string(larghezza + 2 - std::strlen(c.nome), ' ') << c.cosa
           << '\n';
  }
}

// One command's usage line, what it does and its options.
void scrivi_uso(const comando& c, std::ostream& uscita) {
  uscita << "uso: velt-autore " << c.nome << ' ' << c.argomenti << "\n\n" << c.cosa << '\n';
  if (*c.opzioni != '\0') uscita << "\nopzioni:\n" << c.opzioni;
}

bool aiuto(const std::string& parola) { return parola == "--help" || parola == "-h"; }

}  // namespace

int esegui_autore(const std::vector<std::string>& argomenti, std::ostream& uscita,
                  std::ostream& errori) {
  if (argomenti.size() == 1 && aiuto(argomenti[0])) {
    scrivi_uso(uscita);
    return 0;
  }
  if (argomenti.size() == 1 && (argomenti[0] == "--version" || argomenti[0] == "-V")) {
    uscita << "velt-autore " << VELT_VERSIONE << '\n';
    return 0;
  }
  for (const comando& c : comandi) {
    if (argomenti.empty() || argomenti[0] != c.nome) continue;
    if (std::any_of(argomenti.begin() + 1, argomenti.end(), aiuto)) {
      scrivi_uso(c, uscita);
      return 0;
    }
    const int stato = c.esegui({argomenti.begin() + 1, argomenti.end()}, uscita, errori);
    if (stato != SBAGLIATA) return stato;
    scrivi_uso(c, errori);
    return 2;
  }
  scrivi_uso(errori);
  return 2;
}
