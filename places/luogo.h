#pragma once
#include <iosfwd>
#include <string>
#include <string_view>

#include "objects/oggetto.h"

class oggcont;
class scrittura;

// The six directions, in the order the saver writes them.
enum direzione { NORD, SUD, EST, OVEST, ALTO, BASSO, NUM_DIREZIONI };

// One room of the world. It owns the objects lying in it; its six links to
// other places do not own. Every operation prints its own outcome. A place
// made while a world is being loaded lies in the world's arena with its texts
// and the nodes of its objects' map (see arena.h).
class luogo {
public:
  luogo(std::string_view n, std::string_view sopran, std::string_view d, bool i, bool st,
        std::string_view sugg);
  ~luogo();
  luogo(const luogo&) = delete;
  luogo& operator=(const luogo&) = delete;

  // Puts the object into the place. A name already present keeps the earlier
  // object; the refused one is destroyed.
  luogo& operator+=(std::unique_ptr<oggetto> ogg);
  // A new place with the same texts, states, obstructions and copies of the
  // objects lying here, made where places are made now (the active arena, if
  // any). Its links are left empty: they lead to places of the copy's world,
  // which `collega` sets.
  std::unique_ptr<luogo> copia() const;
  void collega(direzione d, luogo* l) { link[d] = l; }
  std::string name() const { return nome.str(); }
  std::string_view nome_ref() const { return nome; }
  int id() const { return idluogo; }

  void pnord(luogo& n) { link[NORD] = &n; }
  void psud(luogo& s) { link[SUD] = &s; }
  void pest(luogo& e) { link[EST] = &e; }
  void povest(luogo& o) { link[OVEST] = &o; }
  void palto(luogo& a) { link[ALTO] = &a; }
  void pbasso(luogo& b) { link[BASSO] = &b; }
  // The obstruction texts; a place of a world keeps them in its arena.
  void Onord(std::string_view StrN) { ostr[NORD] = testo(StrN, memoria); }
  void Osud(std::string_view StrS) { ostr[SUD] = testo(StrS, memoria); }
  void Oest(std::string_view StrE) { ostr[EST] = testo(StrE, memoria); }
  void Oovest(std::string_view StrO) { ostr[OVEST] = testo(StrO, memoria); }
  void Oalto(std::string_view StrA) { ostr[ALTO] = testo(StrA, memoria); }
  void Obasso(std::string_view StrB) { ostr[BASSO] = testo(StrB, memoria); }

  void cambiastato() { stato = true; }
  // Destroys the objects lying here that lie in `a` (the placeholder place
  // outlives the world whose objects the player dropped in it).
  void svuota(const arena& a) { togli_del_mondo(oggetti, a); }
  // The full look: the whole place when `ogg` is empty, else one object.
  void guarda(const std::string& ogg);
  // The short description printed on arrival at a visited place.
  void prnt_des() const;
  // Adds to `trovato` the number of objects lying here named `nomeobj`.
  void ricerca(const std::string& nomeobj, unsigned& trovato) const;

  // Movement: moves `utente` along the link named by `s` and shows the place
  // reached; a missing or blocked link is refused with its message.
  luogo* vai(luogo*& utente, const std::string& s);
  // Clears the obstruction text of a direction word.
  void delostr(std::string_view direzione);

  // The player's actions on the objects of this place.
  luogo& prendi(const std::string& ogg, oggcont& zaino);
  luogo* lascia(luogo*& utente, const std::string& ogg, oggcont& zaino);
  luogo* apri(luogo*& utente, oggcont& zaino, const std::string& ogg1, const std::string& ogg2);
  void accendi(oggcont& zaino, const std::string& ogg1, const std::string& ogg2);
  luogo* usa(luogo*& utente, oggcont& zaino, const std::string& ogg1, const std::string& ogg2);
  luogo* sposta(luogo*& utente, const std::string& ogg1, const std::string& ogg2);

  // The place's record with its objects, and its links and obstructions.
  void salva(std::ostream& uscita) const;
  void salva(scrittura& uscita) const;
  void salvap(scrittura& uscita) const;
  // Asks the cache for what `salvap` reads from the places this one links
  // to, which lie anywhere in the world: those places, or (once they have
  // come) the bytes of their names. A saver that asks a few places ahead
  // overlaps those misses instead of waiting for each in turn.
  void anticipa_salvap(bool nomi) const;

  // Read-only views for the author tools.
  std::string_view sopranome_() const { return sopranome; }
  bool illuminazione_() const { return illuminazione; }
  bool visitato() const { return stato; }
  luogo* collegamento(direzione d) const { return link[d]; }
  std::string_view ostruzione(direzione d) const { return ostr[d]; }
  const mappa_oggetti& oggetti_() const { return oggetti; }
  std::string_view descrizione_() const { return descrizione; }
  std::string_view suggerimento_() const { return suggest; }
  // Write access for the author tools' solver, which sets one live world to
  // each state it explores: the objects lying here and the obstruction text
  // of one exit.
  mappa_oggetti& oggetti_mod() { return oggetti; }
  // A text set here is a heap copy: the world's arena is not grown by play.
  void imposta_ostruzione(direzione d, std::string_view t) { ostr[d] = testo(t); }

  // Serial number of the next place constructed; never reset.
  static int luogocod;

  // Places lie in the active arena, if any (arena.h); `delete` finds where.
  static void* operator new(std::size_t n) { return arena::nuovo(n); }
  static void operator delete(void* p, std::size_t n) { arena::elimina(p, n); }

private:
  // Lit by its own light, or by a lit object lying directly in it.
  bool illuminato() const;

  int idluogo;
  // The arena active when the place was made (null outside a load), which
  // owns the bytes of its texts, the obstruction texts given to it later
  // included; a place made outside a load owns heap copies. Not owning.
  arena* memoria;
  testo sopranome;
  testo nome;
  testo descrizione;
  mappa_oggetti oggetti;
  luogo* link[NUM_DIREZIONI] = {};
  testo ostr[NUM_DIREZIONI];
  bool stato;
  bool illuminazione;
  testo suggest;
};
