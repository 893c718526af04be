#pragma once
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>

#include "objects/oggcont.h"
#include "objects/oggetto.h"
#include "objects/oggnasc.h"
#include "objects/oggostr.h"
#include "places/luogo.h"
#include "world/righe.h"

// The record readers. Each is called with the stream positioned after the
// record's opening marker and reads up to its closing marker (or the end of
// the file). On success it fills `a` with a new object or place; a record
// without a name prints its message and leaves `a` as it was. A line without
// '=' inside a record is fatal: the reader prints its message and ends the
// program through the console layer.
lettore& operator>>(lettore& s, std::unique_ptr<oggetto>& a);
lettore& operator>>(lettore& s, std::unique_ptr<oggostr>& a);
lettore& operator>>(lettore& s, std::unique_ptr<oggcont>& a);
lettore& operator>>(lettore& s, std::unique_ptr<oggnasc>& a);
lettore& operator>>(lettore& s, std::unique_ptr<luogo>& a);

// True for the opening markers of the four object records.
bool marcatore_oggetto(std::string_view linea);
// Reads the object record opened by `marcatore` (one of the four object
// markers) with its reader; null when the record had no name. `marcatore`
// may be the line `s` read last: it is looked at before the record is read.
std::unique_ptr<oggetto> leggi_oggetto(lettore& s, std::string_view marcatore);

// Appends the lines of the text block opened by `apertura`, each with its
// line feed, to `testo`, up to the block's closing marker `chiusura` or the
// end of the file.
void leggi_blocco(lettore& s, std::string_view apertura, std::string_view chiusura,
                  std::string& testo);

// Tells the observer, if there is one, that the file ended inside the part
// (section, record, list or text block) opened at line `riga` and closed by
// `chiusura`.
void aperto_a_fine(lettore& s, unsigned long riga, std::string_view chiusura);

// After a line that stops the game and that an observer had skipped: the
// lines up to the next line shaped like a marker are passed over and that
// line is put back to be read again, so one broken line makes one report.
void risincronizza(lettore& s);

// True for a line shaped like a marker: '[' ... ']', blanks or tabs around
// allowed (a marker written wrong is still shaped like one).
bool forma_di_marcatore(std::string_view linea);
// Every marker of the format, the openers of the top-level sections first.
constexpr int NUM_MARCATORI = 32;
extern const std::string_view marcatori_formato[NUM_MARCATORI];
// True for the opening marker of a top-level section.
bool marcatore_di_sezione(std::string_view linea);
// True for any marker of the format, exactly as it is spelt.
bool marcatore_del_formato(std::string_view linea);

std::string_view vaglia_osservata(lettore& s, osservatore& o, std::string_view linea,
                                  std::string_view chiusura,
                                  std::initializer_list<std::string_view> attesi, bool record);
// The line `linea`, just read, as the reader is to take it. Without an
// observer (the game) it is `linea` itself, for one pointer test. With one,
// a line shaped like a marker that is none of `attesi` is offered to the
// observer (`osservatore::marcatore`), which may have it read as another
// marker, or have the part closed by `chiusura` end before it (the line is
// then put back). Inside a record (`record`), where such a line would stop
// the game, an exact marker of the format that the observer leaves as it
// is ends the record before it.
inline std::string_view vaglia(lettore& s, std::string_view linea, std::string_view chiusura,
                               std::initializer_list<std::string_view> attesi,
                               bool record = false) {
  osservatore* o = s.osserva();
  if (o == nullptr) return linea;
  return vaglia_osservata(s, *o, linea, chiusura, attesi, record);
}

// Tells the observer, if there is one, that a part opens at the line read
// last with `marcatore`.
inline void apre(lettore& s, std::string_view marcatore) {
  if (osservatore* o = s.osserva()) o->apre(s.riga(), marcatore);
}
// Tells the observer of a key line, just read and split; the key to take.
inline std::string_view chiave_letta(lettore& s, std::string_view chiave, std::string_view valore) {
  osservatore* o = s.osserva();
  return o == nullptr ? chiave : o->chiave(s.riga(), chiave, valore);
}
// The end of the part opened at line `inizio` and closed by `chiusura`:
// `chiusa` when its closing marker was read (the observer hears it closed),
// otherwise the file ended inside it (see `aperto_a_fine`).
inline void fine_parte(lettore& s, unsigned long inizio, std::string_view chiusura,
                       bool chiusa) {
  if (!chiusa) {
    aperto_a_fine(s, inizio, chiusura);
  } else if (osservatore* o = s.osserva()) {
    o->chiude(s.riga());
  }
}

// Tells the observer, if there is one, that the record opened at line `riga`
// built `o`, which is about to join a holder whose objects are `gia`.
inline void annuncia(lettore& s, unsigned long riga, const oggetto& o, const mappa_oggetti& gia) {
  if (osservatore* oss = s.osserva()) oss->oggetto_letto(riga, o, gia.count(o.nome_ref()) != 0);
}
