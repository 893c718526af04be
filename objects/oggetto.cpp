#include "objects/oggetto.h"

#include <iostream>

#include "objects/accenti.h"

int oggetto::CodOgg = 0;
std::size_t oggetto::sul_heap = 0;

void* oggetto::operator new(std::size_t n) {
  void* p = arena::nuovo(n);
  if (arena::attiva() == nullptr) ++sul_heap;
  return p;
}

void oggetto::operator delete(void* p, std::size_t n) {
  if (arena::elimina(p, n)) --sul_heap;
}

oggetto::oggetto(std::string_view n, std::string_view d, bool i, bool t, bool s, bool a, bool ac,
                 std::string_view sugg, std::string_view r)
    : idogg(CodOgg++),
      nomeogg(n),
      desogg(d),
      illuminabile(i),
      acceso(ac),
      trasportabile(t),
      spostabile(s),
      apribile(a),
      cnt(false),
      suggest(sugg),
      reagente(r) {}

oggetto::~oggetto() = default;

void togli_del_mondo(mappa_oggetti& mappa, const arena& a) {
  for (auto it = mappa.begin(); it != mappa.end();) {
    if (a.contiene(it->second.get())) {
      it = mappa.erase(it);
    } else {
      ++it;
    }
  }
}

int oggetto::regola(bool flag, const std::string& ogg) const {
  if (flag && ogg == reagente.vista()) return 1;
  if (flag && !ogg.empty()) return 2;
  if (flag && !reagente.empty()) return 3;
  return 4;
}

void oggetto::mostra_sugg() {
  if (suggest.empty()) return;
  std::cout << '\n' << suggest << '\n';
  suggest.clear();
}

std::unique_ptr<oggetto> oggetto::estrai(const std::string&, const std::string&) { return nullptr; }

std::unique_ptr<oggetto> oggetto::copia() const {
  return std::make_unique<oggetto>(nomeogg, desogg, illuminabile, trasportabile, spostabile,
                                   apribile, acceso, suggest, reagente);
}

// The copies come in name order: each goes in at the end of `a` with a
// single comparison, when `a` held nothing beyond them.
void oggetto::copia_lista(const mappa_oggetti& da, mappa_oggetti& a) {
  for (const auto& voce : da) {
    std::unique_ptr<oggetto> o = voce.second->copia();
    const std::string_view chiave = o->nome_ref();
    a.try_emplace(a.end(), chiave, std::move(o));
  }
}

void oggetto::guarda() const { std::cout << "\n " << nomeogg << " - " << desogg << '\n'; }

void oggetto::accendi(const std::string& ogg) {
  switch (regola(illuminabile, ogg)) {
    case 1:
      if (acceso) {
        std::cout << "\n - L'oggetto " << nomeogg << " " E_GRAVE " gi" A_GRAVE " acceso.\n";
      } else {
        acceso = true;
        std::cout << "\n - Hai acceso l'oggetto " << nomeogg << ".\n";
      }
      break;
    case 2:
      std::cout << "\n - L'oggetto " << nomeogg << " non si accende con l'oggetto " << ogg << ".\n";
      break;
    case 3:
      std::cout << "\n - Hai bisogno di un'altro oggetto per accendere l'oggetto " << nomeogg
                << ".\n";
      break;
    default:
      std::cout << "\n - L'oggetto " << nomeogg << " non si accende!\n";
  }
}

// Only a light source reacts to being used: it lights as `accendi` would.
luogo* oggetto::usa(luogo*& utente, const std::string& ogg) {
  if (illuminabile) accendi(ogg);
  return utente;
}

// The base object keeps no open state, so opening it again succeeds again.
// Offered an object while it needs none, it is "not openable" (branch 2 here
// requires a reagent).
luogo* oggetto::apri(luogo*& utente, const std::string& ogg) {
  int caso = regola(apribile, ogg);
  if (caso == 2 && reagente.empty()) caso = 4;
  switch (caso) {
    case 1:
      std::cout << "\n Hai aperto l'oggetto " << nomeogg << ".\n";
      break;
    case 2:
      std::cout << "\n - Non puoi aprire l'oggetto " << nomeogg << " con l'oggetto " << ogg
                << ".\n";
      break;
    case 3:
      std::cout << "\n - Hai bisogno di un'altro oggetto per aprire l'oggetto " << nomeogg << ".\n";
      break;
    default:
      std::cout << "\n - L'oggetto " << nomeogg << " non " E_GRAVE " apribile.\n";
  }
  return utente;
}

bool oggetto::da_aprire(bool aperto, const std::string& ogg, const char* incapace) const {
  switch (regola(apribile, ogg)) {
    case 1:
      if (!aperto) return true;
      std::cout << "\n - L'oggetto " << nomeogg << " " E_GRAVE " gi" A_GRAVE " aperto.\n";
      break;
    case 2:
      std::cout << "\n - L'oggetto " << nomeogg << " non si apre con l'oggetto " << ogg << ".\n";
      break;
    case 3:
      std::cout << "\n - L'oggetto " << nomeogg << " ha bisogno di un altro oggetto per aprirsi.\n";
      break;
    default:
      std::cout << "\n - L'oggetto " << nomeogg << incapace;
  }
  return false;
}

luogo* oggetto::sposta(luogo*& utente, const std::string& ogg) {
  switch (regola(spostabile, ogg)) {
    case 1:
      std::cout << "\n - Hai spostato l'oggetto " << nomeogg << ".\n";
      break;
    case 2:
      std::cout << "\n - L'oggetto " << nomeogg << " non si sposta con l'oggetto " << ogg << ".\n";
      break;
    case 3:
      std::cout << "\n - L'oggetto " << nomeogg
                << " ha bisogno di un'altro oggetto per spostarsi.\n";
      break;
    default:
      std::cout << "\n - Non puoi spostare " << nomeogg
                << " perch" E_GRAVE " " E_GRAVE " troppo pesante.\n";
  }
  return utente;
}
