#pragma once
#include <iosfwd>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "objects/arena.h"
#include "objects/testo.h"

class luogo;
class oggetto;
class scrittura;

// Every holder of objects (a place, a container, a hiding place, the backpack)
// is an ordered map from the object's name to the object it owns. The key
// views the name inside the object, so each name is stored once; views
// compare as unsigned bytes, which is the order every listing follows. The
// nodes of a holder made in a world's arena come from that arena.
using mappa_oggetti =
    std::map<std::string_view, std::unique_ptr<oggetto>, std::less<>,
             alloc_mondo<std::pair<const std::string_view, std::unique_ptr<oggetto>>>>;

// Destroys the objects of `mappa` that lie in `a`: those of a world that is
// about to go, in a holder that outlives it.
void togli_del_mondo(mappa_oggetti& mappa, const arena& a);

// A game object: something the player can look at, take, light, open, move or
// use. Each action prints its own outcome to standard output; a refusal is a
// message and leaves the object unchanged. Objects are never copied: they move
// between holders as owning pointers. An object made while a world is being
// loaded lies in the world's arena with its texts (see arena.h).
class oggetto {
public:
  oggetto(std::string_view n, std::string_view d, bool i, bool t, bool s, bool a, bool ac,
          std::string_view sugg, std::string_view r);
  virtual ~oggetto();
  oggetto(const oggetto&) = delete;
  oggetto& operator=(const oggetto&) = delete;

  // Takes the object named `ogg` out of this one. The base object holds
  // nothing: it returns null and prints nothing.
  virtual std::unique_ptr<oggetto> estrai(const std::string& ogg, const std::string& tipo);
  // Prints "\n {nome} - {descrizione}\n".
  virtual void guarda() const;
  // The actions return `utente` unchanged: no object moves the player.
  virtual luogo* sposta(luogo*& utente, const std::string& ogg);
  virtual luogo* usa(luogo*& utente, const std::string& ogg);
  virtual luogo* apri(luogo*& utente, const std::string& ogg);
  // Writes the object's record (and, for holders, its list) to a world file.
  virtual void salva(scrittura& uscita) const;
  // A new object of the same kind, with the same texts and states and (for
  // holders) copies of what it holds: what reading its record again would
  // make. It lies where objects are made now (the active arena, if any).
  virtual std::unique_ptr<oggetto> copia() const;
  // Puts a copy of every object of `da` into `a`.
  static void copia_lista(const mappa_oggetti& da, mappa_oggetti& a);

  // Lights the object; the same for every kind of object.
  void accendi(const std::string& ogg);

  std::string nome() const { return nomeogg.str(); }
  std::string_view nome_ref() const { return nomeogg; }
  std::string descrizione() const { return desogg.str(); }
  int id() const { return idogg; }
  bool prendi() const { return trasportabile; }
  bool lux() const { return acceso; }
  bool contenitore() const { return cnt; }
  bool sugg() const { return !suggest.empty(); }
  std::string prntsugg() const { return suggest.str(); }
  void deletesugg() { suggest.clear(); }
  void spegni() { acceso = false; }

  // Read-only views for the author tools.
  bool illuminabile_() const { return illuminabile; }
  bool spostabile_() const { return spostabile; }
  bool apribile_() const { return apribile; }
  std::string_view reagente_() const { return reagente; }
  std::string_view suggerimento_() const { return suggest; }
  // Write access for the author tools' solver, which sets one live world to
  // each state it explores: whether the object is lit.
  void imposta_acceso(bool si) { acceso = si; }

  // Serial number of the next object constructed; never reset.
  static int CodOgg;

  // Objects lie in the active arena, if any (arena.h); `delete` finds where.
  static void* operator new(std::size_t n);
  static void operator delete(void* p, std::size_t n);
  // How many objects live on the heap (made outside any arena). While there
  // are none, no world can hold an object that its arena does not hold.
  static std::size_t sul_heap;

  // The hint rule: prints "\n{suggest}\n" once, then forgets the hint; an
  // empty hint prints nothing.
  void mostra_sugg();

protected:
  // The reagent rule: which of the four branches an action with capability
  // `flag`, offered `ogg`, takes. 1 succeeds; 2 wrong object; 3 one needed;
  // 4 the object cannot do it.
  int regola(bool flag, const std::string& ogg) const;
  // The open action of the objects that keep an open state (containers and
  // obstructions). Prints every outcome but the success: "already open", the
  // wrong object offered, another one needed, or "\n - L'oggetto {nome}"
  // followed by `incapace` when the object cannot be opened. True when the
  // object is to open now; the caller then opens it and reports.
  bool da_aprire(bool aperto, const std::string& ogg, const char* incapace) const;
  // Writes "\n" + `apertura` and every key line up to ACCESO; obstructions
  // pass their direction, which stands between REAGENTE and ILLUMINABILE.
  void scrivi_chiavi(scrittura& uscita, std::string_view apertura, const testo* direzione) const;
  // Writes each object of `mappa` with its own `salva`, in name order.
  static void scrivi_lista(scrittura& uscita, const mappa_oggetti& mappa);

  int idogg;
  // The texts: the world's arena owns their bytes for an object of a loaded
  // world; an object made outside one owns heap copies (testo.h).
  testo nomeogg;
  testo desogg;
  bool illuminabile;
  bool acceso;
  bool trasportabile;
  bool spostabile;
  bool apribile;
  bool cnt;
  testo suggest;
  testo reagente;
};
