#pragma once
#include <climits>
#include <map>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "analisi/analisi.h"
#include "analisi/testo.h"
#include "world/osservatore.h"

// The end of a stretch that runs to the end of its line, before the columns
// are turned into the author's characters.
constexpr unsigned long FINO_A_FINE_RIGA = ULONG_MAX;

// What a use of a name is, beyond its being a place or an object.
enum class uso {
  collegamento,
  nomeluogo_oggetti,
  nomeluogo_puntatori,
  inizio,
  fineluogo,
  reagente,
  obj
};

// The observer the analysis installs in the game's loader. While the world
// loads it hears every part opened and closed, every key line and every
// remark, and answers the readers' questions about lines shaped like markers
// (a misspelt marker is read as the one it resembles, a missing closing
// marker is supplied before the marker that shows it missing), so the load
// goes on as it would in the mended file and one mistake makes one
// diagnostic. It fills the diagnostics, symbols and references of `r`, in
// bytes of the text read: `analizza` turns the columns into characters.
class ascoltatore : public osservatore {
public:
  ascoltatore(const righe_testo& righe, std::size_t dimensione, risultato& r) : righe(righe), r(r) {
    // A record takes 200 bytes or more, and names a place or object in a few
    // lines: room for them all at once, which a big world would otherwise
    // move again and again.
    r.simboli.reserve(dimensione / 200);
    r.riferimenti.reserve(dimensione / 200);
  }

  bool segnala(evento e, unsigned long riga, const std::string& testo) override;
  void oggetto_letto(unsigned long riga, const oggetto& o, bool doppio) override;
  void luogo_letto(unsigned long riga, const luogo& l, bool doppio) override;
  void apre(unsigned long riga, std::string_view marcatore) override;
  void chiude(unsigned long riga) override;
  std::string_view chiave(unsigned long riga, std::string_view chiave,
                          std::string_view valore) override;
  lettura marcatore(unsigned long riga, std::string_view linea, std::string_view chiusura,
                    std::initializer_list<std::string_view> attesi) override;

  // The loader stopped at a line no observer can skip.
  void fermato();
  // After the load: the place-name remarks become diagnostics, the
  // references are resolved and nameless records leave the outline.
  void concludi();

  // Adds a diagnostic at line `riga` (0: the file), over bytes [da, a).
  diagnostica& aggiungi(unsigned long riga, gravita g, std::string codice, std::string testo,
                        unsigned long da = 0, unsigned long a = FINO_A_FINE_RIGA);

  // The line of the record of place `nome` (its first), or 0.
  unsigned long riga_di(std::string_view nome) const;
  // The line of the record of object number `id`, or 0.
  unsigned long riga_di(int id) const;
  // The symbol of the first place record named `nome`, or -1.
  long simbolo_luogo(std::string_view nome) const;
  // The kind of each reference of `r.riferimenti`, in the same order.
  const std::vector<uso>& usi() const { return tipi_uso; }
  // The symbol each reference of `r.riferimenti` stands in, or -1.
  const std::vector<long>& contenitori() const { return proprietari; }
  // Where each place's exit `direzione` was set: the last link line.
  const intervallo* collegamento(std::string_view luogo, int direzione) const;

  bool inizio_mancante = false;  // INIZIO named a missing place: reported already

private:
  struct parte {
    std::string_view apertura;
    std::string_view chiusura;
    unsigned long riga = 0;
    long simbolo = -1;  // its symbol, or (a list) its holder's
    bool record = false, lista = false, blocco = false;
    bool mancante = false;  // its closing marker was supplied: reported already
    // A text block: the line of its closing marker, known to follow a line
    // in it shaped like another part's marker (reported already), or 0.
    unsigned long fine_testo = 0;
    unsigned long ultima = 0;
    std::vector<diagnostica> sospese;  // a record's remarks, kept until it closes
  };
  struct nome_luogo {  // a place named by a line, for after the load
    evento e;
    unsigned long riga;
    std::string nome;
    unsigned long da, a;
  };

  void manca_fine(unsigned long riga_dopo, bool a_fine_file);
  void nel_record(unsigned long riga, gravita g, std::string codice, std::string testo,
                  unsigned long da = 0, unsigned long a = FINO_A_FINE_RIGA);
  void in_lista(unsigned long riga, const std::string& linea);
  // A use of the name `valore`, the value of the key line just heard.
  void riferisci(unsigned long riga, uso u, std::string_view valore);
  long simbolo_alla_riga(unsigned long riga) const;
  bool resta_in_lista(unsigned long riga, std::string_view marcatore,
                      std::string_view chiusura) const;
  bool resta_nel_testo(unsigned long riga, std::string_view linea);
  unsigned long chiusura_che_segue(unsigned long riga, std::string_view chiusura);

  const righe_testo& righe;
  risultato& r;
  std::vector<parte> parti;
  std::vector<uso> tipi_uso;
  std::vector<long> proprietari;
  std::vector<nome_luogo> nomi_luoghi;
  std::unordered_map<std::string, long> luoghi;  // first record of each place name
  // Object number and the line of its record, sorted by number at the end.
  std::vector<std::pair<int, unsigned long>> righe_oggetti;
  std::map<std::pair<std::string, int>, intervallo> uscite;
  // For each text block's closing marker, the lines last searched for it:
  // from `da` the first line that closes such a block or opens a section is
  // `fermata`, and `fine` is that line if it closes, else 0.
  struct ricerca {
    std::string_view chiusura;
    unsigned long da = 0, fermata = 0, fine = 0;
  };
  std::vector<ricerca> ricerche;
  std::string selezionato;    // the place "[PuntatoriALuogo]" sets the exits of
  std::string fine_derivato;  // closing marker of a derived record met in a list
  unsigned long ultima_riga = 0;
  long ultimo_chiuso = -1;            // the symbol of the record closed last
  unsigned long riga_detta = 0;       // a line already reported when asked about
  unsigned long riga_sostituita = 0;  // a line read as the marker it resembles
  // The value of the last key line, for remarks about that line.
  unsigned long riga_valore = 0, da_valore = 0, a_valore = 0;
  bool fine_file = false;  // a part open at the end of the file: reported already
};
