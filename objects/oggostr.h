#pragma once
#include "objects/oggetto.h"

// An obstruction: an object that blocks one direction of the place it stands
// in. Opening, moving or using it with the right object clears the blockage
// through the current place's `delostr`.
class oggostr : public oggetto {
public:
  oggostr(std::string_view n, std::string_view d, bool i, bool t, bool s, bool a, bool ac,
          std::string_view sugg, std::string_view r, std::string_view dir, bool aperto);
  ~oggostr() override;

  luogo* sposta(luogo*& utente, const std::string& ogg) override;
  luogo* usa(luogo*& utente, const std::string& ogg) override;
  luogo* apri(luogo*& utente, const std::string& ogg) override;
  void salva(scrittura& uscita) const override;
  std::unique_ptr<oggetto> copia() const override;

  std::string_view direzione_() const { return direzione; }
  bool aperto() const { return stato; }
  // Write access for the author tools' solver, which sets one live world to
  // each state it explores.
  void imposta_aperto(bool si) { stato = si; }

protected:
  testo direzione;
  bool stato;
};
