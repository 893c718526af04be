# Quick start: `make play` to play the default world, `make test` to run every test.
BUILD   ?= build
JOBS    ?= $(shell nproc 2>/dev/null || echo 2)
CMAKE   ?= cmake

.PHONY: all build play test clean

all: build

$(BUILD)/CMakeCache.txt:
	$(CMAKE) -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo

build: $(BUILD)/CMakeCache.txt
	$(CMAKE) --build $(BUILD) -j $(JOBS)

# The game runs in a scratch folder under build/, so saved games never land in
# the repository. A UTF-8 terminal gets the transcoding binary; rlwrap, when
# installed, adds line editing and history.
play: build
	@mkdir -p $(BUILD)/partita
	@cp worlds/mondo.ini $(BUILD)/partita/mondo.ini
	@bin=velt; \
	 case "$$(locale charmap 2>/dev/null)" in UTF-8|utf8) bin=velt-utf8;; esac; \
	 wrap=; command -v rlwrap >/dev/null 2>&1 && wrap=rlwrap; \
	 cd $(BUILD)/partita && exec $$wrap ../$$bin

test: build
	cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

clean:
	rm -rf $(BUILD)
