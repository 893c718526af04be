// Runs one case of velt-autore. A case is a folder holding:
//   descrizione  one line saying what the case shows
//   comando      the arguments of velt-autore, separated by blanks; or, when
//                it has more than one line, one argument a line
//   mondo.ini    the world, copied into a fresh scratch folder; or instead
//   mondo        a repository-relative path of the world to copy there
//   file/        (optional) files copied into the scratch folder too
//   atteso       (optional) the exact bytes expected on standard output
//   errori       (optional) the exact bytes expected on standard error
//   contiene     (optional) lines that standard output must each hold
//                somewhere, for outputs whose layout is not the point
//   dopo/        (optional) files that the scratch folder must hold after
//                the run, byte for byte
//   assenti      (optional) name prefixes, one a line: no file in the scratch
//                folder may have a name that starts with one
//   stato        (optional) the expected exit status, default 0
//   passi        (optional) the number of commands the solution must have
//   confronta    (optional) a repository-relative path of a velt input whose
//                number of commands the solution must equal
//   rigioca      (optional) the closing message: standard output, piped into
//                velt in the scratch folder, must make velt show it
// Usage: autore_casi VELT_AUTORE VELT REPOSITORY CASE
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

bool leggi(const fs::path& file, std::string& testo) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return false;
  std::ostringstream tutto;
  tutto << in.rdbuf();
  testo = tutto.str();
  return true;
}

// Runs `argomenti` in `cartella` with standard input and output redirected
// to files; returns the exit status, or -1 when it did not exit normally.
int esegui(const std::vector<std::string>& argomenti, const fs::path& cartella,
           const fs::path& ingresso, const fs::path& uscita) {
  const pid_t figlio = ::fork();
  if (figlio == 0) {
    if (::chdir(cartella.c_str()) != 0) ::_exit(126);
    const int in = ::open(ingresso.c_str(), O_RDONLY);
    const int out = ::open(uscita.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = ::open((cartella / "errori").c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (in < 0 || out < 0 || err < 0) ::_exit(126);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    std::vector<char*> argv;
    for (const std::string& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  int stato = 0;
  if (figlio < 0 || ::waitpid(figlio, &stato, 0) < 0) return -1;
  return WIFEXITED(stato) ? WEXITSTATUS(stato) : -1;
}

std::vector<std::string> righe(const std::string& testo) {
  std::vector<std::string> tutte;
  std::istringstream in(testo);
  for (std::string riga; std::getline(in, riga);) tutte.push_back(riga);
  return tutte;
}

// The commands of a velt input: without the answer to the load question, the
// "si" answers, and the closing "esci" with its answer.
long comandi(const std::string& copione) {
  std::vector<std::string> r = righe(copione);
  if (r.size() < 3 || r[r.size() - 2] != "esci") return -1;
  long n = 0;
  for (size_t i = 1; i + 2 < r.size(); ++i) {
    if (r[i] != "si") ++n;
  }
  return n;
}

bool fallisce(const std::string& messaggio) {
  std::cerr << messaggio << '\n';
  return false;
}

bool prova(const std::string& autore, const std::string& velt, const fs::path& radice,
           const fs::path& caso, const fs::path& prove) {
  std::string testo;
  if (!leggi(caso / "comando", testo)) return fallisce("manca il file comando");
  std::vector<std::string> argomenti{autore};
  const std::vector<std::string> linee = righe(testo);
  if (linee.size() > 1) {
    argomenti.insert(argomenti.end(), linee.begin(), linee.end());
  } else {
    std::istringstream parole(testo);
    for (std::string p; parole >> p;) argomenti.push_back(p);
  }

  if (leggi(caso / "mondo", testo)) {
    while (!testo.empty() && (testo.back() == '\n' || testo.back() == '\r')) testo.pop_back();
    fs::copy_file(radice / testo, prove / "mondo.ini");
  } else if (fs::exists(caso / "mondo.ini")) {
    fs::copy_file(caso / "mondo.ini", prove / "mondo.ini");
  }
  if (fs::is_directory(caso / "file")) {
    for (const auto& f : fs::directory_iterator(caso / "file")) {
      fs::copy_file(f.path(), prove / f.path().filename());
    }
  }
  const int stato = esegui(argomenti, prove, "/dev/null", prove / "uscita");
  std::string uscita, errori;
  leggi(prove / "uscita", uscita);
  leggi(prove / "errori", errori);
  int atteso_stato = 0;
  if (leggi(caso / "stato", testo)) atteso_stato = std::atoi(testo.c_str());
  bool ok = true;
  if (stato != atteso_stato) {
    ok = fallisce("stato " + std::to_string(stato) + ", atteso " + std::to_string(atteso_stato) +
                  "\n--- errori:\n" + errori);
  }
  if (leggi(caso / "atteso", testo) && testo != uscita) {
    ok = fallisce("--- atteso:\n" + testo + "--- ottenuto:\n" + uscita);
  }
  if (leggi(caso / "contiene", testo)) {
    for (const std::string& riga : righe(testo)) {
      if (uscita.find(riga) == std::string::npos) ok = fallisce("manca nell'uscita: " + riga);
    }
  }
  if (leggi(caso / "errori", testo) && testo != errori) {
    ok = fallisce("--- errori attesi:\n" + testo + "--- ottenuti:\n" + errori);
  }
  if (fs::is_directory(caso / "dopo")) {
    for (const auto& f : fs::directory_iterator(caso / "dopo")) {
      std::string ottenuto;
      leggi(f.path(), testo);
      if (!leggi(prove / f.path().filename(), ottenuto) || ottenuto != testo) {
        ok = fallisce("il file " + f.path().filename().string() + " non è quello atteso:\n" +
                      ottenuto);
      }
    }
  }
  if (leggi(caso / "assenti", testo)) {
    for (const auto& f : fs::directory_iterator(prove)) {
      const std::string nome = f.path().filename().string();
      for (const std::string& prefisso : righe(testo)) {
        if (nome.rfind(prefisso, 0) == 0) ok = fallisce("il file " + nome + " non doveva esserci");
      }
    }
  }
  if (leggi(caso / "passi", testo) && comandi(uscita) != std::atol(testo.c_str())) {
    ok = fallisce("la soluzione ha " + std::to_string(comandi(uscita)) + " comandi, attesi " +
                  testo);
  }
  if (leggi(caso / "confronta", testo)) {
    while (!testo.empty() && testo.back() == '\n') testo.pop_back();
    std::string altro;
    if (!leggi(radice / testo, altro)) return fallisce("manca " + testo);
    if (comandi(altro) != comandi(uscita)) {
      ok = fallisce(testo + " ha " + std::to_string(comandi(altro)) + " comandi, la soluzione " +
                    std::to_string(comandi(uscita)));
    }
  }
  if (leggi(caso / "rigioca", testo)) {
    const int giocato = esegui({velt}, prove, prove / "uscita", prove / "partita");
    std::string partita;
    leggi(prove / "partita", partita);
    if (giocato != 0) ok = fallisce("velt ha terminato con " + std::to_string(giocato));
    if (partita.find("\n - " + testo) == std::string::npos) {
      ok = fallisce("velt non mostra il messaggio finale:\n" + partita);
    }
  }
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    std::cerr << "uso: autore_casi VELT_AUTORE VELT RADICE CASO\n";
    return 2;
  }
  const fs::path caso = argv[4];
  const fs::path prove = fs::temp_directory_path() /
                         ("autore-" + caso.filename().string() + "-" + std::to_string(::getpid()));
  fs::remove_all(prove);
  fs::create_directories(prove);
  const bool ok = prova(argv[1], argv[2], argv[3], caso, prove);
  if (ok) fs::remove_all(prove);
  return ok ? 0 : 1;
}
