#!/usr/bin/env bash
# Runs each fuzz target for a bounded time:
#
#   fuzz/esegui.sh <fuzz-build-dir> [seconds-per-target]
#
# The corpus of each target lives in the build folder (corpus/NAME) and grows
# from run to run; it is seeded from the repository's worlds and transcripts
# and from the kept regression inputs. Any crash, timeout (5 s per input),
# leak or sanitizer report stops the run with a failure; the failing input is
# left in <build-dir>/artefatti/ to be added to fuzz/regressioni/NAME/.
set -euo pipefail
radice="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:?usage: esegui.sh <fuzz-build-dir> [seconds]}" && pwd)"
secondi="${2:-60}"

corpus="$build/corpus"
artefatti="$build/artefatti"
mkdir -p "$corpus/mondo" "$corpus/comandi" "$corpus/lsp" "$artefatti"

# Seeds: every world file for fuzz_mondo, every transcript input for
# fuzz_comandi, each under a name of its own; fuzz_lsp starts from the
# editor sessions kept under regressioni/lsp.
semina() {  # semina <target> <file> <name>
  [ -f "$2" ] && cp "$2" "$corpus/$1/seme-$3"
  return 0
}
for mondo in "$radice"/worlds/*.ini; do
  semina mondo "$mondo" "$(basename "$mondo")"
done
for caso in "$radice"/tests/transcripts/*/; do
  nome="$(basename "$caso")"
  semina mondo "$caso/mondo.ini" "$nome-mondo.ini"
  semina mondo "$caso/world.ini" "$nome-world.ini"
  semina comandi "$caso/input" "$nome-input"
done
cp "$radice"/fuzz/regressioni/mondo/* "$corpus/mondo/" 2>/dev/null || true
cp "$radice"/fuzz/regressioni/comandi/* "$corpus/comandi/" 2>/dev/null || true
cp "$radice"/fuzz/regressioni/lsp/* "$corpus/lsp/" 2>/dev/null || true

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:halt_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}"
# The player's input is capped at 384 bytes, more than one and a half times
# the default world's whole solution: a longer input only repeats commands,
# each new game or "carica" in it costs a load, and it runs many times slower
# than a short one for no new behaviour (a cap of 512 reached no more code in
# a minute). Longer seeds are cut to the cap.
for bersaglio in mondo comandi lsp; do
  limite=()
  [ "$bersaglio" = comandi ] && limite=(-max_len=384)
  echo "== fuzz_$bersaglio for $secondi s"
  "$build/fuzz/fuzz_$bersaglio" "$corpus/$bersaglio" "${limite[@]}" \
    -max_total_time="$secondi" -timeout=5 -detect_leaks=1 -print_final_stats=1 \
    -artifact_prefix="$artefatti/$bersaglio-"
done
