// Runs one transcript case:
//
//   velt_trascrizione <bin-dir> <repo-root> <case-dir>
//
// The case's world files are copied into a fresh scratch folder, the game runs
// there with the case's `input` on standard input, and its standard output,
// its exit status and (when the case has `world.atteso`) the saved game are
// compared byte for byte with what the case expects. The first difference is
// reported with some context, non-printable bytes as \xHH. Exit status 0 when
// the case passes, 1 otherwise; the scratch folder is removed either way
// unless VELT_TENERE asks to keep a failed case's (see cartella_prova.h).
//
// A case may also give the program arguments and environment variables, in
// which `{cartella}` stands for the scratch folder and `{caso}` for the case
// folder, expect bytes on standard error, cap the size of the files the game
// writes (a full disk) or make the scratch folder read-only. `salvataggio`
// may name a folder `*`: the one folder there, whatever its name. A case may
// go on in its folder `poi/`, another case run afterwards in the same
// scratch folder (one world played after another, or the same one again).

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "cartella_prova.h"

namespace fs = std::filesystem;

namespace {

const auto tempo_massimo = std::chrono::seconds(20);
const std::size_t contesto = 40;  // bytes of context on each side of a difference

bool leggi(const fs::path& file, std::string& dati) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream testo;
  testo << in.rdbuf();
  dati = testo.str();
  return true;
}

// The content of a one-word file (programma, stato, mondo) without blanks and
// line ends around it; `predefinita` when the file is missing or empty.
std::string parola(const fs::path& file, const std::string& predefinita) {
  std::string testo;
  if (!leggi(file, testo)) return predefinita;
  const char* spazi = " \t\r\n";
  const auto inizio = testo.find_first_not_of(spazi);
  if (inizio == std::string::npos) return predefinita;
  return testo.substr(inizio, testo.find_last_not_of(spazi) - inizio + 1);
}

// Bytes [da, a) of `s`, printable ASCII as is, everything else (and the
// backslash, to keep the escapes unambiguous) as \xHH.
std::string visibile(const std::string& s, std::size_t da, std::size_t a) {
  std::string r;
  for (std::size_t i = da; i < a && i < s.size(); ++i) {
    const auto c = static_cast<unsigned char>(s[i]);
    if (c >= 0x20 && c < 0x7F && c != '\\') {
      r += static_cast<char>(c);
    } else {
      char esc[5];
      std::snprintf(esc, sizeof esc, "\\x%02X", c);
      r += esc;
    }
  }
  return r;
}

// True when the two texts are equal; otherwise prints where they first
// differ, with the same context of both and a caret under the difference.
bool confronta(const std::string& cosa, const std::string& atteso, const std::string& ottenuto) {
  if (atteso == ottenuto) return true;
  const auto diversi = std::mismatch(
      atteso.begin(), atteso.begin() + std::min(atteso.size(), ottenuto.size()), ottenuto.begin());
  const auto p = static_cast<std::size_t>(diversi.first - atteso.begin());
  const auto riga = 1 + std::count(atteso.begin(), diversi.first, '\n');
  const std::size_t da = p > contesto ? p - contesto : 0;
  const std::string prima = visibile(atteso, da, p);
  std::cout << cosa << ": first difference at byte " << p << " (line " << riga << "); expected "
            << atteso.size() << " bytes, got " << ottenuto.size() << "\n"
            << "  expected: " << prima << visibile(atteso, p, p + contesto) << "\n"
            << "  actual:   " << prima << visibile(ottenuto, p, p + contesto) << "\n"
            << "            " << std::string(prima.size(), ' ') << "^\n";
  return false;
}

// The lines of a list file (argomenti, ambiente), placeholders replaced; an
// empty list when the file is missing.
std::vector<std::string> righe(const fs::path& file, const fs::path& cartella,
                               const fs::path& caso) {
  std::vector<std::string> elenco;
  std::ifstream in(file);
  for (std::string r; std::getline(in, r);) {
    for (const auto& [segnaposto, valore] :
         {std::pair{std::string("{cartella}"), cartella.string()}, {"{caso}", caso.string()}}) {
      for (auto i = r.find(segnaposto); i != std::string::npos; i = r.find(segnaposto, i)) {
        r.replace(i, segnaposto.size(), valore);
        i += valore.size();
      }
    }
    elenco.push_back(r);
  }
  return elenco;
}

// How the game is started besides its input.
struct avvio {
  std::vector<std::string> argomenti;
  std::vector<std::string> ambiente;  // NAME=VALUE
  long limite_file = -1;              // largest file it may write, in bytes; -1: none
  bool come_utente_comune = false;    // root would write into a read-only folder
  int errori = 2;                     // where its standard error goes
};

struct esecuzione {
  std::string uscita;  // standard output
  int stato = -1;      // exit status, or -1 when the program did not exit normally
  std::string guasto;  // why it did not exit normally
};

// Runs `programma` with `cartella` as working directory and `ingresso` as
// standard input and the arguments, environment and limits of `a`,
// collecting standard output; standard error goes to `a.errori`, by default
// the runner's own. A program still running after the time limit is
// killed, with anything it started.
esecuzione esegui(const fs::path& programma, const fs::path& cartella, const fs::path& ingresso,
                  const avvio& a) {
  esecuzione e;
  int tubo[2];
  if (::pipe(tubo) != 0) {
    e.guasto = "pipe failed";
    return e;
  }
  const pid_t figlio = ::fork();
  if (figlio < 0) {
    e.guasto = "fork failed";
    return e;
  }
  if (figlio == 0) {
    ::setpgid(0, 0);  // its own process group, so a kill reaches its children too
    const int in = ::open(ingresso.c_str(), O_RDONLY);
    if (in < 0 || ::chdir(cartella.c_str()) != 0 || ::dup2(in, 0) < 0 || ::dup2(tubo[1], 1) < 0) {
      std::perror("velt_trascrizione");
      ::_exit(127);
    }
    ::close(in);
    ::close(tubo[0]);
    ::close(tubo[1]);
    if (a.errori != 2) ::dup2(a.errori, 2);
    for (const std::string& v : a.ambiente) ::putenv(const_cast<char*>(v.c_str()));
    if (a.limite_file >= 0) {
      // A write beyond the limit then fails with EFBIG, as on a full disk.
      ::signal(SIGXFSZ, SIG_IGN);
      const auto n = static_cast<rlim_t>(a.limite_file);
      const rlimit limite{n, n};
      if (::setrlimit(RLIMIT_FSIZE, &limite) != 0) ::_exit(126);
    }
    if (a.come_utente_comune && ::geteuid() == 0 &&
        (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
      ::_exit(126);
    }
    std::vector<char*> argv{const_cast<char*>(programma.c_str())};
    for (const std::string& arg : a.argomenti) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    // VELT_WRAPPER, when set, is a command line that runs the game (for the
    // memory check: `valgrind --error-exitcode=99 ...`).
    const char* involucro = std::getenv("VELT_WRAPPER");
    if (involucro != nullptr && *involucro != '\0') {
      const std::string comando = std::string("exec ") + involucro + " \"$0\" \"$@\"";
      argv.insert(argv.begin(), {const_cast<char*>("sh"), const_cast<char*>("-c"),
                                 const_cast<char*>(comando.c_str())});
      ::execv("/bin/sh", argv.data());
    } else {
      ::execv(programma.c_str(), argv.data());
    }
    std::perror(programma.c_str());
    ::_exit(127);
  }
  ::setpgid(figlio, figlio);  // also here, so the group exists whichever runs first
  ::close(tubo[1]);
  const auto scadenza = std::chrono::steady_clock::now() + tempo_massimo;
  bool aperto = true;
  int stato = 0;
  while (true) {
    const auto resta = std::chrono::duration_cast<std::chrono::milliseconds>(
        scadenza - std::chrono::steady_clock::now());
    if (resta.count() <= 0) {
      ::kill(-figlio, SIGKILL);
      ::waitpid(figlio, &stato, 0);
      e.guasto = "killed after the time limit of 20 s";
      break;
    }
    if (aperto) {
      // Read until the program closes its standard output.
      pollfd attesa{tubo[0], POLLIN, 0};
      if (::poll(&attesa, 1, static_cast<int>(resta.count())) <= 0) continue;
      char blocco[65536];
      const ssize_t n = ::read(tubo[0], blocco, sizeof blocco);
      if (n > 0) e.uscita.append(blocco, static_cast<std::size_t>(n));
      if (n == 0 || (n < 0 && errno != EINTR)) aperto = false;
    } else if (::waitpid(figlio, &stato, WNOHANG) == figlio) {
      if (WIFEXITED(stato)) {
        e.stato = WEXITSTATUS(stato);
      } else {
        e.guasto = "terminated by signal " + std::to_string(WTERMSIG(stato));
      }
      break;
    } else {
      ::usleep(5000);
    }
  }
  ::close(tubo[0]);
  return e;
}

// Copies the case's world files into the scratch folder: `mondo.ini`, or the
// repository file named by `mondo`, as mondo.ini; `world.ini` as it is; and
// what the folder `file/` holds.
bool prepara(const fs::path& caso, const fs::path& radice, const fs::path& cartella) {
  std::error_code errore;
  if (fs::exists(caso / "mondo.ini")) {
    // A case may hold a folder named mondo.ini: it is copied as a folder.
    fs::copy(caso / "mondo.ini", cartella / "mondo.ini", fs::copy_options::recursive, errore);
  } else if (fs::exists(caso / "mondo")) {
    fs::copy_file(radice / parola(caso / "mondo", ""), cartella / "mondo.ini", errore);
  }
  if (!errore && fs::exists(caso / "world.ini")) {
    fs::copy_file(caso / "world.ini", cartella / "world.ini", errore);
  }
  // `file/`: more files, with their folders, such as a user's data folder.
  if (!errore && fs::is_directory(caso / "file")) {
    fs::copy(caso / "file", cartella, fs::copy_options::recursive, errore);
  }
  if (errore) std::cout << "cannot copy the world files: " << errore.message() << "\n";
  return !errore;
}

// The file the pattern `modello` names under `cartella`: a segment may be
// `*`, which stands for the one name in that folder (a folder named from a
// hash of a path that differs between machines). Empty when no file, or
// more than one, matches.
fs::path trova(const fs::path& cartella, const fs::path& modello) {
  fs::path qui = cartella;
  for (const fs::path& parte : modello) {
    if (parte != "*") {
      qui /= parte;
      continue;
    }
    std::error_code errore;
    std::vector<fs::path> nomi;
    for (const auto& voce : fs::directory_iterator(qui, errore)) nomi.push_back(voce.path());
    if (errore || nomi.size() != 1) return {};
    qui = nomi.front();
  }
  return qui;
}

// One run of the game for the case folder `caso` in the scratch folder
// `cartella`; true when everything matched. A case folder may hold a further
// case in `poi/`, run afterwards in the same scratch folder, so a case can
// play one world and then another, or the same one again.
bool esegui_caso(const fs::path& bin, const fs::path& radice, const fs::path& caso,
                 const fs::path& cartella, const std::string& nome) {
  std::string atteso;
  if (!fs::exists(caso / "input") || !leggi(caso / "atteso", atteso)) {
    std::cout << nome << ": the case needs the files `input` and `atteso`\n";
    return false;
  }
  const std::string programma = parola(caso / "programma", "velt");
  if (programma != "velt" && programma != "velt-utf8") {
    std::cout << nome << ": unknown program `" << programma << "`\n";
    return false;
  }
  const std::string stato_scritto = parola(caso / "stato", "0");
  if (stato_scritto.find_first_not_of("0123456789") != std::string::npos) {
    std::cout << nome << ": `stato` must be a decimal number\n";
    return false;
  }
  const int stato_atteso = std::atoi(stato_scritto.c_str());

  const fs::path caso_assoluto = fs::absolute(caso);
  avvio a;
  a.argomenti = righe(caso / "argomenti", cartella, caso_assoluto);
  a.ambiente = righe(caso / "ambiente", cartella, caso_assoluto);
  const std::string limite = parola(caso / "limite-file", "");
  if (!limite.empty()) a.limite_file = std::atol(limite.c_str());
  const bool sola_lettura = fs::exists(caso / "sola-lettura");
  a.come_utente_comune = sola_lettura;
  std::string errori_attesi;
  const bool con_errori = leggi(caso / "errori", errori_attesi);
  std::string nome_errori = (fs::temp_directory_path() / "velt-errori-XXXXXX").string();
  if (con_errori) a.errori = ::mkstemp(nome_errori.data());

  bool ok = prepara(caso, radice, cartella) && a.errori >= 0;
  // Open to the ordinary user the game then runs as, and closed to writing.
  if (ok && sola_lettura) ok = ::chmod(cartella.c_str(), 0555) == 0;
  if (ok) {
    const esecuzione e =
        esegui(fs::absolute(bin / programma), cartella, fs::absolute(caso / "input"), a);
    ok = confronta("standard output", atteso, e.uscita);
    if (con_errori) {
      std::string errori;
      ok = leggi(nome_errori, errori) && confronta("standard error", errori_attesi, errori) && ok;
    }
    if (!e.guasto.empty()) {
      std::cout << programma << " " << e.guasto << "\n";
      ok = false;
    } else if (e.stato != stato_atteso) {
      std::cout << "exit status: expected " << stato_atteso << ", got " << e.stato << "\n";
      ok = false;
    }
    // `salvataggio`: where the saved game lands, when not in the folder itself.
    const std::string salvato = parola(caso / "salvataggio", "world.ini");
    std::string mondo_atteso, mondo_salvato;
    if (leggi(caso / "world.atteso", mondo_atteso)) {
      if (!leggi(trova(cartella, salvato), mondo_salvato)) {
        std::cout << salvato << ": expected a saved game, found none\n";
        ok = false;
      } else {
        ok = confronta(salvato, mondo_atteso, mondo_salvato) && ok;
      }
    }
  }
  if (con_errori && a.errori >= 0) {
    ::close(a.errori);
    ::unlink(nome_errori.c_str());
  }
  ::chmod(cartella.c_str(), 0700);
  if (ok && fs::is_directory(caso / "poi")) {
    return esegui_caso(bin, radice, caso / "poi", cartella, nome + "/poi");
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: velt_trascrizione <bin-dir> <repo-root> <case-dir>\n";
    return 1;
  }
  const fs::path caso = fs::path(argv[3]).lexically_normal();
  const std::string nome =
      caso.has_filename() ? caso.filename().string() : caso.parent_path().filename().string();
  const fs::path cartella = nuova_cartella_prova("velt-trascrizione");
  if (cartella.empty()) return 1;
  return chiudi_cartella_prova(cartella, esegui_caso(argv[1], argv[2], caso, cartella, nome), nome);
}
