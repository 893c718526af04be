// The world's arena: where a world's objects lie, that memory given back is
// reused, and that dropping a world takes its objects out of the holders that
// outlive it (the backpack, the placeholder place) and no others. The fuzz
// seam: the game's files kept in memory.
#include <unistd.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <vector>

#include "banco.h"
#include "banco_mondo.h"
#include "objects/arena.h"

namespace {

TEST(arena, PezziAllineatiCheNonSiSovrappongono) {
  arena a;
  EXPECT_EQ(a.riservati(), 0u);
  std::vector<std::pair<unsigned char*, std::size_t>> pezzi;
  // Small pieces, and some larger than a whole first block.
  for (std::size_t n : {1u, 7u, 8u, 13u, 200u, 70000u, 3u, 5000000u, 24u}) {
    auto* p = static_cast<unsigned char*>(a.prendi(n));
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(p) % 8, 0u) << n;
    std::memset(p, static_cast<int>(pezzi.size()), n);
    pezzi.emplace_back(p, n);
  }
  for (std::size_t i = 0; i < pezzi.size(); ++i) {
    const auto& [p, n] = pezzi[i];
    EXPECT_EQ(p[0], i) << i;
    EXPECT_EQ(p[n - 1], i) << i;
  }
  EXPECT_GE(a.riservati(), 5000000u + 70000u);
  const std::string_view copia = a.copia("una lampada");
  EXPECT_EQ(copia, "una lampada");
  EXPECT_TRUE(a.copia("").empty());
}

TEST(arena, LaMemoriaResaServeLaRichiestaSeguente) {
  arena a;
  void* p = a.prendi(48);
  void* q = a.prendi(48);
  a.rendi(p, 48);
  EXPECT_NE(a.prendi(40), p) << "another size does not take it";
  EXPECT_EQ(a.prendi(48), p);
  a.rendi(q, 48);
  EXPECT_EQ(a.prendi(48), q);
  EXPECT_NE(a.prendi(48), q);
}

TEST(arena, GliOggettiFattiDuranteUnCaricamentoStannoNellArena) {
  arena a, b;
  std::unique_ptr<oggetto> fuori = nuovo("fuori");
  std::unique_ptr<oggetto> in_a, in_b, di_nuovo_a;
  {
    const arena::in_uso uso(a);
    in_a = nuovo("dentro", tratti().suggerimento("Un suggerimento abbastanza lungo."));
    {
      const arena::in_uso altro(b);
      in_b = nuovo("altro");
    }
    di_nuovo_a = nuovo("ancora");
  }
  EXPECT_EQ(arena::attiva(), nullptr);
  EXPECT_EQ(arena::di(fuori.get()), nullptr);
  EXPECT_EQ(arena::di(in_a.get()), &a);
  EXPECT_EQ(arena::di(in_b.get()), &b);
  EXPECT_EQ(arena::di(di_nuovo_a.get()), &a);
  // Texts are copies: the strings they came from are gone.
  EXPECT_EQ(in_a->prntsugg(), "Un suggerimento abbastanza lungo.");
  // A hint shown once is forgotten wherever it lies.
  in_a->deletesugg();
  fuori->deletesugg();
  EXPECT_FALSE(in_a->sugg());
  in_a.reset();
  in_b.reset();
  di_nuovo_a.reset();
}

// Each kind of piece is cut from blocks of its own: the nodes of a map made
// between its objects and texts still lie one after the other.
TEST(arena, IPezziDiOgniTipoStannoInFila) {
  arena a;
  const arena::tipo tipi[] = {arena::COSE, arena::NODI_OGGETTI, arena::NODI_LUOGHI};
  std::vector<char*> ultimo(arena::TIPI, nullptr);
  for (int giro = 0; giro < 50; ++giro) {
    for (arena::tipo t : tipi) {
      char* p = static_cast<char*>(a.prendi(56, t));
      if (ultimo[t] != nullptr) {
        EXPECT_GT(p, ultimo[t]) << t;
        EXPECT_LE(p - ultimo[t], 56 + 16) << "kind " << t << ", round " << giro;
      }
      ultimo[t] = p;
    }
  }
}

// The author tools move nodes between holders with extract and insert: a
// node of an arena in a heap map, or the other way, still goes back to
// where it was made.
TEST(arena, UnNodoPassaDaUnaMappaDelMondoAUnaSulHeapEIndietro) {
  arena a;
  mappa_oggetti sul_heap;
  std::unique_ptr<mappa_oggetti> nel_mondo;
  {
    const arena::in_uso uso(a);
    nel_mondo = std::make_unique<mappa_oggetti>();
    std::unique_ptr<oggetto> sasso = nuovo("sasso");
    nel_mondo->try_emplace(sasso->nome_ref(), std::move(sasso));
  }
  const std::size_t prima = arena::nodi_sul_heap;
  sul_heap.insert(nel_mondo->extract("sasso"));
  std::unique_ptr<oggetto> foglia = nuovo("foglia");
  sul_heap.try_emplace(foglia->nome_ref(), std::move(foglia));
  EXPECT_EQ(arena::nodi_sul_heap, prima + 1);
  nel_mondo->insert(sul_heap.extract("foglia"));
  EXPECT_TRUE(a.contiene(&*sul_heap.find("sasso")));
  EXPECT_EQ(arena::di(&*nel_mondo->find("foglia")), nullptr);
  sul_heap.clear();
  nel_mondo.reset();
  EXPECT_EQ(arena::nodi_sul_heap, prima);
}

}  // namespace

namespace mondo_prova {
namespace {

// The backpack holds a box of matches; the world names no start place, so the
// player stands in the placeholder place.
const char* const senza_inizio =
    "[Zaino]\n[OggInContenitore]\n[Oggetto]\nNOMEOGGETTO=fiammiferi\n"
    "DESCRIZIONE=Una scatola di fiammiferi.\nTRASPORTABILE=TRUE\n[EndOggetto]\n"
    "[EndOggInContenitore]\n[EndZaino]\n"
    "[Luogo]\nNOMELUOGO=stanza\nSOPRANOME=Stanza\n[EndLuogo]\n";

using MondoArena = banco_mondo;

TEST_F(MondoArena, IlMondoCheSeNeVaPortaViaISuoiOggettiDaZainoESegnaposto) {
  bool distrutta = false;
  ambiente::zaino += std::make_unique<spia>("spia", distrutta);
  carica(senza_inizio);
  EXPECT_EQ(nomi(ambiente::zaino.contenuto()), "fiammiferi;spia;");
  gioca({"lascia fiammiferi"});
  EXPECT_EQ(nomi(dio->oggetti_()), "fiammiferi;");
  dio->guarda("");
  EXPECT_NE(uscita().find("  - fiammiferi\n"), std::string::npos);
  mondo.reset();
  // The world's matches went with it; the object made outside stays.
  EXPECT_EQ(nomi(dio->oggetti_()), "");
  EXPECT_EQ(nomi(ambiente::zaino.contenuto()), "spia;");
  EXPECT_FALSE(distrutta);
}

TEST_F(MondoArena, UnMondoCaricatoDopoTieneLoZainoQuandoIlPrimoSeNeVa) {
  carica(senza_inizio);
  // The author tools load the next state before the last one goes.
  std::unique_ptr<ambiente> primo = std::move(mondo);
  ambiente::zaino.svuota();
  mondo = std::make_unique<ambiente>(*dio);
  carica(senza_inizio);
  primo.reset();
  EXPECT_EQ(nomi(ambiente::zaino.contenuto()), "fiammiferi;");
  gioca({"lascia fiammiferi"});
  EXPECT_EQ(nomi(dio->oggetti_()), "fiammiferi;");
}

// Each drop takes a node of the place's map from the arena and each take
// gives it back: thousands of them fit in what the world had at the start.
TEST_F(MondoArena, PrendereELasciareTanteVolteNonFaCrescereIlMondo) {
  carica(std::string(senza_inizio) + "[Utente]\nINIZIO=stanza\n[EndUtente]\n");
  EXPECT_NE(arena::di(&posto("stanza")), nullptr);
  gioca({"lascia fiammiferi", "prendi fiammiferi"}, {"si"});
  const std::string prima = salvato();
  const std::size_t riservati = mondo->memoria_().riservati();
  const std::vector<std::string> giro = {"lascia fiammiferi", "prendi fiammiferi"};
  for (int i = 0; i < 3000; ++i) gioca(giro, {"si"});
  EXPECT_EQ(salvato(), prima);
  EXPECT_EQ(mondo->memoria_().riservati(), riservati);
}

// The fuzzers' files in memory: the save replaces the saved game in memory
// and "si" loads it back; the working folder stays empty.
TEST_F(MondoArena, ConIFileInMemoriaIlDiscoNonVieneToccato) {
  namespace fs = std::filesystem;
  std::string modello = (fs::temp_directory_path() / "velt-memoria-XXXXXX").string();
  ASSERT_NE(::mkdtemp(&modello[0]), nullptr);
  char partenza[PATH_MAX];
  ASSERT_NE(::getcwd(partenza, sizeof partenza), nullptr);
  // Back to where it was and the folder gone, whichever check fails.
  struct pulizia {
    const char* partenza;
    fs::path cartella;
    ~pulizia() {
      std::error_code e;
      fs::current_path(partenza, e);
      fs::remove_all(cartella, e);
    }
  } alla_fine{partenza, modello};
  ASSERT_EQ(::chdir(modello.c_str()), 0);
  ambiente::file_in_memoria file{std::string(senza_inizio), std::nullopt, {}};
  ambiente::in_memoria = &file;
  cons.righe = {"si"};
  EXPECT_THROW(mondo->carica(), uscita_fatale) << "no saved game yet";
  EXPECT_NE(uscita().find("'world.ini' non trovato"), std::string::npos);
  nuovo_gioco();
  cons.righe = {"no"};
  mondo->carica();
  gioca({"lascia fiammiferi", "salva"});
  ASSERT_TRUE(file.salvato.has_value());
  EXPECT_EQ(*file.salvato, salvato());
  nuovo_gioco();
  ambiente::zaino.svuota();
  cons.righe = {"si"};
  mondo->carica();
  EXPECT_EQ(salvato(), *file.salvato);
  ambiente::in_memoria = nullptr;
  EXPECT_TRUE(fs::is_empty(modello));
}

}  // namespace
}  // namespace mondo_prova
