#!/usr/bin/env bash
# Checks the installation and the Debian package of an already built tree:
# installs it into a temporary folder, validates the desktop entry, AppStream
# data, file types, manual pages and shell completion with the desktop's own
# tools, builds the package and compares its contents with the installation.
# With CI=true, as root (a throw-away machine), it also installs the package,
# runs it and removes it again.
#   scripts/check_install.sh [BUILD_DIR]     (default: build)
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "${1:-build}")
id=example.orvane.Tessel

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "check_install: $*" >&2
  exit 1
}
# Runs a checker that must pass without a word of complaint.
quiet() {
  local out
  out=$("$@" 2>&1) || fail "$* failed: $out"
  [[ -z $out ]] || fail "$*: $out"
}

echo "-- install into a temporary folder"
root=$work/root
usr=$root/usr
DESTDIR=$root cmake --install "$build" --prefix /usr >/dev/null
expected=(
  usr/bin/tessel
  usr/bin/tessel-cli
  # The tool's commands that draw with Qt run in this helper.
  usr/libexec/tessel-cli-draw
  usr/share/applications/$id.desktop
  usr/share/metainfo/$id.metainfo.xml
  usr/share/mime/packages/$id.xml
  usr/share/icons/hicolor/scalable/apps/tessel.svg
  usr/share/icons/hicolor/scalable/mimetypes/application-x-tessel.svg
  usr/share/icons/hicolor/scalable/mimetypes/application-x-cardfile.svg
  usr/share/man/man1/tessel.1.gz
  usr/share/man/man1/tessel-cli.1.gz
  usr/share/bash-completion/completions/tessel-cli
  # The program looks for its data at ../share/tessel from its own folder.
  usr/share/tessel/help/tessel.html
)
if [[ -d resources/labels ]]; then
  while IFS= read -r file; do
    expected+=("usr/share/tessel/labels/${file#resources/labels/}")
  done < <(find resources/labels -type f)
fi
for path in "${expected[@]}"; do
  [[ -f $root/$path ]] || fail "not installed: /$path"
done
(cd "$root" && find . -type f | sed 's|^\./||' | sort) >"$work/installed"

cli=$usr/bin/tessel-cli
version=$("$cli" --version)
version=${version#tessel-cli }
# Programs find their data at ../share/tessel from their own folder.
for program in usr/bin/tessel usr/libexec/tessel-cli-draw; do
  [[ -d $root/$(dirname "$program")/../share/tessel ]] || fail "/$program does not find its data"
done
"$cli" labels --list >/dev/null || fail "the installed tool does not find its drawing helper"

echo "-- desktop entry, AppStream data, file types"
quiet desktop-file-validate "$usr/share/applications/$id.desktop"
appstreamcli validate --no-net "$usr/share/metainfo/$id.metainfo.xml" >"$work/appstream" 2>&1 ||
  fail "appstreamcli: $(cat "$work/appstream")"
grep -q "<release version=\"$version\"" "$usr/share/metainfo/$id.metainfo.xml" ||
  fail "the AppStream data has no release $version"
quiet xmllint --noout "$usr/share/mime/packages/$id.xml"
for icon in "$usr"/share/icons/hicolor/scalable/*/*.svg; do quiet xmllint --noout "$icon"; done

# The installed tree as the user's data folder: its MIME database and menu
# entries over the system's. GNOME's way of asking (gio) reads the
# shared-mime-info database as file managers do.
export XDG_DATA_HOME=$usr/share XDG_DATA_DIRS=/usr/share XDG_CURRENT_DESKTOP=GNOME
quiet update-mime-database "$usr/share/mime"
quiet update-desktop-database "$usr/share/applications"
files=$work/files
mkdir "$files"
cp resources/sample.tsl "$files/cards.tsl"
cp resources/sample.tsl "$files/renamed-0xAAAC"
printf '\xaa\xaa\x00\x00\x00\x00\x00\x00' >"$files/renamed-0xAAAA"
printf '\xab\xaa\x00\x00\x00\x00\x00\x00' >"$files/renamed-0xAAAB"
printf 'MGC\x00\x00' >"$files/old.crd"
printf 'MGC\x00\x00' >"$files/renamed-cardfile"
printf 'MGCX is not a card\n' >"$files/notes.txt"
check_type() {
  local got
  got=$(timeout 20 xdg-mime query filetype "$files/$1")
  [[ $got == "$2" ]] || fail "$1 is seen as '$got', not $2"
}
check_type cards.tsl application/x-tessel
check_type renamed-0xAAAA application/x-tessel
check_type renamed-0xAAAB application/x-tessel
check_type renamed-0xAAAC application/x-tessel
check_type old.crd application/x-cardfile
check_type renamed-cardfile application/x-cardfile
check_type notes.txt text/plain
for type in application/x-tessel application/x-cardfile; do
  got=$(timeout 20 xdg-mime query default "$type")
  [[ $got == "$id.desktop" ]] || fail "$type opens with '$got', not $id.desktop"
done
unset XDG_DATA_HOME XDG_DATA_DIRS XDG_CURRENT_DESKTOP

echo "-- manual pages and shell completion"
for page in tessel tessel-cli; do
  warnings=$(MANWIDTH=80 man --warnings -l "$usr/share/man/man1/$page.1.gz" 2>&1 >/dev/null)
  [[ -z $warnings ]] || fail "man $page: $warnings"
done
commands=$("$cli" --help | awk '$0 == "Commands:" { on = 1; next } on && /^$/ { exit } on && /^  [^ ]/ { print $1 }')
[[ -n $commands ]] || fail "tessel-cli --help lists no commands"
# The options a help text lists, one name a line ("-h,--help" gives two).
options_of() {
  awk '$0 == "Options:" { on = 1; next } on && /^$/ { exit }
       on && /^  [^ ]/ { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }'
}
zcat "$usr/share/man/man1/tessel-cli.1.gz" >"$work/tessel-cli.1"
for name in $commands; do
  # The command's entry: from its name to the next command's.
  section=$(name=$name awk 'BEGIN { mark = "\\&\\fB"; start = mark ENVIRON["name"] "\\fR" }
                            index($0, start) == 1 { on = 1; print; next }
                            on && index($0, mark) == 1 { exit }
                            on' "$work/tessel-cli.1")
  [[ -n $section ]] || fail "man tessel-cli does not describe '$name'"
  for option in $("$cli" "$name" --help | options_of); do
    grep -qF "\fB${option//-/\\-}\fR" <<<"$section" || fail "man tessel-cli does not list $name's $option"
  done
done

# Completion, with the installed tool first on PATH, and once with a stand-in
# whose command takes an option.
mkdir "$work/stub"
cat >"$work/stub/tessel-cli" <<'STUB'
#!/bin/sh
case "$*" in
  --help) printf 'Usage: tessel-cli [OPTIONS] COMMAND\n\nOptions:\n  -h,--help   this\n\nCommands:\n  info        what\n  export      more\n' ;;
  "export --help") printf 'more\nUsage: tessel-cli export [OPTIONS] FILE\n\nPositionals:\n  FILE        the file\n\nOptions:\n  -h,--help   this\n  --as FORMAT how\n              and more\n' ;;
  "info --help") printf 'what\nUsage: tessel-cli info [OPTIONS] FILE\n\nOptions:\n  -h,--help   this\n' ;;
esac
STUB
chmod +x "$work/stub/tessel-cli"
complete_words() {
  PATH=$1 bash -c 'source "$0"; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1))
                   _tessel_cli; echo "${COMPREPLY[*]}"' \
    "$usr/share/bash-completion/completions/tessel-cli" "${@:2}"
}
got=$(complete_words "$usr/bin:$PATH" tessel-cli "")
[[ $got == "$(echo $commands) -h --help --version" ]] || fail "completion of the first word: '$got'"
[[ $(complete_words "$usr/bin:$PATH" tessel-cli --v) == --version ]] || fail "completion of --v"
[[ -z $(complete_words "$usr/bin:$PATH" tessel-cli info c) ]] || fail "an argument completes as a file name"
got=$(complete_words "$usr/bin:$PATH" tessel-cli print card f --)
[[ $got == "--help --resolution" ]] || fail "completion of print's options: '$got'"
[[ -z $(complete_words "$usr/bin:$PATH" tessel-cli convert -- --) ]] || fail "an option offered after --"
[[ $(complete_words "$work/stub:$PATH" tessel-cli ex) == export ]] || fail "completion of a new command"
[[ $(complete_words "$work/stub:$PATH" tessel-cli export f --a) == --as ]] || fail "completion of a command's option"
[[ -z $(complete_words "$work/stub:$PATH" tessel-cli info --a) ]] || fail "an option of another command offered"

echo "-- Debian package"
(cd "$work" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/pkg" >"$work/cpack.log" 2>&1) ||
  fail "cpack: $(cat "$work/cpack.log")"
deb=$(echo "$work"/pkg/*.deb)
[[ -f $deb ]] || fail "cpack made no package"
dpkg-deb -c "$deb" | awk '$1 !~ /^d/ { sub(/^\.\//, "", $6); print $6 }' | sort >"$work/packaged"
diff -u "$work/installed" "$work/packaged" >"$work/diff" || fail "package and installation differ: $(cat "$work/diff")"
depends=$(dpkg-deb -f "$deb" Depends)
for needed in libqt6widgets6 libqt6svg6 xdg-utils glabels-data libc6; do
  [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done
# The dpkg triggers refresh the menu, MIME, icon and manual databases.
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -Eq 'preinst|postinst|prerm|postrm' &&
  fail "the package carries maintainer scripts"

if [[ ${CI:-} == true && $(id -u) -eq 0 ]]; then
  echo "-- install the package on this machine and remove it again"
  dpkg -i "$deb" >/dev/null
  installed_version=$(/usr/bin/tessel-cli --version)
  [[ -f /usr/share/mime/application/x-tessel.xml ]] || fail "the MIME database was not refreshed"
  grep -q "^application/x-tessel=.*$id.desktop" /usr/share/applications/mimeinfo.cache ||
    fail "the menu's file type cache was not refreshed"
  # Slim images tell dpkg to leave manual pages out.
  if ! grep -qs 'path-exclude=/usr/share/man' /etc/dpkg/dpkg.cfg.d/*; then
    man -w tessel-cli >/dev/null || fail "man tessel-cli is not found"
  fi
  dpkg -r tessel >/dev/null
  [[ $installed_version == "tessel-cli $version" ]] || fail "installed tool says '$installed_version'"
  [[ ! -e /usr/bin/tessel && ! -e /usr/share/mime/application/x-tessel.xml ]] || fail "removal left files"
fi
echo "Installation and package checks passed."
