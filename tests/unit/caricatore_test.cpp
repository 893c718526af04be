// The loader: the sections of a world file, their messages, the fatal paths,
// and files cut short, with CR LF line ends or without a last line feed.
#include <stdexcept>

#include "banco_mondo.h"
#include "objects/accenti.h"

namespace mondo_prova {
namespace {

#define IMPOSSIBILE "\n Sar" A_GRAVE " impossibile continuare nell'esecuzione del programma.\n"
#define NON_CREATO \
  " ! ERRORE: Oggetto non creato perch" E_GRAVE " il luogo non " E_GRAVE " stato trovato.\n"
#define ASPETTAVA "\n ! ERRORE: Ci si aspettava il nome del luogo.\n"
#define PARTENZA \
  "\n ! ERRORE GRAVE: Non " E_GRAVE " stato trovato il luogo di partenza.\n" IMPOSSIBILE
#define FINE \
  "\n ! ERRORE GRAVE: Non " E_GRAVE " stato trovato il luogo di fine del gioco.\n" IMPOSSIBILE
#define NON_IN_MAPPA " ! ERRORE: Luogo non trovato nella mappa." IMPOSSIBILE

// Two places, "a" and "b", in this order.
const std::string luoghi_ab =
    "[Luogo]\nNOMELUOGO=a\n[EndLuogo]\n[Luogo]\nNOMELUOGO=b\n[EndLuogo]\n";

class MondoCaricatore : public banco_mondo {
protected:
  std::string nomi_luoghi() const {
    std::string elenco;
    for (const auto& voce : mondo->luoghi_()) (elenco += voce.first) += ";";
    return elenco;
  }
};

TEST_F(MondoCaricatore, IlMondoDiEsempioSiCaricaPerIntero) {
  EXPECT_EQ(carica(dati_mondo("esempio.ini")), "");
  EXPECT_EQ(mondo->prntitolo(), "Il castello abbandonato\n");
  EXPECT_EQ(nomi_luoghi(), "cantina;ingresso;sala;");
  luogo& ingresso = posto("ingresso");
  luogo& sala = posto("sala");
  luogo& cantina = posto("cantina");
  EXPECT_EQ(ingresso.sopranome_(), "Ingresso del castello");
  EXPECT_TRUE(ingresso.illuminazione_());
  EXPECT_FALSE(cantina.illuminazione_());
  EXPECT_FALSE(ingresso.visitato());
  EXPECT_EQ(ingresso.collegamento(NORD), &sala);
  EXPECT_EQ(ingresso.collegamento(BASSO), &cantina);
  EXPECT_EQ(ingresso.collegamento(SUD), nullptr);
  EXPECT_EQ(ingresso.ostruzione(NORD), "Il portone sbarra la strada.");
  EXPECT_EQ(sala.collegamento(SUD), &ingresso);
  EXPECT_EQ(cantina.collegamento(ALTO), &ingresso);
  EXPECT_EQ(nomi(ingresso.oggetti_()), "portone;");
  const auto& portone = dynamic_cast<const oggostr&>(*ingresso.oggetti_().at("portone"));
  EXPECT_EQ(portone.direzione_(), "nord");
  EXPECT_EQ(portone.reagente_(), "chiave");
  const auto& baule = dynamic_cast<const oggcont&>(*cantina.oggetti_().at("baule"));
  EXPECT_FALSE(baule.aperto());
  EXPECT_EQ(nomi(baule.contenuto()), "chiave;");
  EXPECT_EQ(nomi(ambiente::zaino.contenuto()), "candela;fiammiferi;");
  EXPECT_EQ(mondo->corrente(), &ingresso);
  EXPECT_EQ(mondo->finale(), &sala);
  EXPECT_EQ(mondo->richiesti(), std::vector<std::string>{"chiave"});
  EXPECT_EQ(mondo->messaggio_finale(), "Hai raggiunto la sala del trono con la chiave.\n");
}

// CR LF line ends, and a file whose last line has no line feed, load exactly
// as the plain file: the saved texts agree.
TEST_F(MondoCaricatore, FineRigaCrLfESenzaUltimoACapo) {
  carica(dati_mondo("esempio.ini"));
  const std::string atteso = salvato();
  std::string crlf;
  for (const char c : dati_mondo("esempio.ini")) {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  std::string troncato = dati_mondo("esempio.ini");
  troncato.pop_back();
  for (const std::string& testo : {crlf, troncato, crlf.substr(0, crlf.size() - 1)}) {
    nuovo_gioco();
    ambiente::zaino.svuota();
    EXPECT_EQ(carica(testo), "");
    EXPECT_EQ(salvato(), atteso);
  }
}

TEST_F(MondoCaricatore, FileVuotoOSoloRigheVuote) {
  for (const char* testo : {"", "\n", "\n\n\r\n\n", "\r\n"}) {
    nuovo_gioco();
    EXPECT_EQ(carica(testo), "");
    EXPECT_TRUE(mondo->luoghi_().empty());
    EXPECT_EQ(mondo->corrente(), dio.get());
    EXPECT_EQ(mondo->finale(), nullptr);
    EXPECT_EQ(mondo->prntitolo(), "");
  }
}

TEST_F(MondoCaricatore, MarcatoriNonEsattiInCimaSonoIgnorati) {
  EXPECT_EQ(carica("[Luogo] \nNOMELUOGO=a\n[EndLuogo]\n[Titolo] \nx\n[EndTitolo]\n"
                   "[titolo]\ny\n [Zaino]\n[Oggetto]\nNOMEOGGETTO=z\n[EndOggetto]\n"
                   "NOMELUOGO=b\n=\n[Utente]\n[EndUtente]\n"),
            "");
  EXPECT_TRUE(mondo->luoghi_().empty());
  EXPECT_EQ(mondo->prntitolo(), "");
  EXPECT_TRUE(ambiente::zaino.contenuto().empty());
}

TEST_F(MondoCaricatore, MarcatoreConSpazioInUnRecordEFatale) {
  EXPECT_EQ(carica_fatale("[Luogo]\nNOMELUOGO=a\ncolore=x\n[EndLuogo]\n"
                          "[OggInLuogo]\nNOMELUOGO=a\n[Oggetto]\nNOMEOGGETTO=o\n[EndOggetto] \n"
                          "[EndOggInLuogo]\n"),
            "\n ! ERRORE: comando left COLORE non riconosciuto.\n"
            "\n ! ERRORE: Comando [EndOggetto]  non riconosciuto (oggetto).\n");
}

TEST_F(MondoCaricatore, TestiSommatiEUltimoInizioVince) {
  EXPECT_EQ(carica(luoghi_ab +
                   "[Titolo]\nUno\n\n[EndTitolo]\n[Titolo]\nDue = 2\n[EndTitolo]\n"
                   "[Utente]\nINIZIO=a\n[EndUtente]\n[Utente]\nALTRO=1\ninizio=b\n[EndUtente]\n"
                   "[FineGioco]\nOBJ=x\nFINELUOGO=a\nobj=\n[MsgFineGioco]\nCiao\nOBJ=z\n"
                   "[EndMsgFineGioco]\n[EndFineGioco]\n"
                   "[FineGioco]\nfineluogo=b\nOBJ=y\nNOMELUOGO=q\n[MsgFineGioco]\n\n"
                   "[EndMsgFineGioco]\n[EndFineGioco]\n"),
            "");
  EXPECT_EQ(mondo->prntitolo(), "Uno\n\nDue = 2\n");
  EXPECT_EQ(mondo->corrente(), &posto("b"));
  EXPECT_EQ(mondo->finale(), &posto("b"));
  EXPECT_EQ(mondo->richiesti(), (std::vector<std::string>{"x", "", "y"}));
  EXPECT_EQ(mondo->messaggio_finale(), "Ciao\nOBJ=z\n\n");
}

TEST_F(MondoCaricatore, NomiDoppiTengonoIlPrimo) {
  EXPECT_EQ(carica("[Luogo]\nNOMELUOGO=a\nSOPRANOME=Primo\n[EndLuogo]\n"
                   "[Luogo]\nNOMELUOGO=a\nSOPRANOME=Secondo\n[EndLuogo]\n"
                   "[OggInLuogo]\nNOMELUOGO=a\n"
                   "[Oggetto]\nNOMEOGGETTO=x\nDESCRIZIONE=uno\n[EndOggetto]\n"
                   "[OggContenitore]\nNOMEOGGETTO=x\nDESCRIZIONE=due\n[EndOggContenitore]\n"
                   "[OggInContenitore]\n[EndOggInContenitore]\n[EndOggInLuogo]\n"
                   "[Zaino]\n[Oggetto]\nNOMEOGGETTO=y\nDESCRIZIONE=uno\n[EndOggetto]\n"
                   "[OggNascondiglio]\nNOMEOGGETTO=y\n[EndOggNascondiglio]\n"
                   "[OggNascosti]\n[EndOggNascosti]\n[EndZaino]\n"
                   "[Zaino]\n[Oggetto]\nNOMEOGGETTO=y\nDESCRIZIONE=tre\n[EndOggetto]\n[EndZaino]\n"
                   "[Utente]\nINIZIO=a\n[EndUtente]\n"),
            "");
  EXPECT_EQ(nomi_luoghi(), "a;");
  EXPECT_EQ(posto("a").sopranome_(), "Primo");
  EXPECT_EQ(mondo->corrente(), &posto("a"));
  ASSERT_EQ(nomi(posto("a").oggetti_()), "x;");
  EXPECT_EQ(posto("a").oggetti_().at("x")->descrizione(), "uno");
  ASSERT_EQ(nomi(ambiente::zaino.contenuto()), "y;");
  EXPECT_EQ(ambiente::zaino.contenuto().at("y")->descrizione(), "uno");
}

TEST_F(MondoCaricatore, RecordSenzaNomeNonCreanoNulla) {
  EXPECT_EQ(
      carica("[Luogo]\nSOPRANOME=Anonimo\n[EndLuogo]\n[Luogo]\nNOMELUOGO=a\n[EndLuogo]\n"
             "[OggInLuogo]\nNOMELUOGO=a\n[OggOstruzione]\nDIREZIONE=sud\n"
             "[EndOggOstruzione]\n[EndOggInLuogo]\n"
             "[Zaino]\n[OggContenitore]\nDESCRIZIONE=x\n[EndOggContenitore]\n"
             "[OggInContenitore]\n[Oggetto]\nNOMEOGGETTO=chiave\n[EndOggetto]\n"
             "[EndOggInContenitore]\n[Oggetto]\nNOMEOGGETTO=pane\n[EndOggetto]\n[EndZaino]\n"),
      " ! ERRORE: Non " E_GRAVE " stoto trovato il nome del luogo.\n - Il luogo non " E_GRAVE
      " stato creato."
      "\n ! ERRORE: Nome dell'oggetto ostruttore mancante.\n"
      "\n ! ERRORE: Nome dell'oggetto contenitore mancante.\n");
  EXPECT_EQ(nomi_luoghi(), "a;");
  EXPECT_TRUE(posto("a").oggetti_().empty());
  // The nameless container's entry went with it, not into the backpack.
  EXPECT_EQ(nomi(ambiente::zaino.contenuto()), "pane;");
}

// A container or hiding-place record without its list takes the next line
// with it; when that is a closing marker, the section runs on.
TEST_F(MondoCaricatore, MarcatoriInghiottitiDopoContenitoreENascondiglio) {
  EXPECT_EQ(carica(luoghi_ab + "[OggInLuogo]\nNOMELUOGO=a\n"
                               "[OggContenitore]\nNOMEOGGETTO=cesta\n[EndOggContenitore]\n"
                               "[Oggetto]\nNOMEOGGETTO=perso\n[EndOggetto]\n"
                               "[OggNascondiglio]\nNOMEOGGETTO=tappeto\n[EndOggNascondiglio]\n"
                               "[EndOggInLuogo]\n"
                               "[Utente]\nINIZIO=b\n[EndUtente]\n"
                               "[Zaino]\n[Oggetto]\nNOMEOGGETTO=pane\n[EndOggetto]\n[EndZaino]\n"),
            "");
  EXPECT_EQ(nomi(posto("a").oggetti_()), "cesta;pane;tappeto;");
  EXPECT_EQ(mondo->corrente(), dio.get());
  EXPECT_TRUE(ambiente::zaino.contenuto().empty());
}

TEST_F(MondoCaricatore, ContenitoreNelloZainoInghiotteEndZaino) {
  EXPECT_EQ(
      carica(luoghi_ab + "[Zaino]\n[OggContenitore]\nNOMEOGGETTO=sacco\n[EndOggContenitore]\n"
                         "[EndZaino]\n"
                         "[OggInLuogo]\nNOMELUOGO=a\n[Oggetto]\nNOMEOGGETTO=sasso\n[EndOggetto]\n"
                         "[EndOggInLuogo]\n"),
      "");
  EXPECT_EQ(nomi(ambiente::zaino.contenuto()), "sacco;sasso;");
  EXPECT_TRUE(posto("a").oggetti_().empty());
}

TEST_F(MondoCaricatore, LoZainoLeggeOgniGenereEIgnoraIlResto) {
  EXPECT_EQ(carica("[Zaino]\n[OggInContenitore]\n\nNOMEOGGETTO=finto\n"
                   "[OggOstruzione]\nNOMEOGGETTO=porta\n[EndOggOstruzione]\n"
                   "[OggNascondiglio]\nNOMEOGGETTO=quadro\n[EndOggNascondiglio]\n"
                   "[OggNascosti]\n[Oggetto]\nNOMEOGGETTO=foto\n[EndOggetto]\n[EndOggNascosti]\n"
                   "[OggContenitore]\nNOMEOGGETTO=sacco\n[EndOggContenitore]\n\n"
                   "[OggInContenitore]\n[OggNascondiglio]\n[EndOggInContenitore]\n"
                   "[EndOggInContenitore]\n[EndZaino]\n"),
            "\n ! ERRORE: Non si possono creare oggetti derivati, o errore comando "
            "[OggNascondiglio].\n");
  EXPECT_EQ(nomi(ambiente::zaino.contenuto()), "porta;quadro;sacco;");
  EXPECT_EQ(
      nomi(dynamic_cast<const oggnasc&>(*ambiente::zaino.contenuto().at("quadro")).nascosti()),
      "foto;");
}

TEST_F(MondoCaricatore, OggInLuogoConLuogoIgnotoOSuccessivo) {
  // One message for every non-blank line from NOMELUOGO to the closing
  // marker; the record is not read, so its blank line is not fatal.
  EXPECT_EQ(carica("[OggInLuogo]\nNOMELUOGO=nessuno\n\n[Oggetto]\nNOMEOGGETTO=x\n\n"
                   "[EndOggetto]\n[EndOggInLuogo]\n"),
            NON_CREATO NON_CREATO NON_CREATO NON_CREATO NON_CREATO);
  EXPECT_EQ(carica("[OggInLuogo]\nNOMELUOGO=poi\n[Oggetto]\nNOMEOGGETTO=x\n[EndOggetto]\n"
                   "[EndOggInLuogo]\n[Luogo]\nNOMELUOGO=poi\n[EndLuogo]\n"),
            NON_CREATO NON_CREATO NON_CREATO NON_CREATO NON_CREATO);
  EXPECT_TRUE(posto("poi").oggetti_().empty());
}

TEST_F(MondoCaricatore, OggInLuogoCambiaLuogoEVuoleIlNomePrima) {
  EXPECT_EQ(
      carica(luoghi_ab + "[OggInLuogo]\nSOPRANOME=x\nnomeluogo=a\n[Oggetto]\nNOMEOGGETTO=uno\n"
                         "[EndOggetto]\nALTRO=1\nNOMELUOGO=b\n\n[Oggetto]\nNOMEOGGETTO=due\n"
                         "[EndOggetto]\nNOMELUOGO=\n[Oggetto]\nNOMEOGGETTO=tre\n[EndOggetto]\n"
                         "[EndOggInLuogo]\n"),
      // SOPRANOME=x, NOMELUOGO=, [Oggetto], NOMEOGGETTO=tre, [EndOggetto],
      // [EndOggInLuogo]: the lines met without a place.
      ASPETTAVA NON_CREATO NON_CREATO NON_CREATO ASPETTAVA NON_CREATO NON_CREATO NON_CREATO);
  EXPECT_EQ(nomi(posto("a").oggetti_()), "uno;");
  EXPECT_EQ(nomi(posto("b").oggetti_()), "due;");
}

TEST_F(MondoCaricatore, CollegamentiEOstruzioni) {
  EXPECT_EQ(carica(luoghi_ab +
                   "[PuntatoriALuogo]\nNOMELUOGO=a\nnord=b\nNORD=NULL\nSUD=null\nEST=c\nOVEST=\n"
                   "ALTO=B\nBASSO=NULL\nostruzionenord=NULL\nOSTRUZIONESUD=\n"
                   "OSTRUZIONEEST=Un muro = alto.\n\nsenza uguale\n=\n"
                   "nomeluogo=b\nNORD=nessuno\nNORD=a\nOVEST=zz\nBASSO=a \n"
                   "OSTRUZIONEALTO=Troppo alto.\nOSTRUZIONEALTO=Ancora troppo.\n"
                   "[EndPuntatoriALuogo]\n"),
            "\n ! ERRORE: Puntatore Sud del luogo a errato.\n"
            "\n ! ERRORE: Puntatore Est del luogo a errato.\n"
            "\n ! ERRORE: Puntatore Alto del luogo a errato.\n"
            "\n ! ERRORE: riga vuota.\n"
            "\n ! ERRORE: Puntatore Nord del luogo b errato.\n"
            "\n ! ERRORE: Puntatore Ovest del luogo b errato.\n"
            "\n ! ERRORE: Puntatore Basso del luogo b errato.\n");
  luogo& a = posto("a");
  luogo& b = posto("b");
  EXPECT_EQ(a.collegamento(NORD), &b);  // NULL left the earlier link alone
  for (direzione d : {SUD, EST, OVEST, ALTO, BASSO}) EXPECT_EQ(a.collegamento(d), nullptr);
  EXPECT_EQ(a.ostruzione(NORD), "NULL");
  EXPECT_EQ(a.ostruzione(SUD), "");
  EXPECT_EQ(a.ostruzione(EST), "Un muro = alto.");
  EXPECT_EQ(b.collegamento(NORD), &a);
  EXPECT_EQ(b.collegamento(OVEST), nullptr);
  EXPECT_EQ(b.collegamento(BASSO), nullptr);
  EXPECT_EQ(b.ostruzione(ALTO), "Ancora troppo.");
}

TEST_F(MondoCaricatore, ChiaviSconosciuteNeiPuntatori) {
  EXPECT_EQ(carica(luoghi_ab + "[PuntatoriALuogo]\nNOMELUOGO=a\ncolore=blu\nPESO=NULL\nPESO=null\n"
                               "VUOTA=\nNORD =b\n[EndPuntatoriALuogo]\n"),
            "\n ! ERRORE: linea COLORE non riconosciuta.\n"
            "\n ! ERRORE: linea PESO non riconosciuta.\n"
            "\n ! ERRORE: linea NORD  non riconosciuta.\n");
  EXPECT_EQ(posto("a").collegamento(NORD), nullptr);
}

TEST_F(MondoCaricatore, DirezioneInnanziAlNomeDelLuogo) {
  EXPECT_EQ(
      carica(luoghi_ab + "[PuntatoriALuogo]\nNORD=a\nSUD=NULL\nEST=nessuno\nOSTRUZIONESUD=NULL\n"
                         "OSTRUZIONEBASSO=muro\nPESO=3\nPESO=NULL\nNOMELUOGO=a\nOVEST=b\n"
                         "[EndPuntatoriALuogo]\n"),
      ASPETTAVA ASPETTAVA ASPETTAVA ASPETTAVA "\n ! ERRORE: linea PESO non riconosciuta.\n");
  luogo& a = posto("a");
  EXPECT_EQ(a.collegamento(NORD), nullptr);
  EXPECT_EQ(a.collegamento(OVEST), &posto("b"));
  EXPECT_EQ(a.ostruzione(SUD), "");
  EXPECT_EQ(a.ostruzione(BASSO), "");
  EXPECT_EQ(posto("b").ostruzione(BASSO), "");
}

TEST_F(MondoCaricatore, LuoghiIgnotiSonoFatali) {
  EXPECT_EQ(carica_fatale(luoghi_ab + "[PuntatoriALuogo]\nNORD=a\nNOMELUOGO=A\nSUD=b\n"
                                      "[EndPuntatoriALuogo]\n"),
            ASPETTAVA NON_IN_MAPPA);
  nuovo_gioco();
  EXPECT_EQ(carica_fatale("[PuntatoriALuogo]\nNOMELUOGO=poi\n[EndPuntatoriALuogo]\n"
                          "[Luogo]\nNOMELUOGO=poi\n[EndLuogo]\n"),
            NON_IN_MAPPA);
  for (const char* inizio : {"INIZIO=c\n", "INIZIO=\n", "inizio=dio\n", "INIZIO=a \n"}) {
    nuovo_gioco();
    EXPECT_EQ(carica_fatale(luoghi_ab + "[Utente]\n" + inizio + "[EndUtente]\n"), PARTENZA)
        << inizio;
  }
  for (const char* fine : {"FINELUOGO=c\n", "FINELUOGO=\n", "fineluogo=B\n"}) {
    nuovo_gioco();
    EXPECT_EQ(carica_fatale(luoghi_ab + "[FineGioco]\nOBJ=x\n" + fine + "[EndFineGioco]\n"), FINE)
        << fine;
  }
}

// A stream that breaks after its text: the read that follows fails with an
// error, not with the end of the file.
class flusso_rotto : public std::streambuf {
public:
  explicit flusso_rotto(std::string t) : testo(std::move(t)) {
    setg(&testo[0], &testo[0], &testo[0] + testo.size());
  }

protected:
  int_type underflow() override { throw std::runtime_error("disco guasto"); }

private:
  std::string testo;
};

TEST_F(MondoCaricatore, ErroreDiLetturaEFatale) {
  for (const char* testo : {"[Titolo]\nUno\n", "\n\n", "[Luogo]\nNOMELUOGO=a\n", ""}) {
    nuovo_gioco();
    flusso_rotto rotto(testo);
    std::istream ingresso(&rotto);
    uscita();
    EXPECT_THROW(mondo->carica_da(ingresso), uscita_fatale) << testo;
    EXPECT_EQ(uscita(), "\n - ! Si " E_GRAVE " verificato un errore non gestito.\n") << testo;
  }
}

// Every section and record cut short by the end of the file ends there,
// keeping what was read; nothing waits for more input.
TEST_F(MondoCaricatore, FileTroncatoInOgniSezione) {
  EXPECT_EQ(carica("[Titolo]\nUno\nDue"), "");
  EXPECT_EQ(mondo->prntitolo(), "Uno\n");
  EXPECT_EQ(carica("[Zaino]\n[Oggetto]\nNOMEOGGETTO=pane\n"), "");
  EXPECT_EQ(nomi(ambiente::zaino.contenuto()), "pane;");
  EXPECT_EQ(carica("[Luogo]\nNOMELUOGO=a\n[Descrizione]\nUna\n"), "");
  EXPECT_EQ(nomi_luoghi(), "a;");
  EXPECT_EQ(carica("[OggInLuogo]\nNOMELUOGO=a\n[Oggetto]\nNOMEOGGETTO=x\n"), "");
  EXPECT_EQ(carica("[OggInLuogo]\nNOMELUOGO=a\n[OggContenitore]\nNOMEOGGETTO=c\n"
                   "[EndOggContenitore]\n[EndOggInLuogo]\n"),
            "");
  EXPECT_EQ(carica("[OggInLuogo]\nNOMELUOGO=a\n[OggNascondiglio]\nNOMEOGGETTO=n\n"
                   "[EndOggNascondiglio]\n[OggNascosti]\n[Oggetto]\nNOMEOGGETTO=h\n[EndOggetto]\n"),
            "\n ! ERRORE: Non si possono creare oggetti derivati, o errore comando .\n");
  EXPECT_EQ(nomi(posto("a").oggetti_()), "c;n;x;");
  EXPECT_EQ(nomi(dynamic_cast<const oggnasc&>(*posto("a").oggetti_().at("n")).nascosti()), "h;");
  // The section handles the empty line of the read at the end as well.
  EXPECT_EQ(carica("[OggInLuogo]\nNOMELUOGO=zz\n\n\n"), NON_CREATO NON_CREATO);
  EXPECT_EQ(carica("[OggInLuogo]\nNOMELUOGO=zz"), NON_CREATO);
  EXPECT_EQ(carica("[OggInLuogo]\n"), NON_CREATO);
  EXPECT_EQ(carica("[OggInLuogo]\nNOMELUOGO=a\n\n"), "");
  // The pointer section interprets a last line without a line feed.
  EXPECT_EQ(carica("[PuntatoriALuogo]\nNOMELUOGO=a\nNORD=a"), "");
  EXPECT_EQ(posto("a").collegamento(NORD), &posto("a"));
  EXPECT_EQ(carica("[PuntatoriALuogo]\nNOMELUOGO=a\n\n"), "");
  // The start section does not.
  EXPECT_EQ(carica("[Utente]\nINIZIO=a"), "");
  EXPECT_EQ(mondo->corrente(), dio.get());
  EXPECT_EQ(carica("[FineGioco]\nOBJ=x\nFINELUOGO=a\n[MsgFineGioco]\nFine.\nmai letta"), "");
  EXPECT_EQ(mondo->finale(), &posto("a"));
  EXPECT_EQ(mondo->messaggio_finale(), "Fine.\n");
  EXPECT_EQ(carica("[FineGioco]\nOBJ=y\nOBJ=mai letto"), "");
  EXPECT_EQ(mondo->richiesti(), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(carica("[Utente]\nINIZIO=a\n"), "");
  EXPECT_EQ(mondo->corrente(), &posto("a"));
  EXPECT_EQ(carica("[Luogo]\n"),
            " ! ERRORE: Non " E_GRAVE " stoto trovato il nome del luogo.\n - Il luogo non " E_GRAVE
            " stato creato.");
}

}  // namespace
}  // namespace mondo_prova
