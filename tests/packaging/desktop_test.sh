#!/usr/bin/env bash
# The windowed program's desktop integration as it is installed: the dimming component goes
# into a scratch prefix, and its desktop entry, metainfo, icons and manual page are checked
# with the tools that desktops, software centres and man use, and against each other.
# Usage: desktop_test.sh BUILD_DIR
set -uo pipefail

if [ $# -ne 1 ]; then
  echo "usage: desktop_test.sh BUILD_DIR" >&2
  exit 2
fi
build=$1
app_id=example.vistrel.VistrelDimming
sizes=(16 22 24 32 48 64 128 256)

for tool in cmake desktop-file-validate appstreamcli identify man; do
  if ! command -v "$tool" >/dev/null; then
    echo "desktop_test: $tool is not installed" >&2
    exit 1
  fi
done

prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

log=$prefix/install.log
if ! cmake --install "$build" --prefix "$prefix" --component dimming >"$log" 2>&1; then
  cat "$log"
  echo "FAIL: cmake --install of the dimming component"
  exit 1
fi

share=$prefix/share
entry=$share/applications/$app_id.desktop
metainfo=$share/metainfo/$app_id.metainfo.xml

# Every file the component installs is where desktops look for it, and no other.
for file in "$prefix/bin/VistrelDimming" "$entry" "$metainfo"; do
  [ -f "$file" ] || fail "not installed: ${file#"$prefix"/}"
done
others=$(find "$share/applications" "$share/metainfo" -type f ! -name "$app_id.*" 2>/dev/null)
[ -z "$others" ] || fail "installed beside the application ID's files: ${others//$prefix\//}"

# The desktop entry: valid, hints and warnings included, and naming what is installed.
if [ -f "$entry" ]; then
  report=$(desktop-file-validate "$entry" 2>&1)
  status=$?
  if [ $status -ne 0 ] || [ -n "$report" ]; then
    fail "desktop-file-validate (status $status): $report"
  fi
  grep -qx "Icon=$app_id" "$entry" || fail "the desktop entry's Icon is not $app_id"
  exec_line=$(grep -m1 '^Exec=' "$entry")
  program=${exec_line#Exec=}
  program=${program%% *}
  [ -x "$prefix/bin/$program" ] || fail "the desktop entry starts '$program', which is not installed in bin"
fi

# The metainfo: no errors and no warnings, bar one about the project licence, which is not
# chosen yet; it launches the installed desktop entry.
if [ -f "$metainfo" ]; then
  report=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1)
  status=$?
  issues=$(grep -E '^[EW]: ' <<<"$report")
  problems=$issues
  if ! grep -q '<project_license>' "$metainfo"; then
    problems=$(grep -Ev '^W: [^ ]+ [a-z-]*project-licen[cs]e' <<<"$issues")
  fi
  # A failure that names no issue is the tool's own.
  if [ -n "$problems" ] || { [ $status -ne 0 ] && [ -z "$issues" ]; }; then
    fail "appstreamcli validate (status $status): $report"
  fi
  grep -q "<launchable type=\"desktop-id\">$app_id.desktop</launchable>" "$metainfo" \
    || fail "the metainfo does not launch $app_id.desktop"
  grep -q "<id>$app_id</id>" "$metainfo" || fail "the metainfo's id is not $app_id"
fi

# The icons: one PNG of the named size in each hicolor folder.
for size in "${sizes[@]}"; do
  icon=$share/icons/hicolor/${size}x${size}/apps/$app_id.png
  if [ ! -f "$icon" ]; then
    fail "no ${size}x${size} icon"
    continue
  fi
  found=$(identify -format '%m %wx%h' "$icon" 2>&1)
  [ "$found" = "PNG ${size}x${size}" ] || fail "the ${size}x${size} icon is '$found'"
done

# The manual page, plain or compressed: man renders it without a warning.
pages=("$share"/man/man1/VistrelDimming.1*)
if [ ! -f "${pages[0]}" ]; then
  fail "no manual page VistrelDimming.1"
else
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "${pages[0]}" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man --warnings: $warnings"
fi

if [ $failures -ne 0 ]; then
  echo "desktop_test: $failures failed"
  exit 1
fi
echo "desktop_test: the installed desktop entry, metainfo, ${#sizes[@]} icons and manual page are clean"
