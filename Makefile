# Quick start: `make play` to play the default world, `make test` to run every test.
BUILD   ?= build
SAN_BUILD  ?= build-san
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
BENCH_BUILD ?= build-bench
WEB_BUILD ?= build-web
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE   ?= cmake

# Any sanitizer report (leaks included) ends the program at once with status
# 86: the default status 1 is the game's own after a fatal world-file error,
# so a transcript that expects it would hide the report.
SAN_ENV = ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:exitcode=86 \
          UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:exitcode=86
# The memory check: every error and every lost block fails the case.
VALGRIND ?= valgrind --quiet --error-exitcode=99 --leak-check=full \
            --errors-for-leak-kinds=definite,indirect,possible

# The Debian packages each command needs; installa/pacchetti.sh installs the
# missing ones. Every part of the project adds its own to the list it needs.
PACCHETTI_GIOCO = g++ cmake make libedit-dev nlohmann-json3-dev
PACCHETTI_WEB   = emscripten $(if $(shell command -v node),,nodejs npm)
PACCHETTI_TEST  = $(PACCHETTI_GIOCO) libgtest-dev clang libclang-rt-14-dev valgrind tmux \
                  dpkg-dev man-db lintian $(PACCHETTI_WEB) chromium fonts-dejavu-core neovim
PACCHETTI_BENCH = $(PACCHETTI_GIOCO) libbenchmark-dev

.PHONY: bench all build play test clean san fuzz memcheck web misura-studio pacchetti-gioco pacchetti-test \
        pacchetti-web pacchetti-bench install deb prova-deb

pacchetti-gioco:
	@sh installa/pacchetti.sh $(PACCHETTI_GIOCO)

pacchetti-test:
	@sh installa/pacchetti.sh $(PACCHETTI_TEST)

pacchetti-bench:
	@sh installa/pacchetti.sh $(PACCHETTI_BENCH)

pacchetti-web:
	@sh installa/pacchetti.sh $(PACCHETTI_WEB)

all: build

CONFIGURA = $(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

$(BUILD)/CMakeCache.txt: | pacchetti-gioco
	$(CONFIGURA)

build: $(BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BUILD) -j $(JOBS)

# Only the two programs, quietly: the build's output is kept in
# $(BUILD)/play.log and shown only when something fails. The game runs in a
# scratch folder under build/, so saved games never land in the repository.
# Every terminal gets velt-utf8 (an unset or "C" locale included), except
# one whose character set really is code page 850.
play: pacchetti-gioco
	@mkdir -p $(BUILD)/partita
	@{ [ -f $(BUILD)/CMakeCache.txt ] || $(CONFIGURA); } >$(BUILD)/play.log 2>&1 && \
	 $(CMAKE) --build $(BUILD) -j $(JOBS) --target velt velt-utf8 >>$(BUILD)/play.log 2>&1 || \
	 { cat $(BUILD)/play.log >&2; exit 1; }
	@cp worlds/mondo.ini $(BUILD)/partita/mondo.ini
	@bin=velt-utf8; \
	 case "$$(locale charmap 2>/dev/null)" in IBM850|CP850|cp850|850) bin=velt;; esac; \
	 cd $(BUILD)/partita && exec ../$$bin

# Installs the programs (in PREFIX/games), the default world and the
# player's page, the manual pages and the menu entry under PREFIX; DESTDIR
# stages the whole tree under another root. The page comes from the browser
# build, made first when it is missing or out of date.
PREFIX ?= /usr/local
PAGINA_WEB = $(abspath $(WEB_BUILD))/web/velt.html
STUDIO_WEB = $(abspath $(WEB_BUILD))/web/studio.html
install: build web
	$(CMAKE) -S . -B $(BUILD) -DVELT_PAGINA_WEB=$(PAGINA_WEB) >/dev/null
	DESTDIR="$(DESTDIR)" $(CMAKE) --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, in $(BUILD)/ (CPack; dependencies from dpkg-shlibdeps),
# with the player's page of the browser build.
deb: build web
	$(CMAKE) -S . -B $(BUILD) -DVELT_PAGINA_WEB=$(PAGINA_WEB) >/dev/null
	cd $(BUILD) && cpack -G DEB

# The whole suite, unit and transcript tests, in the normal build and again
# with AddressSanitizer and UndefinedBehaviorSanitizer; then the browser tests
# of the page, which also run the normal build's programs.
test: pacchetti-test build san web web/node_modules/.package-lock.json \
      editors/vscode/node_modules/.package-lock.json
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(SAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS)
	cd $(WEB_BUILD) && ctest --output-on-failure
	$(MAKE) --no-print-directory prova-deb

# The Debian package unpacked into a scratch root, its programs run from there.
prova-deb: deb web/node_modules/.package-lock.json
	sh tests/pacchetto.sh $(BUILD) .

# The browser build: the engine compiled by Debian's Emscripten into one page
# (Release: a debug build makes the WebAssembly ten times bigger). Debian's
# Emscripten runs on Node and finds Debian's JavaScript modules only through
# NODE_PATH; CMake's probe for tests would run Node with a flag it rejects.
WEB_ENV = NODE_PATH=/usr/share/nodejs
$(WEB_BUILD)/CMakeCache.txt: | pacchetti-web
	$(WEB_ENV) emcmake $(CMAKE) -S . -B $(WEB_BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF

# The browser tests also run velt-utf8 and velt-autore of the build BUILD.
# The page and the studio are also copied where BUILD's velt-autore looks for
# them, as the installed one does: share/games/velt/ beside the programs' folder.
# The studio bundles the editor from the npm packages the lockfile pins.
web: $(WEB_BUILD)/CMakeCache.txt web/node_modules/.package-lock.json
	$(WEB_ENV) $(CMAKE) -S . -B $(WEB_BUILD) -DVELT_NATIVO=$(abspath $(BUILD)) >/dev/null
	$(WEB_ENV) $(CMAKE) --build $(WEB_BUILD) -j $(JOBS)
	@mkdir -p $(BUILD)/share/games/velt && cp $(PAGINA_WEB) $(STUDIO_WEB) $(BUILD)/share/games/velt/
	@echo "pagina: $(PAGINA_WEB)"
	@echo "studio: $(STUDIO_WEB)"

# The studio's measures: its size, the time to a usable editor and to the
# diagnostics after a keystroke, the solver in the browser against the native
# one (see web/studio/misura.mjs).
misura-studio: web
	$(CMAKE) --build $(BUILD) -j $(JOBS) --target genera_mondo velt-autore
	cd web && node studio/misura.mjs $(STUDIO_WEB) $(abspath $(BUILD))

# The npm packages of the browser tests (web/) and of the editor extension's
# tests (editors/vscode/), exactly as each folder's lockfile pins them.
%/node_modules/.package-lock.json: %/package.json %/package-lock.json
	cd $* && npm ci --no-audit --no-fund

$(SAN_BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(SAN_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELT_SANITIZE=ON

san: $(SAN_BUILD)/CMakeCache.txt
	$(CMAKE) --build $(SAN_BUILD) -j $(JOBS)

# The transcript suite with every run of the game under valgrind's memcheck.
memcheck: build
	cd $(BUILD) && VELT_WRAPPER="$(VALGRIND)" ctest --output-on-failure -j $(JOBS) -R '^trascrizione/'

# Each fuzz target for FUZZ_SECONDS seconds (clang's libFuzzer, with the
# sanitizers); run longer with `make fuzz FUZZ_SECONDS=3600`.
$(FUZZ_BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(FUZZ_BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
	  -DVELT_SANITIZE=ON -DVELT_FUZZ=ON -DBUILD_TESTING=OFF

fuzz: $(FUZZ_BUILD)/CMakeCache.txt
	$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_mondo fuzz_comandi fuzz_lsp
	$(SAN_ENV) fuzz/esegui.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The benchmarks, in an optimised build of their own (they need Google
# Benchmark). They report figures and never fail on timings.
$(BENCH_BUILD)/CMakeCache.txt: | pacchetti-bench
	$(CMAKE) -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release

bench: $(BENCH_BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BENCH_BUILD) -j $(JOBS) --target velt_bench
	$(BENCH_BUILD)/bench/velt_bench

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD) $(WEB_BUILD)
