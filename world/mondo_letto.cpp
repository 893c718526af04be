#include "world/mondo_letto.h"

#include "world/righe.h"

mondo_letto mondo_da_testo(std::string dati) {
  mondo_letto letto;
  if (!utf8_non_ascii(dati)) {
    letto.esito = mondo_letto::LETTO;
    letto.testo = std::move(dati);
    return letto;
  }
  letto.conversione = converti_in_cp850(dati);
  if (!letto.conversione.riuscita) {
    letto.esito = mondo_letto::NON_CONVERTIBILE;
    return letto;
  }
  letto.esito = mondo_letto::CONVERTITO;
  letto.testo = std::move(letto.conversione.testo);
  return letto;
}

mondo_letto leggi_mondo(const std::string& nome) {
  std::string dati;
  if (!leggi_intero(nome.c_str(), dati)) return {};
  return mondo_da_testo(std::move(dati));
}

std::string nota_conversione(const std::string& nome) {
  return nome + ": nota: file in UTF-8, convertito nella code page 850 del gioco";
}
