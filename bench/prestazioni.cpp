// Benchmarks of the engine on generated worlds, each measured in the same run
// as its floor, the cost that no engine can beat:
//   carica     loading a world        vs reading its lines with std::getline
//   processo   a whole run of velt that loads the world and meets the end of
//              its input              vs a process that reads the file's
//                                        lines with std::getline and ends
//   salva_su   writing a world        vs writing the same bytes in one call
//   salva      the safe save (fsync)  vs the same bytes written and synced
//   gioca      100 000 commands       vs reading each line and writing the
//                                        same output bytes to the null stream
//   memoria    peak resident memory after loading, in a fresh process, vs
//              the size of the file
// A summary with the three sizes side by side follows the usual table.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "bench/generatore.h"
#include "console/console.h"
#include "game/ambiente.h"

namespace {

const std::size_t OGGETTI = 10;
const std::size_t MISURE[] = {1000, 10000, 100000};
const std::size_t LUOGHI_PARTITA = 10000;
const std::size_t COMANDI = 100000;

std::string cartella;    // scratch folder of the world files, removed at the end
std::string eseguibile;  // this program, run again to measure memory

struct mondo_file {
  std::string percorso;
  std::size_t byte = 0;
  std::size_t oggetti = 0;
};

// The world of `luoghi` places, generated on first use.
const mondo_file& mondo(std::size_t luoghi) {
  static std::map<std::size_t, mondo_file> fatti;
  auto it = fatti.find(luoghi);
  if (it != fatti.end()) return it->second;
  mondo_file m;
  m.percorso = cartella + "/mondo_" + std::to_string(luoghi) + ".ini";
  std::ofstream f(m.percorso, std::ios::binary);
  m.oggetti = genera_mondo(f, luoghi, OGGETTI);
  f.close();
  m.byte = std::filesystem::file_size(m.percorso);
  return fatti.emplace(luoghi, m).first->second;
}

// The bytes of the world file of `luoghi` places: what the save floors write.
std::string contenuto(std::size_t luoghi) {
  std::ifstream f(mondo(luoghi).percorso, std::ios::binary);
  std::ostringstream s;
  s << f.rdbuf();
  return s.str();
}

// Standard output thrown away, counting the bytes, through a buffer like the
// one of a real file.
class buffer_nullo : public std::streambuf {
public:
  buffer_nullo() { setp(dati, dati + sizeof dati); }
  std::size_t scritti() const { return contati + static_cast<std::size_t>(pptr() - pbase()); }

protected:
  int_type overflow(int_type c) override {
    contati += static_cast<std::size_t>(pptr() - pbase());
    setp(dati, dati + sizeof dati);
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }

private:
  char dati[4096];
  std::size_t contati = 0;
};

// While it lives, std::cout goes to the null stream.
class silenzio {
public:
  silenzio() : prima(std::cout.rdbuf(&nullo)) {}
  ~silenzio() { std::cout.rdbuf(prima); }
  buffer_nullo nullo;

private:
  std::streambuf* prima;
};

console_copione copione;

struct partita {
  luogo dio{"dio", "IO sono un dio", "", true, false, ""};
  ambiente mondo{dio};
};

std::unique_ptr<partita> carica_partita(std::istream& ingresso) {
  ambiente::zaino.svuota();
  auto p = std::make_unique<partita>();
  p->mondo.carica_da(ingresso);
  return p;
}

// The world of `luoghi` places, loaded once for the save benchmarks; 0
// releases it.
partita& caricata(std::size_t luoghi) {
  static std::size_t quale = 0;
  static std::unique_ptr<partita> p;
  if (quale != luoghi) {
    p.reset();
    quale = luoghi;
    if (luoghi != 0) {
      std::ifstream f(mondo(luoghi).percorso);
      p = carica_partita(f);
    }
  }
  return *p;
}

void per_byte(benchmark::State& stato, std::size_t byte, std::size_t oggetti) {
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * byte));
  stato.SetItemsProcessed(static_cast<int64_t>(stato.iterations() * oggetti));
}

// --- Load ------------------------------------------------------------------

void carica(benchmark::State& stato) {
  caricata(0);
  const mondo_file& m = mondo(static_cast<std::size_t>(stato.range(0)));
  for (auto _ : stato) {
    std::ifstream f(m.percorso);
    auto p = carica_partita(f);
    stato.PauseTiming();
    p.reset();
    // Every load starts from a heap as clean as a new process's, not from
    // the free lists of the world before, whose merging would fall on the
    // next load at random.
    ::malloc_trim(0);
    stato.ResumeTiming();
  }
  per_byte(stato, m.byte, m.oggetti);
}

void carica_pavimento(benchmark::State& stato) {
  const mondo_file& m = mondo(static_cast<std::size_t>(stato.range(0)));
  for (auto _ : stato) {
    std::ifstream f(m.percorso);
    std::string linea;
    std::size_t righe = 0;
    while (std::getline(f, linea)) ++righe;
    benchmark::DoNotOptimize(righe);
  }
  per_byte(stato, m.byte, m.oggetti);
}

// --- Save ------------------------------------------------------------------

// Removes the file written by the previous iteration and lets every pending
// write reach the disk, untimed: truncating a big file whose pages the kernel
// is still writing back waits for the disk, and each benchmark would pay for
// the writes of the one before.
void togli(benchmark::State& stato, const std::string& nome) {
  stato.PauseTiming();
  std::remove(nome.c_str());
  ::sync();
  stato.ResumeTiming();
}

void salva_su(benchmark::State& stato) {
  const std::size_t luoghi = static_cast<std::size_t>(stato.range(0));
  const partita& p = caricata(luoghi);
  const std::string nome = cartella + "/salva_su.ini";
  // The file gets a 64 KiB buffer, as the game's own save has.
  std::vector<char> buffer(1 << 16);
  for (auto _ : stato) {
    togli(stato, nome);
    std::ofstream f;
    f.rdbuf()->pubsetbuf(buffer.data(), static_cast<std::streamsize>(buffer.size()));
    f.open(nome, std::ios::trunc);
    p.mondo.salva_su(f);
    f.close();
  }
  const std::size_t byte = std::filesystem::file_size(nome);
  if (byte != mondo(luoghi).byte) stato.SkipWithError("il file salvato non ha la misura attesa");
  per_byte(stato, byte, mondo(luoghi).oggetti);
}

void salva_su_pavimento(benchmark::State& stato) {
  const mondo_file& m = mondo(static_cast<std::size_t>(stato.range(0)));
  const std::string byte = contenuto(static_cast<std::size_t>(stato.range(0)));
  const std::string nome = cartella + "/pavimento.ini";
  for (auto _ : stato) {
    togli(stato, nome);
    std::ofstream f(nome, std::ios::trunc);
    f.write(byte.data(), static_cast<std::streamsize>(byte.size()));
    f.close();
  }
  per_byte(stato, m.byte, m.oggetti);
}

// ambiente::salva writes world.ini in the working folder, the scratch one.
void salva(benchmark::State& stato) {
  const std::size_t luoghi = static_cast<std::size_t>(stato.range(0));
  partita& p = caricata(luoghi);
  silenzio muto;
  for (auto _ : stato) {
    togli(stato, "world.ini");
    p.mondo.salva();
  }
  per_byte(stato, mondo(luoghi).byte, mondo(luoghi).oggetti);
}

// The same system calls as the safe save: a new file, one write, fsync,
// rename over the old one, fsync of the folder.
void salva_pavimento(benchmark::State& stato) {
  const mondo_file& m = mondo(static_cast<std::size_t>(stato.range(0)));
  const std::string byte = contenuto(static_cast<std::size_t>(stato.range(0)));
  for (auto _ : stato) {
    togli(stato, "pavimento.ini");
    const int fd = ::open("pavimento.tmp", O_WRONLY | O_CREAT | O_TRUNC, 0664);
    for (std::size_t fatti = 0; fatti < byte.size();) {
      const ssize_t n = ::write(fd, byte.data() + fatti, byte.size() - fatti);
      if (n <= 0) break;
      fatti += static_cast<std::size_t>(n);
    }
    ::fsync(fd);
    ::close(fd);
    std::rename("pavimento.tmp", "pavimento.ini");
    const int dir = ::open(".", O_RDONLY | O_DIRECTORY);
    ::fsync(dir);
    ::close(dir);
  }
  per_byte(stato, m.byte, m.oggetti);
}

// --- Play ------------------------------------------------------------------

const std::vector<std::string>& copione_partita() {
  static const std::vector<std::string> righe = genera_copione(LUOGHI_PARTITA, OGGETTI, COMANDI);
  return righe;
}

const std::string& testo_partita() {
  static std::string testo;
  if (testo.empty()) {
    std::ifstream f(mondo(LUOGHI_PARTITA).percorso);
    std::ostringstream s;
    s << f.rdbuf();
    testo = s.str();
  }
  return testo;
}

// Plays the whole script on a fresh world; returns the output bytes. Only
// the commands are timed: the load and the release are not.
std::size_t gioca_copione(benchmark::State* stato, std::size_t& comandi) {
  const std::vector<std::string>& righe = copione_partita();
  std::istringstream ingresso(testo_partita());
  auto p = carica_partita(ingresso);
  silenzio muto;
  copione.ricomincia(righe);
  if (stato != nullptr) stato->ResumeTiming();
  p->mondo.start();
  comandi = 0;
  while (copione.letta < righe.size()) {
    p->mondo.analizza(righe[copione.letta++]);
    ++comandi;
  }
  if (stato != nullptr) stato->PauseTiming();
  return muto.nullo.scritti();
}

std::size_t byte_per_comando = 0;

void gioca(benchmark::State& stato) {
  caricata(0);
  std::size_t comandi = 0, byte = 0;
  for (auto _ : stato) {
    stato.PauseTiming();
    byte = gioca_copione(&stato, comandi);
    stato.ResumeTiming();
  }
  byte_per_comando = byte / comandi;
  stato.SetItemsProcessed(static_cast<int64_t>(stato.iterations() * comandi));
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * byte));
  stato.counters["comandi"] = static_cast<double>(comandi);
}

// Each line read through the console, as the main loop reads it, and the
// average output of a command written to the null stream in one piece.
void gioca_pavimento(benchmark::State& stato) {
  std::size_t comandi = 0;
  if (byte_per_comando == 0) byte_per_comando = gioca_copione(nullptr, comandi) / comandi;
  const std::vector<std::string>& righe = copione_partita();
  const std::string uscita(byte_per_comando, 'x');
  silenzio muto;
  for (auto _ : stato) {
    copione.ricomincia(righe);
    std::string riga;
    comandi = 0;
    while (console_attiva().leggi_riga(riga)) {
      std::cout.write(uscita.data(), static_cast<std::streamsize>(uscita.size()));
      ++comandi;
    }
  }
  stato.SetItemsProcessed(static_cast<int64_t>(stato.iterations() * comandi));
  stato.SetBytesProcessed(static_cast<int64_t>(stato.iterations() * comandi * uscita.size()));
}

// --- Whole process ---------------------------------------------------------

// The child's side of the process floor: read the file line by line with
// std::getline, as the floor of `carica` does, and end.
int leggi_righe(const char* percorso) {
  std::ifstream f(percorso);
  std::string linea;
  std::size_t righe = 0;
  while (std::getline(f, linea)) ++righe;
  return righe > 0 ? 0 : 1;
}

// Runs `argomenti` in the folder `dove` with standard input from `ingresso`
// and standard output thrown away, and waits for it. True on status 0.
bool esegui(const std::vector<std::string>& argomenti, const std::string& dove,
            const std::string& ingresso) {
  posix_spawn_file_actions_t azioni;
  posix_spawn_file_actions_init(&azioni);
  posix_spawn_file_actions_addopen(&azioni, 0, ingresso.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&azioni, 1, "/dev/null", O_WRONLY, 0);
  const std::string prima = std::filesystem::current_path().string();
  std::vector<char*> argv;
  for (const std::string& a : argomenti) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  pid_t figlio = -1;
  bool ok = ::chdir(dove.c_str()) == 0 &&
            posix_spawn(&figlio, argv[0], &azioni, nullptr, argv.data(), environ) == 0;
  posix_spawn_file_actions_destroy(&azioni);
  int stato = 0;
  ok = ok && ::waitpid(figlio, &stato, 0) == figlio && WIFEXITED(stato) && WEXITSTATUS(stato) == 0;
  return ::chdir(prima.c_str()) == 0 && ok;
}

// A folder whose mondo.ini is the world of `luoghi` places, with the answer
// "no" (the default world) ready as the player's whole input.
std::string cartella_partita(std::size_t luoghi) {
  const std::string dove = cartella + "/partita_" + std::to_string(luoghi);
  if (!std::filesystem::exists(dove + "/mondo.ini")) {
    std::filesystem::create_directory(dove);
    std::filesystem::create_hard_link(mondo(luoghi).percorso, dove + "/mondo.ini");
    std::ofstream(dove + "/risposta") << "no\n";
  }
  return dove;
}

// velt starts, answers the load question, loads the world, shows the first
// place and ends at the end of its input, as a player who quits at once.
void processo(benchmark::State& stato) {
  caricata(0);
  const std::size_t luoghi = static_cast<std::size_t>(stato.range(0));
  const std::string dove = cartella_partita(luoghi);
  for (auto _ : stato) {
    if (!esegui({VELT_ESEGUIBILE}, dove, dove + "/risposta")) {
      stato.SkipWithError("velt non ha terminato con stato 0");
      break;
    }
  }
  per_byte(stato, mondo(luoghi).byte, mondo(luoghi).oggetti);
}

void processo_pavimento(benchmark::State& stato) {
  const std::size_t luoghi = static_cast<std::size_t>(stato.range(0));
  const std::string dove = cartella_partita(luoghi);
  for (auto _ : stato) {
    if (!esegui({eseguibile, "--righe", dove + "/mondo.ini"}, dove, "/dev/null")) {
      stato.SkipWithError("la lettura del file non è riuscita");
      break;
    }
  }
  per_byte(stato, mondo(luoghi).byte, mondo(luoghi).oggetti);
}

// --- Memory ----------------------------------------------------------------

// The child's side: load the file, print the peak resident memory in KiB.
int misura_memoria(const char* percorso) {
  std::ifstream f(percorso);
  static partita* p = carica_partita(f).release();  // kept alive until the exit
  benchmark::DoNotOptimize(p);
  std::ifstream stato("/proc/self/status");
  std::string riga;
  while (std::getline(stato, riga)) {
    if (riga.rfind("VmHWM:", 0) == 0) std::printf("%ld\n", std::atol(riga.c_str() + 6));
  }
  std::fflush(stdout);
  std::_Exit(0);
}

// Runs a fresh copy of this program on the file, so that neither the worlds
// of the other benchmarks nor the other sizes weigh on the peak.
double picco_kib(const std::string& percorso) {
  const std::string comando = "'" + eseguibile + "' --memoria '" + percorso + "'";
  FILE* figlio = ::popen(comando.c_str(), "r");
  long kib = -1;
  if (figlio == nullptr || std::fscanf(figlio, "%ld", &kib) != 1) kib = -1;
  if (figlio != nullptr) ::pclose(figlio);
  return static_cast<double>(kib);
}

void memoria(benchmark::State& stato) {
  caricata(0);
  const mondo_file& m = mondo(static_cast<std::size_t>(stato.range(0)));
  double kib = 0, base = 0;
  for (auto _ : stato) {
    kib = picco_kib(m.percorso);
    base = picco_kib("/dev/null");
  }
  if (kib < 0 || base < 0) stato.SkipWithError("misura della memoria non riuscita");
  stato.counters["picco_MiB"] = kib / 1024;
  stato.counters["vuoto_MiB"] = base / 1024;
  stato.counters["file_MiB"] = static_cast<double>(m.byte) / (1 << 20);
  stato.counters["x_file"] = kib * 1024 / static_cast<double>(m.byte);
  stato.counters["B_per_oggetto"] = kib * 1024 / static_cast<double>(m.oggetti);
}

// --- Summary ---------------------------------------------------------------

// The usual console table, then each benchmark beside its floor, the three
// sizes side by side.
class riepilogo : public benchmark::ConsoleReporter {
public:
  void ReportRuns(const std::vector<Run>& corse) override {
    ConsoleReporter::ReportRuns(corse);
    // With repetitions the median stands for the benchmark: it follows the
    // single runs and replaces them.
    for (const Run& r : corse) {
      if (r.error_occurred || r.iterations == 0) continue;
      const bool mediana = r.run_type == Run::RT_Aggregate;
      if (mediana && r.aggregate_name != "median") continue;
      std::string nome = r.run_name.function_name;
      if (!r.run_name.args.empty()) nome += "/" + r.run_name.args;
      if (mediana || risultati.count(nome) == 0) risultati.insert_or_assign(nome, r);
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::ostream& o = GetOutputStream();
    o << std::fixed << "\nRiepilogo (tempo reale per operazione; rapporto = motore / pavimento)\n"
      << std::setw(30) << "";
    for (std::size_t n : MISURE) o << std::setw(16) << (std::to_string(n) + " luoghi");
    o << '\n';
    confronto(o, "carica", "carica_pavimento", "getline");
    // The CPU time of a child process is not this process's: only the
    // wall-clock ratio means something there.
    confronto(o, "processo", "processo_pavimento", "processo getline", false);
    confronto(o, "salva_su", "salva_su_pavimento", "scrittura");
    confronto(o, "salva", "salva_pavimento", "scrittura+fsync");
    riga_contatore(o, "memoria: picco MiB", "picco_MiB", 1);
    riga_contatore(o, "  pavimento: file MiB", "file_MiB", 1);
    riga_contatore(o, "  rapporto", "x_file", 2);
    riga_contatore(o, "  byte per oggetto", "B_per_oggetto", 0);
    riga_contatore(o, "  processo vuoto MiB", "vuoto_MiB", 1);
    o << "\nCrescita da 1000 a 100000 luoghi (tempo / tempo; N: 100, N log N: "
      << std::setprecision(1) << 100 * std::log(1e5) / std::log(1e3) << ")\n";
    for (const char* nome : {"carica", "salva_su", "salva"}) {
      const double a = secondi(std::string(nome) + "/1000");
      const double b = secondi(std::string(nome) + "/100000");
      const double pa = secondi(std::string(nome) + "_pavimento/1000");
      const double pb = secondi(std::string(nome) + "_pavimento/100000");
      if (a > 0 && b > 0) o << "  " << std::setw(28) << std::left << nome << std::right << b / a;
      if (a > 0 && b > 0 && pa > 0 && pb > 0) o << "   (pavimento " << pb / pa << ")";
      if (a > 0 && b > 0) o << '\n';
    }
    const double g = secondi("gioca"), gp = secondi("gioca_pavimento");
    if (g > 0 && gp > 0) {
      o << std::setprecision(0) << "\nPartita su " << LUOGHI_PARTITA << " luoghi: " << COMANDI / g
        << " comandi/s; pavimento " << COMANDI / gp << " comandi/s; rapporto "
        << std::setprecision(2) << g / gp << '\n';
    }
  }

private:
  double secondi(const std::string& nome) const {
    auto it = risultati.find(nome);
    if (it == risultati.end()) return -1;
    return it->second.GetAdjustedRealTime() / 1e3;  // every benchmark is in milliseconds
  }

  double cpu(const std::string& nome) const {
    auto it = risultati.find(nome);
    if (it == risultati.end()) return -1;
    return it->second.GetAdjustedCPUTime() / 1e3;
  }

  double millisecondi(const std::string& nome) const {
    const double s = secondi(nome);
    return s < 0 ? -1 : s * 1e3;
  }

  double contatore(const std::string& nome, const char* chiave) const {
    auto it = risultati.find(nome);
    if (it == risultati.end()) return -1;
    auto c = it->second.counters.find(chiave);
    return c == it->second.counters.end() ? -1 : c->second.value;
  }

  void cella(std::ostream& o, double valore, int cifre, const char* unita) {
    std::ostringstream s;
    s << std::fixed << std::setprecision(cifre) << valore << unita;
    o << std::setw(16) << (valore < 0 ? std::string("-") : s.str());
  }

  void confronto(std::ostream& o, const std::string& motore, const std::string& pavimento,
                 const char* nome_pavimento, bool con_cpu = true) {
    o << std::setw(30) << std::left << (motore + " ms") << std::right;
    for (std::size_t n : MISURE) cella(o, millisecondi(motore + "/" + std::to_string(n)), 1, "");
    o << '\n'
      << std::setw(30) << std::left << (std::string("  pavimento: ") + nome_pavimento)
      << std::right;
    for (std::size_t n : MISURE) cella(o, millisecondi(pavimento + "/" + std::to_string(n)), 1, "");
    o << '\n' << std::setw(30) << std::left << "  rapporto" << std::right;
    for (std::size_t n : MISURE) {
      const double a = secondi(motore + "/" + std::to_string(n));
      const double b = secondi(pavimento + "/" + std::to_string(n));
      cella(o, a > 0 && b > 0 ? a / b : -1, 2, "x");
    }
    o << '\n';
    if (!con_cpu) return;
    o << std::setw(30) << std::left << "  rapporto (tempo CPU)" << std::right;
    for (std::size_t n : MISURE) {
      const double a = cpu(motore + "/" + std::to_string(n));
      const double b = cpu(pavimento + "/" + std::to_string(n));
      cella(o, a > 0 && b > 0 ? a / b : -1, 2, "x");
    }
    o << '\n';
  }

  void riga_contatore(std::ostream& o, const char* titolo, const char* chiave, int cifre) {
    o << std::setw(30) << std::left << titolo << std::right;
    for (std::size_t n : MISURE)
      cella(o, contatore("memoria/" + std::to_string(n), chiave), cifre, "");
    o << '\n';
  }

  std::map<std::string, Run> risultati;
};

using funzione = void (*)(benchmark::State&);

// Three repetitions of each, summed up by their median: the machine may be
// shared, and one slow run should not decide a figure.
benchmark::internal::Benchmark* registra(const char* nome, funzione f) {
  return benchmark::RegisterBenchmark(nome, f)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->Repetitions(3)
      ->DisplayAggregatesOnly(true);
}

// Each size of a benchmark runs right before the same size of its floor.
void registra_coppia(const char* motore, funzione fm, const char* pavimento, funzione fp) {
  for (std::size_t n : MISURE) {
    registra(motore, fm)->Arg(static_cast<int64_t>(n));
    registra(pavimento, fp)->Arg(static_cast<int64_t>(n));
  }
}

}  // namespace

// With "--memoria FILE" the program only loads FILE and prints its peak
// memory: the memory benchmark runs it that way in a child process.
int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--memoria") return misura_memoria(argv[2]);
  if (argc == 3 && std::string(argv[1]) == "--righe") return leggi_righe(argv[2]);
  std::error_code errore;
  eseguibile = std::filesystem::read_symlink("/proc/self/exe", errore).string();
  std::string modello = (std::filesystem::temp_directory_path() / "velt-bench-XXXXXX").string();
  if (::mkdtemp(modello.data()) == nullptr || ::chdir(modello.c_str()) != 0) {
    std::perror("velt_bench: cartella temporanea");
    return 1;
  }
  cartella = modello;
  usa_console(&copione);

  benchmark::Initialize(&argc, argv);
  registra_coppia("carica", carica, "carica_pavimento", carica_pavimento);
  registra_coppia("processo", processo, "processo_pavimento", processo_pavimento);
  registra_coppia("salva_su", salva_su, "salva_su_pavimento", salva_su_pavimento);
  registra_coppia("salva", salva, "salva_pavimento", salva_pavimento);
  registra("gioca", gioca);
  registra("gioca_pavimento", gioca_pavimento);
  for (std::size_t n : MISURE) {
    benchmark::RegisterBenchmark("memoria", memoria)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Arg(static_cast<int64_t>(n));
  }
  riepilogo rapporto;
  benchmark::RunSpecifiedBenchmarks(&rapporto);
  benchmark::Shutdown();
  caricata(0);
  std::filesystem::remove_all(cartella, errore);
  return 0;
}
