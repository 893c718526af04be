// The save folder of a world file: the same file by any name finds one
// folder, a folder that records another path is never taken, and a world
// already in one of the folders is played there.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "game/cartella.h"

namespace {

namespace fs = std::filesystem;

const std::string mondo = "[Titolo]\nIl faro\n[EndTitolo]\n";

class CartellaPartita : public ::testing::Test {
protected:
  void SetUp() override {
    std::string modello = (fs::temp_directory_path() / "velt-cartella-XXXXXX").string();
    ASSERT_NE(::mkdtemp(modello.data()), nullptr);
    radice = fs::canonical(modello);
    base = radice / "dati" / "velt";
    fs::create_directories(radice / "giochi");
    std::ofstream(radice / "giochi" / "faro.ini") << mondo;
  }
  void TearDown() override {
    std::error_code e;
    fs::remove_all(radice, e);
  }

  // The folder for `file`; fails the test when there is none.
  fs::path cartella(const fs::path& file) {
    std::string errore;
    const fs::path c = cartella_partita(base, file, mondo, errore);
    EXPECT_FALSE(c.empty()) << errore;
    EXPECT_TRUE(errore.empty()) << errore;
    return c;
  }

  static std::string leggi(const fs::path& file) {
    std::ifstream in(file);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  fs::path radice, base;
};

TEST_F(CartellaPartita, LoStessoFileConOgniNomeHaUnaSolaCartella) {
  const fs::path c = cartella(radice / "giochi" / "faro.ini");
  EXPECT_EQ(c.parent_path(), base);
  const std::string nome = c.filename().string();
  ASSERT_EQ(nome.size(), std::string("faro-").size() + 16) << nome;
  EXPECT_EQ(nome.rfind("faro-", 0), 0u) << nome;
  EXPECT_EQ(nome.find_first_not_of("0123456789abcdef", 5), std::string::npos) << nome;
  EXPECT_EQ(leggi(c / "origine"), (radice / "giochi" / "faro.ini").string() + "\n");

  fs::create_directory_symlink(radice / "giochi", radice / "collegamento");
  const fs::path altri[] = {radice / "giochi" / ".." / "giochi" / "faro.ini",
                            radice / "collegamento" / "faro.ini"};
  for (const fs::path& altro : altri) EXPECT_EQ(cartella(altro), c) << altro;
  EXPECT_EQ(std::distance(fs::directory_iterator(base), {}), 1);
}

TEST_F(CartellaPartita, UnaCartellaDiUnAltroPercorsoNonVienePresa) {
  const fs::path c = cartella(radice / "giochi" / "faro.ini");
  std::ofstream(c / "origine", std::ios::trunc) << "/altrove/faro.ini\n";
  const fs::path seconda = cartella(radice / "giochi" / "faro.ini");
  EXPECT_EQ(seconda, fs::path(c.string() + "-2"));
  EXPECT_EQ(leggi(c / "origine"), "/altrove/faro.ini\n");
  EXPECT_EQ(cartella(radice / "giochi" / "faro.ini"), seconda);
}

TEST_F(CartellaPartita, UnMondoGiaInUnaCartellaSiGiocaLi) {
  const fs::path c = cartella(radice / "giochi" / "faro.ini");
  std::ofstream(c / "mondo.ini") << mondo;
  EXPECT_EQ(cartella(c / "mondo.ini"), c);
  EXPECT_EQ(std::distance(fs::directory_iterator(base), {}), 1);
}

}  // namespace
