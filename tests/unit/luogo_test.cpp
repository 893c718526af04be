// The place itself: what it owns, how it is lit, the full look and the short
// description, the name search and the place counter.

#include "banco.h"

namespace {

class luoghi : public banco {
protected:
  luogo grotta{"grotta", "Grotta", "Una grotta umida.", false, false, "Si sente gocciolare."};
  luogo sala{"sala", "Sala", "Una sala ampia.", true, false, ""};
};

TEST_F(luoghi, BuiaSenzaOggetti) {
  grotta.guarda("");
  EXPECT_EQ(stampato(), "\n* Grotta\n\nSi sente gocciolare." BUIO);
  EXPECT_FALSE(grotta.visitato());
  // The hint went with the first look, dark as it was.
  grotta.guarda("");
  EXPECT_EQ(stampato(), "\n* Grotta\n" BUIO);
  grotta.prnt_des();
  EXPECT_EQ(stampato(),
            "\n* Grotta\n - Questo luogo non " E_GRAVE " illuminato.\n\nUna grotta umida.");
  // Not even one object can be looked at in the dark.
  metti(grotta, nuovo("sasso"));
  grotta.guarda("sasso");
  EXPECT_EQ(stampato(), BUIO);
}

TEST_F(luoghi, IlluminataConOggettiESuggerimento) {
  luogo atrio("atrio", "Atrio", "Un atrio.", true, false, "Guarda in alto.");
  metti(atrio, nuovo("tavolo"));
  metti(atrio, nuovo("candela"));
  atrio.guarda("");
  EXPECT_EQ(stampato(), "\n* Atrio\n\nGuarda in alto." LISTA
                        "  - candela\n  - tavolo\n"
                        "\nUn atrio.");
  EXPECT_TRUE(atrio.visitato());
  atrio.guarda("");
  EXPECT_EQ(stampato(), "\n* Atrio\n" LISTA "  - candela\n  - tavolo\n\nUn atrio.");
  // The short description: no hint, no list, no change.
  atrio.prnt_des();
  EXPECT_EQ(stampato(), "\n* Atrio\n\nUn atrio.");
}

TEST_F(luoghi, IlluminataVuota) {
  sala.guarda("");
  EXPECT_EQ(stampato(), "\n* Sala\n\n - Non ci sono oggetti in questo luogo.\nUna sala ampia.");
  EXPECT_TRUE(sala.visitato());
}

TEST_F(luoghi, OggettiElencatiPerByteSenzaSegno) {
  for (const char* n : {"lume", A_GRAVE "ncora", "Lume", "lume2", "9lune", "lu"}) {
    metti(sala, nuovo(n));
  }
  sala.guarda("");
  EXPECT_EQ(stampato(),
            "\n* Sala\n" LISTA "  - 9lune\n  - Lume\n  - lu\n  - lume\n  - lume2\n  - " A_GRAVE
            "ncora\n"
            "\nUna sala ampia.");
}

// --- Lighting ----------------------------------------------------------------

TEST_F(luoghi, UnOggettoAccesoNelLuogoLoIllumina) {
  oggetto& lampada = metti(grotta, nuovo("lampada", tratti().illuminabile()));
  metti(grotta, nuovo("sasso"));
  grotta.guarda("");
  stampato();
  lampada.accendi("");
  stampato();
  grotta.guarda("");
  EXPECT_EQ(stampato(), "\n* Grotta\n" LISTA "  - lampada\n  - sasso\n\nUna grotta umida.");
  EXPECT_TRUE(grotta.visitato());
  grotta.prnt_des();
  EXPECT_EQ(stampato(), "\n* Grotta\n\nUna grotta umida.");
  grotta.guarda("sasso");
  EXPECT_EQ(stampato(), "\n sasso - una cosa\n");
}

TEST_F(luoghi, LuceInUnContenitoreONelloZainoNonIllumina) {
  oggcont& cesta = metti(grotta, contenitore("cesta"));
  metti(cesta, nuovo("lanterna", tratti().illuminabile().acceso()));
  metti(zaino, nuovo("torcia", tratti().illuminabile().acceso()));
  grotta.guarda("");
  EXPECT_EQ(stampato(), "\n* Grotta\n\nSi sente gocciolare." BUIO);
  grotta.prnt_des();
  EXPECT_EQ(stampato(),
            "\n* Grotta\n - Questo luogo non " E_GRAVE " illuminato.\n\nUna grotta umida.");
  EXPECT_FALSE(grotta.visitato());
}

// --- Looking at one object -----------------------------------------------------

TEST_F(luoghi, GuardaUnOggettoUsaLaSuaVista) {
  oggcont& baule = metti(sala, contenitore("baule"));
  metti(baule, nuovo("perla", tratti(), "Una perla"));
  sala.guarda("baule");
  EXPECT_EQ(stampato(),
            "\n baule - un contenitore\n"
            "\n  Questi sono gli oggetti presenti in questo/a baule:\n"
            "  - perla (Una perla)\n");
  // What lies inside a container is not in the place.
  sala.guarda("perla");
  EXPECT_EQ(stampato(), "\n ! ERRORE: L'oggetto perla non " E_GRAVE " presente nel luogo.\n");
  sala.guarda("Baule");
  EXPECT_EQ(stampato(), "\n ! ERRORE: L'oggetto Baule non " E_GRAVE " presente nel luogo.\n");
  EXPECT_FALSE(sala.visitato());
}

// --- Ownership -----------------------------------------------------------------

TEST_F(luoghi, UnNomeGiaPresenteTieneIlPrimo) {
  bool primo = false, secondo = false;
  metti(sala, std::make_unique<spia>("vaso", primo, "il primo"));
  metti(sala, std::make_unique<spia>("vaso", secondo, "il secondo"));
  EXPECT_FALSE(primo);
  EXPECT_TRUE(secondo);
  ASSERT_EQ(sala.oggetti_().size(), 1u);
  sala.guarda("vaso");
  EXPECT_EQ(stampato(), "\n vaso - il primo\n");
}

TEST_F(luoghi, DistruggendoloDistruggeCioCheContiene) {
  bool sciolto = false, chiuso = false;
  {
    luogo soffitta("soffitta", "Soffitta", "Polvere.", true, false, "");
    metti(soffitta, std::make_unique<spia>("lettera", sciolto));
    oggcont& scatola = metti(soffitta, contenitore("scatola", tratti(), false));
    metti(scatola, std::make_unique<spia>("foto", chiuso));
  }
  EXPECT_TRUE(sciolto);
  EXPECT_TRUE(chiuso);
}

// --- Search, state, numbers ----------------------------------------------------

TEST_F(luoghi, RicercaSommaSenzaAzzerare) {
  metti(sala, nuovo("chiave"));
  oggcont& scrigno = metti(sala, contenitore("scrigno"));
  metti(scrigno, nuovo("anello"));
  unsigned trovato = 5;
  sala.ricerca("chiave", trovato);
  EXPECT_EQ(trovato, 6u);
  sala.ricerca("chiave", trovato);
  EXPECT_EQ(trovato, 7u);
  sala.ricerca("Chiave", trovato);
  sala.ricerca("anello", trovato);
  sala.ricerca("", trovato);
  EXPECT_EQ(trovato, 7u);
}

TEST_F(luoghi, CambiastatoSegnaVisitatoSenzaAlternare) {
  grotta.cambiastato();
  EXPECT_TRUE(grotta.visitato());
  grotta.cambiastato();
  EXPECT_TRUE(grotta.visitato());
  EXPECT_EQ(stampato(), "");
}

TEST_F(luoghi, OgniLuogoPrendeIlNumeroSuccessivo) {
  EXPECT_EQ(sala.id(), grotta.id() + 1);
  const int prossimo = luogo::luogocod;
  EXPECT_EQ(prossimo, sala.id() + 1);
  {
    luogo a("a", "A", "", true, false, "");
    EXPECT_EQ(a.id(), prossimo);
  }
  // A destroyed place gives no number back.
  luogo b("b", "B", "", true, false, "");
  EXPECT_EQ(b.id(), prossimo + 1);
  EXPECT_EQ(luogo::luogocod, prossimo + 2);
}

}  // namespace
