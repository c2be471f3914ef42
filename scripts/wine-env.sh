# Sourced by the scripts that run Windows programs under Wine. Defines:
#   use_wine_prefix DIR       - runs Wine quietly in the prefix DIR/wineprefix, set up on first use
#   use_fresh_wine_prefix DIR - runs Wine quietly in a new prefix DIR/wineprefix as Wine makes it,
#                               without the set-up below, as a user's would be
#   stop_wine                 - ends the prefix's Wine server (call before the script exits)

# Japanese faces drawn with the IPA fonts: those the program asks for, and "MS UI Gothic", the face
# that Wine's own font links give the user-interface fonts (menus, message boxes, the common
# dialogs) for Japanese characters. Wine rewrites its font links whenever the code page changes
# (as the end-to-end pass under code page 932 does), but it keeps these replacements.
wine_font_replacements=(
    "ＭＳ ゴシック=IPAGothic"
    "ＭＳ Ｐゴシック=IPAPGothic"
    "MS UI Gothic=IPAPGothic"
)

use_wine_prefix() {
    set_wine_environment "$1"
    [[ -f "$WINEPREFIX/.kestrane-ready" ]] || create_wine_prefix
    # A prefix set up with other replacements (or none) gets these.
    [[ $(cat "$WINEPREFIX/.kestrane-fonts" 2>/dev/null) == "${wine_font_replacements[*]}" ]] ||
        add_font_replacements
}

use_fresh_wine_prefix() {
    set_wine_environment "$1"
    rm -rf "$WINEPREFIX"
    boot_wine_prefix
}

set_wine_environment() {
    export WINEPREFIX="$(realpath -m "$1")/wineprefix"
    export WINEDEBUG=-all
    # No prompts to install Mono or Gecko.
    export WINEDLLOVERRIDES="mscoree,mshtml="
    # Wine converts command lines and file names through the locale's character set.
    export LC_ALL=C.UTF-8
}

boot_wine_prefix() {
    echo "Setting up the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    xvfb-run -a bash -c 'wineboot -i && wineserver -w'
}

create_wine_prefix() {
    boot_wine_prefix
    touch "$WINEPREFIX/.kestrane-ready"
}

add_font_replacements() {
    local replacement
    for replacement in "${wine_font_replacements[@]}"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
            /v "${replacement%%=*}" /t REG_SZ /d "${replacement#*=}" /f >/dev/null
    done
    echo "${wine_font_replacements[*]}" >"$WINEPREFIX/.kestrane-fonts"
    # The Wine processes that "reg" started have no display; the next program must not find them
    # running, or its windows go to a desktop without one.
    wineserver -w
}

stop_wine() {
    [[ -z ${WINEPREFIX:-} ]] || wineserver -k 2>/dev/null || true
}
