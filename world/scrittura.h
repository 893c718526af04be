#pragma once
#include <cstddef>
#include <cstring>
#include <ostream>
#include <string_view>

// The saver's output. Every piece of a save (keys, values, markers) is
// copied into one 64 KiB buffer, which goes to the stream's buffer in one
// call when it is full and when the scrittura ends: no stream insertion, no
// sentry and no formatting per piece. Most calls hand over a full buffer,
// which a file's buffer can write without copying it again. A stream already failed receives
// nothing more, and a short write fails it, as with <<.
class scrittura {
public:
  explicit scrittura(std::ostream& o) : uscita(o) {}
  ~scrittura() { svuota(); }
  scrittura(const scrittura&) = delete;
  scrittura& operator=(const scrittura&) = delete;

  scrittura& operator<<(std::string_view s) {
    if (s.size() <= sizeof dati - usati) {
      std::memcpy(dati + usati, s.data(), s.size());
      usati += s.size();
    } else {
      lungo(s);
    }
    return *this;
  }
  scrittura& operator<<(char c) {
    if (usati == sizeof dati) svuota();
    dati[usati++] = c;
    return *this;
  }
  // Hands what is gathered to the stream.
  void svuota();

  // Room for `n` bytes in a row, which the caller fills through a `diretta`
  // without a check per piece; null when `n` is more than the buffer holds.
  char* riserva(std::size_t n) {
    if (n > sizeof dati - usati) svuota();
    return n <= sizeof dati ? dati + usati : nullptr;
  }
  // Takes the bytes written since `riserva` up to `fine` into the buffer.
  void prendi_fino_a(const char* fine) { usati = static_cast<std::size_t>(fine - dati); }

private:
  // A piece that does not fit in what is left of the buffer: it fills the
  // buffer, and the rest starts the next one.
  void lungo(std::string_view s);
  void scrivi(const char* p, std::size_t n);

  std::ostream& uscita;
  std::size_t usati = 0;
  char dati[1 << 16];
};

// Writes pieces into room reserved in a scrittura, which it takes them into
// when it ends: the room was counted beforehand, so nothing is checked.
class diretta {
public:
  diretta(scrittura& t, char* p) : t(t), p(p) {}
  ~diretta() { t.prendi_fino_a(p); }
  diretta(const diretta&) = delete;
  diretta& operator=(const diretta&) = delete;

  diretta& operator<<(std::string_view s) {
    std::memcpy(p, s.data(), s.size());
    p += s.size();
    return *this;
  }
  diretta& operator<<(char c) {
    *p++ = c;
    return *this;
  }

private:
  scrittura& t;
  char* p;
};
