// The player's actions on the objects of the current place: taking (with
// the scan over containers), dropping, opening, lighting, using and moving.

#include "banco.h"

namespace {

#define ERRORE_A "\n ! ERRORE: Non ci sono oggetti in questo luogo.\n"
#define NON_TROVATO(ogg) "\n - Oggetto " ogg " non trovato.\n"
#define MESSO(ogg) "\n - Hai messo l'oggetto " ogg " nello zaino.\n"

class azioni : public banco {
protected:
  luogo stanza{"stanza", "Stanza", "Una stanza.", true, false, ""};
  luogo* utente = &stanza;
};

// --- Taking ------------------------------------------------------------------

TEST_F(azioni, PrendiDaUnLuogoVuoto) {
  metti(zaino, nuovo("mela"));
  risponde("si\n");
  stanza.prendi("mela", zaino);
  EXPECT_EQ(stampato(), "\n ! ERRORE: Non vi sono oggetti in questo luogo\n");
  EXPECT_EQ(non_letto(), "si\n");
}

TEST_F(azioni, PrendiUnNomeGiaNelloZaino) {
  oggetto& mia = metti(zaino, nuovo("mela", tratti().trasportabile(), "la mia"));
  oggetto& altra = metti(stanza, nuovo("mela", tratti().trasportabile(), "l'altra"));
  risponde("si\n");
  stanza.prendi("mela", zaino);
  EXPECT_EQ(stampato(),
            "\n ! ERRORE: Nello zaino " E_GRAVE " gi" A_GRAVE " presente un oggetto mela.\n");
  EXPECT_EQ(non_letto(), "si\n");
  EXPECT_EQ(zaino.contenuto().at("mela").get(), &mia);
  EXPECT_EQ(stanza.oggetti_().at("mela").get(), &altra);
}

TEST_F(azioni, PrendiConSiMetteNelloZainoEMostraIlSuggerimentoUnaVolta) {
  oggetto& chiave =
      metti(stanza, nuovo("chiave", tratti().trasportabile().suggerimento("Fredda.")));
  metti(stanza, nuovo("tavolo"));
  risponde("si\n");
  EXPECT_EQ(&stanza.prendi("chiave", zaino), &stanza);
  EXPECT_EQ(stampato(), DOMANDA_LUOGO("chiave") MESSO("chiave") "\nFredda.\n");
  EXPECT_EQ(zaino.contenuto().at("chiave").get(), &chiave);
  EXPECT_EQ(stanza.oggetti_().count("chiave"), 0u);

  stanza.lascia(utente, "chiave", zaino);
  stampato();
  risponde("si\n");
  stanza.prendi("chiave", zaino);
  EXPECT_EQ(stampato(), DOMANDA_LUOGO("chiave") MESSO("chiave"));
}

TEST_F(azioni, PrendiUnaLuceAccesaLaSpegneEIlLuogoTornaBuio) {
  luogo cantina("cantina", "Cantina", "Buia.", false, false, "");
  oggetto& lume = metti(cantina, nuovo("lume", tratti().illuminabile().trasportabile().acceso()));
  metti(cantina, nuovo("botte"));
  risponde("si\n");
  cantina.prendi("lume", zaino);
  EXPECT_EQ(stampato(), DOMANDA_LUOGO("lume") "\n - Hai spento l'oggetto lume.\n" MESSO("lume"));
  EXPECT_FALSE(lume.lux());
  cantina.guarda("");
  EXPECT_EQ(stampato(), "\n* Cantina\n" BUIO);
}

TEST_F(azioni, PrendiRispostaNonSiOTroppoPesante) {
  metti(stanza, nuovo("pietra", tratti().trasportabile()));
  metti(stanza, nuovo("armadio"));
  for (const char* no : {"SI", "s\x8D", "", " si"}) {
    risponde(std::string(no) + "\n");
    stanza.prendi("pietra", zaino);
    EXPECT_EQ(stampato(), DOMANDA_LUOGO("pietra")) << no;
  }
  risponde("si\n");
  stanza.prendi("armadio", zaino);
  EXPECT_EQ(stampato(), DOMANDA_LUOGO("armadio") "\n - Questo oggetto armadio non pu" O_GRAVE
                                                 " essere preso: troppo pesante da trasportare.\n");
  EXPECT_EQ(stanza.oggetti_().size(), 2u);
  EXPECT_TRUE(zaino.contenuto().empty());
}

TEST_F(azioni, PrendiScorreIContenitoriInOrdine) {
  // "baule" sorts before the object lying in the place, "scrigno" after it.
  oggcont& baule = metti(stanza, contenitore("baule"));
  metti(baule, nuovo("moneta", tratti().trasportabile(), "dal baule"));
  metti(stanza, nuovo("moneta", tratti().trasportabile(), "dal pavimento"));
  oggcont& scrigno = metti(stanza, contenitore("scrigno"));
  oggetto& terza = metti(scrigno, nuovo("moneta", tratti().trasportabile(), "dallo scrigno"));

  risponde("no\nno\nsi\nsi\n");
  stanza.prendi("moneta", zaino);
  EXPECT_EQ(stampato(), DOMANDA_CONT("moneta", "baule") DOMANDA_LUOGO("moneta") DOMANDA_CONT(
                            "moneta", "scrigno") "\n - Hai messo l'oggetto moneta nello zaino\n");
  EXPECT_EQ(non_letto(), "si\n");
  EXPECT_EQ(zaino.contenuto().at("moneta").get(), &terza);
  EXPECT_TRUE(baule.search("moneta"));
  EXPECT_TRUE(stanza.oggetti_().count("moneta"));
  EXPECT_FALSE(scrigno.search("moneta"));
}

TEST_F(azioni, PrendiChiedeAncheAlContenitoreDalloStessoNome) {
  oggcont& borsa = metti(stanza, contenitore("borsa", tratti().trasportabile()));
  oggetto& borsetta = metti(borsa, nuovo("borsa", tratti().trasportabile(), "una borsetta"));
  risponde("no\nsi\n");
  stanza.prendi("borsa", zaino);
  EXPECT_EQ(stampato(), DOMANDA_LUOGO("borsa") DOMANDA_CONT(
                            "borsa", "borsa") "\n - Hai messo l'oggetto borsa nello zaino\n");
  EXPECT_EQ(zaino.contenuto().at("borsa").get(), &borsetta);
  EXPECT_EQ(stanza.oggetti_().at("borsa").get(), &borsa);
}

TEST_F(azioni, UnContenitoreChiamatoZainoDaSenzaChiedere) {
  // The container's key is the mode word: closed, and the object too heavy,
  // yet it is handed out like the backpack's own.
  oggcont& altro = metti(stanza, contenitore("zaino", tratti(), false));
  oggetto& mappa = metti(altro, nuovo("mappa"));
  risponde("si\n");
  stanza.prendi("mappa", zaino);
  EXPECT_EQ(stampato(), "");
  EXPECT_EQ(non_letto(), "si\n");
  EXPECT_EQ(zaino.contenuto().at("mappa").get(), &mappa);
}

TEST_F(azioni, PrendiIlPrimoPresoFermaLaScansione) {
  oggcont& baule = metti(stanza, contenitore("baule"));
  metti(baule, nuovo("moneta", tratti().trasportabile()));
  oggcont& scrigno = metti(stanza, contenitore("scrigno"));
  metti(scrigno, nuovo("moneta", tratti().trasportabile()));
  risponde("si\nsi\n");
  stanza.prendi("moneta", zaino);
  EXPECT_EQ(stampato(),
            DOMANDA_CONT("moneta", "baule") "\n - Hai messo l'oggetto moneta nello zaino\n");
  EXPECT_TRUE(scrigno.search("moneta"));
  EXPECT_TRUE(zaino.search("moneta"));
}

TEST_F(azioni, PrendiDirettoRifiutatoNonDiceNonTrovato) {
  // Too heavy, and no container after it offers the name: the name was found.
  metti(stanza, nuovo("statua"));
  metti(stanza, contenitore("vetrina"));
  risponde("si\n");
  stanza.prendi("statua", zaino);
  EXPECT_EQ(stampato(), DOMANDA_LUOGO("statua") "\n - Questo oggetto statua non pu" O_GRAVE
                                                " essere preso: troppo pesante da trasportare.\n");
}

TEST_F(azioni, PrendiNonTrovato) {
  oggcont& aperta = metti(stanza, contenitore("borsa"));
  metti(aperta, nuovo("spilla", tratti().trasportabile()));
  oggcont& chiusa = metti(stanza, contenitore("cassa", tratti(), false));
  metti(chiusa, nuovo("anello", tratti().trasportabile()));
  oggnasc& tappeto = metti(stanza, nascondiglio("tappeto"));
  nascondi(tappeto, nuovo("lettera", tratti().trasportabile()));

  // Found only inside a container and declined there.
  risponde("no\n");
  stanza.prendi("spilla", zaino);
  EXPECT_EQ(stampato(), DOMANDA_CONT("spilla", "borsa") NON_TROVATO("spilla"));
  // Inside a closed container, hidden, or nowhere: no question at all.
  for (const char* nome : {"anello", "lettera", "Borsa"}) {
    risponde("si\n");
    stanza.prendi(nome, zaino);
    EXPECT_EQ(stampato(), "\n - Oggetto " + std::string(nome) + " non trovato.\n");
    EXPECT_EQ(non_letto(), "si\n");
  }
  EXPECT_TRUE(zaino.contenuto().empty());
}

TEST_F(azioni, PrendiUnContenitoreConTuttoCioCheContiene) {
  oggcont& sacca = metti(stanza, contenitore("sacca", tratti().trasportabile()));
  metti(sacca, nuovo("pane"));
  risponde("si\n");
  stanza.prendi("sacca", zaino);
  EXPECT_EQ(stampato(), DOMANDA_LUOGO("sacca") MESSO("sacca"));
  ASSERT_TRUE(zaino.search("sacca"));
  EXPECT_EQ(zaino.contenuto().at("sacca").get(), &sacca);
  EXPECT_TRUE(sacca.search("pane"));
  EXPECT_TRUE(stanza.oggetti_().empty());
}

TEST_F(azioni, UnOggettoPresoDaUnContenitoreRestaAcceso) {
  oggcont& cesta = metti(stanza, contenitore("cesta"));
  oggetto& lanterna =
      metti(cesta, nuovo("lanterna", tratti().illuminabile().trasportabile().acceso()));
  risponde("si\n");
  stanza.prendi("lanterna", zaino);
  EXPECT_EQ(stampato(),
            DOMANDA_CONT("lanterna", "cesta") "\n - Hai messo l'oggetto lanterna nello zaino\n");
  EXPECT_TRUE(lanterna.lux());

  luogo buco("buco", "Buco", "Stretto.", false, false, "");
  luogo* qui = &buco;
  buco.lascia(qui, "lanterna", zaino);
  EXPECT_EQ(stampato(), "\n - Hai lasciato lanterna nel luogo\n");
  buco.guarda("");
  EXPECT_EQ(stampato(), "\n* Buco\n" LISTA "  - lanterna\n\nStretto.");
}

// --- Dropping ----------------------------------------------------------------

TEST_F(azioni, Lascia) {
  stanza.lascia(utente, "mela", zaino);
  EXPECT_EQ(stampato(), "");

  oggetto& mela = metti(zaino, nuovo("mela"));
  stanza.lascia(utente, "pera", zaino);
  EXPECT_EQ(stampato(), "\n - L'oggetto pera non " E_GRAVE " presente nello zaino\n");

  EXPECT_EQ(stanza.lascia(utente, "mela", zaino), &stanza);
  EXPECT_EQ(stampato(), "\n - Hai lasciato mela nel luogo\n");
  EXPECT_FALSE(zaino.search("mela"));
  EXPECT_EQ(stanza.oggetti_().at("mela").get(), &mela);
  stanza.guarda("");
  EXPECT_EQ(stampato(), "\n* Stanza\n" LISTA "  - mela\n\nUna stanza.");
}

TEST_F(azioni, LasciaUnNomeGiaNelLuogoRestaNelloZaino) {
  oggetto& mia = metti(zaino, nuovo("mela", tratti(), "la mia"));
  oggetto& sua = metti(stanza, nuovo("mela", tratti(), "la sua"));
  stanza.lascia(utente, "mela", zaino);
  EXPECT_EQ(stampato(),
            "\n ! ERRORE: Nel luogo " E_GRAVE " gi" A_GRAVE " presente un oggetto mela.\n");
  EXPECT_EQ(zaino.contenuto().at("mela").get(), &mia);
  EXPECT_EQ(stanza.oggetti_().at("mela").get(), &sua);
}

// --- Opening -----------------------------------------------------------------

TEST_F(azioni, ApriControllaLuogoPoiOggettoPoiZaino) {
  stanza.apri(utente, zaino, "porta", "chiave");
  EXPECT_EQ(stampato(), ERRORE_A);

  metti(stanza, ostacolo("porta", "nord", tratti().apribile().reagente("chiave")));
  stanza.Onord("Chiusa.");
  stanza.apri(utente, zaino, "portone", "grimaldello");
  EXPECT_EQ(stampato(), "\n ! ERRORE: L'oggetto portone non " E_GRAVE " presente nel luogo\n");
  stanza.apri(utente, zaino, "porta", "chiave");
  EXPECT_EQ(stampato(), "\n ! ERRORE: L'oggetto chiave non " E_GRAVE " presente nello zaino.\n");
  // One name only: the object is offered nothing.
  stanza.apri(utente, zaino, "porta", "");
  EXPECT_EQ(stampato(), "\n - L'oggetto porta ha bisogno di un altro oggetto per aprirsi.\n");
  EXPECT_EQ(stanza.ostruzione(NORD), "Chiusa.");

  metti(zaino, nuovo("chiave"));
  EXPECT_EQ(stanza.apri(utente, zaino, "porta", "chiave"), &stanza);
  EXPECT_EQ(stampato(), "\n - Hai aperto l'oggetto porta.\n");
  EXPECT_TRUE(stanza.ostruzione(NORD).empty());
}

// --- Lighting ----------------------------------------------------------------

TEST_F(azioni, AccendiSoloNelLuogo) {
  metti(zaino, nuovo("torcia", tratti().illuminabile()));
  stanza.accendi(zaino, "torcia", "");
  EXPECT_EQ(stampato(), ERRORE_A);

  oggetto& lume = metti(stanza, nuovo("lume", tratti().illuminabile().reagente("cerino")));
  stanza.accendi(zaino, "torcia", "");
  EXPECT_EQ(stampato(),
            "\n - Forse " E_GRAVE " opportuno che lasci l'oggetto torcia nel luogo prima!\n");
  stanza.accendi(zaino, "fuoco", "");
  EXPECT_EQ(stampato(), "\n ! ERRORE: L'oggetto fuoco non " E_GRAVE " n" E_GRAVE
                        " nel luogo n" E_GRAVE " nel tuo zaino!\n");
  stanza.accendi(zaino, "lume", "cerino");
  EXPECT_EQ(stampato(), "\n ! ERRORE: L'oggetto cerino non " E_GRAVE " presente nello zaino.\n");
  stanza.accendi(zaino, "lume", "");
  EXPECT_EQ(stampato(), "\n - Hai bisogno di un'altro oggetto per accendere l'oggetto lume.\n");
  EXPECT_FALSE(lume.lux());

  metti(zaino, nuovo("cerino"));
  stanza.accendi(zaino, "lume", "cerino");
  EXPECT_EQ(stampato(), "\n - Hai acceso l'oggetto lume.\n");
  EXPECT_TRUE(lume.lux());
}

// --- Using -------------------------------------------------------------------

TEST_F(azioni, UsaCercaPrimaIlBersaglioNelLuogo) {
  stanza.usa(utente, zaino, "chiave", "porta");
  EXPECT_EQ(stampato(), ERRORE_A);

  metti(stanza, ostacolo("porta", "est", tratti().reagente("chiave").suggerimento("Cigola.")));
  stanza.Oest("Sbarrata.");
  stanza.usa(utente, zaino, "leva", "cancello");
  EXPECT_EQ(stampato(), "\n ! ERRORE: L'oggetto cancello non " E_GRAVE " presente nel luogo\n");
  stanza.usa(utente, zaino, "chiave", "porta");
  EXPECT_EQ(stampato(), "\n ! ERRORE: L'oggetto chiave non " E_GRAVE " presente nello zaino.\n");
  EXPECT_EQ(stanza.ostruzione(EST), "Sbarrata.");

  metti(zaino, nuovo("chiave"));
  EXPECT_EQ(stanza.usa(utente, zaino, "chiave", "porta"), &stanza);
  EXPECT_EQ(stampato(), "\nCigola.\n");
  EXPECT_TRUE(stanza.ostruzione(EST).empty());
}

// --- Moving ------------------------------------------------------------------

TEST_F(azioni, SpostaPassaIlSecondoNomeSenzaControllarlo) {
  stanza.sposta(utente, "armadio", "");
  EXPECT_EQ(stampato(), ERRORE_A);

  metti(stanza, nuovo("armadio", tratti().spostabile()));
  stanza.sposta(utente, "sedia", "");
  EXPECT_EQ(stampato(), "\n ! ERRORE: L'oggetto sedia che si vuole spostare non " E_GRAVE
                        " presente nel luogo\n");
  stanza.sposta(utente, "armadio", "fantasma");
  EXPECT_EQ(stampato(), "\n - L'oggetto armadio non si sposta con l'oggetto fantasma.\n");
  EXPECT_EQ(stanza.sposta(utente, "armadio", ""), &stanza);
  EXPECT_EQ(stampato(), "\n - Hai spostato l'oggetto armadio.\n");
}

TEST_F(azioni, SpostaUnNascondiglioRivelaNelLuogoCorrente) {
  oggnasc& tappeto = metti(stanza, nascondiglio("tappeto", tratti().spostabile()));
  nascondi(tappeto, nuovo("botola"));
  stanza.sposta(utente, "tappeto", "");
  EXPECT_EQ(stampato(), "\n - Hai spostato l'oggetto tappeto\n\n* Stanza\n" LISTA
                        "  - botola\n  - tappeto\n\nUna stanza.");
}

// --- A small world, walked through -------------------------------------------

TEST_F(azioni, UnPiccoloMondo) {
  luogo ingresso("ingresso", "Ingresso", "Un ingresso spoglio.", true, false, "");
  luogo studio("studio", "Studio", "Uno studio pieno di libri.", false, false, "Odore di carta.");
  ingresso.pnord(studio);
  studio.psud(ingresso);
  ingresso.Onord("La porta dello studio " E_GRAVE " chiusa a chiave.");
  metti(ingresso,
        ostacolo("porta", "nord",
                 tratti().apribile().reagente("chiave").suggerimento("La porta cigola.")));
  oggcont& mobile = metti(ingresso, contenitore("mobile", tratti().apribile(), false));
  metti(mobile, nuovo("chiave", tratti().trasportabile(), "Una chiave d'ottone"));
  metti(studio, nuovo("lampada", tratti().illuminabile()));
  luogo* dove = &ingresso;
  ingresso.cambiastato();

  dove->vai(dove, "nord");
  dove->prendi("chiave", zaino);
  dove->apri(dove, zaino, "mobile", "");
  risponde("si\n");
  dove->prendi("chiave", zaino);
  dove->apri(dove, zaino, "porta", "chiave");
  dove->vai(dove, "nord");
  EXPECT_EQ(dove, &studio);
  dove->accendi(zaino, "lampada", "");
  dove->guarda("");
  dove->vai(dove, "sud");
  EXPECT_EQ(dove, &ingresso);
  EXPECT_EQ(stampato(),
            "\n - La porta dello studio " E_GRAVE " chiusa a chiave.\n"
            NON_TROVATO("chiave")
            "\n - Hai aperto l'oggetto mobile.\n"
            DOMANDA_CONT("chiave", "mobile")
            "\n - Hai messo l'oggetto chiave nello zaino\n"
            "\n - Hai aperto l'oggetto porta.\n"
            "\nLa porta cigola.\n"
            "\n* Studio\n\nOdore di carta." BUIO
            "\n - Hai acceso l'oggetto lampada.\n"
            "\n* Studio\n" LISTA "  - lampada\n\nUno studio pieno di libri."
            "\n* Ingresso\n\nUn ingresso spoglio.");
  EXPECT_TRUE(zaino.search("chiave"));
  EXPECT_TRUE(studio.visitato());
}

}  // namespace
