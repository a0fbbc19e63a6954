#!/bin/sh
# Writes what the Linux build's inspector makes of every file of the baked show, one line per
# file: kind, file, second file or "-", and the JSON, separated by tabs. The loaders tests of the
# Windows and web builds must build exactly the same from each file.
#   expected_dumps.sh INSPECTOR SHOW_DIR OUTPUT
set -eu
inspect=$1
out=$3
cd "$2"
: >"$out.tmp"
dump() { # kind file [file]
  json=$("$inspect" "$@" 2>/dev/null | tail -n 1)
  case $json in
    "{"*) ;;
    *) echo "expected_dumps.sh: no dump for $*" >&2; exit 1 ;;
  esac
  printf '%s\t%s\t%s\t%s\n' "$1" "$2" "${3:--}" "$json" >>"$out.tmp"
}
for n in 1 2 3; do
  dump mesh "data/$n.chk"
  dump anim "data/$n.chk" "data/${n}a.chk"
done
for f in data/*.jpg; do dump jpeg "$f"; done
for f in gfx/*.tga; do dump tga "$f"; done
mv "$out.tmp" "$out"
