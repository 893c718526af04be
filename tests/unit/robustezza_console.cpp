// Whatever the player pipes in, the game answers and goes on: lines of
// several megabytes, made of one letter, of blanks, of NUL and high bytes,
// as commands, as names, as the answer to a question and as a last line
// without its line feed. The small cases are transcripts (ostile-*); these
// inputs are too big to keep, so they are made here and read by the plain
// console from std::cin, as the program reads its standard input.
#include <iostream>
#include <sstream>

#include "robustezza.h"

namespace {

using namespace robustezza;

const std::size_t mega = 4u << 20;

// A name of `n` bytes running through NUL and every byte from 0x80 up, but
// never a blank or a line feed.
std::string byte_ostili(std::size_t n) {
  std::string s(n, '\0');
  for (std::size_t i = 0; i < n; ++i) s[i] = static_cast<char>(i % 7 == 0 ? 0 : 0x80 + i % 128);
  return s;
}

class ConsoleOstile : public Robustezza {
protected:
  // Runs the whole program on `ingresso` with the plain console; returns
  // what it printed, and its status in `stato`.
  std::string partita(const std::string& ingresso, int& stato) {
    scrivi_file("mondo.ini", mondo_piccolo());
    std::istringstream tastiera(ingresso);
    std::streambuf* cin_prima = std::cin.rdbuf(tastiera.rdbuf());
    console* prima = usa_console(nullptr);
    uscita();
    stato = ::gioca();
    usa_console(prima);
    std::cin.rdbuf(cin_prima);
    std::cin.clear();
    return uscita();
  }
};

// The start of every game on the small world, up to the first prompt.
const std::string inizio =
    std::string(domanda_carica) + "Benvenuto in VELT: La prova\n\n" +
    "Scrivere 'aiuto' per aver un aiuto su i comandi del gioco\n" + "\n* La sala\n" +
    "\n  Questa " E_GRAVE " la lista degli oggetti presenti in questo luogo.\n" + "  - sasso\n" +
    "\nUna sala.\n" + prompt;
const std::string saluto = "\n >>>> GRAZIE PER AVER GIOCATO CON NOI <<<<\n\n";

TEST_F(ConsoleOstile, RigheDiMegabyte) {
  const std::string lettere(mega, 'x');
  const std::string alti = byte_ostili(mega);
  // The answer to the load question is a huge line, so the default world
  // loads; then a huge name to take, a huge line of blanks (no command), a
  // huge name to look at, a huge word that is no command, and a huge
  // direction on the last line, which has no line feed.
  const std::string ingresso = lettere + "\n" + "prendi " + lettere + "\n" +
                               std::string(mega, ' ') + "\n" + "guarda " + alti + "\n" + alti +
                               "\n" + "vai " + lettere;
  int stato = -1;
  const std::string stampato = partita(ingresso, stato);
  const std::string atteso = inizio + "\n - Oggetto " + lettere + " non trovato.\n" + prompt +
                             prompt + "\n ! ERRORE: L'oggetto " + alti +
                             " non " E_GRAVE " presente nel luogo.\n" + prompt + prompt +
                             "\n ! ERRORE: Direzione non riconosciuta\n" + prompt + saluto;
  EXPECT_EQ(stato, 0);
  EXPECT_EQ(stampato.size(), atteso.size());
  EXPECT_TRUE(stampato == atteso)
      << "the output differs from byte "
      << std::mismatch(atteso.begin(), atteso.end(), stampato.begin(), stampato.end()).first -
             atteso.begin();
}

TEST_F(ConsoleOstile, UnaParolaTraMigliaiaDiSpaziEUnaRispostaEnorme) {
  // A command whose words are far apart still runs; its question answered
  // with a huge line is not "si". The whole "esci" line then ends the game.
  const std::string spazi(100000, ' ');
  const std::string ingresso = "no\n" + spazi + "prendi" + spazi + "sasso" + spazi + "\n" + "si" +
                               spazi + "\n" + "esci\n" + std::string(mega, 's') + "\n";
  int stato = -1;
  const std::string stampato = partita(ingresso, stato);
  const std::string atteso =
      inizio + "\n - Vuoi prendere l'oggetto sasso presente nel luogo si/no\n\nRisposta => " +
      prompt + "\n - Vuoi salvare la partita? si/no\n\nSono in attesa di una risposta => " + saluto;
  EXPECT_EQ(stato, 0);
  EXPECT_TRUE(stampato == atteso) << stampato.substr(0, 2000);
  EXPECT_FALSE(std::filesystem::exists("world.ini"));
}

}  // namespace
