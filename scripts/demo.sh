#!/usr/bin/env bash
# The launcher's whole job under Wine on a (virtual) display, as a user sees it:
# builds the example payload, packs it with qdxpack, lays out a launcher folder
# (setup.exe, setup.bmp, Pack.qdx), runs setup.exe, takes screenshots while the
# splash picture and while the installer's window are up, and tells what
# happened. Run by `make demo` under xvfb-run after the build.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

NATIVE=${QDX_NATIVE_BUILD:-build/native}
WIN32=${QDX_WIN32_BUILD:-build/win32}
DEMO=build/demo
WINE=(bash "$PWD/scripts/wine_run.sh")
# Where the splash (480 by 280, centred) shows its title band, and the example
# installer (at 232,254, 560 by 260) its background, on a 1024 by 768 screen.
SPLASH_POINT="292,274"
SPLASH_COLOUR="srgb(31,78,121)"
INSTALLER_POINT="240,500"
INSTALLER_COLOUR="srgb(255,242,204)"

if [ -z "${DISPLAY:-}" ]; then
  echo "demo: no display; run it as 'make demo', which starts a virtual one" >&2
  exit 1
fi
for tool in "$NATIVE/qdxpack" "$WIN32/setup.exe" "$WIN32/examples/Installer.exe"; do
  [ -e "$tool" ] || { echo "demo: $tool is missing; run 'make build' first" >&2; exit 1; }
done

rm -rf "$DEMO"
mkdir -p "$DEMO/payload" "$DEMO/launcher" "$DEMO/run" "$DEMO/frames"

echo "== payload: examples/payload, the example Installer.exe, a generated manual"
cp -R examples/payload/. "$DEMO/payload/"
mkdir -p "$DEMO/payload/empty"
cp "$WIN32/examples/Installer.exe" "$DEMO/payload/Installer.exe"
python3 examples/make_manual.py "$DEMO/payload/manual.txt" 6

echo "== pack: qdxpack create"
"$NATIVE/qdxpack" create "$DEMO/payload" "$DEMO/launcher/Pack.qdx"
"$NATIVE/qdxpack" list "$DEMO/launcher/Pack.qdx" | sed 's/^/   /'

echo "== launcher folder: setup.exe, setup.bmp, Pack.qdx"
cp "$WIN32/setup.exe" "$DEMO/launcher/setup.exe"
python3 examples/make_splash.py "$DEMO/launcher/setup.bmp"
ls -l "$DEMO/launcher" | sed 's/^/   /'

# The user's temporary folder inside the Wine prefix, as Windows and Linux name it.
temp_windows=$("${WINE[@]}" cmd /c echo %TEMP% 2>/dev/null | tr -d '\r')
temp_unix=$("${WINE[@]}" winepath -u "$temp_windows" 2>/dev/null | tr -d '\r')
temp_unix=${temp_unix%/}
ours() { find "$temp_unix" -maxdepth 1 \( -name 'ZoQalInst*' -o -name 'latmp*.tmp' \) -printf '%f\n' 2>/dev/null | sort; }
before=$(ours)

# Watches the temporary folder: the listing of each new install folder, last
# seen while it still existed, is what was unpacked.
watch_install_folders() {
  while [ ! -e "$DEMO/run/.done" ]; do
    for folder in "$temp_unix"/ZoQalInst*; do
      [ -d "$folder" ] || continue
      name=$(basename "$folder")
      grep -qx "$name" <<<"$before" && continue
      echo "$name" >"$DEMO/install-folder.txt"
      (cd "$folder" && find . -mindepth 1 -printf '%y %P %s\n' 2>/dev/null | sort -k2) >"$DEMO/unpacked.new" \
        && [ -s "$DEMO/unpacked.new" ] && mv "$DEMO/unpacked.new" "$DEMO/unpacked.txt"
    done
    sleep 0.05
  done
}

pixel() { convert "$1" -format "%[pixel:p{$2}]" info: 2>/dev/null || true; }

echo "== running setup.exe under Wine (working folder $DEMO/run)"
watch_install_folders &
watcher=$!
start=$(date +%s%N)
( cd "$DEMO/run" && "${WINE[@]}" ../launcher/setup.exe; echo $? >.exit ) &
launcher=$!

frame=0
while kill -0 "$launcher" 2>/dev/null; do
  shot=$(printf '%s/frames/frame%03d.png' "$DEMO" "$frame")
  import -window root "$shot" 2>/dev/null || { sleep 0.1; continue; }
  frame=$((frame + 1))
  if [ ! -e "$DEMO/splash.png" ] && [ "$(pixel "$shot" "$SPLASH_POINT")" = "$SPLASH_COLOUR" ]; then
    cp "$shot" "$DEMO/splash.png"
  elif [ ! -e "$DEMO/installer.png" ] && [ "$(pixel "$shot" "$INSTALLER_POINT")" = "$INSTALLER_COLOUR" ]; then
    cp "$shot" "$DEMO/installer.png"
  fi
done
wait "$launcher" || true
finish=$(date +%s%N)
touch "$DEMO/run/.done"
wait "$watcher" || true
rm -f "$DEMO/run/.done"

exit_code=$(cat "$DEMO/run/.exit" 2>/dev/null || echo "unknown")
after=$(ours)
install_name=$(cat "$DEMO/install-folder.txt" 2>/dev/null || echo "")

echo
elapsed=$(( (finish - start) / 100000000 ))
echo "== what happened (setup.exe ran $((elapsed / 10)).$((elapsed % 10)) s; $frame screenshots taken)"
failed=0
if [ -n "$install_name" ]; then
  echo "install folder:   $temp_windows\\$install_name"
  echo "                  ($temp_unix/$install_name)"
else
  echo "install folder:   never seen"; failed=1
fi
echo "unpacked:"
if [ -s "$DEMO/unpacked.txt" ]; then
  awk '{ kind = ($1 == "d") ? "folder" : "file  "; size = ($1 == "d") ? "" : $3 " bytes"; printf "   %s %-26s %s\n", kind, $2, size }' "$DEMO/unpacked.txt"
else
  echo "   nothing seen"; failed=1
fi
if grep -q '^started:' "$DEMO/run/installer-log.txt" 2>/dev/null && grep -q '^ended:' "$DEMO/run/installer-log.txt"; then
  echo "installer:        ran and ended; its own log (in the launcher's working folder):"
  sed 's/^/   /' "$DEMO/run/installer-log.txt"
else
  echo "installer:        no sign that it ran and ended"; failed=1
fi
left=$(comm -13 <(echo "$before") <(echo "$after") | sed '/^$/d')
if [ -z "$left" ]; then
  echo "folders removed:  yes, no new ZoQalInst* or latmp*.tmp in $temp_windows"
else
  echo "folders removed:  NO, left behind: $left"; failed=1
fi
echo "exit code:        $exit_code"
[ "$exit_code" = "0" ] || failed=1
for shot in splash installer; do
  if [ -e "$DEMO/$shot.png" ]; then
    echo "screenshot:       $DEMO/$shot.png"
  else
    echo "screenshot:       no frame showed the $shot window"; failed=1
  fi
done
rm -rf "$DEMO/frames"
exit $failed
