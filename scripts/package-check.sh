#!/usr/bin/env bash
# Builds the Debian package and tries it as a new user would: lintian, install with apt-get,
# the tools and the manual from the installed paths, the viewer under Xvfb (started directly
# and by xdg-open on a .nsm file, as a file manager's double click does), the desktop's MIME
# and application databases, then removes the package and checks that nothing of it stays.
# Needs root (or sudo) and changes the machine only while it runs.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
sudo_cmd=()
[[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
export XDG_RUNTIME_DIR=${XDG_RUNTIME_DIR:-/tmp/runtime-$(id -u)}
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"

fail() {
  echo "package-check: $*" >&2
  exit 1
}
step() { echo "== $*"; }

bash scripts/deps.sh --package-check
bash scripts/package.sh
version=$(sed -n 's/^project(OstrelViewer VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
deb=$(ls dist/ostrel-viewer_"${version}"_*.deb)
work=$(mktemp -d)
opener_group=
# Ends the process group setsid made for xdg-open (never this script's own group).
end_opener_group() {
  if [[ -n $opener_group && $(cut -d' ' -f5 "/proc/$opener_group/stat" 2>/dev/null) == "$opener_group" ]]; then
    kill -- "-$opener_group" 2>/dev/null || true
  fi
  opener_group=
}
installed=
cleanup() {
  end_opener_group
  # A failed check leaves the machine as it found it.
  [[ -n $installed ]] && "${sudo_cmd[@]}" apt-get purge -y -qq ostrel-viewer >/dev/null 2>&1
  rm -rf "$work"
}
trap cleanup EXIT

step "package contents and lintian"
dpkg-deb --field "$deb"
dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$work/contents"
if grep -E '/share/mime/[^p]|/share/applications/mimeinfo.cache|/share/icons/hicolor/icon-theme.cache' \
    "$work/contents"; then
  fail "a generated desktop cache is in the package"
fi
if dpkg-deb --field "$deb" Depends | grep -E -- '-dev\b'; then
  fail "the package depends on a development package"
fi
lintian --fail-on error "$deb" || fail "lintian reports errors"

step "install"
"${sudo_cmd[@]}" apt-get install -y -qq "./$deb" >/dev/null
installed=yes
[[ $(command -v ostrel-inspect) == /usr/bin/ostrel-inspect ]] || fail "ostrel-inspect not in /usr/bin"
[[ $(ostrel-inspect --version) == "ostrel-inspect $version" ]] || fail "ostrel-inspect --version"
[[ $(OstrelViewer --version) == "OstrelViewer $version" ]] || fail "OstrelViewer --version"
/usr/bin/ostrel-inspect --figures samples/sector65_2freq.nsm >/dev/null
/usr/bin/ostrel-inspect --figures samples/panel65_cw_5deg.json | grep -q "^directivity: "
/usr/bin/ostrel-convert --to csv -o "$work" samples/sector65_2freq.nsm samples/sector90_edx.pat
ls "$work"/*.csv >/dev/null || fail "ostrel-convert wrote nothing"
/usr/bin/ostrel-print -o "$work/pages.pdf" samples/sector65_2freq.nsm samples/panel_1900.vwa
[[ -s $work/pages.pdf ]] || fail "ostrel-print wrote no PDF"
man -w ostrel-inspect | grep -q '^/usr/share/man/man1/ostrel-inspect.1.gz$' || fail "man -w ostrel-inspect"
for page in OstrelViewer ostrel-convert ostrel-print; do man -w "$page" >/dev/null; done
desktop-file-validate /usr/share/applications/OstrelViewer.desktop
appstreamcli validate --no-net /usr/share/metainfo/org.example.OstrelViewer.metainfo.xml

step "desktop databases"
for file in sector65_2freq.nsm sector90_edx.pat panel_1900.vwa narrow_beam_0p5deg.pln \
            panel65_cw_5deg.json; do
  type=$(xdg-mime query filetype "samples/$file")
  echo "$file: $type"
  [[ $type == application/x-*-pattern ]] || fail "$file is $type"
done
default=$(xdg-mime query default application/x-ostrel-pattern)
[[ $default == OstrelViewer.desktop ]] || fail "default application: '$default'"
[[ $(xdg-mime query default application/x-nsma-pattern) == OstrelViewer.desktop ]] ||
  fail "no default application for NSMA files"

step "the viewer under Xvfb"
# The start-up probe makes the viewer quit once its window has painted.
OSTREL_STARTUP_PROBE=1 timeout 120 xvfb-run -a /usr/bin/OstrelViewer samples/sector65_2freq.nsm \
  2>"$work/viewer.err" || fail "the viewer did not start: $(cat "$work/viewer.err")"
grep -q '^first paint' "$work/viewer.err" || fail "the viewer never painted"
# A double click: xdg-open on the file starts the desktop entry's command with the file.
# The viewer runs until it is closed: xdg-open, Xvfb and the viewer run in a process group of
# their own, ended as one once the viewer has been seen with the file.
cp samples/sector65_2freq.nsm "$work/double click.nsm"
setsid timeout 300 xvfb-run -a xdg-open "$work/double click.nsm" >/dev/null 2>&1 &
opener=$!
opener_group=$opener
viewer_pid=
for _ in $(seq 600); do
  for proc in /proc/[0-9]*; do
    [[ $(readlink "$proc/exe" 2>/dev/null) == /usr/bin/OstrelViewer ]] || continue
    if tr '\0' '\n' <"$proc/cmdline" 2>/dev/null | grep -qxF "$work/double click.nsm"; then
      viewer_pid=${proc#/proc/}
    fi
  done
  [[ -n $viewer_pid ]] && break
  sleep 0.1
done
[[ -n $viewer_pid ]] || fail "xdg-open did not start the viewer on the file"
sleep 2
kill -0 "$viewer_pid" 2>/dev/null || fail "the viewer started by xdg-open did not stay up"
echo "xdg-open started /usr/bin/OstrelViewer (pid $viewer_pid) with the file"
end_opener_group
wait "$opener" 2>/dev/null || true
[[ ! -e /usr/bin/settings.ini ]] || fail "the installed viewer wrote settings into /usr/bin"

step "purge"
dpkg -L ostrel-viewer >"$work/installed"
"${sudo_cmd[@]}" apt-get purge -y -qq ostrel-viewer >/dev/null
installed=
left=()
while read -r path; do
  [[ -f $path || -L $path ]] && left+=("$path")
done <"$work/installed"
for folder in /usr/share/doc/ostrel-viewer /usr/share/ostrel-viewer; do
  [[ -e $folder ]] && left+=("$folder")
done
((${#left[@]} == 0)) || fail "left behind: ${left[*]}"
if grep -q 'x-nsma-pattern' /usr/share/mime/globs2 2>/dev/null; then
  fail "the MIME database still knows the pattern types"
fi
[[ -z $(xdg-mime query default application/x-ostrel-pattern) ]] || fail "still a default application"
echo "package-check: $deb passed"
