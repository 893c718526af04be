// The reactions of each kind of object to the player's actions: the reagent
// rule and where the kinds part ways, the one-time hints, and the id counter.

#include "banco.h"

namespace {

class oggetti : public banco {
protected:
  luogo stanza{"stanza", "Stanza", "Una stanza.", true, false, ""};
  luogo* utente = &stanza;
};

// --- Lighting -------------------------------------------------------------

TEST_F(oggetti, AccendiPercorreTuttiIRamiDelReagente) {
  auto lampada = nuovo("lampada", tratti().illuminabile().reagente("fiammiferi"));

  lampada->accendi("");
  EXPECT_EQ(stampato(), "\n - Hai bisogno di un'altro oggetto per accendere l'oggetto lampada.\n");
  // Names are compared byte for byte: a different case is a wrong object.
  lampada->accendi("Fiammiferi");
  EXPECT_EQ(stampato(), "\n - L'oggetto lampada non si accende con l'oggetto Fiammiferi.\n");
  EXPECT_FALSE(lampada->lux());

  lampada->accendi("fiammiferi");
  EXPECT_EQ(stampato(), "\n - Hai acceso l'oggetto lampada.\n");
  EXPECT_TRUE(lampada->lux());
  lampada->accendi("fiammiferi");
  EXPECT_EQ(stampato(), "\n - L'oggetto lampada " E_GRAVE " gi" A_GRAVE " acceso.\n");
  // Already lit, but offered the wrong object: the wrong object is reported.
  lampada->accendi("sasso");
  EXPECT_EQ(stampato(), "\n - L'oggetto lampada non si accende con l'oggetto sasso.\n");
  EXPECT_TRUE(lampada->lux());
}

TEST_F(oggetti, AccendiSenzaReagenteEOggettoNonIlluminabile) {
  auto candela = nuovo("candela", tratti().illuminabile());
  candela->accendi("pietra");
  EXPECT_EQ(stampato(), "\n - L'oggetto candela non si accende con l'oggetto pietra.\n");
  candela->accendi("");
  EXPECT_EQ(stampato(), "\n - Hai acceso l'oggetto candela.\n");

  // Not a light: the right reagent does not help.
  auto sasso = nuovo("sasso", tratti().reagente("acciarino"));
  sasso->accendi("acciarino");
  EXPECT_EQ(stampato(), "\n - L'oggetto sasso non si accende!\n");
  EXPECT_FALSE(sasso->lux());
}

TEST_F(oggetti, UsaDelLoggettoBaseAccendeSoloUnaLuce) {
  auto baule = nuovo("baule", tratti().apribile().spostabile());
  EXPECT_EQ(baule->usa(utente, ""), &stanza);
  baule->usa(utente, "chiave");
  EXPECT_EQ(stampato(), "");

  auto torcia = nuovo("torcia", tratti().illuminabile().reagente("accendino"));
  torcia->usa(utente, "sasso");
  EXPECT_EQ(stampato(), "\n - L'oggetto torcia non si accende con l'oggetto sasso.\n");
  EXPECT_EQ(torcia->usa(utente, "accendino"), &stanza);
  EXPECT_EQ(stampato(), "\n - Hai acceso l'oggetto torcia.\n");
  EXPECT_TRUE(torcia->lux());
}

// --- Opening and moving a plain object --------------------------------------

TEST_F(oggetti, ApriBaseSenzaReagenteRifiutaOgniOggettoOfferto) {
  auto scatola = nuovo("scatola", tratti().apribile());
  // No open state: opening again succeeds again (and without the dash).
  scatola->apri(utente, "");
  scatola->apri(utente, "");
  EXPECT_EQ(stampato(), "\n Hai aperto l'oggetto scatola.\n\n Hai aperto l'oggetto scatola.\n");
  scatola->apri(utente, "coltello");
  EXPECT_EQ(stampato(), "\n - L'oggetto scatola non " E_GRAVE " apribile.\n");
}

TEST_F(oggetti, ApriBaseConReagente) {
  auto cassetto = nuovo("cassetto", tratti().apribile().reagente("chiavetta"));
  cassetto->apri(utente, "");
  EXPECT_EQ(stampato(), "\n - Hai bisogno di un'altro oggetto per aprire l'oggetto cassetto.\n");
  cassetto->apri(utente, "chiave");
  EXPECT_EQ(stampato(), "\n - Non puoi aprire l'oggetto cassetto con l'oggetto chiave.\n");
  EXPECT_EQ(cassetto->apri(utente, "chiavetta"), &stanza);
  EXPECT_EQ(stampato(), "\n Hai aperto l'oggetto cassetto.\n");

  auto muro = nuovo("muro", tratti().reagente("piccone"));
  muro->apri(utente, "piccone");
  EXPECT_EQ(stampato(), "\n - L'oggetto muro non " E_GRAVE " apribile.\n");
}

TEST_F(oggetti, SpostaBase) {
  // Unlike `apri`, an object that needs nothing answers an offer with case 2.
  auto sedia = nuovo("sedia", tratti().spostabile());
  sedia->sposta(utente, "bastone");
  EXPECT_EQ(stampato(), "\n - L'oggetto sedia non si sposta con l'oggetto bastone.\n");
  EXPECT_EQ(sedia->sposta(utente, ""), &stanza);
  EXPECT_EQ(stampato(), "\n - Hai spostato l'oggetto sedia.\n");

  auto masso = nuovo("masso", tratti().spostabile().reagente("leva"));
  masso->sposta(utente, "");
  EXPECT_EQ(stampato(), "\n - L'oggetto masso ha bisogno di un'altro oggetto per spostarsi.\n");
  masso->sposta(utente, "leva");
  EXPECT_EQ(stampato(), "\n - Hai spostato l'oggetto masso.\n");

  auto colonna = nuovo("colonna", tratti().reagente("leva"));
  colonna->sposta(utente, "leva");
  EXPECT_EQ(stampato(),
            "\n - Non puoi spostare colonna perch" E_GRAVE " " E_GRAVE " troppo pesante.\n");
}

TEST_F(oggetti, GuardaBaseEstraiBase) {
  auto vaso = nuovo("vaso", tratti().suggerimento("Un vaso antico."), "Un vaso di coccio");
  vaso->guarda();
  EXPECT_EQ(stampato(), "\n vaso - Un vaso di coccio\n");
  EXPECT_EQ(vaso->estrai("vaso", "vaso"), nullptr);
  // The base operations never show the hint.
  vaso->apri(utente, "");
  vaso->sposta(utente, "");
  EXPECT_EQ(stampato(),
            "\n - L'oggetto vaso non " E_GRAVE
            " apribile.\n"
            "\n - Non puoi spostare vaso perch" E_GRAVE " " E_GRAVE " troppo pesante.\n");
  EXPECT_TRUE(vaso->sugg());
}

// --- Obstructions ----------------------------------------------------------

class ostruzioni : public oggetti {
protected:
  void SetUp() override {
    oggetti::SetUp();
    stanza.Onord("La porta " E_GRAVE " chiusa.");
  }
  std::string blocco() const { return std::string(stanza.ostruzione(NORD)); }
};

TEST_F(ostruzioni, ApriLiberaLaDirezioneEMostraIlSuggerimentoUnaVolta) {
  auto porta = ostacolo("porta", "nord",
                        tratti().apribile().reagente("chiave").suggerimento("Si vede luce."));
  porta->apri(utente, "");
  EXPECT_EQ(stampato(), "\n - L'oggetto porta ha bisogno di un altro oggetto per aprirsi.\n");
  porta->apri(utente, "forcina");
  EXPECT_EQ(stampato(), "\n - L'oggetto porta non si apre con l'oggetto forcina.\n");
  EXPECT_FALSE(blocco().empty());

  EXPECT_EQ(porta->apri(utente, "chiave"), &stanza);
  EXPECT_EQ(stampato(), "\n - Hai aperto l'oggetto porta.\n\nSi vede luce.\n");
  EXPECT_TRUE(blocco().empty());
  EXPECT_TRUE(porta->aperto());

  // Open now: "already open", and nothing is cleared again.
  stanza.Onord("Di nuovo chiusa.");
  porta->apri(utente, "chiave");
  EXPECT_EQ(stampato(), "\n - L'oggetto porta " E_GRAVE " gi" A_GRAVE " aperto.\n");
  EXPECT_EQ(blocco(), "Di nuovo chiusa.");
}

TEST_F(ostruzioni, ApriDifferisceDallOggettoBase) {
  // Needs nothing but is offered something: case 2, not "not openable".
  auto cancello = ostacolo("cancello", "nord", tratti().apribile());
  cancello->apri(utente, "bastone");
  EXPECT_EQ(stampato(), "\n - L'oggetto cancello non si apre con l'oggetto bastone.\n");

  auto grata = ostacolo("grata", "nord", tratti().spostabile());
  grata->apri(utente, "");
  EXPECT_EQ(stampato(), "\n - L'oggetto grata non " E_GRAVE " un oggetto apribile.\n");
  EXPECT_FALSE(blocco().empty());

  // Open from the world file while the place still blocks: only "already
  // open", the way stays blocked.
  auto botola = ostacolo("botola", "nord", tratti().apribile(), true);
  botola->apri(utente, "");
  EXPECT_EQ(stampato(), "\n - L'oggetto botola " E_GRAVE " gi" A_GRAVE " aperto.\n");
  EXPECT_FALSE(blocco().empty());
}

TEST_F(ostruzioni, SpostaLiberaOgniVoltaSenzaGuardareLoStato) {
  auto masso =
      ostacolo("masso", "nord",
               tratti().spostabile().reagente("leva").suggerimento("Dietro c'era un passaggio."));
  masso->sposta(utente, "");
  EXPECT_EQ(stampato(),
            "\n - L'oggetto masso ha bisogno di un altro oggetto per essere spostato.\n");
  masso->sposta(utente, "bastone");
  EXPECT_EQ(stampato(), "\n - L'oggetto masso non si sposta con l'oggetto bastone.\n");
  EXPECT_FALSE(blocco().empty());

  masso->sposta(utente, "leva");
  EXPECT_EQ(stampato(), "\n - Hai spostato l'oggetto masso.\n\nDietro c'era un passaggio.\n");
  EXPECT_TRUE(blocco().empty());
  EXPECT_FALSE(masso->aperto());

  stanza.Onord("Rotolato indietro.");
  masso->sposta(utente, "leva");
  EXPECT_EQ(stampato(), "\n - Hai spostato l'oggetto masso.\n");
  EXPECT_TRUE(blocco().empty());

  auto roccia = ostacolo("roccia", "nord", tratti().apribile());
  roccia->sposta(utente, "");
  EXPECT_EQ(stampato(), "\n - L'oggetto roccia non " E_GRAVE " spostabile.\n");
}

TEST_F(ostruzioni, UsaNonGuardaLeCapacita) {
  // Neither openable nor movable, and no hint: the right tool clears the way
  // and prints nothing at all.
  auto sbarra = ostacolo("sbarra", "nord", tratti().reagente("tenaglia"));
  sbarra->usa(utente, "Tenaglia");
  EXPECT_EQ(stampato(), "\n - Spiacente, nulla di fatto.\n");
  EXPECT_FALSE(blocco().empty());
  EXPECT_EQ(sbarra->usa(utente, "tenaglia"), &stanza);
  EXPECT_EQ(stampato(), "");
  EXPECT_TRUE(blocco().empty());
  EXPECT_FALSE(sbarra->aperto());

  stanza.Onord("Ancora chiusa.");
  auto portone = ostacolo("portone", "nord",
                          tratti().apribile().spostabile().suggerimento("Il portone cigola."));
  portone->usa(utente, "chiave");
  EXPECT_EQ(stampato(), "\n - Spiacente, nulla di fatto.\n");
  portone->usa(utente, "");
  EXPECT_EQ(stampato(), "\nIl portone cigola.\n");
  EXPECT_TRUE(blocco().empty());
  portone->usa(utente, "");
  EXPECT_EQ(stampato(), "");
}

TEST_F(ostruzioni, DirezioneSbagliataSegnalataPrimaDelSuccesso) {
  auto porta = ostacolo("porta", "Nord", tratti().apribile().spostabile());
  porta->apri(utente, "");
  EXPECT_EQ(stampato(),
            "\n ! ERRORE: direzione (dell'ostruzione) non riconosciuta: Nord.\n"
            "\n - Hai aperto l'oggetto porta.\n");
  EXPECT_TRUE(porta->aperto());
  porta->sposta(utente, "");
  EXPECT_EQ(stampato(),
            "\n ! ERRORE: direzione (dell'ostruzione) non riconosciuta: Nord.\n"
            "\n - Hai spostato l'oggetto porta.\n");
  EXPECT_FALSE(blocco().empty());
}

// --- Containers: their own reactions -----------------------------------------

TEST_F(oggetti, ApriContenitore) {
  auto baule = contenitore("baule", tratti().apribile().suggerimento("Non mostrato."), false);
  // Needs nothing, offered something: case 2, unlike the base object.
  baule->apri(utente, "piede");
  EXPECT_EQ(stampato(), "\n - L'oggetto baule non si apre con l'oggetto piede.\n");
  EXPECT_FALSE(baule->aperto());
  baule->apri(utente, "");
  EXPECT_EQ(stampato(), "\n - Hai aperto l'oggetto baule.\n");
  EXPECT_TRUE(baule->aperto());
  EXPECT_TRUE(baule->sugg());
  // `usa` is `apri`, "already open" included.
  EXPECT_EQ(baule->usa(utente, ""), &stanza);
  EXPECT_EQ(stampato(), "\n - L'oggetto baule " E_GRAVE " gi" A_GRAVE " aperto.\n");

  auto forziere = contenitore("forziere", tratti().apribile().reagente("chiave"), false);
  forziere->usa(utente, "");
  EXPECT_EQ(stampato(), "\n - L'oggetto forziere ha bisogno di un altro oggetto per aprirsi.\n");
  forziere->usa(utente, "chiave");
  EXPECT_EQ(stampato(), "\n - Hai aperto l'oggetto forziere.\n");

  auto cesta = contenitore("cesta", tratti(), false);
  cesta->apri(utente, "");
  EXPECT_EQ(stampato(), "\n - L'oggetto cesta non " E_GRAVE " apribile.\n");
  EXPECT_FALSE(cesta->aperto());
}

TEST_F(oggetti, GuardaContenitore) {
  auto armadio = contenitore("armadio", tratti().apribile(), false);
  armadio->guarda();
  EXPECT_EQ(stampato(),
            "\n armadio - un contenitore\n\n  - Spiacente: armadio " E_GRAVE " chiuso/a.\n");
  armadio->apri(utente, "");
  stampato();
  armadio->guarda();
  EXPECT_EQ(stampato(),
            "\n armadio - un contenitore\n"
            "\n - Non ci sono oggetti in questo/a armadio\n");

  *armadio += nuovo("giacca", tratti(), "Una giacca");
  *armadio += nuovo(E_GRAVE "lfo", tratti(), "Un accento");
  *armadio += nuovo("Berretto", tratti(), "Un berretto");
  *armadio += nuovo("giacca", tratti(), "Una seconda giacca");
  armadio->guarda();
  EXPECT_EQ(stampato(),
            "\n armadio - un contenitore\n"
            "\n  Questi sono gli oggetti presenti in questo/a armadio:\n"
            "  - Berretto (Un berretto)\n"
            "  - giacca (Una giacca)\n"
            "  - " E_GRAVE "lfo (Un accento)\n");
}

TEST_F(oggetti, ContenitoreRifiutaUnNomeGiaPresenteEDistruggeIlDoppione) {
  auto sacco = contenitore("sacco");
  bool primo = false, secondo = false;
  metti(*sacco, std::make_unique<spia>("mela", primo, "la prima"));
  metti(*sacco, std::make_unique<spia>("mela", secondo, "la seconda"));
  EXPECT_FALSE(primo);
  EXPECT_TRUE(secondo);
  EXPECT_EQ(sacco->contenuto().at("mela")->descrizione(), "la prima");
  // Destroying the container destroys what it holds.
  sacco.reset();
  EXPECT_TRUE(primo);
}

// --- Containers: taking out ------------------------------------------------

TEST_F(oggetti, EstraiModoZaino) {
  auto borsa = contenitore("borsa", tratti(), false);
  EXPECT_EQ(borsa->estrai("moneta", "zaino"), nullptr);
  EXPECT_EQ(stampato(), "");

  // Closed, and the object cannot be carried: the backpack mode ignores both.
  oggetto& pietra = metti(*borsa, nuovo("pietra"));
  EXPECT_EQ(borsa->estrai("moneta", "zaino"), nullptr);
  EXPECT_EQ(stampato(), "\n - L'oggetto moneta non " E_GRAVE " presente nello zaino\n");
  std::unique_ptr<oggetto> fuori = borsa->estrai("pietra", "zaino");
  EXPECT_EQ(fuori.get(), &pietra);
  EXPECT_EQ(stampato(), "");
  EXPECT_FALSE(borsa->search("pietra"));
  EXPECT_EQ(non_letto(), "");
}

TEST_F(oggetti, EstraiChiedeSoloSeApertoEAccettaSoloSi) {
  auto cassa = contenitore("cassa", tratti().apribile(), false);
  metti(*cassa, nuovo("moneta", tratti().trasportabile()));
  risponde("si\n");
  EXPECT_EQ(cassa->estrai("moneta", "cassa"), nullptr);
  EXPECT_EQ(stampato(), "");
  EXPECT_EQ(non_letto(), "si\n");
  EXPECT_TRUE(cassa->search("moneta"));

  cassa->apri(utente, "");
  stampato();
  EXPECT_EQ(cassa->estrai("anello", "cassa"), nullptr);
  EXPECT_EQ(stampato(), "");

  for (const char* no : {"SI", "si ", "s\x8D", "", "no"}) {
    risponde(std::string(no) + "\n");
    EXPECT_EQ(cassa->estrai("moneta", "cassa"), nullptr) << no;
    EXPECT_EQ(stampato(), DOMANDA_CONT("moneta", "cassa")) << no;
    EXPECT_TRUE(cassa->search("moneta")) << no;
  }
  // End of input is not a yes either.
  risponde("");
  EXPECT_EQ(cassa->estrai("moneta", "cassa"), nullptr);
  EXPECT_EQ(stampato(), DOMANDA_CONT("moneta", "cassa"));
}

TEST_F(oggetti, EstraiConSiPrendeSoloCioCheSiTrasporta) {
  auto cassa = contenitore("cassa");
  metti(*cassa, nuovo("incudine", tratti().suggerimento("Pesa.")));
  oggetto& chiave =
      metti(*cassa, nuovo("chiave", tratti().trasportabile().suggerimento("Apre qualcosa.")));
  oggetto& corda = metti(*cassa, nuovo("corda", tratti().trasportabile()));

  // The question names the container as the caller knows it.
  risponde("si\n");
  EXPECT_EQ(cassa->estrai("incudine", "il vecchio baule"), nullptr);
  EXPECT_EQ(stampato(),
            DOMANDA_CONT("incudine", "il vecchio baule") "\n - L'oggetto incudine non " E_GRAVE
                                                         " trasportabile\n");
  EXPECT_TRUE(cassa->search("incudine"));

  risponde("si\n");
  std::unique_ptr<oggetto> presa = cassa->estrai("chiave", "cassa");
  EXPECT_EQ(presa.get(), &chiave);
  EXPECT_EQ(
      stampato(),
      DOMANDA_CONT("chiave",
                   "cassa") "\n - Hai messo l'oggetto chiave nello zaino\n\nApre qualcosa.\n");
  EXPECT_FALSE(cassa->search("chiave"));
  EXPECT_FALSE(chiave.sugg());

  risponde("si\n");
  EXPECT_EQ(cassa->estrai("corda", "cassa").get(), &corda);
  EXPECT_EQ(stampato(),
            DOMANDA_CONT("corda", "cassa") "\n - Hai messo l'oggetto corda nello zaino\n");
}

TEST_F(oggetti, ZainoSiListaComeUnContenitore) {
  metti(zaino, nuovo("mappa", tratti(), "Una mappa"));
  zaino.guarda();
  EXPECT_EQ(stampato(),
            "\n zaino - Il tuo zainetto\n"
            "\n  Questi sono gli oggetti presenti in questo/a zaino:\n"
            "  - mappa (Una mappa)\n");
  EXPECT_EQ(zaino.id(), 0);
  EXPECT_TRUE(zaino.contenitore());
}

// --- Hiding places ---------------------------------------------------------

class nascondigli : public oggetti {
protected:
  void SetUp() override {
    oggetti::SetUp();
    metti(stanza, nuovo("sedia"));
  }
};

TEST_F(nascondigli, SpostaRivelaNelLuogoELoMostra) {
  auto tappeto = nascondiglio("tappeto", tratti().spostabile().suggerimento("Qualcosa luccica."));
  oggetto& moneta = nascondi(*tappeto, nuovo("moneta"));
  nascondi(*tappeto, nuovo("chiave"));
  oggnasc& sotto = metti(stanza, std::move(tappeto));

  EXPECT_EQ(sotto.sposta(utente, ""), &stanza);
  EXPECT_EQ(stampato(),
            "\n - Hai spostato l'oggetto tappeto\n"
            "\nQualcosa luccica.\n"
            "\n* Stanza\n" LISTA
            "  - chiave\n  - moneta\n  - sedia\n  - tappeto\n"
            "\nUna stanza.");
  EXPECT_TRUE(sotto.nascosti().empty());
  EXPECT_EQ(stanza.oggetti_().at("moneta").get(), &moneta);
  EXPECT_TRUE(stanza.visitato());

  // Nothing left to reveal: the message only, and no place.
  sotto.sposta(utente, "");
  EXPECT_EQ(stampato(), "\n - Hai spostato l'oggetto tappeto\n");
}

TEST_F(nascondigli, SpostaInUnLuogoBuioMostraIlBuio) {
  luogo cantina("cantina", "Cantina", "Umida.", false, false, "");
  luogo* qui = &cantina;
  auto botte = nascondiglio("botte", tratti().spostabile());
  nascondi(*botte, nuovo("bottiglia"));
  botte->sposta(qui, "");
  EXPECT_EQ(stampato(), "\n - Hai spostato l'oggetto botte\n\n* Cantina\n" BUIO);
  EXPECT_TRUE(cantina.oggetti_().count("bottiglia"));
  EXPECT_FALSE(cantina.visitato());
}

TEST_F(nascondigli, SpostaRifiutato) {
  auto quadro = nascondiglio("quadro", tratti().spostabile().reagente("scala"));
  nascondi(*quadro, nuovo("cassaforte"));
  quadro->sposta(utente, "");
  EXPECT_EQ(stampato(), "\n - L'oggetto quadro ha bisogno di un'altro oggetto per spostarsi.\n");
  quadro->sposta(utente, "sedia");
  EXPECT_EQ(stampato(), "\n - L'oggetto quadro non si sposta con l'oggetto sedia.\n");
  auto lastra = nascondiglio("lastra", tratti().reagente("scala"));
  nascondi(*lastra, nuovo("anello"));
  lastra->sposta(utente, "scala");
  EXPECT_EQ(stampato(), "\n - Spiacente: l'oggetto lastra non " E_GRAVE " spostabile.\n");
  // `apri` is the base one and reveals nothing.
  lastra->apri(utente, "");
  EXPECT_EQ(stampato(), "\n - L'oggetto lastra non " E_GRAVE " apribile.\n");
  EXPECT_EQ(quadro->nascosti().size(), 1u);
  EXPECT_EQ(lastra->nascosti().size(), 1u);
  EXPECT_EQ(stanza.oggetti_().size(), 1u);
}

TEST_F(nascondigli, UsaRivelaInSilenzio) {
  auto quadro = nascondiglio("quadro", tratti().reagente("scala").suggerimento("Una cassaforte!"));
  nascondi(*quadro, nuovo("cassaforte"));
  // Wrong object or none when one is needed, whatever the flags.
  quadro->usa(utente, "");
  quadro->usa(utente, "Scala");
  EXPECT_EQ(stampato(),
            "\n - L'oggetto quadro deve essere usato con un'altro oggetto.\n"
            "\n - L'oggetto quadro deve essere usato con un'altro oggetto.\n");
  EXPECT_EQ(stanza.oggetti_().count("cassaforte"), 0u);

  EXPECT_EQ(quadro->usa(utente, "scala"), &stanza);
  EXPECT_EQ(stampato(), "\nUna cassaforte!\n");
  EXPECT_EQ(stanza.oggetti_().count("cassaforte"), 1u);
  EXPECT_FALSE(stanza.visitato());
}

TEST_F(nascondigli, UsaSenzaReagente) {
  auto cuscino = nascondiglio("cuscino", tratti().spostabile().suggerimento("Piume."));
  cuscino->usa(utente, "ago");
  EXPECT_EQ(stampato(), "\n - L'oggetto cuscino deve essere usato con un'altro oggetto.\n");
  // Nothing hidden: the right use prints nothing, not even the hint.
  cuscino->usa(utente, "");
  EXPECT_EQ(stampato(), "");
  cuscino->sposta(utente, "");
  EXPECT_EQ(stampato(), "\n - Hai spostato l'oggetto cuscino\n\nPiume.\n");

  auto stuoia = nascondiglio("stuoia");
  nascondi(*stuoia, nuovo("biglietto"));
  stuoia->usa(utente, "");
  EXPECT_EQ(stampato(), "");
  EXPECT_EQ(stanza.oggetti_().count("biglietto"), 1u);
}

TEST_F(nascondigli, NomeGiaNelLuogoDistruggeIlRivelato) {
  bool nel_luogo = false, rivelato = false, doppione = false;
  metti(stanza, std::make_unique<spia>("chiave", nel_luogo, "la chiave di casa"));
  auto zerbino = nascondiglio("zerbino");
  nascondi(*zerbino, std::make_unique<spia>("chiave", rivelato, "la chiave nascosta"));
  // Hiding a second object of the same name keeps the first.
  nascondi(*zerbino, std::make_unique<spia>("chiave", doppione, "un doppione"));
  EXPECT_TRUE(doppione);
  EXPECT_FALSE(rivelato);

  zerbino->usa(utente, "");
  EXPECT_TRUE(rivelato);
  EXPECT_FALSE(nel_luogo);
  EXPECT_EQ(stanza.oggetti_().at("chiave")->descrizione(), "la chiave di casa");
  EXPECT_TRUE(zerbino->nascosti().empty());
}

TEST_F(nascondigli, DistruggendoloDistruggeINascosti) {
  bool distrutto = false;
  auto asse = nascondiglio("asse");
  nascondi(*asse, std::make_unique<spia>("diario", distrutto));
  asse.reset();
  EXPECT_TRUE(distrutto);
}

// --- Numbers ---------------------------------------------------------------

TEST_F(oggetti, OgniOggettoPrendeIlNumeroSuccessivo) {
  const int primo = oggetto::CodOgg;
  auto a = nuovo("a");
  auto b = ostacolo("b", "sud");
  auto c = contenitore("c");
  auto d = nascondiglio("d");
  EXPECT_EQ(a->id(), primo);
  EXPECT_EQ(b->id(), primo + 1);
  EXPECT_EQ(c->id(), primo + 2);
  EXPECT_EQ(d->id(), primo + 3);
  EXPECT_EQ(oggetto::CodOgg, primo + 4);
  // Destroying objects gives no number back.
  a.reset();
  EXPECT_EQ(nuovo("e")->id(), primo + 4);
}

}  // namespace
