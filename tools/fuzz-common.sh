# Shared by test.sh and tools/fuzz-long.sh (sourced): the fuzz targets of build/fuzz, their seed
# corpora and how one target is run. Functions take the worktree's root as their first argument.

OXLO_FUZZ_TARGETS=(tre_search tdb_fields tdb_index overview_filter read_line registry_values
                   bundle_info img_directory)

# The longest input each target gets: room for the largest seed and a few values over 255 bytes.
oxlo_fuzz_max_len() {
  case $1 in
    tre_search | img_directory) echo 12288 ;;
    tdb_fields | tdb_index) echo 1024 ;;
    registry_values) echo 2048 ;;
    *) echo 4096 ;;
  esac
}

# _oxlo_le VALUE COUNT: VALUE as COUNT bytes, little-endian.
_oxlo_le() {
  local i
  for ((i = 0; i < $2; i++)); do
    printf "\\x$(printf %02x $((($1 >> (8 * i)) & 255)))"
  done
}

# _oxlo_registry_record TYPE NAME DATA [subkey]: one record of the registry_values target; DATA is
# a printf format.
_oxlo_registry_record() {
  local data subkey=0
  data=$(mktemp)
  printf "$3" >"$data"
  [ -n "${4:-}" ] && subkey=128
  _oxlo_le "$1" 4
  _oxlo_le $((${#2} | subkey)) 1
  printf '%s' "$2"
  _oxlo_le "$(stat -c %s "$data")" 2
  cat "$data"
  rm -f "$data"
}

# oxlo_fuzz_seeds ROOT: writes each target's seeds to ROOT/build/fuzz/seeds/TARGET, made from the
# maps and indexes of tests/data and the overview source of tests/fuzz/seeds.
oxlo_fuzz_seeds() {
  local root=$1 seeds=$1/build/fuzz/seeds data=$1/tests/data mp=$1/tests/fuzz/seeds/overview.mp
  local map
  rm -rf "$seeds"
  mkdir -p "${OXLO_FUZZ_TARGETS[@]/#/$seeds/}"
  # tre_search: a control byte, then the map; k > 0 makes the search's first piece k bytes long.
  for map in "$data"/*.img; do
    { printf '\x00'; cat "$map"; } >"$seeds/tre_search/$(basename "$map")"
    { printf '\xfd'; cat "$map"; } >"$seeds/tre_search/pieces-$(basename "$map")"
  done
  # The TRE header of village-transparent.img (at 3584, its signature at 3586) with the first
  # piece's end inside the signature (map byte 7) and right after it (at 12).
  map=$data/village-transparent.img
  { printf '\x07'; dd if="$map" bs=1 skip=3584 count=120 status=none; } >"$seeds/tre_search/split-signature"
  { printf '\x0c'; dd if="$map" bs=1 skip=3584 count=120 status=none; } >"$seeds/tre_search/signature-at-end"
  # tdb_fields: the offset, the new name's length and the name, then the index.
  { printf '\x04\x05Alpen'; cat "$data/alpen.tdb"; } >"$seeds/tdb_fields/alpen"
  { printf '\x06\x03Bay'; cat "$data/village.tdb"; } >"$seeds/tdb_fields/village-shorter"
  { printf '\xfe\x0cVillage Alps'; cat "$data/village.tdb"; } >"$seeds/tdb_fields/village-longer"
  # tdb_index: the indexes as they are, those of the downloaded mapsets with their map lists.
  for map in "$data"/*.tdb "$data"/ready/*/*.tdb; do cp "$map" "$seeds/tdb_index/"; done
  # img_directory: mkgmap's maps, one of them with two maps' subfiles.
  for map in "$data"/village-two-maps.img "$data"/ready/*/*.img; do
    cp "$map" "$seeds/img_directory/"
  done
  cp "$mp" "$seeds/overview_filter/overview.mp"
  # read_line: the text, and the line ends next to each other and at the end.
  cp "$mp" "$seeds/read_line/overview"
  printf 'A\r\nB\rC\0D\n\nE' >"$seeds/read_line/ends"
  printf 'AB\r\rC\r' >"$seeds/read_line/cr"
  # registry_values: the values the catalogue holds, and the edges of the text and number reads.
  {
    _oxlo_registry_record 1 BMAP 'C:\\Garmin\\Oxlo\\Alps\\Alps.IMG\0'
    _oxlo_registry_record 3 ID '\x71\x17'
    _oxlo_registry_record 4 FID '\xff\xff\xff\xff' subkey
    _oxlo_registry_record 2 LOC 'C:\\Garmin\0'
  } >"$seeds/registry_values/catalogue"
  {
    _oxlo_registry_record 1 Long "$(printf '%0254d' 0)\\0"
    _oxlo_registry_record 1 Longer "$(printf '%0255d' 0)\\0" subkey
    _oxlo_registry_record 1 Unended "$(printf '%0255d' 0)"
  } >"$seeds/registry_values/long-texts"
  {
    _oxlo_registry_record 3 Five '\x01\x02\x03\x04\x05'
    _oxlo_registry_record 3 Empty ''
    _oxlo_registry_record 4 Three '\x01\x02\x80' subkey
    _oxlo_registry_record 7 Multi 'a\0b\0\0'
    _oxlo_registry_record 0 None '\x01'
  } >"$seeds/registry_values/numbers"
  # bundle_info: mkgmap's Info.xml, and the same as UTF-16 with a comment and entities.
  local info=$data/bundles/Test\ Fam.gmap/Info.xml
  cp "$info" "$seeds/bundle_info/mkgmap"
  sed -e 's/UTF-8/UTF-16/' -e 's/<Name>Test Fam</<!-- c --><Name>A \&amp; B \&#x263A;</' "$info" |
    iconv -f UTF-8 -t UTF-16 >"$seeds/bundle_info/utf16"
}

# oxlo_fuzz_run ROOT TARGET CORPUS LOG LIBFUZZER-OPTIONS...: runs TARGET of build/fuzz on CORPUS
# (where new inputs are kept) and its seeds, output in LOG; a crash lands in
# build/fuzz/crashes/TARGET/. The fuzzer runs in build/fuzz/work/TARGET, where -jobs leaves its
# fuzz-N.log files. Gives the fuzzer's exit code (0: no crash, no broken property).
oxlo_fuzz_run() {
  local root=$1 target=$2 corpus=$3 log=$4 work=$1/build/fuzz/work/$2
  shift 4
  mkdir -p "$corpus" "$work" "$root/build/fuzz/crashes/$target"
  (cd "$work" &&
    "$root/build/fuzz/tests/fuzz/$target" -max_len="$(oxlo_fuzz_max_len "$target")" -timeout=10 \
      -artifact_prefix="$root/build/fuzz/crashes/$target/" "$@" \
      "$corpus" "$root/build/fuzz/seeds/$target") </dev/null >"$log" 2>&1
}

# oxlo_fuzz_executions LOG...: the inputs the runs in these logs executed, summed.
oxlo_fuzz_executions() {
  local log total=0 runs
  for log in "$@"; do
    runs=$(grep -oE '^(Done [0-9]+ runs|#[0-9]+)' "$log" | tail -n 1 | grep -oE '[0-9]+')
    total=$((total + ${runs:-0}))
  done
  echo "$total"
}
