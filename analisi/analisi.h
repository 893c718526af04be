#pragma once
#include <string>
#include <string_view>
#include <vector>

// The analysis of a world file: a pure function from the bytes of the file
// to plain data (diagnostics, symbols, references and the map's graph). It
// reads with the game's own readers, prints nothing and keeps nothing between
// calls. Every front end (the checker, the map, the language server, the
// studio) asks it and only formats what it answers.
//
// Texts in the answer (messages, names, titles, replacements) are UTF-8, as
// editors and terminals want them. Lines count from 1; columns count the
// characters of the line as the author sees it, from 0: one per byte in a
// code page 850 file, one per character in a UTF-8 file.

// A stretch of one line: columns [colonna, fine). Line 0 means the file as a
// whole (columns then 0).
struct intervallo {
  unsigned long riga = 0;
  unsigned long colonna = 0;
  unsigned long fine = 0;
};

// An obvious repair: replace `dove` with `testo` (an empty stretch inserts;
// `testo` may end with a line feed to insert a whole line before `dove`).
struct correzione {
  std::string titolo;  // what the repair does, for a menu ("sostituisci con [Oggetto]")
  intervallo dove;
  std::string testo;
};

enum class gravita { errore, avviso };

struct diagnostica {
  gravita livello = gravita::avviso;
  intervallo dove;
  std::string codice;     // short and stable: "marcatore-sconosciuto", "manca-fine", ...
  std::string messaggio;  // the Italian text, as the checker prints it after "errore: "
  std::vector<correzione> correzioni;
};

enum class genere_simbolo {
  sezione,       // a top-level section; `nome` is its opening marker
  luogo,         // a "[Luogo]" record; `nome` is its NOMELUOGO
  oggetto,       // the four object kinds; `nome` is the NOMEOGGETTO
  ostruzione,
  contenitore,
  nascondiglio,
};

// The opening marker of a record kind: "[Luogo]", "[Oggetto]",
// "[OggOstruzione]", "[OggContenitore]" or "[OggNascondiglio]"; null for a
// section, whose marker is its name.
const char* marcatore_del_genere(genere_simbolo g);

// One entry of the outline. `prima` and `ultima` are the lines of the opening
// and of the closing marker (the last line read, when the closing marker is
// missing). `nome_dove` is where the name is written (the value of NOMELUOGO
// or NOMEOGGETTO; the marker for a section). `dentro` is the index of the
// enclosing symbol in `risultato::simboli`, or -1.
struct simbolo {
  genere_simbolo genere = genere_simbolo::sezione;
  std::string nome;
  unsigned long prima = 0, ultima = 0;
  intervallo nome_dove;
  long dentro = -1;
  std::string descrizione;  // first line of its description (for hover); may be empty
};

// A use of a name: a place (a link, INIZIO, FINELUOGO, the NOMELUOGO of
// "[OggInLuogo]" and "[PuntatoriALuogo]") or an object (REAGENTE, OBJ, an
// obstruction's object). `definizione` is the index of the symbol it names,
// or -1 when the name names nothing.
struct riferimento {
  bool a_luogo = true;  // false: an object name
  std::string nome;
  intervallo dove;
  long definizione = -1;
};

// The six directions, in the order of the game's `direzione`:
// nord, sud, est, ovest, alto, basso.
constexpr int NUM_DIREZIONI_MAPPA = 6;

// A place on the map. The layout (`disponi`, analisi/disposizione.h) fills
// `x`, `y` (the centre of the box), `larghezza`, `altezza` and `piano` (0 on
// the start's level, +1 one `alto` above ...); `analizza` leaves them 0.
struct nodo_mappa {
  long simbolo = -1;   // its "[Luogo]" record in `risultato::simboli`
  unsigned long riga = 0;  // the line of that record's opening marker
  std::string nome;    // NOMELUOGO
  std::string titolo;  // SOPRANOME, or the name when it has none
  bool buio = false, partenza = false, fine = false, raggiungibile = true;
  double x = 0, y = 0, larghezza = 0, altezza = 0;
  int piano = 0;
};

// An exit of the map, from node `da` to node `a` in direction `direzione`
// (0..5). `ostruzione` is the obstruction text, empty when the exit is free;
// `senso_unico` is true when `a` has no exit back the opposite way to `da`.
// `dove` is the link line in "[PuntatoriALuogo]".
struct uscita_mappa {
  long da = -1, a = -1;
  int direzione = 0;
  std::string ostruzione;
  bool senso_unico = false;
  intervallo dove;
};

struct grafo_mappa {
  std::string titolo;            // the world's title ("[Titolo]"), without its last line feed
  std::vector<nodo_mappa> nodi;  // in ascending order of the place names
  std::vector<uscita_mappa> uscite;
};

struct risultato {
  std::vector<diagnostica> diagnostiche;  // in line order (file-wide ones, line 0, first)
  std::vector<simbolo> simboli;           // in file order
  std::vector<riferimento> riferimenti;   // in file order
  grafo_mappa mappa;
  // The file was UTF-8 and the analysis read it converted to code page 850.
  bool convertito = false;
};

// Analyses the world file whose whole content is `dati` (code page 850, or
// UTF-8 as an editor saves it). Never throws for any input and never stops
// the program; linear in the size of the file. It loads the world with the
// game's loader, so it empties the backpack the game's worlds share: call it
// before loading a world of one's own, not while one is loaded.
risultato analizza(std::string_view dati);
