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

// Tells the observer, if there is one, that the file ended inside the part
// (section, record, list or text block) opened at line `riga` and closed by
// `chiusura`.
void aperto_a_fine(lettore& s, unsigned long riga, std::string_view chiusura);

// After a line that stops the game and that an observer had skipped: the
// lines up to the next marker are passed over and that marker is put back
// to be read again, so one broken line makes one report. True when the
// record goes on (the marker is one of `propri`, or the file has ended),
// false when the marker belongs to someone else and the record ends there.
bool risincronizza(lettore& s, std::initializer_list<std::string_view> propri);

// Tells the observer, if there is one, that the record opened at line `riga`
// built `o`, which is about to join a holder whose objects are `gia`.
inline void annuncia(lettore& s, unsigned long riga, const oggetto& o, const mappa_oggetti& gia) {
  if (osservatore* oss = s.osserva()) oss->oggetto_letto(riga, o, gia.count(o.nome_ref()) != 0);
}
