# Quick start: `make play` to play the default world, `make test` to run every test.
BUILD   ?= build
SAN_BUILD  ?= build-san
FUZZ_BUILD ?= build-fuzz
FUZZ_SECONDS ?= 60
BENCH_BUILD ?= build-bench
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
PACCHETTI_GIOCO = g++ cmake make libedit-dev
PACCHETTI_TEST  = $(PACCHETTI_GIOCO) libgtest-dev clang libclang-rt-14-dev valgrind tmux \
                  dpkg-dev man-db

.PHONY: bench all build play test clean san fuzz memcheck pacchetti-gioco pacchetti-test \
        install deb prova-deb

pacchetti-gioco:
	@sh installa/pacchetti.sh $(PACCHETTI_GIOCO)

pacchetti-test:
	@sh installa/pacchetti.sh $(PACCHETTI_TEST)

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

# Installs the programs, the default world, the manual pages and the menu
# entry under PREFIX; DESTDIR stages the whole tree under another root.
PREFIX ?= /usr/local
install: build
	DESTDIR="$(DESTDIR)" $(CMAKE) --install $(BUILD) --prefix "$(PREFIX)"

# The Debian package, in $(BUILD)/ (CPack; dependencies from dpkg-shlibdeps).
deb: build
	cd $(BUILD) && cpack -G DEB

# The whole suite, unit and transcript tests, in the normal build and again
# with AddressSanitizer and UndefinedBehaviorSanitizer.
test: pacchetti-test build san
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)
	cd $(SAN_BUILD) && $(SAN_ENV) ctest --output-on-failure -j $(JOBS)
	$(MAKE) --no-print-directory prova-deb

# The Debian package unpacked into a scratch root, its programs run from there.
prova-deb: deb
	sh tests/pacchetto.sh $(BUILD) .

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
	$(CMAKE) --build $(FUZZ_BUILD) -j $(JOBS) --target fuzz_mondo fuzz_comandi
	$(SAN_ENV) fuzz/esegui.sh $(FUZZ_BUILD) $(FUZZ_SECONDS)

# The benchmarks, in an optimised build of their own (they need Google
# Benchmark). They report figures and never fail on timings.
$(BENCH_BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(BENCH_BUILD) -DCMAKE_BUILD_TYPE=Release

bench: $(BENCH_BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BENCH_BUILD) -j $(JOBS) --target velt_bench
	$(BENCH_BUILD)/bench/velt_bench

clean:
	rm -rf $(BUILD) $(SAN_BUILD) $(FUZZ_BUILD) $(BENCH_BUILD)
