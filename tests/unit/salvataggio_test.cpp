// The saver: the whole saved text, byte for byte, and the round trip of a
// played game through its saved text.
#include <sstream>

#include "banco_mondo.h"
#include "world/scrittura.h"

namespace mondo_prova {
namespace {

// The saver's buffer: pieces of every short length, through `<<` and through
// reserved room, and pieces larger than the whole buffer, come out in order
// and whole, however they fall across the buffer's ends.
TEST(scrittura, OgniPezzoEsceInteroEInOrdine) {
  std::string atteso;
  std::ostringstream uscita;
  {
    scrittura t(uscita);
    const std::string lettere(3 << 20, 'x');
    for (std::size_t giro = 0; atteso.size() < (5u << 20); ++giro) {
      for (std::size_t n = 0; n <= 130; ++n) {
        std::string pezzo(n, static_cast<char>('a' + (giro + n) % 26));
        if (n > 0) pezzo.back() = '|';
        t << pezzo;
        atteso += pezzo;
      }
      if (char* p = t.riserva(70)) {
        diretta d(t, p);
        d << std::string_view("chiave=") << 'v' << std::string_view(lettere).substr(0, 40) << '\n';
        atteso += "chiave=v" + lettere.substr(0, 40) + '\n';
      } else {
        ADD_FAILURE() << "no room for 70 bytes";
      }
      const std::size_t lungo = giro % 3 == 0 ? (1u << 20) + giro : 5000 + giro;
      t << std::string_view(lettere).substr(0, lungo) << '#';
      atteso += lettere.substr(0, lungo) + '#';
    }
  }
  EXPECT_TRUE(uscita.str() == atteso)
      << "lengths " << uscita.str().size() << " and " << atteso.size();
}

// The world of mondi/ricco.ini: three places in unsorted file order, a
// backpack, a container that can be taken (with contents), a closed chest
// with contents, two hiding places, an obstruction that can be opened and one
// that stays, hints of places and objects, and no end place.
// mondi/ricco.salvato is that world after the player has seen the courtyard
// (its hint shown), moved the rug (revealing the coin), taken the bag (its
// hint shown) and opened the door (its hint shown, the north exit cleared).

using MondoSalvataggio = banco_mondo;

TEST_F(MondoSalvataggio, MondoGiocatoSalvatoPerIntero) {
  ASSERT_EQ(carica(dati_mondo("ricco.ini")), "");
  mondo->start();
  gioca({"sposta tappeto", "prendi borsa", "apri porta"}, {"si"});
  EXPECT_EQ(salvato(), dati_mondo("ricco.salvato"));
}

TEST_F(MondoSalvataggio, MondoVuoto) {
  EXPECT_EQ(salvato(),
            "[Titolo]\n[EndTitolo]\n\n[Zaino]\n[OggInContenitore]\n\n[EndOggInContenitore]\n"
            "[EndZaino]\n\n\n[Utente]\n[EndUtente]\n\n[FineGioco]\n[MsgFineGioco]\n"
            "[EndMsgFineGioco]\n[EndFineGioco]\n");
}

// Without a start place the player stands in the placeholder place: the save
// names no start place and loads back into the placeholder.
TEST_F(MondoSalvataggio, SalvataggioNelLuogoSegnaposto) {
  const std::string atteso =
      "[Titolo]\nSolo\n[EndTitolo]\n\n"
      "[Zaino]\n[OggInContenitore]\n\n[EndOggInContenitore]\n[EndZaino]\n\n"
      "[Luogo]\nNOMELUOGO=a\nSOPRANOME=\nILLUMINAZIONE=TRUE\nSTATO=FALSE\n"
      "[Descrizione]\n[EndDescrizione]\n[Suggerimento]\n[EndSuggerimento]\n[EndLuogo]\n\n"
      "[OggInLuogo]\nNOMELUOGO=a\n[EndOggInLuogo]\n\n"
      "\n[PuntatoriALuogo]\nNOMELUOGO=a\nNORD=NULL\nSUD=NULL\nEST=NULL\nOVEST=NULL\nALTO=NULL\n"
      "BASSO=NULL\nOSTRUZIONENORD=\nOSTRUZIONESUD=\nOSTRUZIONEEST=\nOSTRUZIONEOVEST=\n"
      "OSTRUZIONEALTO=\nOSTRUZIONEBASSO=\n[EndPuntatoriALuogo]\n"
      "\n[Utente]\n[EndUtente]\n"
      "\n[FineGioco]\nOBJ=x\nOBJ=\n[MsgFineGioco]\nM\n[EndMsgFineGioco]\n[EndFineGioco]\n";
  ASSERT_EQ(carica("[Titolo]\nSolo\n[EndTitolo]\n[Luogo]\nNOMELUOGO=a\n[EndLuogo]\n"
                   "[FineGioco]\nOBJ=x\nOBJ=\n[MsgFineGioco]\nM\n[EndMsgFineGioco]\n"
                   "[EndFineGioco]\n"),
            "");
  ASSERT_EQ(salvato(), atteso);
  nuovo_gioco();
  EXPECT_EQ(carica(atteso), "");
  EXPECT_EQ(mondo->corrente(), dio.get());
  EXPECT_EQ(mondo->finale(), nullptr);
  EXPECT_EQ(mondo->richiesti(), (std::vector<std::string>{"x", ""}));
  EXPECT_EQ(mondo->messaggio_finale(), "M\n");
  EXPECT_EQ(salvato(), atteso);
}

class MondoGiro : public banco_mondo {
protected:
  // Loads `testo` and plays `prima`; saves; plays `dopo` on a copy of the
  // game (`copia_da`, with the backpack's objects of the game) and again on
  // a new game loaded from the save. The copy saves as the game did, the
  // save reads back into the same text, and both games answer `dopo` alike
  // and end alike. Returns what `dopo` printed.
  std::string giro(const std::string& testo, const std::vector<std::string>& prima,
                   const std::vector<std::string>& risposte_prima,
                   const std::vector<std::string>& dopo,
                   const std::vector<std::string>& risposte_dopo) {
    EXPECT_EQ(carica(testo), "");
    mondo->start();
    gioca(prima, risposte_prima);
    const std::string salvataggio = salvato();

    // The played game becomes the model; its objects leave the backpack.
    const std::unique_ptr<luogo> dio_modello = std::move(dio);
    const std::unique_ptr<ambiente> modello = std::move(mondo);
    const std::vector<std::unique_ptr<oggetto>> zaino_modello = modello->togli_dallo_zaino();
    EXPECT_TRUE(ambiente::zaino.contenuto().empty());
    nuovo_gioco();
    mondo->copia_da(*modello, zaino_modello);
    EXPECT_EQ(salvato(), salvataggio);
    const std::string risposta = gioca(dopo, risposte_dopo);
    const std::string finale = salvato();

    nuovo_gioco();
    ambiente::zaino.svuota();
    EXPECT_EQ(carica(salvataggio), "");
    EXPECT_EQ(salvato(), salvataggio);
    EXPECT_EQ(gioca(dopo, risposte_dopo), risposta);
    EXPECT_EQ(salvato(), finale);
    return risposta;
  }
};

TEST_F(MondoGiro, MondoRicco) {
  const std::string risposta =
      giro(dati_mondo("ricco.ini"), {"sposta tappeto", "prendi borsa", "apri porta"}, {"si"},
           {"guarda zaino", "vai nord", "apri cassa", "guarda cassa", "prendi lanterna", "vai sud",
            "lascia lanterna", "prendi moneta", "lascia mappa", "guarda", "vai alto", "vai basso",
            "guarda zaino"},
           {"si", "si"});
  // The door opened before the save stays open after it; the trap door stays
  // blocked.
  EXPECT_NE(risposta.find("* Atrio"), std::string::npos) << risposta;
  EXPECT_NE(risposta.find("La botola \xe8 bloccata."), std::string::npos) << risposta;
}

TEST_F(MondoGiro, MondoDiEsempioFinoAllaFine) {
  const std::string risposta = giro(
      dati_mondo("esempio.ini"), {"vai basso", "apri baule", "prendi chiave", "vai alto"}, {"si"},
      {"usa chiave con portone", "vai nord", "lascia chiave", "guarda", "vai sud"}, {});
  EXPECT_NE(risposta.find("\n - Hai raggiunto la sala del trono con la chiave.\n"),
            std::string::npos)
      << risposta;
}

}  // namespace
}  // namespace mondo_prova
