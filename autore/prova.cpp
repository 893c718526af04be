#include "autore/prova.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <sstream>
#include <system_error>

#include "autore/comune.h"
#include "console/cp850.h"
#include "world/righe.h"

namespace fs = std::filesystem;

namespace {

enum tipo_riga { GIOCATORE, CONTIENE, NON_CONTIENE, FINALE };

struct riga_prova {
  tipo_riga tipo;
  unsigned long numero;  // in the test file, from 1
  std::string testo;     // code page 850
  size_t giocate;        // checks: how many player lines precede it
};

// Reads a test file into its lines; false, with the reason on `errori`,
// when it cannot be read or converted.
bool leggi_prova(const std::string& nome, std::vector<riga_prova>& righe, std::ostream& errori) {
  std::string dati;
  if (!leggi_tutto(nome, dati, errori)) return false;
  if (dati.compare(0, 3, "\xEF\xBB\xBF") == 0) dati.erase(0, 3);  // a byte-order mark
  std::istringstream testo(dati);
  size_t giocate = 0;
  unsigned long numero = 0;
  // Line by line, so a comment may hold any character.
  for (std::string linea; std::getline(testo, linea);) {
    ++numero;
    while (!linea.empty() && linea.back() == '\r') linea.pop_back();
    if (linea.empty() || linea[0] == '#') continue;
    conversione_cp850 conv = converti_in_cp850(linea);
    if (!conv.riuscita) {
      conv.riga = numero;
      errori << errore_conversione(nome, conv) << '\n';
      return false;
    }
    linea = std::move(conv.testo);
    // The marker, then an optional blank, then the text.
    const auto resto = [&linea]() {
      return linea.substr(linea.size() > 1 && linea[1] == ' ' ? 2 : 1);
    };
    if (linea[0] == '>') {
      righe.push_back({GIOCATORE, numero, resto(), ++giocate});
    } else if (linea[0] == '?') {
      righe.push_back({CONTIENE, numero, resto(), giocate});
    } else if (linea[0] == '!') {
      righe.push_back({NON_CONTIENE, numero, resto(), giocate});
    } else if (linea[0] == '*') {
      if (resto() != "finale") {
        errori << nome << ':' << numero << ": errore: dopo '*' è atteso 'finale'\n";
        return false;
      }
      righe.push_back({FINALE, numero, "", giocate});
    } else {
      righe.push_back({GIOCATORE, numero, linea, ++giocate});
    }
  }
  return true;
}

// The console of a walkthrough: it types the player lines in order and
// notes, at each read, where the output stood.
class console_prova : public console {
public:
  console_prova(const std::vector<std::string>& righe, std::ostringstream& uscita)
      : righe(righe), uscita(uscita), prima(usa_console(this)) {}
  ~console_prova() override { usa_console(prima); }
  bool leggi_riga(std::string& riga) override {
    confini.push_back(static_cast<size_t>(uscita.tellp()));
    if (letta == righe.size()) {
      riga.clear();
      return false;
    }
    riga = righe[letta++];
    return true;
  }
  void pausa() override {}
  [[noreturn]] void termina_fatale() override { throw arresto_fatale{}; }

  std::vector<size_t> confini;  // output length at each read

private:
  const std::vector<std::string>& righe;
  std::ostringstream& uscita;
  size_t letta = 0;
  console* prima;
};

// One run of the game on a walkthrough: everything printed, and where the
// output stood when each player line was read.
struct partita_giocata {
  std::string uscita;
  std::vector<size_t> confini;
  bool fermata = false;         // the game stopped on a fatal error
  bool senza_cartella = false;  // no scratch folder could be made: not run
  // What the game printed after player line `k` (from 1) was typed, up to
  // the next read; k = 0: what it printed before its first read.
  std::string tratto(size_t k) const {
    if (k > confini.size()) return "";
    const size_t da = k == 0 ? 0 : confini[k - 1];
    const size_t a = k < confini.size() ? confini[k] : uscita.size();
    return uscita.substr(da, a - da);
  }
  // What was printed up to the read of player line `k + 1`.
  std::string fino_a(size_t k) const {
    return uscita.substr(0, k < confini.size() ? confini[k] : uscita.size());
  }
};

// A scratch folder holding the world's text as mondo.ini, removed with
// everything in it; the working directory moves there for the game's
// lifetime, since the game reads mondo.ini and saves world.ini in the
// working directory.
class cartella_di_prova {
public:
  explicit cartella_di_prova(const std::string& mondo) {
    std::string modello = (fs::temp_directory_path() / "velt-prova-XXXXXX").string();
    if (::mkdtemp(&modello[0]) == nullptr) return;
    cartella = modello;
    std::ofstream copia(cartella / "mondo.ini", std::ios::binary);
    copia << mondo;
    copia.close();
    std::error_code e;
    prima = fs::current_path(e);
    if (!e) fs::current_path(cartella, e);
    pronta = copia && !e;
  }
  ~cartella_di_prova() {
    std::error_code e;
    if (!prima.empty()) fs::current_path(prima, e);
    if (!cartella.empty()) fs::remove_all(cartella, e);
  }
  bool pronta = false;

private:
  fs::path cartella, prima;
};

partita_giocata gioca_prova(const std::string& mondo, const std::vector<riga_prova>& righe) {
  std::vector<std::string> giocate;
  for (const riga_prova& r : righe) {
    if (r.tipo == GIOCATORE) giocate.push_back(r.testo);
  }
  partita_giocata esito;
  std::ostringstream uscita;
  {
    cartella_di_prova cartella(mondo);
    if (!cartella.pronta) {
      esito.senza_cartella = true;
      return esito;
    }
    console_prova tastiera(giocate, uscita);
    // The screen comes back however the game ends.
    struct cattura {
      explicit cattura(std::ostringstream& o) : schermo(std::cout.rdbuf(o.rdbuf())) {}
      ~cattura() { std::cout.rdbuf(schermo); }
      std::streambuf* schermo;
    } schermo(uscita);
    try {
      gioca();
    } catch (const arresto_fatale&) {
      esito.fermata = true;
    }
    esito.confini = tastiera.confini;
  }
  ambiente::zaino.svuota();
  esito.uscita = uscita.str();
  return esito;
}

// The closing message as the game shows it, or empty.
std::string messaggio_finale(const std::string& mondo) {
  partita p;
  std::string messaggio;
  try {
    carica_testo(mondo, p, nullptr);
    messaggio = p.mondo.messaggio_finale();
  } catch (const arresto_fatale&) {
  }
  ambiente::zaino.svuota();
  return messaggio.empty() ? messaggio : "\n - " + messaggio;
}

// The text printed, for a report: UTF-8, each line indented.
void mostra(const std::string& testo, std::ostream& uscita) {
  std::istringstream righe(cp850_a_utf8(testo));
  bool vuoto = true;
  for (std::string riga; std::getline(righe, riga);) {
    uscita << "    | " << riga << '\n';
    vuoto = false;
  }
  if (vuoto) uscita << "    (nulla)\n";
}

}  // namespace

int prova(const std::string& mondo, const std::vector<std::string>& file, std::ostream& uscita,
          std::ostream& errori) {
  std::string testo;
  if (!leggi_mondo_autore(mondo, testo, errori)) return 1;
  const std::string finale = messaggio_finale(testo);
  unsigned long controlli = 0, falliti = 0;
  bool leggibili = true;
  for (const std::string& nome : file) {
    std::vector<riga_prova> righe;
    if (!leggi_prova(nome, righe, errori)) {
      leggibili = false;
      continue;
    }
    const partita_giocata giocata = gioca_prova(testo, righe);
    if (giocata.senza_cartella) {
      errori << "velt-autore: impossibile preparare una cartella temporanea per " << nome << '\n';
      leggibili = false;
      continue;
    }
    if (giocata.fermata) {
      // A fatal error: of the world file, or of a saved game loaded with
      // "carica". The checks still run on what was printed.
      uscita << nome << ": fallito: il gioco si è fermato per un errore fatale; le sue ultime "
             << "parole:\n";
      mostra(giocata.tratto(giocata.confini.size()), uscita);
      ++falliti;
    }
    std::vector<const riga_prova*> giocatore{nullptr};  // player line k at index k
    for (const riga_prova& r : righe) {
      if (r.tipo == GIOCATORE) giocatore.push_back(&r);
    }
    for (const riga_prova& r : righe) {
      if (r.tipo == GIOCATORE) continue;
      ++controlli;
      const std::string tratto = giocata.tratto(r.giocate);
      bool ok;
      std::string cosa;
      if (r.tipo == FINALE) {
        ok = !finale.empty() && giocata.fino_a(r.giocate).find(finale) != std::string::npos;
        cosa = finale.empty() ? "* finale: il mondo non ha un messaggio finale"
                              : "* finale: il messaggio finale non è ancora apparso";
      } else {
        const bool c = tratto.find(r.testo) != std::string::npos;
        ok = r.tipo == CONTIENE ? c : !c;
        cosa = std::string(r.tipo == CONTIENE ? "? " : "! ") + cp850_a_utf8(r.testo);
      }
      if (ok) continue;
      ++falliti;
      uscita << nome << ':' << r.numero << ": fallito: " << cosa << '\n';
      if (r.tipo != FINALE) {
        if (r.giocate == 0) {
          uscita << "  prima della prima risposta il gioco ha scritto:\n";
        } else {
          const riga_prova& g = *giocatore[r.giocate];
          uscita << "  dopo " << tra_apici(g.testo) << " (riga " << g.numero
                 << ") il gioco ha scritto:\n";
        }
        mostra(tratto, uscita);
      }
    }
  }
  uscita << "prova: " << controlli << (controlli == 1 ? " controllo, " : " controlli, ") << falliti
         << (falliti == 1 ? " fallito" : " falliti")
         << (leggibili ? "\n" : "; file di prova non eseguiti: vedi sopra\n");
  return falliti == 0 && leggibili ? 0 : 1;
}

namespace {

// Notes the line of each place and object record.
class righe_dei_record : public osservatore {
public:
  bool segnala(evento, unsigned long, const std::string&) override { return true; }
  void oggetto_letto(unsigned long riga, const oggetto& o, bool) override {
    oggetti[o.id()] = riga;
  }
  void luogo_letto(unsigned long riga, const luogo& l, bool doppio) override {
    if (!doppio) luoghi[l.name()] = riga;
  }
  std::map<int, unsigned long> oggetti;
  std::map<std::string, unsigned long> luoghi;
};

struct testo_del_mondo {
  unsigned long riga;
  std::string cosa;     // what it is, in the report
  std::string visto;    // the bytes that show it on screen
  std::string altrove;  // another way to the screen, or empty
};

// The line of the first key line `chiave=valore` (the key in any case) in
// the world file, or 0.
unsigned long riga_chiave(const std::vector<std::string>& file, const std::string& chiave,
                          const std::string& valore) {
  for (size_t i = 0; i < file.size(); ++i) {
    const std::string& l = file[i];
    if (l.size() == chiave.size() + 1 + valore.size() && l[chiave.size()] == '=' &&
        uguale_in_maiuscolo(std::string_view(l).substr(0, chiave.size()), chiave) &&
        l.compare(chiave.size() + 1, std::string::npos, valore) == 0) {
      return i + 1;
    }
  }
  return 0;
}

// The line, within the record opened at line `inizio`, of its last line
// that `cerca` accepts (the one the loader keeps); the record ends at its
// first line that begins with "[End". `inizio` itself when there is none.
unsigned long riga_nel_record(const std::vector<std::string>& file, unsigned long inizio,
                              const std::function<bool(const std::string&)>& cerca) {
  unsigned long trovata = inizio;
  for (size_t i = inizio; i < file.size() && file[i].rfind("[End", 0) != 0; ++i) {
    if (cerca(file[i])) trovata = i + 1;
  }
  return trovata;
}

// A predicate for `riga_nel_record`: a key line of `chiave` (in any case).
std::function<bool(const std::string&)> chiave_di(std::string chiave) {
  return [chiave](const std::string& l) {
    return l.size() > chiave.size() && l[chiave.size()] == '=' &&
           uguale_in_maiuscolo(std::string_view(l).substr(0, chiave.size()), chiave);
  };
}

// A predicate for `riga_nel_record`: the line `marcatore` itself.
std::function<bool(const std::string&)> linea(std::string marcatore) {
  return [marcatore](const std::string& l) { return l == marcatore; };
}

std::vector<testo_del_mondo> testi_del_mondo(const ambiente& mondo, const righe_dei_record& righe,
                                             const std::vector<std::string>& file) {
  std::vector<testo_del_mondo> testi;
  const auto aggiungi = [&testi](unsigned long riga, std::string cosa, std::string visto,
                                 std::string altrove = "") {
    testi.push_back({riga, std::move(cosa), std::move(visto), std::move(altrove)});
  };
  for (const auto& voce : mondo.luoghi_()) {
    const luogo& l = *voce.second;
    const auto r = righe.luoghi.find(l.name());
    const unsigned long riga = r == righe.luoghi.end() ? 0 : r->second;
    const std::string nome = tra_apici(l.name());
    if (!l.descrizione_().empty()) {
      aggiungi(riga_nel_record(file, riga, linea("[Descrizione]")), "descrizione del luogo " + nome,
               std::string(l.descrizione_()));
    }
    if (!l.suggerimento_().empty()) {
      aggiungi(riga_nel_record(file, riga, linea("[Suggerimento]")),
               "suggerimento del luogo " + nome, '\n' + std::string(l.suggerimento_()));
    }
    for (int d = 0; d < NUM_DIREZIONI; ++d) {
      const std::string ostruzione(l.ostruzione(direzione(d)));
      if (ostruzione.empty()) continue;
      std::string chiave = std::string("OSTRUZIONE") + parole_direzione[d];
      std::transform(chiave.begin(), chiave.end(), chiave.begin(), maiuscola);
      aggiungi(riga_chiave(file, chiave, ostruzione),
               std::string("ostruzione ") + parole_direzione[d] + " del luogo " + nome,
               "\n - " + ostruzione + '\n');
    }
  }
  const auto oggetto_visto = [&](const oggetto& o) {
    const auto r = righe.oggetti.find(o.id());
    const unsigned long riga = r == righe.oggetti.end() ? 0 : r->second;
    const std::string nome = tra_apici(o.nome());
    if (!o.descrizione().empty()) {
      // Shown by a look at the object, or in the list of an open container.
      aggiungi(riga_nel_record(file, riga, chiave_di("DESCRIZIONE")),
               "descrizione dell'oggetto " + nome, " " + o.nome() + " - " + o.descrizione(),
               "  - " + o.nome() + " (" + o.descrizione() + ")");
    }
    if (!o.suggerimento_().empty()) {
      aggiungi(riga_nel_record(file, riga, chiave_di("SUGGERIMENTO")),
               "suggerimento dell'oggetto " + nome, '\n' + std::string(o.suggerimento_()) + '\n');
    }
  };
  per_ogni_oggetto(ambiente::zaino.contenuto(), oggetto_visto);
  for (const auto& voce : mondo.luoghi_()) per_ogni_oggetto(voce.second->oggetti_(), oggetto_visto);
  if (!mondo.messaggio_finale().empty()) {
    const auto it = std::find(file.begin(), file.end(), "[MsgFineGioco]");
    aggiungi(it == file.end() ? 0 : static_cast<unsigned long>(it - file.begin()) + 1,
             "messaggio finale", "\n - " + mondo.messaggio_finale());
  }
  std::stable_sort(
      testi.begin(), testi.end(),
      [](const testo_del_mondo& a, const testo_del_mondo& b) { return a.riga < b.riga; });
  return testi;
}

}  // namespace

int copertura(const std::string& mondo, const std::vector<std::string>& file, std::ostream& uscita,
              std::ostream& errori) {
  std::string dati;
  if (!leggi_mondo_autore(mondo, dati, errori)) return 1;
  partita p;
  righe_dei_record righe;
  try {
    carica_testo(dati, p, &righe);
  } catch (const arresto_fatale&) {
    errori << "velt-autore: impossibile leggere " << mondo << '\n';
    ambiente::zaino.svuota();
    return 1;
  }
  std::vector<std::string> linee;
  std::istringstream testo(dati);
  for (std::string l; std::getline(testo, l);) {
    while (!l.empty() && l.back() == '\r') l.pop_back();
    linee.push_back(l);
  }
  const std::vector<testo_del_mondo> testi = testi_del_mondo(p.mondo, righe, linee);
  ambiente::zaino.svuota();

  std::vector<std::string> uscite;
  int stato = 0;
  for (const std::string& nome : file) {
    std::vector<riga_prova> righe_prova;
    if (!leggi_prova(nome, righe_prova, errori)) {
      stato = 1;
      continue;
    }
    partita_giocata giocata = gioca_prova(dati, righe_prova);
    if (giocata.senza_cartella || giocata.fermata) {
      errori << "velt-autore: " << nome
             << (giocata.fermata ? ": il gioco si è fermato per un errore fatale\n"
                                 : ": impossibile preparare una cartella temporanea\n");
      stato = 1;
    }
    uscite.push_back(std::move(giocata.uscita));
  }
  size_t mostrati = 0;
  for (const testo_del_mondo& t : testi) {
    const bool visto = std::any_of(uscite.begin(), uscite.end(), [&t](const std::string& u) {
      return u.find(t.visto) != std::string::npos ||
             (!t.altrove.empty() && u.find(t.altrove) != std::string::npos);
    });
    if (visto) {
      ++mostrati;
      continue;
    }
    uscita << mondo << ':';
    if (t.riga != 0) uscita << t.riga << ':';
    uscita << " mai mostrato: " << t.cosa << '\n';
  }
  const size_t totale = testi.size();
  uscita << "copertura: " << mostrati << " testi mostrati su " << totale << " ("
         << (totale == 0 ? 100 : mostrati * 100 / totale) << "%)\n";
  return stato;
}
