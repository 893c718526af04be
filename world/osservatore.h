#pragma once
#include <string>

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
};
