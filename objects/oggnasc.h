#pragma once
#include "objects/oggetto.h"

// A hiding place: a rug with a key under it, a painting with a safe behind it.
// Moving it, or using it with the right object, puts every hidden object into
// the current place.
class oggnasc : public oggetto {
public:
  oggnasc(std::string_view n, std::string_view d, bool i, bool t, bool s, bool a, bool ac,
          std::string_view sugg, std::string_view r);
  ~oggnasc() override;

  // Hides the object. A name already hidden here keeps the earlier object;
  // the refused one is destroyed. Prints nothing.
  oggnasc& operator*=(std::unique_ptr<oggetto> ogg);

  luogo* sposta(luogo*& utente, const std::string& ogg) override;
  luogo* usa(luogo*& utente, const std::string& ogg) override;
  void salva(scrittura& uscita) const override;
  std::unique_ptr<oggetto> copia() const override;

  const mappa_oggetti& nascosti() const { return nascondiglio; }
  // Write access for the author tools' solver, which sets one live world to
  // each state it explores.
  mappa_oggetti& nascosti_mod() { return nascondiglio; }

protected:
  // Moves every hidden object into the current place, in name order.
  void rivela(luogo& utente);

  mappa_oggetti nascondiglio;
};
