#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <streambuf>
#include <string_view>

#include "game/ambiente.h"
#include "world/scrittura.h"

// ---------------------------------------------------------------------------
// Object and place writers: each record starts with a line feed and its
// opening marker, and every key of its kind follows, empty values included.

namespace {

std::string_view flag(bool b) { return b ? "TRUE" : "FALSE"; }

// A key line with its flag value, "\nKEY=TRUE" or "\nKEY=FALSE", in one
// piece whose length the compiler knows, so that it copies it in place.
template <class W, std::size_t V, std::size_t F>
void scrivi_flag(W& w, bool b, const char (&vero)[V], const char (&falso)[F]) {
  if (b) {
    w << std::string_view(vero, V - 1);
  } else {
    w << std::string_view(falso, F - 1);
  }
}

}  // namespace

void scrittura::svuota() {
  scrivi(dati, usati);
  usati = 0;
}

void scrittura::lungo(std::string_view s) {
  const std::size_t parte = misura - usati;
  std::memcpy(dati + usati, s.data(), parte);
  usati = misura;
  svuota();
  s.remove_prefix(parte);
  if (s.size() >= misura) {
    const std::size_t intere = s.size() - s.size() % misura;
    scrivi(s.data(), intere);
    s.remove_prefix(intere);
  }
  std::memcpy(dati, s.data(), s.size());
  usati = s.size();
}

void scrittura::scrivi(const char* p, std::size_t n) {
  if (n == 0 || !uscita.good()) return;
  const auto quanti = static_cast<std::streamsize>(n);
  if (uscita.rdbuf()->sputn(p, quanti) != quanti) uscita.setstate(std::ios::badbit);
}

// The keys of an object are most of a save: their bytes are counted first,
// so that they go into the buffer without a check per piece.
void oggetto::scrivi_chiavi(scrittura& uscita, std::string_view apertura,
                            const testo* direzione) const {
  const auto scrivi = [&](auto& w) {
    w << '\n'
      << apertura << "\nNOMEOGGETTO=" << nomeogg << "\nDESCRIZIONE=" << desogg
      << "\nSUGGERIMENTO=" << suggest << "\nREAGENTE=" << reagente;
    if (direzione != nullptr) w << "\nDIREZIONE=" << *direzione;
    scrivi_flag(w, illuminabile, "\nILLUMINABILE=TRUE", "\nILLUMINABILE=FALSE");
    scrivi_flag(w, trasportabile, "\nTRASPORTABILE=TRUE", "\nTRASPORTABILE=FALSE");
    scrivi_flag(w, spostabile, "\nSPOSTABILE=TRUE", "\nSPOSTABILE=FALSE");
    scrivi_flag(w, apribile, "\nAPRIBILE=TRUE", "\nAPRIBILE=FALSE");
    scrivi_flag(w, acceso, "\nACCESO=TRUE", "\nACCESO=FALSE");
  };
  // Every key with the longer value of each flag, and the texts.
  const std::size_t chiavi = 1 + apertura.size() +
                             sizeof "\nNOMEOGGETTO=\nDESCRIZIONE=\nSUGGERIMENTO=\nREAGENTE="
                                    "\nDIREZIONE=\nILLUMINABILE=FALSE\nTRASPORTABILE=FALSE"
                                    "\nSPOSTABILE=FALSE\nAPRIBILE=FALSE\nACCESO=FALSE";
  const std::size_t serve = chiavi + nomeogg.vista().size() + desogg.vista().size() +
                            suggest.vista().size() + reagente.vista().size() +
                            (direzione != nullptr ? direzione->vista().size() : 0);
  if (char* p = uscita.riserva(serve)) {
    diretta w(uscita, p);
    scrivi(w);
  } else {
    scrivi(uscita);
  }
}

void oggetto::scrivi_lista(scrittura& uscita, const mappa_oggetti& mappa) {
  for (const auto& voce : mappa) voce.second->salva(uscita);
}

void oggetto::salva(scrittura& uscita) const {
  scrivi_chiavi(uscita, "[Oggetto]", nullptr);
  uscita << "\n[EndOggetto]\n";
}

void oggostr::salva(scrittura& uscita) const {
  scrivi_chiavi(uscita, "[OggOstruzione]", &direzione);
  uscita << "\nAPERTO=" << flag(stato) << "\n[EndOggOstruzione]\n";
}

void oggcont::salva(scrittura& uscita) const {
  scrivi_chiavi(uscita, "[OggContenitore]", nullptr);
  uscita << "\nAPERTO=" << flag(stato) << "\n[EndOggContenitore]\n\n[OggInContenitore]\n";
  scrivi_lista(uscita, cont);
  uscita << "[EndOggInContenitore]\n";
}

void oggcont::salvazaino(scrittura& uscita) const {
  uscita << "[OggInContenitore]\n";
  scrivi_lista(uscita, cont);
  uscita << "\n[EndOggInContenitore]\n";
}

void oggnasc::salva(scrittura& uscita) const {
  scrivi_chiavi(uscita, "[OggNascondiglio]", nullptr);
  uscita << "\n[EndOggNascondiglio]\n\n[OggNascosti]\n";
  scrivi_lista(uscita, nascondiglio);
  uscita << "[EndOggNascosti]\n";
}

void luogo::salva(scrittura& uscita) const {
  uscita << "[Luogo]\nNOMELUOGO=" << nome << "\nSOPRANOME=" << sopranome
         << "\nILLUMINAZIONE=" << flag(illuminazione) << "\nSTATO=" << flag(stato)
         << "\n[Descrizione]\n"
         << descrizione << "[EndDescrizione]\n[Suggerimento]\n"
         << suggest << "[EndSuggerimento]\n[EndLuogo]\n\n[OggInLuogo]\nNOMELUOGO=" << nome << '\n';
  for (const auto& voce : oggetti) voce.second->salva(uscita);
  uscita << "[EndOggInLuogo]\n\n";
}

void luogo::salva(std::ostream& uscita) const {
  scrittura t(uscita);
  salva(t);
}

void luogo::salvap(scrittura& uscita) const {
  static const std::string_view chiavi[NUM_DIREZIONI] = {"NORD",  "SUD",  "EST",
                                                         "OVEST", "ALTO", "BASSO"};
  uscita << "\n[PuntatoriALuogo]\nNOMELUOGO=" << nome;
  for (int d = 0; d < NUM_DIREZIONI; ++d) {
    uscita << '\n' << chiavi[d] << '=' << (link[d] != nullptr ? link[d]->nome.vista() : "NULL");
  }
  for (int d = 0; d < NUM_DIREZIONI; ++d) {
    uscita << "\nOSTRUZIONE" << chiavi[d] << '=' << ostr[d];
  }
  uscita << "\n[EndPuntatoriALuogo]\n";
}

void luogo::anticipa_salvap(bool nomi) const {
  for (const luogo* l : link) {
    if (l == nullptr) continue;
    if (nomi) {
      __builtin_prefetch(l->nome.vista().data());
    } else {
      __builtin_prefetch(&l->nome);
    }
  }
}

// The start section names the current place; in the placeholder place there
// is none to name, so the file loads back into the placeholder. Without an
// end place the line before the closing message is still ended, so the
// message block reads back as it was written.
void ambiente::salva_su(std::ostream& uscita) const {
  // The world's storage is about as large as its file.
  scrittura t(uscita, memoria.riservati());
  t << "[Titolo]\n" << titolo << "[EndTitolo]\n\n[Zaino]\n";
  zaino.salvazaino(t);
  t << "[EndZaino]\n\n";
  for (const auto& voce : luoghi) voce.second->salva(t);
  // Each place's links, with what they read of the places they lead to,
  // which lie anywhere in the world, asked for ahead: those places eight
  // steps ahead, their names four. The places of those eight steps wait in a
  // ring, so the map is walked once.
  constexpr std::size_t AVANTI = 8;
  const luogo* anello[AVANTI];
  std::size_t presi = 0;
  auto prossimo = luoghi.begin();
  for (std::size_t scritti = 0; scritti < luoghi.size(); ++scritti) {
    for (; presi < scritti + AVANTI && prossimo != luoghi.end(); ++presi, ++prossimo) {
      anello[presi % AVANTI] = prossimo->second.get();
      anello[presi % AVANTI]->anticipa_salvap(false);
    }
    if (scritti + AVANTI / 2 < presi)
      anello[(scritti + AVANTI / 2) % AVANTI]->anticipa_salvap(true);
    anello[scritti % AVANTI]->salvap(t);
  }
  t << "\n[Utente]\n";
  if (utente != segnaposto) t << "INIZIO=" << utente->nome_ref() << '\n';
  t << "[EndUtente]\n\n[FineGioco]";
  for (const std::string& nome : dati) t << "\nOBJ=" << nome;
  if (fine != nullptr) {
    t << "\nFINELUOGO=" << fine->nome_ref() << '\n';
  } else {
    t << '\n';
  }
  t << "[MsgFineGioco]\n" << finegioco << "[EndMsgFineGioco]\n[EndFineGioco]\n";
}

// ---------------------------------------------------------------------------
// Writing world.ini safely.

ambiente::file_in_memoria* ambiente::in_memoria = nullptr;

namespace {

// An output buffer over a file descriptor that remembers any failed write.
class buffer_file : public std::streambuf {
public:
  explicit buffer_file(int fd) : fd(fd) { setp(dati, dati + sizeof dati); }
  bool fallito() const { return errore; }

protected:
  int_type overflow(int_type c) override {
    if (!svuota()) return traits_type::eof();
    if (!traits_type::eq_int_type(c, traits_type::eof())) {
      *pptr() = traits_type::to_char_type(c);
      pbump(1);
    }
    return traits_type::not_eof(c);
  }
  int sync() override { return svuota() ? 0 : -1; }
  // A piece of a page or more goes to the file without being copied.
  std::streamsize xsputn(const char* p, std::streamsize n) override {
    if (n < 4096) return std::streambuf::xsputn(p, n);
    if (!svuota() || !scrivi(p, static_cast<size_t>(n))) return 0;
    return n;
  }

private:
  bool svuota() {
    scrivi(pbase(), static_cast<size_t>(pptr() - pbase()));
    setp(dati, dati + sizeof dati);
    return !errore;
  }
  bool scrivi(const char* p, size_t quanti) {
    const char* const fine = p + quanti;
    while (p < fine && !errore) {
      const ssize_t n = ::write(fd, p, static_cast<size_t>(fine - p));
      if (n > 0) {
        p += n;
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        errore = true;
      }
    }
#if defined(__linux__) && defined(SYNC_FILE_RANGE_WRITE)
    // The disk starts on what is written while the rest of the game is
    // still being written, so the fsync at the end waits only for the last
    // part. It only starts the writing: the fsync still decides.
    if (!errore && quanti > 0) {
      ::sync_file_range(fd, static_cast<off_t>(scritti), static_cast<off_t>(quanti),
                        SYNC_FILE_RANGE_WRITE);
    }
#endif
    scritti += quanti;
    return !errore;
  }

  int fd;
  bool errore = false;
  std::size_t scritti = 0;
  char dati[1 << 16];
};

// Makes the rename durable: without syncing the folder a power loss can
// leave the old name, or an empty file, behind.
bool sincronizza_cartella() {
  const int dir = ::open(".", O_RDONLY | O_DIRECTORY);
  if (dir < 0) return false;
  const bool ok = ::fsync(dir) == 0;
  ::close(dir);
  return ok;
}

// When this game started, as the file system's clock tells it.
const std::filesystem::file_time_type inizio_partita =
    std::filesystem::file_time_type::clock::now();

// Removes the files that interrupted saves left beside world.ini: regular
// files named as mkstemp names the saver's (world.ini. and six letters or
// digits), last changed before this game started, with two seconds to spare
// for the file system's coarser clock. A newer one may be the save that
// another game in the same folder is still writing, and is kept.
void togli_temporanei() {
  namespace fs = std::filesystem;
  const std::string prefisso = "world.ini.";
  const auto limite = inizio_partita - std::chrono::seconds(2);
  std::error_code e;
  for (fs::directory_iterator i(".", e), fine; !e && i != fine; i.increment(e)) {
    const std::string nome = i->path().filename().string();
    if (nome.size() != prefisso.size() + 6 || nome.compare(0, prefisso.size(), prefisso) != 0 ||
        !std::all_of(nome.begin() + prefisso.size(), nome.end(), [](char c) {
          return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        })) {
      continue;
    }
    std::error_code f;
    if (!fs::is_regular_file(i->symlink_status(f)) || f) continue;
    const auto cambiato = fs::last_write_time(i->path(), f);
    if (!f && cambiato < limite) fs::remove(i->path(), f);
  }
}

// The game goes to a new file created exclusively beside world.ini (so no
// existing file or link is followed or reused), which is synced and renamed
// over world.ini only when every byte was written. On any failure the
// previous world.ini is left exactly as it was. Prints the failures. After a
// save, the temporaries of interrupted ones go (togli_temporanei).
bool scrivi_world_ini(const ambiente& mondo) {
  // A folder named world.ini is a file that cannot be opened for writing;
  // renaming over it would fail only after the whole game was written.
  struct stat info;
  const bool cartella = ::lstat("world.ini", &info) == 0 && S_ISDIR(info.st_mode);
  char nome_temporaneo[] = "world.ini.XXXXXX";
  const int fd = cartella ? -1 : ::mkstemp(nome_temporaneo);
  if (fd < 0) {
    std::cout << "\n ! ERRORE: In apertura del file.\n";
    return false;
  }
  const mode_t maschera = ::umask(0);
  ::umask(maschera);
  bool ok = ::fchmod(fd, 0664 & ~maschera) == 0;
  {
    buffer_file buffer(fd);
    std::ostream uscita(&buffer);
    mondo.salva_su(uscita);
    uscita.flush();
    ok = ok && uscita.good() && !buffer.fallito();
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(nome_temporaneo, "world.ini") == 0;
  if (!ok) {
    ::unlink(nome_temporaneo);
    std::cout << "\n ! ERRORE: Scrittura del file non riuscita.\n";
    return false;
  }
  sincronizza_cartella();
  togli_temporanei();
  return true;
}

}  // namespace

namespace {

// Appends what is written to a string, which keeps its room from one save
// to the next.
class buffer_stringa : public std::streambuf {
public:
  explicit buffer_stringa(std::string& s) : testo(s) {}

protected:
  std::streamsize xsputn(const char* p, std::streamsize n) override {
    testo.append(p, static_cast<std::size_t>(n));
    return n;
  }
  int_type overflow(int_type c) override {
    if (!traits_type::eq_int_type(c, traits_type::eof())) testo += traits_type::to_char_type(c);
    return traits_type::not_eof(c);
  }

private:
  std::string& testo;
};

}  // namespace

int ambiente::salva() {
  if (in_memoria != nullptr) {
    if (!in_memoria->salvato) in_memoria->salvato.emplace();
    std::string& testo = *in_memoria->salvato;
    testo.clear();
    buffer_stringa buffer(testo);
    std::ostream uscita(&buffer);
    salva_su(uscita);
  } else if (!scrivi_world_ini(*this)) {
    return 1;
  }
  std::cout << "\n - Gioco salvato correttamente...\n";
  return 0;
}
