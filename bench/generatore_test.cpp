// The generated worlds and scripts: a generated world loads without a single
// message, saves back to the very same bytes, holds every kind of object where
// the generator put it, and its script plays through without errors.
#include <gtest/gtest.h>

#include <iostream>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/generatore.h"
#include "console/console.h"
#include "game/ambiente.h"

namespace {

class generato : public ::testing::Test {
protected:
  generato() : cout_prima(std::cout.rdbuf(stampato.rdbuf())) { ambiente::zaino.svuota(); }
  ~generato() override {
    mondo.reset();
    ambiente::zaino.svuota();
    usa_console(console_prima);
    std::cout.rdbuf(cout_prima);
  }

  // Generates and loads a world; returns its text.
  std::string carica(std::size_t luoghi, std::size_t oggetti) {
    std::ostringstream testo;
    contati = genera_mondo(testo, luoghi, oggetti);
    mondo = std::make_unique<ambiente>(dio);
    std::istringstream ingresso(testo.str());
    mondo->carica_da(ingresso);
    return testo.str();
  }

  std::ostringstream stampato;
  std::streambuf* cout_prima;
  std::vector<std::string> righe;
  console_copione copione;
  console* console_prima = usa_console(&copione);
  luogo dio{"dio", "IO sono un dio", "", true, false, ""};
  std::unique_ptr<ambiente> mondo;
  std::size_t contati = 0;
};

std::size_t conta(const mappa_oggetti& mappa) {
  std::size_t n = 0;
  for (const auto& voce : mappa) {
    ++n;
    if (auto c = dynamic_cast<const oggcont*>(voce.second.get())) n += conta(c->contenuto());
    if (auto h = dynamic_cast<const oggnasc*>(voce.second.get())) n += conta(h->nascosti());
  }
  return n;
}

std::size_t occorrenze(const std::string& testo, const std::string& parola) {
  std::size_t n = 0;
  for (auto p = testo.find(parola); p != std::string::npos; p = testo.find(parola, p + 1)) ++n;
  return n;
}

TEST_F(generato, SiCaricaSenzaMessaggiESiSalvaUguale) {
  for (const auto& misura : {std::make_pair(1, 0), std::make_pair(12, 7), std::make_pair(30, 10)}) {
    ambiente::zaino.svuota();
    const std::string testo = carica(misura.first, misura.second);
    EXPECT_EQ(stampato.str(), "") << misura.first << " luoghi";
    std::ostringstream salvato;
    mondo->salva_su(salvato);
    EXPECT_EQ(salvato.str(), testo) << misura.first << " luoghi";
  }
}

TEST_F(generato, OgniGenereAlSuoPosto) {
  carica(12, 10);
  const mappa_luoghi& luoghi = mondo->luoghi_();
  ASSERT_EQ(luoghi.size(), 12u);
  std::size_t oggetti = conta(ambiente::zaino.contenuto());
  for (const auto& voce : luoghi) {
    EXPECT_EQ(voce.second->oggetti_().size(), 10u) << voce.first;
    oggetti += conta(voce.second->oggetti_());
  }
  EXPECT_EQ(oggetti, contati);
  EXPECT_EQ(mondo->corrente()->name(), "luogo00");
  EXPECT_EQ(mondo->finale()->name(), "luogo11");

  // A grid four places wide: luogo05 is on the second row, second column.
  const luogo& l = *luoghi.at("luogo05");
  EXPECT_EQ(l.collegamento(NORD)->name(), "luogo01");
  EXPECT_EQ(l.collegamento(SUD)->name(), "luogo09");
  EXPECT_EQ(l.collegamento(EST)->name(), "luogo06");
  EXPECT_EQ(l.collegamento(OVEST)->name(), "luogo04");
  EXPECT_EQ(l.collegamento(ALTO), nullptr);
  EXPECT_EQ(luoghi.at("luogo00")->collegamento(NORD), nullptr);
  EXPECT_EQ(luoghi.at("luogo03")->collegamento(EST), nullptr);
  EXPECT_EQ(luoghi.at("luogo11")->collegamento(SUD), nullptr);
  EXPECT_FALSE(l.ostruzione(NORD).empty());
  EXPECT_FALSE(l.ostruzione(SUD).empty());
  EXPECT_TRUE(l.ostruzione(EST).empty());

  const mappa_oggetti& dentro = l.oggetti_();
  auto baule = dynamic_cast<const oggcont*>(dentro.at("baule0").get());
  ASSERT_NE(baule, nullptr);
  EXPECT_FALSE(baule->aperto());
  EXPECT_EQ(baule->contenuto().size(), 2u);
  auto tappeto = dynamic_cast<const oggnasc*>(dentro.at("tappeto6").get());
  ASSERT_NE(tappeto, nullptr);
  EXPECT_EQ(tappeto->nascosti().size(), 1u);
  auto cancello = dynamic_cast<const oggostr*>(dentro.at("cancello7").get());
  ASSERT_NE(cancello, nullptr);
  EXPECT_EQ(cancello->direzione_(), "sud");
  EXPECT_EQ(dentro.at("lanterna3")->reagente_(), "fiammiferi");
  EXPECT_TRUE(ambiente::zaino.search("fiammiferi"));
}

TEST_F(generato, IlCopioneSiGiocaSenzaErrori) {
  carica(16, 10);
  righe = genera_copione(16, 10, 600);
  copione.ricomincia(righe);
  std::size_t comandi = 0, risposte = 0;
  for (const std::string& r : righe) (risposta_copione(r) ? risposte : comandi) += 1;
  EXPECT_EQ(comandi, 600u);
  mondo->start();
  while (copione.letta < righe.size()) mondo->analizza(righe[copione.letta++]);
  const std::string uscita = stampato.str();
  EXPECT_EQ(occorrenze(uscita, "ERRORE"), 0u);
  EXPECT_EQ(occorrenze(uscita, "Risposta => "), risposte);
  EXPECT_GT(occorrenze(uscita, "Hai messo l'oggetto gemma0a nello zaino"), 16u);
  // The walk went along every row and back: the last place of the snake
  // (the west end of the fourth row) was reached.
  EXPECT_TRUE(mondo->luoghi_().at("luogo12")->visitato());
  EXPECT_EQ(copione.letta, righe.size());
}

}  // namespace
