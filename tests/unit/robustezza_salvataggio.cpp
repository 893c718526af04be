// The saved game survives what a disk and a folder can do to it: a write
// that fails half way, a crash at any moment of a save, and a world.ini that
// is a link, a folder, unreadable, or has the leftovers of a crash beside it.
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "robustezza.h"

namespace {

using namespace robustezza;

// The names in the working folder that begin with "world.ini.".
std::set<std::string> temporanei() {
  std::set<std::string> nomi;
  for (const auto& voce : std::filesystem::directory_iterator(".")) {
    const std::string nome = voce.path().filename().string();
    if (nome.rfind("world.ini.", 0) == 0) nomi.insert(nome);
  }
  return nomi;
}

bool file_regolare(const char* nome) {
  struct stat info;
  return ::lstat(nome, &info) == 0 && S_ISREG(info.st_mode);
}

const char* const salvato_mancante =
    "\n ! ERRORE in apertura file: 'world.ini' non trovato:\n"
    "\n          probabilmente non esiste alcun gioco salvato!\n"
    "\n Sar" A_GRAVE " impossibile continuare nell'esecuzione del programma.\n";
const char* const salvato_bene = "\n - Gioco salvato correttamente...\n";
const char* const apertura_fallita = "\n ! ERRORE: In apertura del file.\n";
const char* const scrittura_fallita = "\n ! ERRORE: Scrittura del file non riuscita.\n";

class Salvataggio : public Robustezza {
protected:
  // Saves the game; returns what was printed.
  std::string salva() {
    uscita();
    mondo->salva();
    return uscita();
  }

  // Answers "si" to the load question, which must end the program;
  // returns what was printed.
  std::string carica_salvato_fatale() {
    uscita();
    cons.righe = {"si"};
    EXPECT_THROW(mondo->carica(), uscita_fatale);
    return uscita();
  }
};

// Runs `figlio` in a child process and returns its wait status; the child
// ends with the status `figlio` returns, skipping every exit handler.
template <class F>
int in_un_figlio(F figlio) {
  std::cout.flush();
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(figlio());
  int stato = -1;
  ::waitpid(pid, &stato, 0);
  return stato;
}

TEST_F(Salvataggio, ScritturaFallitaLasciaIlSalvataggioPrecedente) {
  scrivi_file("mondo.ini", mondo_piccolo());
  const std::string precedente = "[Titolo]\nla partita di ieri\n[EndTitolo]\n";
  scrivi_file("world.ini", precedente);
  // The child plays a whole game on a disk that takes no more than 64 bytes
  // per file: the save fails, the game goes on to the next prompt and ends
  // normally. Its output comes back through a pipe.
  int tubo[2];
  ASSERT_EQ(::pipe(tubo), 0);
  const int stato = in_un_figlio([&] {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limite{64, 64};
    if (::setrlimit(RLIMIT_FSIZE, &limite) != 0) return 2;
    cons.righe = {"", "salva", "guarda", "esci", "no"};
    const int esito = ::gioca();
    const std::string testo = uscita();
    if (::write(tubo[1], testo.data(), testo.size()) != static_cast<ssize_t>(testo.size()))
      return 3;
    return esito;
  });
  ::close(tubo[1]);
  std::string stampato;
  char blocco[4096];
  for (ssize_t n; (n = ::read(tubo[0], blocco, sizeof blocco)) > 0;) stampato.append(blocco, n);
  ::close(tubo[0]);

  ASSERT_TRUE(WIFEXITED(stato)) << "the child was killed by signal " << WTERMSIG(stato);
  EXPECT_EQ(WEXITSTATUS(stato), 0);
  EXPECT_NE(stampato.find(std::string(prompt) + scrittura_fallita + prompt + "\n* La sala\n"),
            std::string::npos)
      << stampato;
  EXPECT_EQ(stampato.find(salvato_bene), std::string::npos);
  EXPECT_EQ(leggi_file("world.ini"), precedente);
  EXPECT_TRUE(temporanei().empty());
}

// A world of a few megabytes: a chain of places, each with objects and long
// texts, so that a save takes long enough to be interrupted in the middle.
std::string mondo_grande() {
  const std::string lungo(300, 'x');
  std::string testo = "[Titolo]\nIl mondo grande\n[EndTitolo]\n";
  const int luoghi = 1500;
  for (int i = 0; i < luoghi; ++i) {
    const std::string nome = "luogo" + std::to_string(i);
    testo += "[Luogo]\nNOMELUOGO=" + nome + "\nSOPRANOME=Il " + nome + "\n[Descrizione]\n" + lungo +
             "\n[EndDescrizione]\n[EndLuogo]\n[OggInLuogo]\nNOMELUOGO=" + nome + "\n";
    for (int k = 0; k < 4; ++k) {
      testo += "[Oggetto]\nNOMEOGGETTO=cosa" + std::to_string(k) + "\nDESCRIZIONE=" + lungo +
               "\nTRASPORTABILE=TRUE\n[EndOggetto]\n";
    }
    testo += "[EndOggInLuogo]\n";
  }
  for (int i = 0; i + 1 < luoghi; ++i) {
    testo += "[PuntatoriALuogo]\nNOMELUOGO=luogo" + std::to_string(i) + "\nNORD=luogo" +
             std::to_string(i + 1) + "\n[EndPuntatoriALuogo]\n";
  }
  return testo + "[Utente]\nINIZIO=luogo0\n[EndUtente]\n";
}

TEST_F(Salvataggio, UnCrolloDuranteIlSalvataggioLasciaUnFileIntero) {
  carica(mondo_grande());
  const std::string vecchio = salvato();
  ASSERT_GT(vecchio.size(), 2u << 20);
  gioca({"prendi cosa0", "vai nord"}, {"si"});
  const std::string nuovo = salvato();
  ASSERT_NE(vecchio, nuovo);

  // How long a whole save takes in a child, from fork to exit.
  scrivi_file("world.ini", vecchio);
  const auto inizio = std::chrono::steady_clock::now();
  ASSERT_EQ(in_un_figlio([&] { return mondo->salva(); }), 0);
  const auto durata = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - inizio);
  ASSERT_EQ(leggi_file("world.ini"), nuovo);

  const unsigned seme = std::random_device{}();
  std::mt19937 caso(seme);
  std::uniform_int_distribution<long> attesa(0, durata.count() * 5 / 4);
  int vecchi = 0, nuovi = 0;
  for (int prova = 0; prova < 40; ++prova) {
    scrivi_file("world.ini", vecchio);
    std::cout.flush();
    const pid_t pid = ::fork();
    if (pid == 0) ::_exit(mondo->salva());
    ::usleep(static_cast<useconds_t>(attesa(caso)));
    ::kill(pid, SIGKILL);
    ::waitpid(pid, nullptr, 0);
    const std::string trovato = leggi_file("world.ini");
    ASSERT_TRUE(trovato == vecchio || trovato == nuovo)
        << "kill " << prova << " (seed " << seme << ") left " << trovato.size() << " bytes";
    (trovato == vecchio ? vecchi : nuovi)++;
    // What a killed save leaves is its own temporary file, never world.ini.
    for (const std::string& resto : temporanei()) std::remove(resto.c_str());
  }
  EXPECT_GT(vecchi, 0) << "no kill came before the end of a save";
  std::cerr << "kills: " << vecchi << " old, " << nuovi << " new; a save takes " << durata.count()
            << " us\n";

  // Both files that a kill can leave load, and load as they were saved.
  for (const std::string* testo : {&vecchio, &nuovo}) {
    ambiente::zaino.svuota();
    nuovo_gioco();
    carica(*testo);
    EXPECT_EQ(salvato(), *testo);
  }
}

// A dangling link: loading finds no saved game, and saving replaces the
// link without creating a file where it points.
TEST_F(Salvataggio, UnCollegamentoPendenteNonVieneSeguito) {
  carica(mondo_piccolo());
  ASSERT_EQ(::symlink("inesistente", "world.ini"), 0);
  EXPECT_EQ(carica_salvato_fatale(), std::string(domanda_carica) + salvato_mancante);
  EXPECT_EQ(salva(), salvato_bene);
  EXPECT_TRUE(file_regolare("world.ini"));
  EXPECT_EQ(leggi_file("world.ini"), salvato());
  EXPECT_FALSE(std::filesystem::exists("inesistente"));
  EXPECT_TRUE(temporanei().empty());
}

// A folder named world.ini is neither written into nor loaded.
TEST_F(Salvataggio, UnaCartellaDiNomeWorldIni) {
  carica(mondo_piccolo());
  ASSERT_EQ(::mkdir("world.ini", 0755), 0);
  scrivi_file("world.ini/dentro", "da non toccare\n");
  EXPECT_EQ(salva(), apertura_fallita);
  EXPECT_EQ(leggi_file("world.ini/dentro"), "da non toccare\n");
  EXPECT_TRUE(temporanei().empty());
  EXPECT_EQ(carica_salvato_fatale(), std::string(domanda_carica) + salvato_mancante);
}

TEST_F(Salvataggio, UnFileIlleggibileNonVieneCaricato) {
  scrivi_file("world.ini", mondo_piccolo());
  ASSERT_EQ(::chmod(".", 0755), 0);  // only the file's own bits stand in the way
  ASSERT_EQ(::chmod("world.ini", 0), 0);
  const auto carica_il_salvataggio_chiuso = [this] {
    come_utente_comune();
    ::_exit(carica_salvato_fatale() == std::string(domanda_carica) + salvato_mancante ? 0 : 1);
  };
  EXPECT_EXIT(carica_il_salvataggio_chiuso(), ::testing::ExitedWithCode(0), "");
}

TEST_F(Salvataggio, IRestiDiUnSalvataggioInterrottoRestanoDoveSono) {
  carica(mondo_piccolo());
  const std::string resto = "[Titolo]\nmezzo salva";
  for (const char* nome : {"world.ini.a1B2c3", "world.ini.XXXXXX"}) scrivi_file(nome, resto);
  scrivi_file("world.ini", "vecchio\n");
  EXPECT_EQ(salva(), salvato_bene);
  EXPECT_EQ(leggi_file("world.ini"), salvato());
  EXPECT_EQ(temporanei(), (std::set<std::string>{"world.ini.XXXXXX", "world.ini.a1B2c3"}));
  EXPECT_EQ(leggi_file("world.ini.a1B2c3"), resto);
  EXPECT_EQ(leggi_file("world.ini.XXXXXX"), resto);
}

}  // namespace
