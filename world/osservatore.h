#pragma once
#include <initializer_list>
#include <string>
#include <string_view>

class luogo;
class oggetto;

// A listener that the world readers tell, with line numbers, what they meet
// and what the game passes over or stops on. The game installs none, and then
// every notification point costs one pointer test; the author tools install
// one in the line source (`lettore`) to check a world file with the game's
// own reading code.
class osservatore {
public:
  enum evento {
    // Remarks: the game goes on as it always does. `testo` is what the
    // remark is about.
    CHIAVE_SCONOSCIUTA,     // a key the section or record kind does not know
    VALORE_FLAG,            // a flag value other than TRUE or FALSE (the value)
    MARCATORE_PERSO,        // the line after a container or hiding-place record
                            // that is not its list marker and is lost
    RIGA_IN_LISTA,          // a line other than "[Oggetto]" in a content list
    SENZA_NOME,             // a record without a name (its opening marker)
    COLLEGAMENTO_MANCANTE,  // a link to a place not (yet) in the world
    OGGETTI_SENZA_LUOGO,    // an "[OggInLuogo]" place not (yet) in the world
    OGGETTO_RICHIESTO,      // an OBJ name of the end section
    RIGA_IGNORATA,          // a line that is neither a marker nor a key line
                            // where the loader passes over such lines: between
                            // sections, in "[OggInLuogo]" and "[Zaino]"
    APERTO_A_FINE,          // a section, record, list or text block that the
                            // file ends inside: the line and its opening marker
    // Lines that stop the game. `segnala` returns true to have the line
    // skipped instead; with false the game's fatal stop follows.
    RIGA_SENZA_UGUALE,  // a line without '=' inside a record (the line)
    LUOGO_PUNTATORI,    // "[PuntatoriALuogo]" selects a missing place
    LUOGO_INIZIO,       // INIZIO names a missing place
    LUOGO_FINE,         // FINELUOGO names a missing place
  };

  virtual ~osservatore() = default;
  virtual bool segnala(evento e, unsigned long riga, const std::string& testo) = 0;
  // An object or place record opened at line `riga` was built; `doppio` is
  // true when its holder already has the name and so refuses it.
  virtual void oggetto_letto(unsigned long riga, const oggetto& o, bool doppio) = 0;
  virtual void luogo_letto(unsigned long riga, const luogo& l, bool doppio) = 0;

  // The shape of the file as the readers walk it (the author tools' analysis
  // builds its outline and its references from these). A part (a section,
  // record, content or hidden list, or text block) opens at line `riga` with
  // `marcatore`, its opening marker as the format spells it, and later closes
  // at line `riga`: its closing marker, or the line before the one it ended
  // at (see `marcatore`). A part the file ends inside is told as
  // APERTO_A_FINE instead of closing.
  virtual void apre(unsigned long /*riga*/, std::string_view /*marcatore*/) {}
  virtual void chiude(unsigned long /*riga*/) {}
  // A key line read inside a section or record, split at its first '=':
  // both views lie inside the line, whose key starts at column 0. Returns
  // the key the reader is to take: `chiave` itself, as the game takes it,
  // or a part of it (the key without the blanks that end it).
  virtual std::string_view chiave(unsigned long /*riga*/, std::string_view chiave,
                                  std::string_view /*valore*/) {
    return chiave;
  }

  // How a reader is to take a line shaped like a marker that is none of the
  // markers it takes at this point. `come` empty: as the game takes it.
  // Otherwise the reader takes the marker `come` in its place; with `prima`
  // the line is read again after `come` (a closing marker the file lacks
  // before the line).
  struct lettura {
    std::string_view come;
    bool prima = false;
  };
  // Asked, with an observer only, about such a line at line `riga`.
  // `chiusura` is the closing marker of the part being read (empty between
  // sections and where a list's opening marker is due), `attesi` the markers
  // the reader takes here. By default the line is taken as the game takes
  // it (inside a record, where it would stop the game, an exact marker of
  // the format then ends the record before it: see `vaglia`).
  virtual lettura marcatore(unsigned long riga, std::string_view linea, std::string_view chiusura,
                            std::initializer_list<std::string_view> attesi);
};
