#!/usr/bin/env bash
# Builds the Debian package, installs it on this machine, starts both installed
# programs on a virtual screen, screenshots them and removes the package again.
# Needs root (apt-get). Not run by CI.
#   scripts/package-check.sh [build-dir]     default: build-pkg
# Leaves the .deb, its Depends line and the screenshots in <build-dir>/package-check.
set -euo pipefail

top="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

# Inner mode, run under xvfb-run: start one program, wait for its window to be
# painted, take a screenshot, and fail if the program died.
if [ "${1:-}" = --shot ]; then
  program="$2" shot="$3"
  "$program" >"$shot.log" 2>&1 &
  pid=$!
  if ! timeout 30 xdotool search --sync --onlyvisible --pid "$pid" >/dev/null; then
    echo "$program showed no window within 30 s" >&2
    kill "$pid" 2>/dev/null || true
    exit 1
  fi
  # The window is mapped before it is painted: wait until two screenshots agree.
  previous="" tries=0
  while :; do
    import -window root "$shot"
    current="$(md5sum <"$shot")"
    [ "$current" = "$previous" ] && break
    previous="$current"
    tries=$((tries + 1))
    [ "$tries" -lt 20 ] || break
  done
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "$program exited early:" >&2
    cat "$shot.log" >&2
    exit 1
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  exit 0
fi

build="$(realpath -m "${1:-$top/build-pkg}")"
out="$build/package-check"
jobs="$(nproc 2>/dev/null || echo 2)"
[ "$(id -u)" -eq 0 ] || { echo "run as root: it installs and removes the package" >&2; exit 2; }
if dpkg-query -W -f='${Status}' twinly 2>/dev/null | grep -q "install ok installed"; then
  echo "twinly is already installed as a package; remove it first" >&2
  exit 2
fi

echo "== build (Release, installed under /usr)"
# A new folder builds only the programs; an existing one keeps its other choices.
fresh=()
[ -f "$build/CMakeCache.txt" ] || fresh=(-DTWINLY_BUILD_TESTS=OFF -DTWINLY_BUILD_BENCH=OFF)
cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  "${fresh[@]}" >/dev/null
nice cmake --build "$build" -j "$jobs" --target twinly orvex twinly-cli

echo "== package"
rm -rf "$out" && mkdir -p "$out"
rm -f "$build"/twinly_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb="$(ls "$build"/twinly_*_amd64.deb)"
cp "$deb" "$out/"
dpkg-deb --field "$deb" Depends | tee "$out/depends.txt"
dpkg-deb --contents "$deb" | awk '{print $NF}' >"$out/contents.txt"
missing=0
for f in ./usr/bin/twinly ./usr/bin/orvex ./usr/bin/twinly-cli \
         ./usr/share/applications/twinly.desktop ./usr/share/applications/orvex.desktop \
         ./usr/share/icons/hicolor/scalable/apps/twinly.svg ./usr/share/twinly/twinly/NoImage.jpg \
         ./usr/share/twinly/help/orvex-introduction.html \
         ./usr/share/man/man1/twinly.1.gz ./usr/share/man/man1/twinly-cli.1.gz \
         ./usr/share/man/man1/orvex.1.gz ./usr/share/bash-completion/completions/twinly-cli \
         ./usr/share/zsh/vendor-completions/_twinly-cli \
         ./usr/share/metainfo/invalid.velmora.twinly.metainfo.xml \
         ./usr/share/metainfo/invalid.velmora.orvex.metainfo.xml; do
  grep -qx "$f" "$out/contents.txt" || { echo "the package lacks $f" >&2; missing=1; }
done
[ "$missing" -eq 0 ]

echo "== install"
DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb" >"$out/apt-install.log"
trap 'echo "== remove"; DEBIAN_FRONTEND=noninteractive apt-get remove -y twinly >"$out/apt-remove.log"' EXIT
desktop-file-validate /usr/share/applications/twinly.desktop /usr/share/applications/orvex.desktop
appstreamcli validate --no-net --pedantic /usr/share/metainfo/invalid.velmora.twinly.metainfo.xml \
  /usr/share/metainfo/invalid.velmora.orvex.metainfo.xml

echo "== manual pages and completion of the installed package"
for page in twinly twinly-cli orvex; do
  # man itself finds the page by name, as a user types it.
  MANPAGER=cat MANWIDTH=80 man "$page" >"$out/$page.man.txt"
  grep -q "^NAME" "$out/$page.man.txt" || { echo "man $page shows no page" >&2; exit 1; }
done
completions="$(bash -c 'source /usr/share/bash-completion/completions/twinly-cli
  COMP_WORDS=(twinly-cli ""); COMP_CWORD=1; _twinly_cli; echo "${COMPREPLY[*]}"')"
[ "$completions" = "build rebuild find info ignore" ] || { echo "bash completion offers: $completions" >&2; exit 1; }
zsh -n /usr/share/zsh/vendor-completions/_twinly-cli

echo "== start the installed programs"
# A scratch home, so the check leaves the real user's settings alone.
home="$(mktemp -d)"
for p in twinly orvex; do
  env -i PATH=/usr/bin:/bin HOME="$home" XDG_RUNTIME_DIR="$home" \
    xvfb-run -a -s '-screen 0 1280x1024x24' "$top/scripts/package-check.sh" --shot "/usr/bin/$p" "$out/$p.png"
  echo "$p: started, screenshot $out/$p.png"
done
/usr/bin/twinly-cli --version
rm -rf "$home"
echo "== done; look at the screenshots in $out"
