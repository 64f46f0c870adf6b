#!/usr/bin/env bash
# Installs, upgrades and removes Tavrilo with its real installer in a fresh Wine prefix
# and checks what a user would find: files, shortcuts, the Apps entry, a running program
# ended and restarted by the upgrade, and the user's own data left alone.
#   installer_test.sh <build folder> <source folder> <version>
set -uo pipefail
build=$1 src=$2 version=$3
setup="$build/package/Tavrilo-$version-setup.exe"
portable="$build/package/Tavrilo-$version-portable.zip"
work="$build/installer-test"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@"; then echo "ok: $what"; else fail "$what"; fi; }

rm -rf "$work"
mkdir -p "$work/home"
# Wine links Documents and the desktop to the home folder: keep both inside the test.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config"
export WINEPREFIX="$work/prefix" WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
trap 'wineserver -k >/dev/null 2>&1; true' EXIT

wineboot --init >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
wineserver --wait

# A newer build of the same program, so the upgrade path is taken for real.
newer_version=99.0.0
newer="$work/Tavrilo-$newer_version-setup.exe"
makensis -V1 -INPUTCHARSET UTF8 -DVERSION=$newer_version -DEXE="$build/Tavrilo.exe" \
  -DLICENSE="$src/resources/fonts/OFL.txt" -DREADME="$src/installer/README.txt" \
  -DICON="$src/resources/Tavrilo.ico" -DOUTFILE="$newer" "$src/installer/Tavrilo.nsi" || fail "building the newer installer"

user=$(wine cmd /c 'echo %USERNAME%' 2>/dev/null | tr -d '\r')
users="$WINEPREFIX/drive_c/users/$user"
instdir="$users/AppData/Local/Programs/Tavrilo"
wininstdir="C:\\users\\$user\\AppData\\Local\\Programs\\Tavrilo"
startmenu="$users/AppData/Roaming/Microsoft/Windows/Start Menu/Programs/Tavrilo.lnk"
uninst='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Tavrilo'
runkey='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'

# The user's own data: a project file, an AI record folder and a setting.
docs="$users/Documents"
mkdir -p "$docs/Tavrilo" "$docs/Alpha/Quenlor/2026-12-01/101010_0123456789abcdef"
cat > "$docs/Tavrilo/Tavrilo.qlproj" <<'JSON'
{
  "format": "Quenlor.ProjectFile",
  "version": 1,
  "app": "Tavrilo 1.9.1",
  "savedAt": "2026-12-01T10:10:10",
  "nextId": 2,
  "projects": [
    {
      "id": 1,
      "title": "Alpha",
      "location": "",
      "status": "active",
      "startDate": "2026-12-01",
      "endDate": "",
      "completedDate": "",
      "color": 0,
      "category": "personal",
      "created": "2026-12-01T10:10:10",
      "modified": "2026-12-01T10:10:10",
      "entries": []
    }
  ]
}
JSON
echo '{"kind":"prompt"}' > "$docs/Alpha/Quenlor/2026-12-01/101010_0123456789abcdef/record.json"
wine reg add 'HKCU\Software\Quenlor' /v Language /d en /f >/dev/null 2>&1
data_sum() { (cd "$docs" && find Tavrilo Alpha -type f -print0 | sort -z | xargs -0 sha256sum); }
setting() { wine reg query 'HKCU\Software\Quenlor' /v Language 2>/dev/null | tr -d '\r' | awk '/Language/ {print $3}'; }
reg_value() { wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2 *REG_[A-Z_]* *//p"; }
running_pids() { pgrep -f '^[A-Z]:.*Programs.Tavrilo.Tavrilo\.exe' | sort; }
wait_for() { local i; for i in $(seq 1 "$1"); do if eval "$2"; then return 0; fi; sleep 1; done; return 1; }
before=$(data_sum)

# 1. Silent install of this version.
wine "$setup" /S
check "program files installed" test -f "$instdir/Tavrilo.exe" -a -f "$instdir/OFL.txt" -a -f "$instdir/README.txt" -a -f "$instdir/Uninstall.exe"
check "start-menu shortcut" test -f "$startmenu"
check "DisplayName" test "$(reg_value "$uninst" DisplayName)" = "Tavrilo"
check "DisplayVersion" test "$(reg_value "$uninst" DisplayVersion)" = "$version"
check "Publisher" test "$(reg_value "$uninst" Publisher)" = "Tavrilo Team"
check "DisplayIcon" test "$(reg_value "$uninst" DisplayIcon)" = "$wininstdir\\Tavrilo.exe,0"
check "InstallLocation" test "$(reg_value "$uninst" InstallLocation)" = "$wininstdir"
check "UninstallString" test "$(reg_value "$uninst" UninstallString)" = "\"$wininstdir\\Uninstall.exe\""
check "QuietUninstallString" test "$(reg_value "$uninst" QuietUninstallString)" = "\"$wininstdir\\Uninstall.exe\" /S"
size=$(reg_value "$uninst" EstimatedSize)
check "EstimatedSize is the installed size in KiB" test -n "$size" -a $((size)) -gt 1000
check "user data untouched by the install" test "$(data_sum)" = "$before"

# 2. The installed program starts; it is set to start with Windows.
wine "$wininstdir\\Tavrilo.exe" --startup >/dev/null 2>&1 &
check "Tavrilo runs from the installed folder" wait_for 20 '[ -n "$(running_pids)" ]'
sleep 3
first=$(running_pids)
wine reg add "$runkey" /v Quenlor /d "\"$wininstdir\\Tavrilo.exe\" --startup" /f >/dev/null 2>&1

# 3. Same version again, then a newer one, over the running program.
wine "$setup" /S
check "reinstall restarts the running program" wait_for 20 '[ -n "$(running_pids)" ] && [ "$(running_pids)" != "$first" ]'
sleep 3
second=$(running_pids)
wine "$newer" /S
check "upgrade restarts the running program" wait_for 20 '[ -n "$(running_pids)" ] && [ "$(running_pids)" != "$second" ]'
check "DisplayVersion after upgrade" test "$(reg_value "$uninst" DisplayVersion)" = "$newer_version"
check "project file and records kept by the upgrades" test "$(data_sum)" = "$before"
check "settings kept by the upgrades" test "$(setting)" = "en"
sleep 3

# 4. Silent uninstall: it ends the program and leaves the user's data.
wine "$instdir/Uninstall.exe" /S
check "uninstall entry removed" wait_for 30 '! wine reg query "$uninst" >/dev/null 2>&1'
check "program folder removed" wait_for 30 '[ ! -e "$instdir" ]'
check "program ended" wait_for 20 '[ -z "$(running_pids)" ]'
check "start-menu shortcut removed" test ! -e "$startmenu"
check "Run value removed" test -z "$(reg_value "$runkey" Quenlor)"
check "project file and records kept by the uninstall" test "$(data_sum)" = "$before"
check "settings kept by the uninstall" test "$(setting)" = "en"

# A Run value of another installation is not the uninstaller's to remove.
wine "$setup" /S
wine reg add "$runkey" /v Quenlor /d '"D:\Elsewhere\Tavrilo.exe" --startup' /f >/dev/null 2>&1
wine "$instdir/Uninstall.exe" /S
wait_for 30 '! wine reg query "$uninst" >/dev/null 2>&1'
check "foreign Run value kept" test "$(reg_value "$runkey" Quenlor)" = '"D:\Elsewhere\Tavrilo.exe" --startup'

# 5. The portable zip holds exactly the program, the licence and the readme.
entries=$(cmake -E tar tf "$portable" | sort | tr '\n' ' ')
check "portable zip entries ($entries)" test "$entries" = "OFL.txt README.txt Tavrilo.exe "

if [ $failures -ne 0 ]; then
  echo "$failures installer check(s) failed"
  exit 1
fi
echo "all installer checks passed"
