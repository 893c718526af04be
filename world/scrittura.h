#pragma once
#include <cstddef>
#include <cstring>
#include <memory>
#include <new>
#include <ostream>
#include <string_view>

// Copies the `n` bytes at `da` to `a`. Most pieces of a save are short
// texts of a few dozen bytes: up to 64 they are moved in two overlapping
// words or pairs of 16 bytes, inline, with no call and no loop.
inline void copia_pezzo(char* a, const char* da, std::size_t n) {
  if (n > 64) {
    std::memcpy(a, da, n);
  } else if (n > 32) {
    std::memcpy(a, da, 32);
    std::memcpy(a + n - 32, da + n - 32, 32);
  } else if (n > 16) {
    std::memcpy(a, da, 16);
    std::memcpy(a + n - 16, da + n - 16, 16);
  } else if (n >= 8) {
    std::memcpy(a, da, 8);
    std::memcpy(a + n - 8, da + n - 8, 8);
  } else if (n >= 4) {
    std::memcpy(a, da, 4);
    std::memcpy(a + n - 4, da + n - 4, 4);
  } else {
    for (std::size_t i = 0; i < n; ++i) a[i] = da[i];
  }
}

// The saver's output. Every piece of a save (keys, values, markers) is
// copied into one buffer, which goes to the stream's buffer in one call when
// it is full and when the scrittura ends: no stream insertion, no sentry and
// no formatting per piece. The buffer is sized on the bytes the caller
// expects, up to 1 MiB: a big world goes out in few system calls, each large
// enough that the kernel's cost per call does not count (a file's buffer
// writes such a piece without copying it again), and a world of up to 64 KiB
// goes through a small buffer on the stack in a few calls, with nothing to
// ask of the heap. When the heap cannot give the large buffer, the small one
// does the same work in more calls, so a save never fails for it. A stream
// already failed receives nothing more, and a short write fails it, as with
// <<.
class scrittura {
public:
  explicit scrittura(std::ostream& o, std::size_t atteso = 0)
      : uscita(o),
        proprio(atteso > PICCOLO ? new (std::nothrow) char[misura_per(atteso)] : nullptr),
        dati(proprio ? proprio.get() : piccolo),
        misura(proprio ? misura_per(atteso) : sizeof piccolo) {}
  ~scrittura() { svuota(); }
  scrittura(const scrittura&) = delete;
  scrittura& operator=(const scrittura&) = delete;

  scrittura& operator<<(std::string_view s) {
    if (s.size() <= misura - usati) {
      copia_pezzo(dati + usati, s.data(), s.size());
      usati += s.size();
    } else {
      lungo(s);
    }
    return *this;
  }
  scrittura& operator<<(char c) {
    if (usati == misura) svuota();
    // `dati` is never null: it is the heap buffer or the one on the stack.
    dati[usati++] = c;  // NOLINT(clang-analyzer-core.NullDereference)
    return *this;
  }
  // Hands what is gathered to the stream.
  void svuota();

  // Room for `n` bytes in a row, which the caller fills through a `diretta`
  // without a check per piece; null when `n` is more than the buffer holds.
  char* riserva(std::size_t n) {
    if (n > misura - usati) svuota();
    return n <= misura ? dati + usati : nullptr;
  }
  // Takes the bytes written since `riserva` up to `fine` into the buffer.
  void prendi_fino_a(const char* fine) { usati = static_cast<std::size_t>(fine - dati); }

private:
  // A piece that does not fit in what is left of the buffer: it fills the
  // buffer, and the rest starts the next one.
  void lungo(std::string_view s);
  void scrivi(const char* p, std::size_t n);

  static constexpr std::size_t GRANDE = std::size_t(1) << 20;
  static constexpr std::size_t PICCOLO = std::size_t(64) << 10;
  static std::size_t misura_per(std::size_t atteso) { return atteso < GRANDE ? atteso : GRANDE; }

  std::ostream& uscita;
  std::unique_ptr<char[]> proprio;
  char piccolo[4096];
  char* const dati;
  const std::size_t misura;
  std::size_t usati = 0;
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
    copia_pezzo(p, s.data(), s.size());
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
