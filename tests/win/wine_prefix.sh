# shellcheck shell=bash
# Wine setup shared by the Windows test script and scripts/run-main.sh.
# Sourced; sets WINE and the wine environment, and prepares a prefix.

# After installing wine64, `wine` is the 64-bit loader; older layouts ship it as wine64.
if command -v wine >/dev/null; then
  WINE=wine
elif [ -x /usr/lib/wine/wine64 ]; then
  WINE=/usr/lib/wine/wine64
else
  echo "wine64 is not installed" >&2
  return 1
fi
export WINE
export WINEARCH=win64 WINEDEBUG=-all
# No Mono or Gecko installer prompts in a headless prefix.
export WINEDLLOVERRIDES="mscoree,mshtml="

# tav_wine_prefix <dir> [<log-pixels> [<desktop>]]: a 64-bit prefix in <dir>
# (made when missing) whose Japanese dialog fonts map to Noto Sans CJK JP
# (Debian fonts-noto-cjk). Its one virtual desktop stands for a display's work
# area, by default 1366x728: the most common small display, 1366x768, less its
# task bar. The scale is the screen's pixels per inch, by default 96 (100%);
# 120 is 125%. Wine takes it from HKCU\Control Panel\Desktop "LogPixels" (seen
# by experiment: read by each program as it starts, and before the machine's
# value under HKLM\System\CurrentControlSet\Hardware Profiles\Current\Software\Fonts).
tav_wine_prefix() {
  export WINEPREFIX="$1"
  local log_pixels="${2:-96}" desktop="${3:-1366x728}"
  if [ ! -f "$WINEPREFIX/.tav-ready" ]; then
    mkdir -p "$WINEPREFIX"
    "$WINE" wineboot -i >/dev/null 2>&1
    local font
    for font in "Meiryo UI" "Meiryo" "MS Shell Dlg" "MS Shell Dlg 2" "MS UI Gothic" "Segoe UI"; do
      "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ /d "Noto Sans CJK JP" /f \
        >/dev/null 2>&1
    done
    # One virtual desktop: wine draws the window frames itself, so that
    # screenshots show captions without a window manager.
    "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /t REG_SZ /d Default /f >/dev/null 2>&1
    : >"$WINEPREFIX/.tav-ready"
  fi
  # The marker names the desktop and scale the prefix has.
  if [ "$(cat "$WINEPREFIX/.tav-ready")" != "$desktop $log_pixels" ]; then
    "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /t REG_SZ /d "$desktop" /f >/dev/null 2>&1
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$log_pixels" /f >/dev/null 2>&1
    wineserver -w
    echo "$desktop $log_pixels" >"$WINEPREFIX/.tav-ready"
  fi
  tav_wine_fonts
}

# Wine finds its own fonts (Marlett draws the caption buttons) in a data folder
# it derives from where its libraries lie: with Debian's multiarch layout that
# is /usr/lib/share/wine, which does not exist, so the captions showed "0 1 r".
# Marlett from fonts-wine is copied into the prefix, where wine always looks.
# Only Marlett: wine's Tahoma has no Japanese, and the captions' font must fall
# back to one that has.
tav_wine_fonts() {
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -f /usr/share/wine/fonts/marlett.ttf ] && [ ! -f "$fonts/marlett.ttf" ]; then
    mkdir -p "$fonts"
    cp /usr/share/wine/fonts/marlett.ttf "$fonts/"
  fi
}

# The wine launcher warns about the missing 32-bit loader; that is expected here.
tav_without_wine32_notice() {
  grep -v -e 'wine32 is missing' -e 'multiarch needs' -e 'dpkg --add-architecture' -e 'apt-get install wine32' || true
}
