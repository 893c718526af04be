#!/bin/sh
# The Debian package as a user gets it: checked by lintian, unpacked into a
# scratch root (no root needed), its control fields and files checked, its
# programs run from there; the page its velt-autore publishes, with the
# build and the sources out of reach, played in Chromium to the win.
#
#   pacchetto.sh <build folder with the .deb> <repository root>
set -eu
deb=$(ls -t "$1"/velt_*.deb | head -n 1)
build=$(cd "$1" && pwd)
radice=$(cd "$2" && pwd)
casi=$radice/tests/transcripts
# shellcheck source=tests/cartella_prova.sh
. "$radice/tests/cartella_prova.sh"
nuova_cartella_prova velt-pacchetto
prova=$cartella_prova
errori=0
sbaglia() { echo "pacchetto: $*"; errori=$((errori + 1)); }

# Debian's own checker: no error and no warning. Run as root it says that
# it would rather not be, which is not a finding. Its own scratch files go
# into the scratch folder, which is removed at the end.
if ! TMPDIR=$prova lintian --fail-on error,warning "$deb" >"$prova/lintian" 2>&1; then
  sbaglia "lintian: $(grep -v 'root privileges' "$prova/lintian")"
fi

[ "$(dpkg-deb -f "$deb" Section)" = games ] || sbaglia "section is not games"
case "$(dpkg-deb -f "$deb" Depends)" in
  *libc6*libedit2*|*libedit2*libc6*) ;;
  *) sbaglia "Depends lacks libc6 or libedit2: $(dpkg-deb -f "$deb" Depends)" ;;
esac
dpkg-deb -x "$deb" "$prova/radice"
usr=$prova/radice/usr
dati=$usr/share/games/velt
for f in games/velt games/velt-utf8 games/velt-autore games/velt-studio share/games/velt/mondo.ini \
         share/games/velt/velt.html share/games/velt/studio.html share/applications/velt.desktop \
         share/applications/velt-studio.desktop share/man/man6/velt-studio.6.gz \
         share/icons/hicolor/scalable/apps/velt.svg share/doc/velt/copyright \
         share/doc/velt/changelog.gz; do
  [ -e "$usr/$f" ] || sbaglia "missing /usr/$f"
done
[ -e "$usr/bin" ] && sbaglia "programs in /usr/bin: games belong in /usr/games"
grep -qx "Exec=velt-utf8 /usr/share/games/velt/mondo.ini" "$usr/share/applications/velt.desktop" ||
  sbaglia "the menu entry does not start the installed world"
grep -qx "Icon=velt" "$usr/share/applications/velt.desktop" || sbaglia "the menu entry has no icon"
grep -qx "Exec=velt-studio" "$usr/share/applications/velt-studio.desktop" ||
  sbaglia "the studio's menu entry does not start velt-studio"
grep -qx "studio=/usr/share/games/velt/studio.html" "$usr/games/velt-studio" ||
  sbaglia "velt-studio does not open the installed studio"
head -n 1 "$usr/share/doc/velt/copyright" |
  grep -qx "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  sbaglia "the copyright file is not machine-readable"
versione=$(dpkg-deb -f "$deb" Version)
gzip -cd "$usr/share/doc/velt/changelog.gz" | head -n 1 | grep -q "^velt ($versione) " ||
  sbaglia "the changelog's last entry is not version $versione"

# Compares a program's standard output with a transcript case's `atteso`
# and its status with the case's `stato` (default 0).
confronta() {
  caso=$1 stato=$2
  cmp -s "$prova/uscita" "$casi/$caso/atteso" || sbaglia "$caso: output differs from the case's"
  atteso=$(cat "$casi/$caso/stato" 2>/dev/null || echo 0)
  [ "$stato" = "$atteso" ] || sbaglia "$caso: status $stato, expected $atteso"
}

# The walkthrough of the default world, with the installed world given by
# path: it is played in its own folder under XDG_DATA_HOME.
mkdir "$prova/dati" "$prova/vuota"
stato=0
(cd "$prova/vuota" && XDG_DATA_HOME=$prova/dati "$usr/games/velt" "$dati/mondo.ini") \
  < "$casi/mondo-predefinito-soluzione/input" > "$prova/uscita" || stato=$?
confronta mondo-predefinito-soluzione $stato
set -- "$prova"/dati/velt/mondo-*/mondo.ini
[ $# -eq 1 ] && cmp -s "$1" "$dati/mondo.ini" ||
  sbaglia "the world was not copied into one data folder of its own: $*"
# No argument in an empty folder: the game as ever, looking for mondo.ini.
stato=0
(cd "$prova/vuota" && "$usr/games/velt") < "$casi/mondo-senza-mondo-ini/input" > "$prova/uscita" ||
  stato=$?
confronta mondo-senza-mondo-ini $stato

"$usr/games/velt-utf8" --version | grep -qx "velt-utf8 [0-9.]*" || sbaglia "velt-utf8 --version"
"$usr/games/velt-autore" --version | grep -qx "velt-autore [0-9.]*" || sbaglia "velt-autore --version"
"$usr/games/velt-autore" --help | grep -q "^  controlla  elenca gli errori" ||
  sbaglia "velt-autore --help"

# Each manual page renders, without a warning from groff.
for pagina in velt velt-utf8 velt-autore; do
  file=$usr/share/man/man6/$pagina.6.gz
  testo=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>"$prova/avvisi") ||
    sbaglia "man -l $pagina.6.gz failed"
  [ -s "$prova/avvisi" ] && sbaglia "man $pagina: $(cat "$prova/avvisi")"
  case "$testo" in *NOME*velt*SINTASSI*) ;; *) sbaglia "man $pagina: no NOME and SINTASSI" ;; esac
done

# pubblica finds the page it ships, not the one of the build it came from:
# in a mount namespace of its own, an empty folder is mounted over the
# build and over the repository, and the installed velt-autore publishes
# the installed world from there.
gioco=$prova/gioco.html
if unshare --mount --map-root-user true 2>/dev/null; then
  stato=0
  unshare --mount --map-root-user sh -c '
    mount -t tmpfs nessuno "$1" && mount -t tmpfs nessuno "$2" || exit 99
    exec "$3/games/velt-autore" pubblica "$4/mondo.ini"' sh "$build" "$radice" "$usr" "$dati" \
    >"$gioco" 2>"$prova/avvisi" || stato=$?
  [ $stato -eq 0 ] || sbaglia "pubblica away from the build: status $stato: $(cat "$prova/avvisi")"
else
  sbaglia "cannot hide the build (unshare --mount --map-root-user): pubblica not tried"
fi
# The page holds the world, as base64, and the engine.
grep -qF "$(base64 -w 0 "$dati/mondo.ini")" "$gioco" || sbaglia "the published page lacks the world"
grep -qF "creaVelt" "$gioco" || sbaglia "the published page lacks the engine"
grep -qF "<title>Il segreto di Villa Aurora</title>" "$gioco" ||
  sbaglia "the published page lacks the world's title"
# And it plays: the browser test of a published page, on this page, against
# the package's velt-utf8.
if [ $errori -eq 0 ]; then
  VELT_PUBBLICATA=$gioco VELT_PAGINA=$gioco VELT_NATIVO=$usr/games VELT_SORGENTI=$radice \
  VELT_ARTEFATTI=$prova/artefatti \
    node --test --test-name-pattern='^pacchetto:' "$radice/web/test/pagina.test.mjs" \
    >"$prova/browser" 2>&1 || true
  grep -q "^# pass [1-9]" "$prova/browser" && grep -q "^# fail 0" "$prova/browser" ||
    sbaglia "the published page does not play: $(cat "$prova/browser")"
fi

[ $errori -eq 0 ] && echo "pacchetto: $(basename "$deb") ok"
exit $errori
