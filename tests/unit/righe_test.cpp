// The line helpers: key splitting, upper-casing and the line source.
#include "world/righe.h"

#include <algorithm>

#include "banco_mondo.h"

namespace mondo_prova {
namespace {

const char* const riga_vuota = "\n ! ERRORE: riga vuota.\n";

using MondoRighe = banco_mondo;

TEST_F(MondoRighe, MaiuscolizzaCambiaSoloLeLettereAscii) {
  // The bytes just outside a-z, digits, punctuation and the bytes of
  // accented letters (single OEM bytes and UTF-8 pairs alike) keep their case.
  std::string linea = "`az{ Mix 09_=\x85\x8A\xC3\xA8";
  EXPECT_TRUE(maiuscolizza(linea));
  EXPECT_EQ(linea, "`AZ{ MIX 09_=\x85\x8A\xC3\xA8");
  EXPECT_EQ(uscita(), "");
}

TEST_F(MondoRighe, MaiuscolizzaSuStringaVuotaAvvisa) {
  std::string linea;
  EXPECT_FALSE(maiuscolizza(linea));
  EXPECT_EQ(linea, "");
  EXPECT_EQ(uscita(), riga_vuota);
}

TEST_F(MondoRighe, ResearchSenzaUgualeNonToccaNulla) {
  for (const std::string linea : {"", "[Luogo]", "NOMELUOGO sala"}) {
    std::string right = "valore", left = "chiave";
    EXPECT_FALSE(research(linea, right, left)) << linea;
    EXPECT_EQ(right, "valore");
    EXPECT_EQ(left, "chiave");
  }
  EXPECT_EQ(uscita(), "");
}

TEST_F(MondoRighe, ResearchDivideAlPrimoUguale) {
  struct caso {
    const char* linea;
    const char* chiave;
    const char* valore;
  };
  const caso casi[] = {
      {"NomeLuogo=sala", "NOMELUOGO", "sala"},
      {"descrizione=a=b = c", "DESCRIZIONE", "a=b = c"},
      {" nome = Sala Grande ", " NOME ", " Sala Grande "},
      {"OBJ=", "OBJ", ""},
      {"k\xe8y=V\xe8", "K\xe8Y", "V\xe8"},
  };
  for (const caso& c : casi) {
    std::string right = "x", left = "y";
    EXPECT_TRUE(research(c.linea, right, left)) << c.linea;
    EXPECT_EQ(left, c.chiave) << c.linea;
    EXPECT_EQ(right, c.valore) << c.linea;
  }
  EXPECT_EQ(uscita(), "");
}

TEST_F(MondoRighe, ResearchConChiaveVuotaAvvisa) {
  std::string right = "x", left = "y";
  EXPECT_TRUE(research("=", right, left));
  EXPECT_EQ(left, "");
  EXPECT_EQ(right, "");
  EXPECT_EQ(uscita(), riga_vuota);
  EXPECT_TRUE(research("=valore", right, left));
  EXPECT_EQ(right, "valore");
  EXPECT_EQ(uscita(), riga_vuota);
}

// Reads every line of `flusso`, marking the line read together with the end
// of the file with a trailing '|'.
std::vector<std::string> righe_di(std::istream& flusso) {
  lettore s(flusso);
  std::vector<std::string> righe;
  std::string linea;
  while (!s.eof()) {
    s.leggi(linea);
    righe.push_back(s.eof() ? linea + "|" : linea);
  }
  return righe;
}

std::vector<std::string> righe_di(const std::string& testo) {
  std::istringstream flusso(testo);
  return righe_di(flusso);
}

// A stream that hands out its text `pezzo` bytes at a time, so that the
// lines run over the ends of the blocks the lettore reads ahead.
class flusso_a_pezzi : public std::streambuf {
public:
  flusso_a_pezzi(std::string t, std::size_t n) : testo(std::move(t)), pezzo(n) {}

protected:
  int_type underflow() override {
    if (dato == testo.size()) return traits_type::eof();
    const std::size_t n = std::min(pezzo, testo.size() - dato);
    setg(&testo[dato], &testo[dato], &testo[dato] + n);
    dato += n;
    return traits_type::to_int_type(*gptr());
  }

private:
  std::string testo;
  std::size_t pezzo;
  std::size_t dato = 0;
};

TEST_F(MondoRighe, LettoreToglieIRitorniCarrelloFinali) {
  EXPECT_EQ(righe_di("a\r\nb\r\r\n\r\nc\rd\n"),
            (std::vector<std::string>{"a", "b", "", "c\rd", "|"}));
  EXPECT_EQ(righe_di("a\nb\n"), righe_di("a\r\nb\r\n"));
}

TEST_F(MondoRighe, LettoreRicomponeLeRigheSpezzateTraBlocchi) {
  // Lines longer than a block, CRs and line feeds on the cuts, empty lines
  // and a last line without a line feed read the same in any pieces.
  const std::string testo = "NOMEOGGETTO=lampada a olio\r\n\r\nab\r\r\n\nx\ry\nfine";
  const std::vector<std::string> attese{
      "NOMEOGGETTO=lampada a olio", "", "ab", "", "x\ry", "fine|"};
  for (std::size_t pezzo : {1, 2, 3, 5, 13}) {
    flusso_a_pezzi sorgente(testo, pezzo);
    std::istream flusso(&sorgente);
    EXPECT_EQ(righe_di(flusso), attese) << pezzo;
  }
}

TEST_F(MondoRighe, LettoreUltimaRigaSenzaACapo) {
  // The last line comes whole, and with it the end of the file.
  EXPECT_EQ(righe_di("uno\ndue"), (std::vector<std::string>{"uno", "due|"}));
  EXPECT_EQ(righe_di("uno\ndue\r"), (std::vector<std::string>{"uno", "due|"}));
  EXPECT_EQ(righe_di(""), (std::vector<std::string>{"|"}));
}

TEST_F(MondoRighe, LettoreSaltaLeRigheVuoteFinoAllaFine) {
  std::istringstream flusso("\n\r\n\nx\n\n\n");
  lettore s(flusso);
  std::string linea;
  s.leggi_non_vuota(linea);
  EXPECT_EQ(linea, "x");
  EXPECT_EQ(s.riga(), 4u);
  EXPECT_FALSE(s.eof());
  s.leggi_non_vuota(linea);
  EXPECT_EQ(linea, "");
  EXPECT_TRUE(s.eof());
}

}  // namespace
}  // namespace mondo_prova
