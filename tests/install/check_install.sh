#!/usr/bin/env bash
# The program installed like a desktop program: `cmake --install` into a temporary DESTDIR, the
# layout, desktop entry, MIME type and icons checked there; then `cpack -G DEB`, the package
# unpacked with `dpkg -x` and the program started from the unpacked root through its launcher.
# Arguments: build folder, source folder, expected version.
set -uo pipefail
build=$1 src=$2 version=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/kalno-install.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
# The program reads its settings; keep them away from the real home.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
export QT_QPA_PLATFORM=offscreen

failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
die() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

name=kalno-mahnbescheid
mime=application/x-kalno-mahnbescheid
runtime_src="$src/data/Mahnbescheid Runtime"
example="lib/$name/Mahnbescheid Runtime/examples/Beispiel.kln"

# The files a prefix holds besides the runtime folder; icons are matched by their size folder.
expected_files() {
  printf '%s\n' bin/mahnbescheid "lib/$name/mahnbescheid" "share/applications/$name.desktop" \
    "share/mime/packages/$name.xml" "share/icons/hicolor/scalable/apps/$name.svg"
}
listing() { (cd "$1" && find . \( -type f -o -type l \) -printf '%P\n' | LC_ALL=C sort); }

png_size() {  # width x height from the IHDR chunk, or nothing when the file is no PNG
  local sig
  sig=$(od -An -tx1 -N8 "$1" | tr -d ' \n')
  [ "$sig" = 89504e470d0a1a0a ] || return 0
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8 }'
}

# Starts the program at $1 (a launcher) from an unrelated folder; checks --version and a batch
# print of the shipped example, which needs the definition from the runtime folder.
check_program() {
  local launcher=$1 where=$2 out
  out=$(cd "$work" && "$launcher" --version 2>&1)
  [ "$out" = "KALNO Mahnbescheid $version" ] || fail "$where: --version printed \"$out\""
  echo "$where: --version -> $out"
  rm -f "$work/out.pdf"
  if ! out=$(cd "$work" && "$launcher" --print-pdf "$work/out.pdf" "$(dirname "$launcher")/../$example" 2>&1); then
    fail "$where: --print-pdf of the example failed: $out"
  elif [ "$(head -c 5 "$work/out.pdf" 2>/dev/null)" != "%PDF-" ]; then
    fail "$where: --print-pdf wrote no PDF"
  fi
}

step "cmake --install into a temporary DESTDIR"
prefix=/opt/kalno
stage="$work/stage"
DESTDIR="$stage" cmake --install "$build" --prefix "$prefix" >"$work/install.log" 2>&1 ||
  { cat "$work/install.log"; die "cmake --install failed"; }
root="$stage$prefix"
installed=$(listing "$root")

step "layout"
others=$(grep -v "^lib/$name/Mahnbescheid Runtime/" <<<"$installed" |
  grep -v -E "^share/icons/hicolor/[0-9]+x[0-9]+/apps/$name\.png$")
[ "$others" = "$(expected_files | LC_ALL=C sort)" ] ||
  fail "unexpected set of installed files:"$'\n'"$(diff <(expected_files | LC_ALL=C sort) - <<<"$others")"
exe="$root/lib/$name/mahnbescheid"
[ -f "$exe" ] && [ ! -L "$exe" ] && [ -x "$exe" ] || fail "the program is not an executable file: $exe"
link=$(readlink "$root/bin/mahnbescheid")
case "$link" in
  /*|"") fail "the launcher is no relative symbolic link: \"$link\"" ;;
esac
[ "$(readlink -f "$root/bin/mahnbescheid")" = "$(readlink -f "$exe")" ] || fail "the launcher does not lead to the program"
# Exactly the build's runtime folder (shipped data and drawn pictures), and all of the shipped data.
diff -r "$build/Mahnbescheid Runtime" "$root/lib/$name/Mahnbescheid Runtime" >"$work/diff.log" ||
  fail "installed runtime folder differs from the build's:"$'\n'"$(cat "$work/diff.log")"
while IFS= read -r f; do
  cmp -s "$runtime_src/$f" "$root/lib/$name/Mahnbescheid Runtime/$f" || fail "runtime file missing or changed: $f"
done < <(listing "$runtime_src")
for f in images/Step1.jpg images/Splash.jpg WizardSteps.xml; do
  [ -s "$root/lib/$name/Mahnbescheid Runtime/$f" ] || fail "runtime folder lacks $f"
done

step "icons"
[ -f "$root/share/icons/hicolor/48x48/apps/$name.png" ] || fail "no 48x48 icon"
while IFS= read -r f; do
  folder=$(basename "$(dirname "$(dirname "$f")")")
  [ "$(png_size "$root/$f")" = "$folder" ] || fail "$f is not a $folder PNG (got \"$(png_size "$root/$f")\")"
done < <(grep -E "^share/icons/hicolor/[0-9]+x[0-9]+/" <<<"$installed")
grep -q '<svg xmlns="http://www.w3.org/2000/svg"' "$root/share/icons/hicolor/scalable/apps/$name.svg" ||
  fail "the scalable icon is no SVG"
if command -v xmllint >/dev/null; then
  xmllint --noout "$root/share/icons/hicolor/scalable/apps/$name.svg" || fail "the SVG icon is not well-formed"
fi

step "desktop entry"
desktop="$root/share/applications/$name.desktop"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$desktop" || fail "desktop-file-validate rejects $desktop"
  echo "desktop-file-validate: $(basename "$desktop") accepted"
else
  echo "WARNING: desktop-file-validate missing (package desktop-file-utils); not validated" >&2
fi
key() { sed -n "s/^$1=//p" "$desktop"; }
[ "$(key Name)" = "KALNO Mahnbescheid" ] || fail "Name is \"$(key Name)\""
[ "$(key Comment)" = "Antrag auf Erlass eines Mahnbescheides ausfüllen und drucken" ] || fail "Comment is \"$(key Comment)\""
# A double-click hands the document over as the first argument of the launcher on the PATH.
[ "$(key Exec)" = "mahnbescheid %f" ] || fail "Exec is \"$(key Exec)\""
[ -L "$root/bin/$(key Exec | cut -d' ' -f1)" ] || fail "Exec names no installed launcher"
[ -f "$root/share/icons/hicolor/scalable/apps/$(key Icon).svg" ] || fail "Icon \"$(key Icon)\" is not installed"
grep -q -E '^Categories=(.*;)?Office;' "$desktop" || fail "not in the category Office"
grep -q -E "^MimeType=(.*;)?$mime;" "$desktop" || fail "MimeType lacks $mime"

step "MIME type"
if command -v update-mime-database >/dev/null; then
  # With the prefix in the search path the tool stays silent unless the package file is wrong.
  XDG_DATA_DIRS="$root/share:${XDG_DATA_DIRS:-/usr/local/share:/usr/share}" \
    update-mime-database "$root/share/mime" >"$work/mime.log" 2>&1 || fail "update-mime-database: $(cat "$work/mime.log")"
  [ ! -s "$work/mime.log" ] || fail "update-mime-database complains: $(cat "$work/mime.log")"
  grep -q -x "[0-9]*:$mime:\*\.kln" "$root/share/mime/globs2" || fail "*.kln is not $mime in globs2"
  grep -q "<comment>KALNO-Mahnbescheid-Dokument</comment>" "$root/share/mime/$mime.xml" ||
    fail "no German comment for $mime"
else
  echo "WARNING: update-mime-database missing (package shared-mime-info); MIME type not compiled" >&2
fi

step "program started through the installed launcher"
check_program "$root/bin/mahnbescheid" "installed"
# Without the runtime folder beside the program the same print must fail: the folder is found
# beside the real executable, not somewhere else.
cp "$root/$example" "$work/Beispiel.kln"
mv "$root/lib/$name/Mahnbescheid Runtime" "$work/moved-runtime"
if (cd "$work" && "$root/bin/mahnbescheid" --print-pdf "$work/none.pdf" "$work/Beispiel.kln" >/dev/null 2>&1); then
  fail "printed without the definition of its runtime folder: the runtime folder came from elsewhere"
fi

step "cpack -G DEB"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; die "cpack failed"; }
! grep -q -i "warning" "$work/cpack.log" || fail "cpack warns:"$'\n'"$(cat "$work/cpack.log")"
deb="$work/pkg/${name}_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$work/pkg"; die "no package $(basename "$deb")"; }
echo "$(basename "$deb"): $(du -h "$deb" | cut -f1)"
dpkg-deb -f "$deb" Package Version Architecture Maintainer Section Priority Homepage Depends
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "$name" ] || fail "Package is \"$(field Package)\""
[ "$(field Version)" = "$version" ] || fail "Version is \"$(field Version)\""
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Section)" ] || fail "no Section"
description=$(field Description)
# German and English, and the quoted words arrive as written.
grep -q "Ein Assistent für den Antrag" <<<"$description" && grep -q "A step-by-step wizard" <<<"$description" &&
  grep -q '("Antrag auf Erlass eines Mahnbescheides")' <<<"$description" ||
  fail "the description is not the German and English text:"$'\n'"$description"
depends=$(field Depends)
for p in libqt6core6 libqt6gui6 libqt6widgets6 libqt6printsupport6 libc6 fonts-liberation2 qt6-translations-l10n; do
  grep -q -E "(^|, )$p( |,|$)" <<<"$depends" || fail "Depends lacks $p"
done
# Qt Core reads the definition; Qt Xml is not used.
grep -q -E "(^|, )libqt6xml6( |,|$)" <<<"$depends" && fail "Depends names libqt6xml6, which the program does not use"
# Every dependency must name a real package (this machine's packages are those of the target).
for p in $(tr ',|' '\n\n' <<<"$depends" | sed 's/(.*)//; s/ //g; s/:any$//'); do
  dpkg-query -W "$p" >/dev/null 2>&1 || fail "Depends names an unknown package: $p"
done

step "dpkg -x and start from the unpacked root"
dpkg -x "$deb" "$work/root" || die "dpkg -x failed"
# The package holds exactly what `cmake --install` puts into a prefix.
[ "$(listing "$work/root/usr")" = "$installed" ] ||
  fail "package and installed prefix differ:"$'\n'"$(diff <(echo "$installed") <(listing "$work/root/usr"))"
[ -z "$(cd "$work/root" && find . -mindepth 1 -maxdepth 1 ! -name usr)" ] || fail "package holds files outside /usr"
check_program "$work/root/usr/bin/mahnbescheid" "package"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "all install checks passed"
