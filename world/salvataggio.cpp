#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <streambuf>
#include <string_view>

#include "game/ambiente.h"

// ---------------------------------------------------------------------------
// Object and place writers: each record starts with a line feed and its
// opening marker, and every key of its kind follows, empty values included.

namespace {

std::string_view flag(bool b) { return b ? "TRUE" : "FALSE"; }

// The pieces of a record, gathered in a buffer and handed to the stream's
// buffer in one piece when the testo ends (or fills up): an insertion into
// the stream per piece, with its sentry, costs more than the bytes. A stream
// already failed receives nothing, and a short write fails it, as with <<.
class testo {
public:
  explicit testo(std::ostream& uscita) : uscita(uscita) {}
  ~testo() { svuota(); }
  testo(const testo&) = delete;
  testo& operator=(const testo&) = delete;

  testo& operator<<(std::string_view s) {
    if (s.size() > sizeof pezzi - usati) {
      svuota();
      if (s.size() > sizeof pezzi) {
        scrivi(s.data(), s.size());
        return *this;
      }
    }
    std::memcpy(pezzi + usati, s.data(), s.size());
    usati += s.size();
    return *this;
  }
  testo& operator<<(char c) {
    if (usati == sizeof pezzi) svuota();
    pezzi[usati++] = c;
    return *this;
  }

private:
  void svuota() {
    if (usati == 0) return;
    scrivi(pezzi, usati);
    usati = 0;
  }
  void scrivi(const char* dati, std::size_t quanti) {
    if (quanti == 0 || !uscita.good()) return;
    const auto n = static_cast<std::streamsize>(quanti);
    if (uscita.rdbuf()->sputn(dati, n) != n) uscita.setstate(std::ios::badbit);
  }

  std::ostream& uscita;
  std::size_t usati = 0;
  char pezzi[2048];
};

}  // namespace

void oggetto::scrivi_chiavi(std::ostream& uscita, const char* apertura,
                            const std::string* direzione) const {
  testo t(uscita);
  t << '\n' << apertura << "\nNOMEOGGETTO=" << nomeogg << "\nDESCRIZIONE=" << desogg
    << "\nSUGGERIMENTO=" << suggest << "\nREAGENTE=" << reagente;
  if (direzione != nullptr) t << "\nDIREZIONE=" << *direzione;
  t << "\nILLUMINABILE=" << flag(illuminabile) << "\nTRASPORTABILE=" << flag(trasportabile)
    << "\nSPOSTABILE=" << flag(spostabile) << "\nAPRIBILE=" << flag(apribile)
    << "\nACCESO=" << flag(acceso);
}

void oggetto::scrivi_lista(std::ostream& uscita, const mappa_oggetti& mappa) {
  for (const auto& voce : mappa) voce.second->salva(uscita);
}

void oggetto::salva(std::ostream& uscita) const {
  scrivi_chiavi(uscita, "[Oggetto]", nullptr);
  testo(uscita) << "\n[EndOggetto]\n";
}

void oggostr::salva(std::ostream& uscita) const {
  scrivi_chiavi(uscita, "[OggOstruzione]", &direzione);
  testo(uscita) << "\nAPERTO=" << flag(stato) << "\n[EndOggOstruzione]\n";
}

void oggcont::salva(std::ostream& uscita) const {
  scrivi_chiavi(uscita, "[OggContenitore]", nullptr);
  testo(uscita) << "\nAPERTO=" << flag(stato) << "\n[EndOggContenitore]\n\n[OggInContenitore]\n";
  scrivi_lista(uscita, cont);
  testo(uscita) << "[EndOggInContenitore]\n";
}

void oggcont::salvazaino(std::ostream& uscita) const {
  testo(uscita) << "[OggInContenitore]\n";
  scrivi_lista(uscita, cont);
  testo(uscita) << "\n[EndOggInContenitore]\n";
}

void oggnasc::salva(std::ostream& uscita) const {
  scrivi_chiavi(uscita, "[OggNascondiglio]", nullptr);
  testo(uscita) << "\n[EndOggNascondiglio]\n\n[OggNascosti]\n";
  scrivi_lista(uscita, nascondiglio);
  testo(uscita) << "[EndOggNascosti]\n";
}

void luogo::salva(std::ostream& uscita) const {
  testo(uscita) << "[Luogo]\nNOMELUOGO=" << nome << "\nSOPRANOME=" << sopranome
                << "\nILLUMINAZIONE=" << flag(illuminazione) << "\nSTATO=" << flag(stato)
                << "\n[Descrizione]\n" << descrizione << "[EndDescrizione]\n[Suggerimento]\n"
                << suggest << "[EndSuggerimento]\n[EndLuogo]\n\n[OggInLuogo]\nNOMELUOGO=" << nome
                << '\n';
  for (const auto& voce : oggetti) voce.second->salva(uscita);
  testo(uscita) << "[EndOggInLuogo]\n\n";
}

void luogo::salvap(std::ostream& uscita) const {
  static const char* const chiavi[NUM_DIREZIONI] = {"NORD", "SUD", "EST", "OVEST", "ALTO", "BASSO"};
  testo t(uscita);
  t << "\n[PuntatoriALuogo]\nNOMELUOGO=" << nome;
  for (int d = 0; d < NUM_DIREZIONI; ++d) {
    t << '\n' << chiavi[d] << '=' << (link[d] != nullptr ? std::string_view(link[d]->nome) : "NULL");
  }
  for (int d = 0; d < NUM_DIREZIONI; ++d) {
    t << "\nOSTRUZIONE" << chiavi[d] << '=' << ostr[d];
  }
  t << "\n[EndPuntatoriALuogo]\n";
}

// The start section names the current place; in the placeholder place there
// is none to name, so the file loads back into the placeholder. Without an
// end place the line before the closing message is still ended, so the
// message block reads back as it was written.
void ambiente::salva_su(std::ostream& uscita) const {
  uscita << "[Titolo]\n" << titolo << "[EndTitolo]\n\n[Zaino]\n";
  zaino.salvazaino(uscita);
  uscita << "[EndZaino]\n\n";
  for (const auto& voce : luoghi) voce.second->salva(uscita);
  for (const auto& voce : luoghi) voce.second->salvap(uscita);
  uscita << "\n[Utente]\n";
  if (utente != segnaposto) uscita << "INIZIO=" << utente->name() << '\n';
  uscita << "[EndUtente]\n\n[FineGioco]";
  for (const std::string& nome : dati) uscita << "\nOBJ=" << nome;
  if (fine != nullptr) {
    uscita << "\nFINELUOGO=" << fine->name() << '\n';
  } else {
    uscita << '\n';
  }
  uscita << "[MsgFineGioco]\n" << finegioco << "[EndMsgFineGioco]\n[EndFineGioco]\n";
}

// ---------------------------------------------------------------------------
// Writing world.ini safely.

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

private:
  bool svuota() {
    const char* p = pbase();
    while (p < pptr() && !errore) {
      const ssize_t n = ::write(fd, p, static_cast<size_t>(pptr() - p));
      if (n > 0) {
        p += n;
      } else if (n < 0 && errno == EINTR) {
        continue;
      } else {
        errore = true;
      }
    }
    setp(dati, dati + sizeof dati);
    return !errore;
  }

  int fd;
  bool errore = false;
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

}  // namespace

// The game goes to a new file created exclusively beside world.ini (so no
// existing file or link is followed or reused), which is synced and renamed
// over world.ini only when every byte was written. On any failure the
// previous world.ini is left exactly as it was.
int ambiente::salva() {
  // A folder named world.ini is a file that cannot be opened for writing;
  // renaming over it would fail only after the whole game was written.
  struct stat info;
  const bool cartella = ::lstat("world.ini", &info) == 0 && S_ISDIR(info.st_mode);
  char nome_temporaneo[] = "world.ini.XXXXXX";
  const int fd = cartella ? -1 : ::mkstemp(nome_temporaneo);
  if (fd < 0) {
    std::cout << "\n ! ERRORE: In apertura del file.\n";
    return 1;
  }
  const mode_t maschera = ::umask(0);
  ::umask(maschera);
  bool ok = ::fchmod(fd, 0664 & ~maschera) == 0;
  {
    buffer_file buffer(fd);
    std::ostream uscita(&buffer);
    salva_su(uscita);
    uscita.flush();
    ok = ok && uscita.good() && !buffer.fallito();
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  ok = ok && std::rename(nome_temporaneo, "world.ini") == 0;
  if (!ok) {
    ::unlink(nome_temporaneo);
    std::cout << "\n ! ERRORE: Scrittura del file non riuscita.\n";
    return 1;
  }
  sincronizza_cartella();
  std::cout << "\n - Gioco salvato correttamente...\n";
  return 0;
}
