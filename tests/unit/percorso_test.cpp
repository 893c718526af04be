// Walking between places: links, missing links, obstruction texts, direction
// words, what is shown on arrival, and clearing an obstruction.

#include "banco.h"

namespace {

class percorso : public banco {
protected:
  luogo piazza{"piazza", "Piazza", "Una piazza.", true, true, ""};
  luogo chiesa{"chiesa", "Chiesa", "Una chiesa.", true, false, "Silenzio."};
  luogo* utente = &piazza;
};

TEST_F(percorso, PrimoArrivoGuardaTuttoIPoiSoloLaDescrizione) {
  piazza.pnord(chiesa);
  chiesa.psud(piazza);
  metti(chiesa, nuovo("banco"));

  EXPECT_EQ(piazza.vai(utente, "nord"), &chiesa);
  EXPECT_EQ(utente, &chiesa);
  EXPECT_EQ(stampato(), "\n* Chiesa\n\nSilenzio." LISTA "  - banco\n\nUna chiesa.");
  EXPECT_TRUE(chiesa.visitato());

  chiesa.vai(utente, "sud");
  EXPECT_EQ(stampato(), "\n* Piazza\n\nUna piazza.");
  piazza.vai(utente, "nord");
  EXPECT_EQ(stampato(), "\n* Chiesa\n\nUna chiesa.");
  EXPECT_EQ(utente, &chiesa);
}

TEST_F(percorso, OgniDirezioneSenzaCollegamentoHaIlSuoMessaggio) {
  const struct {
    const char* parola;
    const char* messaggio;
  } casi[] = {
      {"nord", "\n - Verso Nord non vi " E_GRAVE " alcun luogo\n"},
      {"sud", "\n - Verso Sud non vi " E_GRAVE " alcun luogo\n"},
      {"est", "\n - Verso Est non vi " E_GRAVE " alcun luogo\n"},
      {"ovest", "\n - Verso Ovest non vi " E_GRAVE " alcun luogo\n"},
      {"alto", "\n - Verso su non vi " E_GRAVE " alcun luogo.\n"},
      {"basso", "\n - Verso gi" U_GRAVE " non vi " E_GRAVE " alcun luogo.\n"},
  };
  // A blocking text without a link is not what stops the player.
  piazza.Onord("Un muro.");
  piazza.Obasso("Un tombino.");
  for (const auto& c : casi) {
    EXPECT_EQ(piazza.vai(utente, c.parola), &piazza) << c.parola;
    EXPECT_EQ(stampato(), c.messaggio) << c.parola;
  }
}

TEST_F(percorso, OgniDirezioneSegueIlProprioCollegamento) {
  luogo mete[6] = {{"n", "N", "", true, true, ""}, {"s", "S", "", true, true, ""},
                   {"e", "E", "", true, true, ""}, {"o", "O", "", true, true, ""},
                   {"a", "A", "", true, true, ""}, {"b", "B", "", true, true, ""}};
  piazza.pnord(mete[0]);
  piazza.psud(mete[1]);
  piazza.pest(mete[2]);
  piazza.povest(mete[3]);
  piazza.palto(mete[4]);
  piazza.pbasso(mete[5]);
  const char* parole[6] = {"nord", "sud", "est", "ovest", "alto", "basso"};
  for (int d = 0; d < 6; ++d) {
    utente = &piazza;
    piazza.vai(utente, parole[d]);
    EXPECT_EQ(utente, &mete[d]) << parole[d];
    EXPECT_EQ(stampato(), "\n* " + std::string(mete[d].sopranome_()) + "\n\n") << parole[d];
  }
}

TEST_F(percorso, ParoleNonRiconosciute) {
  piazza.pnord(chiesa);
  piazza.palto(chiesa);
  piazza.pbasso(chiesa);
  for (const char* parola : {"Nord", "n", "su", "gi" U_GRAVE, "nord ", ""}) {
    EXPECT_EQ(piazza.vai(utente, parola), &piazza) << parola;
    EXPECT_EQ(stampato(), "\n ! ERRORE: Direzione non riconosciuta\n") << parola;
  }
}

TEST_F(percorso, UnOstacoloFermaFinoAQuandoVieneTolto) {
  piazza.povest(chiesa);
  chiesa.pest(piazza);
  piazza.Oovest("Il portone della chiesa " E_GRAVE " sbarrato.");
  chiesa.Oest("Il portone si apre solo da fuori.");

  piazza.vai(utente, "ovest");
  EXPECT_EQ(stampato(), "\n - Il portone della chiesa " E_GRAVE " sbarrato.\n");
  EXPECT_EQ(utente, &piazza);

  piazza.delostr("ovest");
  EXPECT_EQ(stampato(), "");
  piazza.vai(utente, "ovest");
  EXPECT_EQ(utente, &chiesa);
  stampato();
  // The way back is a separate text and stays blocked.
  chiesa.vai(utente, "est");
  EXPECT_EQ(stampato(), "\n - Il portone si apre solo da fuori.\n");
  EXPECT_EQ(utente, &chiesa);
}

TEST_F(percorso, DelostrTogliSoloLaDirezioneNominata) {
  const char* parole[6] = {"nord", "sud", "est", "ovest", "alto", "basso"};
  piazza.Onord("x");
  piazza.Osud("x");
  piazza.Oest("x");
  piazza.Oovest("x");
  piazza.Oalto("x");
  piazza.Obasso("x");
  for (int d = 0; d < 6; ++d) {
    piazza.delostr(parole[d]);
    for (int altra = 0; altra < 6; ++altra) {
      EXPECT_EQ(piazza.ostruzione(static_cast<direzione>(altra)).empty(), altra <= d)
          << parole[d] << " / " << parole[altra];
    }
  }
  EXPECT_EQ(stampato(), "");
}

TEST_F(percorso, DelostrConParolaSconosciuta) {
  piazza.Onord("Chiuso.");
  piazza.delostr("Nord");
  EXPECT_EQ(stampato(), "\n ! ERRORE: direzione (dell'ostruzione) non riconosciuta: Nord.\n");
  EXPECT_EQ(piazza.ostruzione(NORD), "Chiuso.");
}

TEST_F(percorso, UnLuogoBuioSiGuardaAOgniArrivo) {
  luogo pozzo("pozzo", "Pozzo", "Un pozzo.", false, false, "Attento.");
  piazza.pbasso(pozzo);
  pozzo.palto(piazza);
  piazza.vai(utente, "basso");
  EXPECT_EQ(stampato(), "\n* Pozzo\n\nAttento." BUIO);
  pozzo.vai(utente, "alto");
  stampato();
  piazza.vai(utente, "basso");
  EXPECT_EQ(stampato(), "\n* Pozzo\n" BUIO);
  EXPECT_FALSE(pozzo.visitato());
}

TEST_F(percorso, UnLuogoVisitatoRimastoAlBuio) {
  luogo cripta("cripta", "Cripta", "Una cripta.", false, false, "");
  piazza.pest(cripta);
  cripta.povest(piazza);
  oggetto& torcia = metti(cripta, nuovo("torcia", tratti().illuminabile().acceso()));
  piazza.vai(utente, "est");
  EXPECT_EQ(stampato(), "\n* Cripta\n" LISTA "  - torcia\n\nUna cripta.");
  torcia.spegni();
  cripta.vai(utente, "ovest");
  stampato();
  piazza.vai(utente, "est");
  EXPECT_EQ(stampato(), "\n* Cripta\n - Questo luogo non " E_GRAVE " illuminato.\n\nUna cripta.");
}

TEST_F(percorso, UnCollegamentoVersoSeStesso) {
  piazza.pnord(piazza);
  EXPECT_EQ(piazza.vai(utente, "nord"), &piazza);
  EXPECT_EQ(stampato(), "\n* Piazza\n\nUna piazza.");
}

}  // namespace
