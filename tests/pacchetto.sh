#!/bin/sh
# The Debian package as a user gets it: unpacked into a scratch root (no root
# needed), its control fields checked, its programs run from there.
#
#   pacchetto.sh <build folder with the .deb> <repository root>
set -eu
deb=$(ls -t "$1"/velt_*.deb | head -n 1)
radice=$(cd "$2" && pwd)
casi=$radice/tests/transcripts
prova=$(mktemp -d "${TMPDIR:-/tmp}/velt-pacchetto-XXXXXX")
trap 'rm -rf "$prova"' EXIT
errori=0
sbaglia() { echo "pacchetto: $*"; errori=$((errori + 1)); }

[ "$(dpkg-deb -f "$deb" Section)" = games ] || sbaglia "section is not games"
case "$(dpkg-deb -f "$deb" Depends)" in
  *libc6*libedit2*|*libedit2*libc6*) ;;
  *) sbaglia "Depends lacks libc6 or libedit2: $(dpkg-deb -f "$deb" Depends)" ;;
esac
dpkg-deb -x "$deb" "$prova/radice"
usr=$prova/radice/usr
for f in bin/velt bin/velt-utf8 bin/velt-autore share/games/velt/mondo.ini \
         share/applications/velt.desktop share/doc/velt/LICENSE; do
  [ -e "$usr/$f" ] || sbaglia "missing /usr/$f"
done
grep -qx "Exec=velt-utf8 /usr/share/games/velt/mondo.ini" "$usr/share/applications/velt.desktop" ||
  sbaglia "the menu entry does not start the installed world"

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
(cd "$prova/vuota" && XDG_DATA_HOME=$prova/dati "$usr/bin/velt" "$usr/share/games/velt/mondo.ini") \
  < "$casi/mondo-predefinito-soluzione/input" > "$prova/uscita" || stato=$?
confronta mondo-predefinito-soluzione $stato
cmp -s "$prova/dati/velt/mondo/mondo.ini" "$usr/share/games/velt/mondo.ini" ||
  sbaglia "the world was not copied into its data folder"
# No argument in an empty folder: the game as ever, looking for mondo.ini.
stato=0
(cd "$prova/vuota" && "$usr/bin/velt") < "$casi/mondo-senza-mondo-ini/input" > "$prova/uscita" || stato=$?
confronta mondo-senza-mondo-ini $stato

"$usr/bin/velt-utf8" --version | grep -qx "velt-utf8 [0-9.]*" || sbaglia "velt-utf8 --version"
"$usr/bin/velt-autore" --help | grep -q "^  controlla  elenca gli errori" ||
  sbaglia "velt-autore --help"

# Each manual page renders, without a warning from groff.
for pagina in velt velt-utf8 velt-autore; do
  file=$usr/share/man/man6/$pagina.6.gz
  testo=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$file" 2>"$prova/avvisi") ||
    sbaglia "man -l $pagina.6.gz failed"
  [ -s "$prova/avvisi" ] && sbaglia "man $pagina: $(cat "$prova/avvisi")"
  case "$testo" in *NOME*velt*SINTASSI*) ;; *) sbaglia "man $pagina: no NOME and SINTASSI" ;; esac
done

[ $errori -eq 0 ] && echo "pacchetto: $(basename "$deb") ok"
exit $errori
