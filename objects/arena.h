#pragma once
#include <cstddef>
#include <string_view>

// The storage of one world. The places, objects, map nodes, names and texts
// that the loader builds live in a few large blocks owned by the arena, laid
// out in the order the file lists them, and go back to the system together
// when the arena is destroyed. Large blocks ask the kernel for huge pages, so
// a big world costs few page faults.
//
// Who owns what does not change: holders still own their objects through
// `std::unique_ptr`, and destroying an object runs its destructor as ever;
// only the memory under it belongs to the arena. Memory given back before
// the end is kept for the next request of the same size (a map node freed
// by taking an object is reused when it is dropped again), so a long game
// does not grow its world.
class arena {
public:
  arena();
  // Releases every block: nothing built in the arena may outlive it.
  ~arena();
  arena(const arena&) = delete;
  arena& operator=(const arena&) = delete;

  // What a piece is for. Each kind is cut from blocks of its own, so that
  // what is walked together lies together: objects, places and texts in the
  // order the file lists them; the nodes of the objects' maps, so a map made
  // in name order (as a saved file lists it) has its nodes side by side; the
  // nodes of the places' map, which the saver walks twice.
  enum tipo { COSE, NODI_OGGETTI, NODI_LUOGHI, TIPI };

  // `n` bytes aligned to 8 for pieces of kind `t`, never null; a block the
  // system refuses throws std::bad_alloc.
  void* prendi(std::size_t n, tipo t = COSE);
  // Gives back `n` bytes obtained from `prendi(n)`.
  void rendi(void* p, std::size_t n);
  // A copy of `s` in the arena; an empty `s` takes no room.
  std::string_view copia(std::string_view s);
  // Bytes of the blocks taken from the system so far.
  std::size_t riservati() const { return totale; }

  // The arena that objects, places and texts built now go to: the one in use
  // by a loader, or null, and then they go to the ordinary heap.
  static arena* attiva();

  // While it lives, `a` is the active arena; the one before comes back after.
  class in_uso {
  public:
    explicit in_uso(arena& a);
    ~in_uso();
    in_uso(const in_uso&) = delete;
    in_uso& operator=(const in_uso&) = delete;

  private:
    arena* prima;
  };

  // True when `p` lies in one of this arena's blocks.
  bool contiene(const void* p) const;
  // The living arena whose blocks hold `p`, or null.
  static arena* di(const void* p);

  // The allocation of objects and places (their class `operator new` and
  // `operator delete`): in the active arena when there is one, else on the
  // heap. Deleting finds which from the address, so holders may mix them;
  // `elimina` returns true when `p` was on the heap.
  static void* nuovo(std::size_t n);
  static bool elimina(void* p, std::size_t n) noexcept;

  // The map nodes of holders made outside a load (the backpack, the
  // placeholder place), and how many of them are alive: a world compares it
  // with what those two hold to know that none of its maps holds one.
  static void* nodo_sul_heap(std::size_t n);
  // Gives a node back to the arena it lies in, or to the heap.
  static void rendi_nodo(void* p, std::size_t n) noexcept;
  static std::size_t nodi_sul_heap;

private:
  struct blocco;
  // Free memory of the sizes 8, 16, ... up to 8 * PICCOLI bytes, for reuse.
  static constexpr std::size_t PICCOLI = 32;

  // Where pieces are cut from: the free room of the newest block of a kind.
  struct corsia {
    char* cima = nullptr;
    char* fine = nullptr;
    std::size_t prossimo = std::size_t(1) << 12;
  };

  void nuovo_blocco(corsia& c, std::size_t almeno);

  // The list of living arenas.
  arena* vicina = nullptr;
  arena* precedente = nullptr;

  corsia corsie[TIPI];
  blocco* blocchi = nullptr;
  std::size_t totale = 0;
  void* liberi[PICCOLI + 1] = {};
};

// The allocator of the maps inside a world: the nodes of a map made while an
// arena is active come from it, the others from the heap. The arena is
// chosen once, when the map is made, so a place keeps using its world's
// arena during the game. A node goes back to wherever its address lies, so
// any two such allocators are equal and a node may move between maps
// (`extract` from a place, `insert` into the backpack).
template <class T>
class alloc_mondo {
public:
  using value_type = T;

  alloc_mondo() noexcept : memoria(arena::attiva()) {}
  explicit alloc_mondo(arena* a, arena::tipo t = arena::NODI_OGGETTI) noexcept
      : memoria(a), tipo(t) {}
  // Implicit, as the standard containers require of an allocator's rebinding.
  template <class U>
  alloc_mondo(const alloc_mondo<U>& altro) noexcept  // NOLINT(google-explicit-constructor)
      : memoria(altro.memoria), tipo(altro.tipo) {}

  T* allocate(std::size_t n) {
    if (memoria == nullptr) return static_cast<T*>(arena::nodo_sul_heap(n * sizeof(T)));
    return static_cast<T*>(memoria->prendi(n * sizeof(T), tipo));
  }
  void deallocate(T* p, std::size_t n) noexcept {
    // Most nodes go back to the arena of their own map: it is asked first.
    if (memoria != nullptr && memoria->contiene(p)) {
      memoria->rendi(p, n * sizeof(T));
    } else {
      arena::rendi_nodo(p, n * sizeof(T));
    }
  }

  template <class U>
  bool operator==(const alloc_mondo<U>&) const noexcept {
    return true;
  }
  template <class U>
  bool operator!=(const alloc_mondo<U>&) const noexcept {
    return false;
  }

  arena* memoria;
  arena::tipo tipo = arena::NODI_OGGETTI;
};
