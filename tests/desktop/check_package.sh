#!/usr/bin/env bash
# Builds the Debian package from a build tree, unpacks it into a scratch root and checks its
# files, its control fields, the desktop and MIME files, the man pages, and that the programs
# run through their links in usr/bin.
#   check_package.sh BUILD_DIR SCRATCH_DIR SOURCE_DIR VERSION
set -euo pipefail
build=$1 scratch=$2 source=$3 version=$4
rm -rf "$scratch"
mkdir -p "$scratch"
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

if ! (cd "$build" && cpack -G DEB -B "$scratch" >"$scratch/cpack.log" 2>&1); then
  cat "$scratch/cpack.log" >&2
  exit 1
fi
arch=$(dpkg --print-architecture)
deb=$scratch/zodiara_${version}_${arch}.deb
[ -f "$deb" ] || { echo "FAIL: cpack wrote no $deb" >&2; exit 1; }

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = zodiara ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ "$(field Description | wc -l)" -gt 1 ] || fail "no long Description"
depends=$(field Depends)
for p in libqt6widgets6 libqt6printsupport6 libqt6svg6 libswe2.0 fonts-liberation2 tzdata swe-basic-data; do
  grep -qE "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p: $depends"
done
# The build needed every dependency, so each must be a package this machine knows.
for p in $(sed -E 's/\([^)]*\)//g; s/[,|]/ /g' <<<"$depends"); do
  dpkg-query -W "$p" >/dev/null 2>&1 || fail "Depends names a package dpkg does not know: $p"
done

root=$scratch/root
dpkg-deb -x "$deb" "$root"
expected="usr/bin/zodiara
usr/bin/zodiara-chart
usr/lib/zodiara/atlas-index.txt
usr/lib/zodiara/atlas-search.bin
usr/lib/zodiara/atlas.txt
usr/lib/zodiara/zodiara
usr/lib/zodiara/zodiara-chart
usr/lib/zodiara/zodiara-chart-atlas.so
usr/lib/zodiara/zodiara-chart-images.so
usr/lib/zodiara/zodiara.html
usr/share/applications/zodiara.desktop
usr/share/doc/zodiara/LICENSE
usr/share/doc/zodiara/copyright
usr/share/icons/hicolor/128x128/apps/zodiara.png
usr/share/icons/hicolor/16x16/apps/zodiara.png
usr/share/icons/hicolor/256x256/apps/zodiara.png
usr/share/icons/hicolor/32x32/apps/zodiara.png
usr/share/icons/hicolor/48x48/apps/zodiara.png
usr/share/icons/hicolor/64x64/apps/zodiara.png
usr/share/icons/hicolor/scalable/apps/zodiara.svg
usr/share/man/man1/zodiara-chart.1.gz
usr/share/man/man1/zodiara.1.gz
usr/share/mime/packages/zodiara.xml"
actual=$(cd "$root" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
[ "$actual" = "$(LC_ALL=C sort <<<"$expected")" ] || fail "files differ:
$(diff <(LC_ALL=C sort <<<"$expected") <(echo "$actual") || true)"

# The programs find the atlas and the guide beside their resolved file.
dir=$root/usr/lib/zodiara
for program in zodiara zodiara-chart; do
  [ -L "$root/usr/bin/$program" ] && [ "$(readlink -f "$root/usr/bin/$program")" = "$dir/$program" ] \
    && [ -x "$dir/$program" ] || fail "usr/bin/$program does not lead to usr/lib/zodiara/$program"
done
for atlas in atlas.txt atlas-index.txt; do
  cmp -s "$dir/$atlas" "$source/resources/$atlas" || fail "$atlas differs from resources/$atlas"
done
cmp -s "$dir/zodiara.html" "$source/docs/zodiara.html" || fail "zodiara.html differs from docs/zodiara.html"

desktop=$root/usr/share/applications/zodiara.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate refuses zodiara.desktop"
for line in 'Exec=zodiara %f' 'Icon=zodiara' 'MimeType=application/x-zodiara-chart;'; do
  grep -qxF "$line" "$desktop" || fail "zodiara.desktop lacks $line"
done

mime=$scratch/mime
mkdir -p "$mime/packages"
cp "$root/usr/share/mime/packages/zodiara.xml" "$mime/packages/"
update-mime-database "$mime" || fail "update-mime-database refuses zodiara.xml"
grep -q ':application/x-zodiara-chart:\*\.cht$' "$mime/globs2" || fail "no *.cht glob for application/x-zodiara-chart"

for size in 16 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/zodiara.png
  dims=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "not a PNG")' "$png")
  [ "$dims" = "${size}x${size}" ] || fail "${size}x${size} icon is $dims"
done

for page in zodiara zodiara-chart; do
  warnings=$(zcat "$root/usr/share/man/man1/$page.1.gz" | groff -man -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
done
for option in $("$root/usr/bin/zodiara-chart" --help | grep -oE -- '--[a-z]+' | sort -u); do
  zcat "$root/usr/share/man/man1/zodiara-chart.1.gz" | grep -qF -- "\\-\\-${option#--}" \
    || fail "zodiara-chart.1 does not describe $option"
done

chart=$scratch/ada.cht
"$root/usr/bin/zodiara-chart" compute --name Ada --date 1990-01-01 --time 12:00 --zone EST --lon 74W00 --lat 40N43 \
  --save "$chart" >/dev/null || fail "installed zodiara-chart compute failed"
[ "$(stat -c %s "$chart" 2>/dev/null)" = 846 ] || fail "installed zodiara-chart wrote no 846-byte chart"
# Images and --at come from the modules beside the resolved program.
"$root/usr/bin/zodiara-chart" show "$chart" --png "$scratch/ada.png" >/dev/null \
  && [ "$(head -c 4 "$scratch/ada.png" | od -An -c | tr -d ' ')" = 211PNG ] \
  || fail "installed zodiara-chart drew no PNG"
"$root/usr/bin/zodiara-chart" compute --at kathmandu --date 1990-05-01 --time 10:00 2>/dev/null \
  | grep -q 'Universal Time:       1990-05-01 04:15:00' || fail "installed zodiara-chart --at found no Kathmandu"
# Still running after a second: it started and opened the chart without dying.
status=0
QT_QPA_PLATFORM=offscreen timeout 1 "$root/usr/bin/zodiara" "$chart" >"$scratch/zodiara.log" 2>&1 || status=$?
[ "$status" = 124 ] || fail "installed zodiara exited with status $status: $(cat "$scratch/zodiara.log")"

[ "$failures" = 0 ] || exit 1
echo "package $(basename "$deb") checked"
