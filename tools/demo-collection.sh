# The small collection of `./run.sh --demo`, made from tests/data; source this file.
# oxlo_make_demo_collection PREFIX ROOT OXLO_EXE: fills the stopped Wine prefix PREFIX with
#   C:\Maps\Hills, C:\Maps\Moors   two families as mkgmap made them (Hills with its TYP file)
#   C:\Maps\Alpen                  product 150 (Products\150)
#   C:\ProgramData\Garmin\Maps\Test Fam.gmap   a BaseCamp bundle
#   Families\Dales                 registered in C:\Maps\Dales, a folder that is not there
# and C:\Oxlo with a copy of OXLO_EXE (and oxlo.com beside it) and, when Debian's mkgmap is
# installed, its mkgmap.jar, where Oxlo looks for it. Sets OXLO_DEMO_EXE to the copy's Linux path.
# Registry values go through `wine reg add /reg:32`, the view MapSource reads.

oxlo_demo_reg() {
  wine reg add "HKLM\\SOFTWARE\\Garmin\\MapSource\\$1" "${@:2}" /reg:32 /f \
    </dev/null >/dev/null 2>&1 || { echo "reg add $1 failed" >&2; return 1; }
}

# oxlo_demo_family NAME ID-HEX [TYP-FILE]: a family registered as Oxlo's install writes one.
oxlo_demo_family() {
  local name=$1 id=$2 typ=${3:-} folder="C:\\Maps\\$1"
  oxlo_demo_reg "Families\\$name" /v ID /t REG_BINARY /d "$id" &&
    oxlo_demo_reg "Families\\$name" /v IDX /t REG_SZ /d "$folder\\$name.mdx" &&
    oxlo_demo_reg "Families\\$name" /v MDR /t REG_SZ /d "$folder\\${name}_mdr.img" &&
    oxlo_demo_reg "Families\\$name\\1" /v LOC /t REG_SZ /d "$folder" &&
    oxlo_demo_reg "Families\\$name\\1" /v BMAP /t REG_SZ /d "$folder\\$name.img" &&
    oxlo_demo_reg "Families\\$name\\1" /v TDB /t REG_SZ /d "$folder\\$name.tdb" || return 1
  [ -z "$typ" ] || oxlo_demo_reg "Families\\$name" /v TYP /t REG_SZ /d "$folder\\$typ"
}

oxlo_make_demo_collection() {
  local prefix=$1 root=$2 exe=$3 data=$2/tests/data
  local c=$prefix/drive_c jar=/usr/share/mkgmap/mkgmap.jar
  mkdir -p "$c/Maps/Alpen" "$c/ProgramData/Garmin/Maps" "$c/Oxlo" || return 1
  cp -r "$data/ready/Hills" "$data/ready/Moors" "$c/Maps/" &&
    cp "$data/alpen.tdb" "$data/alpen.img" "$c/Maps/Alpen/" &&
    cp -r "$data/bundles/Test Fam.gmap" "$c/ProgramData/Garmin/Maps/" &&
    cp "$exe" "$c/Oxlo/" || return 1
  [ -f "${exe%.exe}.com" ] && cp "${exe%.exe}.com" "$c/Oxlo/"
  [ -f "$jar" ] && cp "$jar" "$c/Oxlo/"
  OXLO_DEMO_EXE=$c/Oxlo/$(basename "$exe")
  (
    export WINEPREFIX=$prefix
    unset DISPLAY
    # Family IDs low byte first: 6005, 6007 and 6006.
    oxlo_demo_family Hills 7517 hills.typ &&
      oxlo_demo_family Moors 7717 &&
      oxlo_demo_family Dales 7617 &&
      oxlo_demo_reg "Products\\150" /v LOC /t REG_SZ /d 'C:\Maps\Alpen' &&
      oxlo_demo_reg "Products\\150" /v BMAP /t REG_SZ /d 'C:\Maps\Alpen\alpen.img' &&
      oxlo_demo_reg "Products\\150" /v TDB /t REG_SZ /d 'C:\Maps\Alpen\alpen.tdb'
    local status=$?
    wineserver -w </dev/null >/dev/null 2>&1
    exit $status
  )
}
