// The record readers: keys, flags, missing names, fatal lines, the content and
// hidden lists, and records cut short by the end of the file.
#include "world/lettori.h"

#include "banco_mondo.h"
#include "objects/accenti.h"

namespace mondo_prova {
namespace {

class MondoLettori : public banco_mondo {
protected:
  // Reads one record of kind T from `testo` (the lines after its opening
  // marker) into `a`; returns the line that follows it, which the reader
  // must have left unread.
  template <class T>
  std::string leggi(const std::string& testo, std::unique_ptr<T>& a) {
    uscita();
    std::istringstream flusso(testo);
    lettore s(flusso);
    s >> a;
    std::string dopo;
    s.leggi(dopo);
    return dopo;
  }

  // Reads a record that must end the program; returns what was printed.
  template <class T>
  std::string fatale_in(const std::string& testo) {
    uscita();
    std::istringstream flusso(testo);
    lettore s(flusso);
    std::unique_ptr<T> a;
    EXPECT_THROW(s >> a, uscita_fatale) << testo;
    EXPECT_EQ(a, nullptr);
    return uscita();
  }

  // Reads a record without a name: nothing is assigned; returns what was
  // printed.
  template <class T>
  std::string senza_nome(const std::string& testo) {
    std::unique_ptr<T> a;
    leggi(testo, a);
    EXPECT_EQ(a, nullptr) << testo;
    return uscita();
  }
};

TEST_F(MondoLettori, OggettoChiaviInOgniCasoEFlagSoloVersoIlVero) {
  std::unique_ptr<oggetto> o;
  const std::string dopo = leggi(
      "nomeoggetto=lampada\n"
      "Descrizione=Una lampada = vecchia\n"
      "DESCRIZIONE=\n"
      "suggerimento=Prima\n"
      "SUGGERIMENTO=Dopo\n"
      "reagente=olio\n"
      "illuminabile=tRuE\n"
      "trasportabile=TRUE \n"
      "spostabile=si\n"
      "apribile=True\n"
      "ACCESO=TRUE\n"
      "ACCESO=FALSE\n"
      "COLORE=rosso\n"
      "DIREZIONE=nord\n"
      "APERTO=TRUE\n"
      "[EndOggetto]\n"
      "dopo\n",
      o);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(uscita(), "");  // unknown keys of an object are silent
  EXPECT_EQ(dopo, "dopo");
  EXPECT_EQ(o->nome(), "lampada");
  EXPECT_EQ(o->descrizione(), "Una lampada = vecchia");
  EXPECT_EQ(o->prntsugg(), "Dopo");
  EXPECT_EQ(o->reagente_(), "olio");
  EXPECT_TRUE(o->illuminabile_());
  EXPECT_FALSE(o->prendi());  // "TRUE " with a blank is not TRUE
  EXPECT_FALSE(o->spostabile_());
  EXPECT_TRUE(o->apribile_());
  EXPECT_TRUE(o->lux());  // a later FALSE cannot take a flag back
  EXPECT_FALSE(o->contenitore());
}

TEST_F(MondoLettori, ChiaveVuotaAvvisaEVieneIgnorata) {
  std::unique_ptr<oggetto> o;
  leggi("=intruso\nNOMEOGGETTO=sasso\n=\n[EndOggetto]\n", o);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->nome(), "sasso");
  EXPECT_EQ(o->descrizione(), "");
  EXPECT_EQ(uscita(), "\n ! ERRORE: riga vuota.\n\n ! ERRORE: riga vuota.\n");
}

TEST_F(MondoLettori, NomeMancantePerOgniGenere) {
  EXPECT_EQ(senza_nome<oggetto>("DESCRIZIONE=x\n[EndOggetto]\n"),
            "\n ! ERRORE: Nome dell'oggetto mancante.\n");
  // A blank before the '=' belongs to the key, which then names nothing.
  EXPECT_EQ(senza_nome<oggetto>("NOMEOGGETTO =sasso\nNOMEOGGETTO=\n[EndOggetto]\n"),
            "\n ! ERRORE: Nome dell'oggetto mancante.\n");
  EXPECT_EQ(senza_nome<oggostr>("[EndOggOstruzione]\n"),
            "\n ! ERRORE: Nome dell'oggetto ostruttore mancante.\n");
  EXPECT_EQ(senza_nome<oggcont>("[EndOggContenitore]\n[OggInContenitore]\n[EndOggInContenitore]\n"),
            "\n ! ERRORE: Nome dell'oggetto contenitore mancante.\n");
  EXPECT_EQ(senza_nome<oggnasc>("[EndOggNascondiglio]\n[OggNascosti]\n[EndOggNascosti]\n"),
            "\n ! ERRORE: Nome dell'oggetto nascondiglio mancante.\n");
  EXPECT_EQ(senza_nome<luogo>("SOPRANOME=Sala\n[EndLuogo]\n"),
            " ! ERRORE: Non " E_GRAVE " stoto trovato il nome del luogo.\n - Il luogo non " E_GRAVE
            " stato creato.");
}

TEST_F(MondoLettori, SenzaNomeIlPuntatoreRestaComEra) {
  std::unique_ptr<oggetto> o =
      std::make_unique<oggetto>("prima", "", false, false, false, false, false, "", "");
  leggi("[EndOggetto]\n", o);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->nome(), "prima");
}

TEST_F(MondoLettori, RigaSenzaUgualeNelRecordEFatale) {
  // A blank line: {linea} is empty, so two blanks stand around it.
  EXPECT_EQ(fatale_in<oggetto>("NOMEOGGETTO=x\n\nDESCRIZIONE=y\n[EndOggetto]\n"),
            "\n ! ERRORE: Comando  non riconosciuto (oggetto).\n");
  // A closing marker with a trailing blank is no closing marker.
  EXPECT_EQ(fatale_in<oggetto>("NOMEOGGETTO=x\n[EndOggetto] \n[EndOggetto]\n"),
            "\n ! ERRORE: Comando [EndOggetto]  non riconosciuto (oggetto).\n");
  // Markers are case-sensitive, and another kind's marker is just a line.
  EXPECT_EQ(fatale_in<oggostr>("NOMEOGGETTO=x\n[endoggostruzione]\n"),
            "\n ! ERRORE: Comando [endoggostruzione] non riconosciuto (ostruzione).\n");
  EXPECT_EQ(fatale_in<oggcont>("NOMEOGGETTO=x\n[EndOggetto]\n[EndOggContenitore]\n"),
            "\n ! ERRORE: Comando [EndOggetto] non riconosciuto (contenitore).\n");
  EXPECT_EQ(fatale_in<oggnasc>("=\nNOMEOGGETTO=x\n\n"),
            "\n ! ERRORE: riga vuota.\n\n ! ERRORE: Comando  non riconosciuto (nascondiglio).\n");
  EXPECT_EQ(fatale_in<luogo>("NOMELUOGO=x\n\n[EndLuogo]\n"),
            "\n ! ERRORE: Comando  non riconosciuto (luogo).\n");
  EXPECT_EQ(fatale_in<luogo>("NOMELUOGO=x\n[Descrizione] \nriga\n[EndDescrizione]\n"),
            "\n ! ERRORE: Comando [Descrizione]  non riconosciuto (luogo).\n");
}

TEST_F(MondoLettori, OstruzioneDirezioneEApertura) {
  std::unique_ptr<oggostr> o;
  leggi("NOMEOGGETTO=porta\nDIREZIONE=Nord \nAPERTO=FALSE\n[EndOggOstruzione]\n", o);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->direzione_(), "Nord ");  // verbatim
  EXPECT_FALSE(o->aperto());
  leggi("NOMEOGGETTO=porta\nAPERTO=true\nAPERTO=FALSE\n[EndOggOstruzione]\n", o);
  EXPECT_TRUE(o->aperto());
  EXPECT_EQ(uscita(), "");
}

TEST_F(MondoLettori, ContenitoreSiChiudeSoloConFalse) {
  const struct {
    const char* valore;
    bool aperto;
  } casi[] = {{"false", false}, {"FaLsE", false}, {"FALSE ", true}, {"no", true}, {"", true}};
  for (const auto& c : casi) {
    std::unique_ptr<oggcont> o;
    leggi(std::string("NOMEOGGETTO=baule\nAPERTO=") + c.valore +
              "\n[EndOggContenitore]\n[OggInContenitore]\n[EndOggInContenitore]\n",
          o);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(o->aperto(), c.aperto) << c.valore;
    EXPECT_TRUE(o->contenitore());
  }
  EXPECT_EQ(uscita(), "");
}

TEST_F(MondoLettori, LuogoChiaviFlagEBlocchiDiTesto) {
  std::unique_ptr<luogo> l;
  const std::string dopo = leggi(
      "nomeluogo=grotta\n"
      "sopranome=La grotta\n"
      "[Descrizione]\n"
      "Prima riga = con uguale\n"
      "\n"
      "[EndLuogo]\n"
      "[EndDescrizione]\n"
      "colore=rosso\n"
      "VUOTA=\n"
      "illuminazione=false\n"
      "ILLUMINAZIONE=TRUE\n"
      "stato=True\n"
      "[Suggerimento]\n"
      "Attento.\n"
      "[EndSuggerimento]\n"
      "[Descrizione]\n"
      "Seconda.\n"
      "[EndDescrizione]\n"
      "[EndLuogo]\n"
      "dopo\n",
      l);
  ASSERT_NE(l, nullptr);
  EXPECT_EQ(dopo, "dopo");
  EXPECT_EQ(uscita(), "\n ! ERRORE: comando left COLORE non riconosciuto.\n");
  EXPECT_EQ(l->name(), "grotta");
  EXPECT_EQ(l->sopranome_(), "La grotta");
  EXPECT_FALSE(l->illuminazione_());
  EXPECT_TRUE(l->visitato());
  // Text blocks keep blank lines, '=' and markers verbatim, and add up.
  std::ostringstream scritto;
  l->salva(scritto);
  EXPECT_EQ(scritto.str(),
            "[Luogo]\nNOMELUOGO=grotta\nSOPRANOME=La grotta\nILLUMINAZIONE=FALSE\nSTATO=TRUE\n"
            "[Descrizione]\nPrima riga = con uguale\n\n[EndLuogo]\nSeconda.\n[EndDescrizione]\n"
            "[Suggerimento]\nAttento.\n[EndSuggerimento]\n[EndLuogo]\n\n"
            "[OggInLuogo]\nNOMELUOGO=grotta\n[EndOggInLuogo]\n\n");
}

TEST_F(MondoLettori, LuogoFlagConValoriNonValidi) {
  std::unique_ptr<luogo> l;
  leggi("NOMELUOGO=a\nILLUMINAZIONE=FALSE \nILLUMINAZIONE=no\nSTATO=si\nSTATO=TRUE \n[EndLuogo]\n",
        l);
  ASSERT_NE(l, nullptr);
  EXPECT_TRUE(l->illuminazione_());
  EXPECT_FALSE(l->visitato());
}

TEST_F(MondoLettori, ListaDelContenitoreConRigheVuoteEVociSenzaNome) {
  std::unique_ptr<oggcont> o;
  const std::string dopo = leggi(
      "NOMEOGGETTO=baule\n"
      "[EndOggContenitore]\n"
      "\n\n"
      "[OggInContenitore]\n"
      "\n"
      "[Oggetto]\n"
      "NOMEOGGETTO=chiave\n"
      "DESCRIZIONE=prima\n"
      "[EndOggetto]\n"
      "\n"
      "[Oggetto]\n"
      "DESCRIZIONE=senza nome\n"
      "[EndOggetto]\n"
      "[Oggetto]\n"
      "NOMEOGGETTO=chiave\n"
      "DESCRIZIONE=seconda\n"
      "[EndOggetto]\n"
      "[Oggetto]\n"
      "NOMEOGGETTO=anello\n"
      "[EndOggetto]\n"
      "\n"
      "[EndOggInContenitore]\n"
      "dopo\n",
      o);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(dopo, "dopo");
  EXPECT_EQ(uscita(), "\n ! ERRORE: Nome dell'oggetto mancante.\n");
  EXPECT_EQ(nomi(o->contenuto()), "anello;chiave;");
  EXPECT_EQ(o->contenuto().at("chiave")->descrizione(), "prima");
}

TEST_F(MondoLettori, ListaConRecordDerivatiSegnalaOgniRiga) {
  std::unique_ptr<oggnasc> o;
  const std::string dopo = leggi(
      "NOMEOGGETTO=tappeto\n"
      "[EndOggNascondiglio]\n"
      "[OggNascosti]\n"
      "[OggOstruzione]\n"
      "NOMEOGGETTO=muro\n"
      "\n"
      "DIREZIONE=sud\n"
      "[EndOggOstruzione]\n"
      "[Oggetto]\n"
      "NOMEOGGETTO=botola\n"
      "[EndOggetto]\n"
      "[EndOggNascosti]\n"
      "dopo\n",
      o);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(dopo, "dopo");
  const std::string msg = "\n ! ERRORE: Non si possono creare oggetti derivati, o errore comando ";
  EXPECT_EQ(uscita(), msg + "[OggOstruzione].\n" + msg + "NOMEOGGETTO=muro.\n" + msg +
                          "DIREZIONE=sud.\n" + msg + "[EndOggOstruzione].\n");
  EXPECT_EQ(nomi(o->nascosti()), "botola;");
}

TEST_F(MondoLettori, LaRigaDopoIlRecordAppartieneAlRecord) {
  // Not the list's opening marker: consumed and lost, silently.
  std::unique_ptr<oggcont> c;
  EXPECT_EQ(leggi("NOMEOGGETTO=baule\n[EndOggContenitore]\n\n[Oggetto]\nNOMEOGGETTO=x\n", c),
            "NOMEOGGETTO=x");
  ASSERT_NE(c, nullptr);
  EXPECT_TRUE(c->contenuto().empty());
  std::unique_ptr<oggnasc> n;
  EXPECT_EQ(leggi("NOMEOGGETTO=quadro\n[EndOggNascondiglio]\n[OggInContenitore]\n"
                  "[Oggetto]\nNOMEOGGETTO=x\n[EndOggetto]\n[EndOggInContenitore]\n",
                  n),
            "[Oggetto]");
  ASSERT_NE(n, nullptr);
  EXPECT_TRUE(n->nascosti().empty());
  EXPECT_EQ(uscita(), "");
}

TEST_F(MondoLettori, ListaDiUnContenitoreSenzaNomeVieneLettaEScartata) {
  std::unique_ptr<oggcont> c;
  EXPECT_EQ(leggi("DESCRIZIONE=anonimo\n[EndOggContenitore]\n[OggInContenitore]\n"
                  "[Oggetto]\nNOMEOGGETTO=chiave\n[EndOggetto]\n[EndOggInContenitore]\ndopo\n",
                  c),
            "dopo");
  EXPECT_EQ(c, nullptr);
  std::unique_ptr<oggnasc> n;
  EXPECT_EQ(leggi("[EndOggNascondiglio]\n[OggNascosti]\n[OggContenitore]\n"
                  "[Oggetto]\nNOMEOGGETTO=chiave\n[EndOggetto]\n[EndOggNascosti]\ndopo\n",
                  n),
            "dopo");
  EXPECT_EQ(n, nullptr);
  EXPECT_EQ(uscita(),
            "\n ! ERRORE: Nome dell'oggetto nascondiglio mancante.\n"
            "\n ! ERRORE: Non si possono creare oggetti derivati, o errore comando "
            "[OggContenitore].\n");
}

TEST_F(MondoLettori, RecordTroncatiDallaFineDelFile) {
  // A name read before the end still makes the object.
  std::unique_ptr<oggetto> o;
  leggi("NOMEOGGETTO=x\nDESCRIZIONE=d\n", o);
  ASSERT_NE(o, nullptr);
  EXPECT_EQ(o->descrizione(), "d");
  // A last line without a line feed is not interpreted.
  std::unique_ptr<oggetto> p;
  leggi("DESCRIZIONE=d\nNOMEOGGETTO=x", p);
  EXPECT_EQ(p, nullptr);
  EXPECT_EQ(uscita(), "\n ! ERRORE: Nome dell'oggetto mancante.\n");
  std::unique_ptr<oggostr> s;
  leggi("NOMEOGGETTO=muro\nDIREZIONE=est", s);
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->direzione_(), "");
  std::unique_ptr<oggcont> c;
  leggi("NOMEOGGETTO=baule\nAPERTO=FALSE\n", c);
  ASSERT_NE(c, nullptr);
  EXPECT_FALSE(c->aperto());
  std::unique_ptr<oggnasc> n;
  leggi("NOMEOGGETTO=quadro\n", n);
  ASSERT_NE(n, nullptr);
  std::unique_ptr<luogo> l;
  leggi("NOMELUOGO=p\nSOPRANOME=P\n[Suggerimento]\nriga\nmai letta", l);
  ASSERT_NE(l, nullptr);
  std::ostringstream scritto;
  l->salva(scritto);
  EXPECT_NE(scritto.str().find("[Suggerimento]\nriga\n[EndSuggerimento]"), std::string::npos)
      << scritto.str();
  EXPECT_EQ(uscita(), "");
}

TEST_F(MondoLettori, ListeTroncateDallaFineDelFile) {
  // Cut before the list: nothing more to read.
  std::unique_ptr<oggcont> c;
  leggi("NOMEOGGETTO=baule\n[EndOggContenitore]\n\n\n", c);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(uscita(), "");
  // Cut inside the list: the entries read so far stay; the empty line that
  // the read at the end gives is handled as any other line.
  leggi(
      "NOMEOGGETTO=baule\n[EndOggContenitore]\n[OggInContenitore]\n"
      "[Oggetto]\nNOMEOGGETTO=chiave\n[EndOggetto]\n\n",
      c);
  ASSERT_NE(c, nullptr);
  EXPECT_EQ(nomi(c->contenuto()), "chiave;");
  EXPECT_EQ(uscita(), "\n ! ERRORE: Non si possono creare oggetti derivati, o errore comando .\n");
  // Cut inside an entry of the list.
  std::unique_ptr<oggnasc> n;
  leggi(
      "NOMEOGGETTO=quadro\n[EndOggNascondiglio]\n[OggNascosti]\n[Oggetto]\n"
      "NOMEOGGETTO=lettera\nDESCRIZIONE=mai letta",
      n);
  ASSERT_NE(n, nullptr);
  EXPECT_EQ(nomi(n->nascosti()), "lettera;");
  EXPECT_EQ(uscita(), "");
}

}  // namespace
}  // namespace mondo_prova
