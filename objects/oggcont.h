#pragma once
#include "objects/oggetto.h"

// A container: a chest, a drawer, a bag, and the player's backpack. It owns
// its contents; while open, the player can look into it and take objects out
// of it, each take confirmed by a yes/no question.
class oggcont : public oggetto {
public:
  oggcont(std::string_view n, std::string_view d, bool i, bool t, bool s, bool a, bool ac,
          std::string_view sugg, std::string_view r, bool st);
  ~oggcont() override;

  // Stores the object under its name. A name already held keeps the earlier
  // object; the refused one is destroyed. Prints nothing.
  oggcont& operator+=(std::unique_ptr<oggetto> ogg);
  // True when an object named exactly `ogg` is inside, open or not.
  bool search(const std::string& ogg) const { return cont.count(ogg) != 0; }

  // `tipo` "zaino": hand the object out without a question (the backpack's
  // mode). Any other `tipo` is the name the caller knows this container by:
  // the player is asked, and only an open container gives out a carryable
  // object.
  std::unique_ptr<oggetto> estrai(const std::string& ogg, const std::string& tipo) override;
  void guarda() const override;
  luogo* usa(luogo*& utente, const std::string& ogg) override;
  luogo* apri(luogo*& utente, const std::string& ogg) override;
  void salva(scrittura& uscita) const override;
  std::unique_ptr<oggetto> copia() const override;
  // Writes the backpack's list: the contents between the list markers.
  void salvazaino(scrittura& uscita) const;

  // Destroys every object inside; a new game starts with an empty backpack.
  void svuota() { cont.clear(); }
  // Destroys the objects inside that lie in `a` (those of a world that goes).
  void svuota(const arena& a) { togli_del_mondo(cont, a); }
  const mappa_oggetti& contenuto() const { return cont; }
  bool aperto() const { return stato; }
  // Write access for the author tools' solver, which sets one live world to
  // each state it explores: the open state and the contents themselves.
  void imposta_aperto(bool si) { stato = si; }
  mappa_oggetti& contenuto_mod() { return cont; }

protected:
  mappa_oggetti cont;
  bool stato;
};
