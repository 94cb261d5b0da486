#!/bin/sh
# Remakes the small real Garmin maps under tests/data from the hand-written OSM file in
# tests/data/src with mkgmap (Debian package mkgmap). The tests only read the results, which are
# checked in; run this only to change them.
#
#   village-transparent.img  one map, draw priority 25, transparent (TRE byte 0x3F = 3)
#   village-opaque.img       one map, draw priority 20, not transparent
#   village-priority200.img  one map, draw priority 200 (a byte that reads as -56 when signed)
#   village-two-maps.img     gmapsupp holding two maps: first priority 22 transparent, second 18
#   village.tdb              mapset index, product code 152, family ID 6001
#   alpen.tdb, alpen.img     mapset index and overview map named Alpen, product code 150, family
#                            ID 6001 (the editor's rename tests)
#   topo.tdb                 mapset index storing the name Topo, product code 160, family ID 6002
#                            (the editor's tests of a file name longer than the stored name)
#   alpen.mdx                address index (mkgmap --index) of two maps, 63240051 and 63240052,
#                            product ID 150, family ID 6001 (the editor's family ID tests)
#   village.typ              TYP file compiled from src/village-typ.txt: family ID 1234, product
#                            ID 7 (the TYP stamp tests)
#   ready/                   downloaded mapsets as the install reads them (index, overview, detail
#                            maps, search index, TYP):
#     Hills                  family ID 6005, product 1, series "Hills Series", two maps, its TYP
#     Dales                  family ID 6006, product 3, a TYP of family ID 6099, no search index
#     Moors                  family ID 6007, product 1, three maps of which 63270002.img is removed
#     Oesterreich            family ID 6008, product 1, one map, family name "Österreich" written
#                            by --code-page=1252 (the byte 0xD6), no search index
set -eu

here=$(cd "$(dirname "$0")/.." && pwd)
source_map="$here/tests/data/src/village.osm"
source_typ="$here/tests/data/src/village-typ.txt"
out="$here/tests/data"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

command -v mkgmap >/dev/null || { echo "mkgmap is needed: apt-get install mkgmap" >&2; exit 1; }

make_map() { # number, then mkgmap options
    number=$1
    shift
    (cd "$work" && mkgmap --mapname="$number" --description="Village $number" "$@" \
        "$source_map" >"$work/mkgmap-$number.log" 2>&1)
}

make_map 63240001 --draw-priority=25 --transparent
cp "$work/63240001.img" "$out/village-transparent.img"

make_map 63240002 --draw-priority=20
cp "$work/63240002.img" "$out/village-opaque.img"

make_map 63240003 --draw-priority=200
cp "$work/63240003.img" "$out/village-priority200.img"

make_map 63240011 --draw-priority=22 --transparent
make_map 63240012 --draw-priority=18
(cd "$work" && mkgmap --gmapsupp 63240011.img 63240012.img >"$work/mkgmap-gmapsupp.log" 2>&1)
cp "$work/gmapsupp.img" "$out/village-two-maps.img"

make_map 63240021 --tdbfile --product-id=152 --family-id=6001 --family-name=Village \
    --series-name=Village
cp "$work/osmmap.tdb" "$out/village.tdb"

make_map 63240031 --tdbfile --product-id=150 --family-id=6001 --family-name=Alpen --series-name=Alpen
cp "$work/osmmap.tdb" "$out/alpen.tdb"
cp "$work/osmmap.img" "$out/alpen.img"

make_map 63240041 --tdbfile --product-id=160 --family-id=6002 --family-name=Topo --series-name=Topo
cp "$work/osmmap.tdb" "$out/topo.tdb"

make_map 63240051
make_map 63240052
(cd "$work" && mkgmap --index --tdbfile --product-id=150 --family-id=6001 --family-name=Alpen \
    --series-name=Alpen --overview-mapname=Alpen --overview-mapnumber=60010000 \
    63240051.img 63240052.img >"$work/mkgmap-index.log" 2>&1)
cp "$work/Alpen.mdx" "$out/alpen.mdx"

cp "$source_typ" "$work/village.txt"
(cd "$work" && mkgmap village.txt >"$work/mkgmap-typ.log" 2>&1)
cp "$work/village.typ" "$out/village.typ"

family_name= code_page= # make_ready's family name (else the folder name) and --code-page option
make_ready() { # folder name, family ID, product ID, series name, TYP family ID or "", maps...
    name=$1 family=$2 product=$3 series=$4 typ_family=$5
    shift 5
    dir="$work/ready-$name"
    mkdir -p "$dir" "$out/ready/$name"
    rm -f "$out/ready/$name"/*
    for number in "$@"; do
        (cd "$dir" && mkgmap --mapname="$number" --description="$name $number" "$source_map" \
            >"$dir/mkgmap-$number.log" 2>&1)
    done
    index=--index
    [ "$name" = Dales ] || [ -n "$code_page" ] && index=
    (cd "$dir" && mkgmap --family-id="$family" --product-id="$product" \
        --family-name="${family_name:-$name}" $code_page \
        --series-name="$series" --overview-mapname="$name" --overview-mapnumber="${family}0000" \
        --tdbfile $index $(printf '%s.img ' "$@") >"$dir/mkgmap-index.log" 2>&1)
    for file in "$name.tdb" "$name.img" $(printf '%s.img ' "$@"); do cp "$dir/$file" "$out/ready/$name/"; done
    [ -n "$index" ] && cp "$dir/$name.mdx" "$dir/${name}_mdr.img" "$out/ready/$name/"
    if [ -n "$typ_family" ]; then
        lower=$(echo "$name" | tr 'A-Z' 'a-z')
        cp "$source_typ" "$dir/$lower.txt"
        (cd "$dir" && mkgmap --family-id="$typ_family" --product-id=1 "$lower.txt" \
            >"$dir/mkgmap-typ.log" 2>&1)
        cp "$dir/$lower.typ" "$out/ready/$name/"
    fi
}
make_ready Hills 6005 1 "Hills Series" 6005 63250001 63250002
make_ready Dales 6006 3 "Dales Series" 6099 63260001 63260002
make_ready Moors 6007 1 "Moors Series" "" 63270001 63270002 63270003
rm "$out/ready/Moors/63270002.img"
family_name="Österreich" code_page=--code-page=1252
make_ready Oesterreich 6008 1 "Oesterreich Series" "" 63280001
family_name= code_page=

ls -l "$out"/*.img "$out"/*.tdb "$out"/*.typ "$out"/*.mdx "$out"/ready/*
