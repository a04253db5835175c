#!/usr/bin/env bash
# Builds the Debian package and checks it as a user meets it: lintian, the desktop entry, the
# AppStream metadata and the manual pages first; then, as root, installs it with apt over an
# older version, uses the installed programs from an empty folder with nothing of the build on
# the path, and removes it, checking that none of its files stay. Any failed step fails the
# run; the package is removed again however the check ends.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

step() { echo "check-package: $*"; }
fail() {
    echo "check-package: FAILED: $*" >&2
    exit 1
}

deb=$(bash "$root/scripts/package.sh")
version=$(dpkg-deb --field "$deb" Version)
work=$(mktemp -d)
chmod 755 "$work" # apt reads the package as its own unprivileged user
installed_here=false
cleanup() {
    if $installed_here && dpkg-query -W -f='${db:Status-Abbrev}' vantorel 2>/dev/null |
        grep -q '^i'; then
        echo "check-package: removing the package after a failed check" >&2
        DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq vantorel >/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

step "$deb ($(du -k "$deb" | cut -f1) kB), version $version"

step "lintian"
lintian_ok=true
report=$(lintian --fail-on error,warning "$deb" 2>&1) || lintian_ok=false
grep -v 'running with root privileges' <<<"$report" || true
$lintian_ok || fail "lintian reports errors or warnings"

# Nothing runs at install time but dpkg's unpacking: the control part holds no scripts.
control=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | sort | tr '\n' ' ')
[ "$control" = "./control ./md5sums " ] || fail "unexpected control files: $control"

dpkg-deb -x "$deb" "$work/tree"
tree="$work/tree/usr/share"
step "desktop-file-validate, appstreamcli validate"
for entry in "$tree"/applications/*.desktop; do
    out=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $out"
    [ -z "$out" ] || fail "desktop-file-validate: $out"
done
for meta in "$tree"/metainfo/*.xml; do
    appstreamcli validate --no-net "$meta" || fail "appstreamcli validate: $meta"
done
step "manual pages"
for page in "$tree"/man/man1/*.1.gz; do
    warnings=$(MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null) || fail "man -l $page"
    [ -z "$warnings" ] || fail "man --warnings -l $page: $warnings"
done

if [ "$(id -u)" != 0 ]; then
    step "installing the package needs root; not installed (CI runs this as root)"
    exit 0
fi
if dpkg-query -W -f='${db:Status-Abbrev}' vantorel 2>/dev/null | grep -q '^[ir]'; then
    step "vantorel is already installed here; not installed again, nor removed"
    exit 0
fi

apt_install() {
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "$@" \
        >"$work/apt.log" 2>&1 || {
        cat "$work/apt.log" >&2
        fail "apt-get install $*"
    }
}
# An upgrade: the same files under an older version go in first, then the package over them.
step "apt-get install over an older version"
dpkg-deb -R "$deb" "$work/older"
sed -i "s/^Version: .*/Version: ${version}~older/" "$work/older/DEBIAN/control"
dpkg-deb --root-owner-group -b "$work/older" "$work/vantorel_${version}~older.deb" >/dev/null
installed_here=true
apt_install "$work/vantorel_${version}~older.deb"
cp "$deb" "$work/"
apt_install "$work/$(basename "$deb")"
[ "$(dpkg-query -W -f='${Version}' vantorel)" = "$version" ] || fail "the upgrade left $(
    dpkg-query -W -f='${Version}' vantorel)"
dpkg -L vantorel | sort >"$work/files"

# A user's session: an empty folder, the system's path, a home of its own with settings that
# another program keeps in the same file; nothing of the build is reachable.
mkdir -p "$work/empty" "$work/home/.config"
printf '[Other]\nkey=value\n\n[Vantorel]\nName%%20Of%%20Buyer=Orwen Palk\n' \
    >"$work/home/.config/Marrowind.ini"
settings=$(sha256sum <"$work/home/.config/Marrowind.ini")
as_user() {
    (cd "$work/empty" && env -i PATH=/usr/bin:/bin HOME="$work/home" LANG=C.UTF-8 \
        XDG_CONFIG_HOME="$work/home/.config" XDG_RUNTIME_DIR="$work/runtime" TEMP= "$@")
}
mkdir -m 700 "$work/runtime"

step "vantorel-bill --version, vantorel --version"
[ "$(as_user sh -c 'command -v vantorel-bill')" = /usr/bin/vantorel-bill ] ||
    fail "vantorel-bill is not the installed one"
[ "$(as_user vantorel-bill --version)" = "vantorel-bill $version" ] || fail "vantorel-bill --version"
[ "$(as_user vantorel --version)" = "vantorel $version" ] || fail "vantorel --version"

step "a bill from a record: .doc, PDF and PNG"
cat >"$work/empty/sale.json" <<'JSON'
{"Amount Of Motor Vehicle": "2900.00", "Name Of Seller": "Tobin Harl",
 "Name Of Buyer": "Orwen Palk", "Make": "Ford", "Model": "Thunderbird", "Year": "1969"}
JSON
as_user vantorel-bill sale.json --doc bill.doc --pdf bill.pdf --png pages --dpi 72 ||
    fail "vantorel-bill sale.json"
unzip -tq "$work/empty/bill.doc" >/dev/null || fail "bill.doc is not a whole zip package"
pdf=$(pdfinfo "$work/empty/bill.pdf") || fail "pdfinfo bill.pdf"
grep -q '^Title: *Motor Vehicle Bill of Sale$' <<<"$pdf" || fail "the PDF's title: $pdf"
# At 72 dpi a picture has as many pixels as the PDF's page has points.
size=$(sed -n 's/^Page size: *\([0-9]*\) x \([0-9]*\) pts.*/\1 x \2/p' <<<"$pdf" | head -1)
picture=$(file -b "$work/empty/pages/page-1.png")
[[ $picture == "PNG image data, $size, 8-bit grayscale"* ]] ||
    fail "page-1.png is \"$picture\", not a $size PNG"

step "man -w, bash completion"
for page in vantorel-bill vantorel; do
    # A system whose dpkg leaves out /usr/share/man (path-exclude, as slim images do) fails here.
    as_user man -w $page >/dev/null || fail "man -w $page finds no manual page"
done
completion=$(as_user bash -c 'source /usr/share/bash-completion/bash_completion
    _completion_loader vantorel-bill
    COMP_WORDS=(vantorel-bill sale.json --dpi ""); COMP_CWORD=3
    COMP_LINE="vantorel-bill sale.json --dpi "; COMP_POINT=${#COMP_LINE}
    $(complete -p vantorel-bill | sed "s/.*-F \([^ ]*\) .*/\1/") vantorel-bill "" --dpi
    echo "${COMPREPLY[*]}"')
[[ " $completion " == *" 96 "* ]] || fail "completing --dpi offers \"$completion\""

step "the desktop entry starts the installed program"
entry=/usr/share/applications/app.vantorel.Vantorel.desktop
exec_line=$(sed -n 's/^Exec=//p' "$entry" | sed 's/ *%[a-zA-Z]//g')
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 48x48 128x128 256x256; do
    [ -f "/usr/share/icons/hicolor/$size/apps/$icon.png" ] || fail "no $size icon $icon"
done
for asset in vantorel.png HAND-M.CUR; do
    [ -f "$(readlink -f /usr/libexec/vantorel/$asset)" ] || fail "the program folder's $asset"
done
program=$(as_user sh -c "command -v ${exec_line%% *}") || fail "Exec=$exec_line is not on the path"
[ "$(readlink -f "$program")" = /usr/libexec/vantorel/vantorel ] ||
    fail "Exec=$exec_line runs $program, not the installed program"
# shellcheck disable=SC2086 # the Exec line is split into words, as a desktop does
as_user QT_QPA_PLATFORM=offscreen VANTOREL_EXIT_WHEN_SHOWN=1 timeout 120 $exec_line ||
    fail "Exec=$exec_line did not start and quit"
[ "$(sha256sum <"$work/home/.config/Marrowind.ini")" = "$settings" ] ||
    fail "starting the program changed the settings file"

step "apt-get remove leaves nothing behind"
DEBIAN_FRONTEND=noninteractive apt-get remove -y -qq vantorel >/dev/null ||
    fail "apt-get remove vantorel"
installed_here=false
status=$(dpkg-query -W -f='${db:Status-Abbrev}' vantorel 2>/dev/null || true)
[[ $status != [ir]* ]] || fail "dpkg still knows the package: $status"
left=()
while read -r path; do
    # Folders the package shares with others (/usr/share/man/man1) stay; its own go.
    if [ -d "$path" ] && [ ! -L "$path" ]; then
        [[ $path != *vantorel* ]] && continue
    fi
    if [ -e "$path" ] || [ -L "$path" ]; then
        left+=("$path")
    fi
done <"$work/files"
[ ${#left[@]} -eq 0 ] || fail "left after removal: ${left[*]}"
step "passed"
