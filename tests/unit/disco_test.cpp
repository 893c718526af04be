// Saving to world.ini in the working directory: the message, the content,
// the permission bits, and failures that must leave the old save alone.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "banco_mondo.h"
#include "objects/accenti.h"

namespace mondo_prova {
namespace {

namespace fs = std::filesystem;

const char* const salvato_ok = "\n - Gioco salvato correttamente...\n";

// A world whose first look changes it: the hint goes, the place is seen.
const char* const mondo_piccolo =
    "[Titolo]\nPiccolo\n[EndTitolo]\n"
    "[Luogo]\nNOMELUOGO=stanza\nSOPRANOME=Stanza\n[Suggerimento]\nUn consiglio lungo.\n"
    "[EndSuggerimento]\n[EndLuogo]\n"
    "[Utente]\nINIZIO=stanza\n[EndUtente]\n";

// Each test runs in a fresh folder of its own, with a known umask.
class MondoDisco : public banco_mondo {
protected:
  void SetUp() override {
    char buffer[PATH_MAX];
    ASSERT_NE(::getcwd(buffer, sizeof buffer), nullptr);
    partenza = buffer;
    std::string modello = (fs::temp_directory_path() / "velt-mondo-XXXXXX").string();
    ASSERT_NE(::mkdtemp(&modello[0]), nullptr);
    cartella = modello;
    ASSERT_EQ(::chdir(cartella.c_str()), 0);
    maschera = ::umask(022);
    ASSERT_EQ(carica(mondo_piccolo), "");
  }
  void TearDown() override {
    ::umask(maschera);
    ::chdir(partenza.c_str());
    std::error_code ignora;
    fs::permissions(cartella, fs::perms::owner_all, fs::perm_options::add, ignora);
    fs::remove_all(cartella, ignora);
  }

  // The names in the working folder, sorted.
  std::string contenuto_cartella() const {
    std::vector<std::string> nomi;
    for (const auto& voce : fs::directory_iterator(cartella)) {
      nomi.push_back(voce.path().filename().string());
    }
    std::sort(nomi.begin(), nomi.end());
    std::string elenco;
    for (const std::string& n : nomi) elenco += n + ";";
    return elenco;
  }

  std::string partenza;
  std::string cartella;
  mode_t maschera = 0;
};

TEST_F(MondoDisco, SalvaScriveIlGiocoEAnnuncia) {
  EXPECT_EQ(mondo->salva(), 0);
  EXPECT_EQ(uscita(), salvato_ok);
  EXPECT_EQ(leggi_file("world.ini"), salvato());
  EXPECT_EQ(contenuto_cartella(), "world.ini;");
  // The command line does the same.
  std::remove("world.ini");
  EXPECT_EQ(gioca({"salva"}), salvato_ok);
  EXPECT_EQ(leggi_file("world.ini"), salvato());
}

// Texts around and beyond the size of the saver's 64 KiB buffer reach the
// file whole, and the file loads back as it was written.
TEST_F(MondoDisco, TestiPiuLunghiDelBufferArrivanoInteri) {
  const std::string sopranome(65535, 's'), descrizione(200000, 'd'), nome(70000, 'n');
  nuovo_gioco();
  carica("[Luogo]\nNOMELUOGO=stanza\nSOPRANOME=" + sopranome + "\n[Descrizione]\n" + descrizione +
         "\n[EndDescrizione]\n[EndLuogo]\n[OggInLuogo]\nNOMELUOGO=stanza\n"
         "[Oggetto]\nNOMEOGGETTO=" +
         nome +
         "\nDESCRIZIONE=x\n[EndOggetto]\n[EndOggInLuogo]\n"
         "[Utente]\nINIZIO=stanza\n[EndUtente]\n");
  ASSERT_EQ(mondo->salva(), 0);
  const std::string scritto = leggi_file("world.ini");
  EXPECT_NE(scritto.find("\nSOPRANOME=" + sopranome + "\n"), std::string::npos);
  EXPECT_NE(scritto.find("[Descrizione]\n" + descrizione + "\n[EndDescrizione]"),
            std::string::npos);
  EXPECT_NE(scritto.find("\nNOMEOGGETTO=" + nome + "\n"), std::string::npos);
  EXPECT_EQ(scritto, salvato());
  nuovo_gioco();
  carica(scritto);
  EXPECT_EQ(salvato(), scritto);
}

TEST_F(MondoDisco, PermessiDelFileMenoUmask) {
  for (const mode_t m : {022, 002, 077, 0}) {
    ::umask(m);
    std::remove("world.ini");
    ASSERT_EQ(mondo->salva(), 0);
    struct stat info;
    ASSERT_EQ(::lstat("world.ini", &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_mode & 07777, 0664u & ~m) << std::oct << m;
  }
}

TEST_F(MondoDisco, DueSalvataggiDiSeguito) {
  ASSERT_EQ(mondo->salva(), 0);
  const std::string primo = leggi_file("world.ini");
  mondo->start();  // the hint goes: the second save is shorter
  uscita();
  ASSERT_EQ(mondo->salva(), 0);
  EXPECT_EQ(uscita(), salvato_ok);
  const std::string secondo = leggi_file("world.ini");
  EXPECT_EQ(secondo, salvato());
  EXPECT_LT(secondo.size(), primo.size());
  EXPECT_EQ(contenuto_cartella(), "world.ini;");
}

// The save runs in a child that meets the permission bits even as root; the
// child's exit status is the verdict.
TEST_F(MondoDisco, CartellaNonScrivibileLasciaIlVecchioSalvataggio) {
  scrivi_file("world.ini", "vecchio\n");
  ASSERT_EQ(::chmod(cartella.c_str(), 0555), 0);
  const auto salva_nella_cartella_chiusa = [this] {
    come_utente_comune();
    uscita();
    const bool rifiutato =
        mondo->salva() == 1 && uscita() == "\n ! ERRORE: In apertura del file.\n" &&
        leggi_file("world.ini") == "vecchio\n" && contenuto_cartella() == "world.ini;";
    ::_exit(rifiutato ? 0 : 1);
  };
  EXPECT_EXIT(salva_nella_cartella_chiusa(), ::testing::ExitedWithCode(0), "");
}

// A folder that no longer exists cannot receive a file, whoever the user.
TEST_F(MondoDisco, CartellaCancellata) {
  ASSERT_EQ(::rmdir(cartella.c_str()), 0);
  uscita();
  EXPECT_EQ(mondo->salva(), 1);
  EXPECT_EQ(uscita(), "\n ! ERRORE: In apertura del file.\n");
}

// A folder named world.ini cannot be opened as a file: the failure is
// reported, the folder stays, and no new file is left behind.
TEST_F(MondoDisco, WorldIniCartellaNonVieneSostituita) {
  ASSERT_EQ(::mkdir("world.ini", 0755), 0);
  uscita();
  EXPECT_EQ(mondo->salva(), 1);
  EXPECT_EQ(uscita(), "\n ! ERRORE: In apertura del file.\n");
  EXPECT_TRUE(fs::is_directory("world.ini"));
  EXPECT_EQ(contenuto_cartella(), "world.ini;");
}

// An existing link is replaced, never followed: its target is untouched.
TEST_F(MondoDisco, CollegamentoNonVieneSeguito) {
  scrivi_file("bersaglio", "intatto\n");
  ASSERT_EQ(::symlink("bersaglio", "world.ini"), 0);
  EXPECT_EQ(mondo->salva(), 0);
  EXPECT_EQ(leggi_file("bersaglio"), "intatto\n");
  EXPECT_FALSE(fs::is_symlink("world.ini"));
  EXPECT_EQ(leggi_file("world.ini"), salvato());
  EXPECT_EQ(contenuto_cartella(), "bersaglio;world.ini;");
}

// The temporaries of interrupted saves: a successful save removes those named
// as the saver names them and last changed before this game started; a
// fresh one may be another game's save in progress. A failed save removes
// nothing.
TEST_F(MondoDisco, IlSalvataggioTogliIVecchiTemporanei) {
  enum tipo { file, cartella_, collegamento };
  struct voce {
    const char* nome;
    tipo t;
    bool vecchio;
    bool resta;
  };
  const voce voci[] = {
      {"world.ini.abc123", file, true, false},
      {"world.ini.ZZ9z0Q", file, true, false},
      {"world.ini.XYZ789", file, false, true},
      {"world.ini.abc12", file, true, true},
      {"world.ini.abc1234", file, true, true},
      {"world.ini.ab-123", file, true, true},
      {"world.ini.", file, true, true},
      {"mondo.ini.abc123", file, true, true},
      {"world.inixabc123", file, true, true},
      {"world.ini.dir123", cartella_, true, true},
      {"world.ini.lnk123", collegamento, true, true},
  };
  const auto ora = fs::file_time_type::clock::now();
  scrivi_file("bersaglio", "intatto\n");
  for (const voce& v : voci) {
    if (v.t == file) scrivi_file(v.nome, "parziale");
    if (v.t == cartella_) {
      ASSERT_TRUE(fs::create_directory(v.nome));
    }
    if (v.t == collegamento) {
      ASSERT_EQ(::symlink("bersaglio", v.nome), 0);
    }
    if (v.vecchio && v.t != collegamento) fs::last_write_time(v.nome, ora - std::chrono::hours(1));
  }
  fs::last_write_time("bersaglio", ora - std::chrono::hours(1));

  ASSERT_EQ(::mkdir("world.ini", 0755), 0);
  EXPECT_EQ(mondo->salva(), 1);
  for (const voce& v : voci) {
    EXPECT_TRUE(fs::exists(fs::symlink_status(v.nome))) << v.nome;
  }
  ASSERT_EQ(::rmdir("world.ini"), 0);

  EXPECT_EQ(mondo->salva(), 0);
  EXPECT_EQ(leggi_file("world.ini"), salvato());
  for (const voce& v : voci) {
    EXPECT_EQ(fs::exists(fs::symlink_status(v.nome)), v.resta) << v.nome;
  }
  EXPECT_EQ(leggi_file("bersaglio"), "intatto\n");
}

#define DOMANDA                                                                 \
  "\n - Vuoi caricare il gioco salvato se ne esiste uno"                        \
  "\n   oppure vuoi caricare il gioco di default? si = salvato no = default.\n" \
  "\nSono in attesa di una risposta => "
#define IMPOSSIBILE "\n Sar" A_GRAVE " impossibile continuare nell'esecuzione del programma.\n"
#define SENZA_MONDO "\n ! ERRORE in apertura file: 'mondo.ini' non trovato\n" IMPOSSIBILE

class MondoCarica : public MondoDisco {
protected:
  // Answers the load question with `risposta` (none: the input has ended)
  // in a new game; returns what was printed.
  std::string carica_con(const std::vector<std::string>& risposta) {
    nuovo_gioco();
    ambiente::zaino.svuota();
    uscita();
    cons.righe.assign(risposta.begin(), risposta.end());
    EXPECT_TRUE(mondo->carica());
    return uscita();
  }
  std::string carica_fatale_con(const std::vector<std::string>& risposta) {
    nuovo_gioco();
    uscita();
    cons.righe.assign(risposta.begin(), risposta.end());
    EXPECT_THROW(mondo->carica(), uscita_fatale);
    return uscita();
  }
};

TEST_F(MondoCarica, SoloSiCaricaIlSalvataggio) {
  scrivi_file("mondo.ini", "[Titolo]\nPredefinito\n[EndTitolo]\n");
  scrivi_file("world.ini", "[Titolo]\nSalvato\n[EndTitolo]\n");
  EXPECT_EQ(carica_con({"si"}), DOMANDA "\n");
  EXPECT_EQ(mondo->prntitolo(), "Salvato\n");
  for (const char* risposta : {"SI", " si", "si ", "s\x8D", "", "no"}) {
    EXPECT_EQ(carica_con({risposta}), DOMANDA "\n") << risposta;
    EXPECT_EQ(mondo->prntitolo(), "Predefinito\n") << risposta;
  }
  EXPECT_EQ(carica_con({}), DOMANDA "\n");
  EXPECT_EQ(mondo->prntitolo(), "Predefinito\n");
}

TEST_F(MondoCarica, FileMancantiSonoFatali) {
  EXPECT_EQ(carica_fatale_con({"no"}), DOMANDA "\n" SENZA_MONDO);
  // No fallback from the saved game to the default world.
  scrivi_file("mondo.ini", "[Titolo]\nPredefinito\n[EndTitolo]\n");
  EXPECT_EQ(carica_fatale_con({"si"}), DOMANDA
            "\n\n ! ERRORE in apertura file: 'world.ini' non trovato:\n"
            "\n          probabilmente non esiste alcun gioco salvato!\n" IMPOSSIBILE);
}

TEST_F(MondoCarica, CartellaAlPostoDelMondo) {
  ASSERT_EQ(::mkdir("mondo.ini", 0755), 0);
  EXPECT_EQ(carica_fatale_con({""}), DOMANDA "\n" SENZA_MONDO);
}

TEST_F(MondoCarica, MondoNonLeggibile) {
  scrivi_file("mondo.ini", "[Titolo]\nPredefinito\n[EndTitolo]\n");
  ASSERT_EQ(::chmod(".", 0755), 0);  // only the file's own bits stand in the way
  ASSERT_EQ(::chmod("mondo.ini", 0), 0);
  const auto carica_il_mondo_chiuso = [this] {
    come_utente_comune();
    ::_exit(carica_fatale_con({"no"}) == DOMANDA "\n" SENZA_MONDO ? 0 : 1);
  };
  EXPECT_EXIT(carica_il_mondo_chiuso(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace mondo_prova
