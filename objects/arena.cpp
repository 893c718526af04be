#include "objects/arena.h"

#include <sys/mman.h>

#include <cstdint>
#include <cstring>
#include <new>

// Under AddressSanitizer the free room of a block and the memory given back
// are poisoned, and every piece handed out is followed by a poisoned gap, so
// a read past an object's end or after its release is reported as on the
// heap. Releasing the arena frees or unmaps its blocks: a use after that is
// reported as one after a free, or faults.
#if defined(__SANITIZE_ADDRESS__)
#define VELT_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELT_ASAN 1
#endif
#endif

#ifdef VELT_ASAN
#include <sanitizer/asan_interface.h>
#define AVVELENA(p, n) ASAN_POISON_MEMORY_REGION(p, n)
#define RISANA(p, n) ASAN_UNPOISON_MEMORY_REGION(p, n)
const std::size_t SPAZIO = 16;
#else
#define AVVELENA(p, n) ((void)(p), (void)(n))
#define RISANA(p, n) ((void)(p), (void)(n))
const std::size_t SPAZIO = 0;
#endif

namespace {

arena* in_uso_ora = nullptr;
// Every arena alive, newest first: `di` looks for an address among their blocks.
arena* vive = nullptr;

const std::size_t PAGINA_GRANDE = std::size_t(2) << 20;
// Blocks grow from 4 KiB to this size; a small world stays small.
const std::size_t BLOCCO_MASSIMO = std::size_t(32) << 20;

std::size_t arrotonda(std::size_t n) { return (n + 7) & ~std::size_t(7); }

// A block of `n` bytes (a power of two). A small one comes from the heap,
// which hands the memory of the world before to the next one with no system
// call and no page fault (the fuzzers load thousands of small worlds a
// second). From one huge page up it is a mapping of its own that starts on a
// huge-page boundary and asks for huge pages, which the kernel gives when it
// has them.
void* mappa(std::size_t n) {
  if (n < PAGINA_GRANDE) return ::operator new(n, std::nothrow);
  const std::size_t largo = n + PAGINA_GRANDE;
  void* p = ::mmap(nullptr, largo, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) return nullptr;
  // The bytes before the first huge-page boundary and those after the
  // block go back at once.
  char* const inizio = static_cast<char*>(p);
  const auto indirizzo = reinterpret_cast<std::uintptr_t>(p);
  const std::size_t davanti = ((indirizzo + PAGINA_GRANDE - 1) & ~(PAGINA_GRANDE - 1)) - indirizzo;
  char* const allineato = inizio + davanti;
  if (davanti > 0) ::munmap(inizio, davanti);
  if (largo - davanti > n) ::munmap(allineato + n, largo - davanti - n);
#ifdef MADV_HUGEPAGE
  ::madvise(allineato, n, MADV_HUGEPAGE);
#endif
  return allineato;
}

}  // namespace

// The head of each block: blocks form a list from the newest.
struct arena::blocco {
  blocco* prec;
  std::size_t misura;
};

arena::arena() : vicina(vive) {
  if (vive != nullptr) vive->precedente = this;
  vive = this;
}

arena::~arena() {
  if (precedente != nullptr) {
    precedente->vicina = vicina;
  } else {
    vive = vicina;
  }
  if (vicina != nullptr) vicina->precedente = precedente;
  while (blocchi != nullptr) {
    blocco* b = blocchi;
    blocchi = b->prec;
    RISANA(b, b->misura);
    if (b->misura < PAGINA_GRANDE) {
      ::operator delete(b);
    } else {
      ::munmap(b, b->misura);
    }
  }
}

void arena::nuovo_blocco(corsia& c, std::size_t almeno) {
  std::size_t misura = c.prossimo;
  if (c.prossimo < BLOCCO_MASSIMO) c.prossimo *= 2;
  const std::size_t testa = arrotonda(sizeof(blocco));
  while (misura < almeno + testa) misura *= 2;
  void* p = mappa(misura);
  if (p == nullptr) throw std::bad_alloc();
  blocco* b = static_cast<blocco*>(p);
  b->prec = blocchi;
  b->misura = misura;
  blocchi = b;
  totale += misura;
  c.cima = static_cast<char*>(p) + testa;
  c.fine = static_cast<char*>(p) + misura;
  AVVELENA(c.cima, static_cast<std::size_t>(c.fine - c.cima));
}

void* arena::prendi(std::size_t n, tipo t) {
  corsia& c = corsie[t];
  n = arrotonda(n == 0 ? 1 : n);
  const std::size_t classe = n / 8;
  if (classe <= PICCOLI && liberi[classe] != nullptr) {
    void* p = liberi[classe];
    RISANA(p, n);
    std::memcpy(&liberi[classe], p, sizeof(void*));
    return p;
  }
  if (static_cast<std::size_t>(c.fine - c.cima) < n + SPAZIO) nuovo_blocco(c, n + SPAZIO);
  void* p = c.cima;
  c.cima += n + SPAZIO;
  RISANA(p, n);
  return p;
}

void arena::rendi(void* p, std::size_t n) {
  if (p == nullptr) return;
  n = arrotonda(n == 0 ? 1 : n);
  const std::size_t classe = n / 8;
  if (classe > PICCOLI) {
    AVVELENA(p, n);
    return;  // a large piece stays unused until the arena goes
  }
  std::memcpy(p, &liberi[classe], sizeof(void*));
  liberi[classe] = p;
  AVVELENA(p, n);
}

std::string_view arena::copia(std::string_view s) {
  if (s.empty()) return {};
  char* p = static_cast<char*>(prendi(s.size()));
  std::memcpy(p, s.data(), s.size());
  return {p, s.size()};
}

arena* arena::attiva() { return in_uso_ora; }

arena::in_uso::in_uso(arena& a) : prima(in_uso_ora) { in_uso_ora = &a; }

arena::in_uso::~in_uso() { in_uso_ora = prima; }

bool arena::contiene(const void* p) const {
  const auto indirizzo = reinterpret_cast<std::uintptr_t>(p);
  for (const blocco* b = blocchi; b != nullptr; b = b->prec) {
    const auto inizio = reinterpret_cast<std::uintptr_t>(b);
    if (indirizzo >= inizio && indirizzo - inizio < b->misura) return true;
  }
  return false;
}

arena* arena::di(const void* p) {
  for (arena* a = vive; a != nullptr; a = a->vicina) {
    if (a->contiene(p)) return a;
  }
  return nullptr;
}

std::size_t arena::nodi_sul_heap = 0;

void* arena::nodo_sul_heap(std::size_t n) {
  void* p = ::operator new(n);
  ++nodi_sul_heap;
  return p;
}

void arena::rendi_nodo(void* p, std::size_t n) noexcept {
  if (arena* a = di(p)) {
    a->rendi(p, n);
  } else {
    --nodi_sul_heap;
    ::operator delete(p);
  }
}

void* arena::nuovo(std::size_t n) {
  return in_uso_ora != nullptr ? in_uso_ora->prendi(n) : ::operator new(n);
}

bool arena::elimina(void* p, std::size_t n) noexcept {
  if (p == nullptr) return false;
  if (arena* a = di(p)) {
    a->rendi(p, n);
    return false;
  }
  ::operator delete(p);
  return true;
}
