# Sourced by the scripts that run Windows programs under Wine. Defines:
#   use_wine_prefix DIR       - runs Wine quietly in the prefix DIR/wineprefix, set up on first use
#   use_fresh_wine_prefix DIR - runs Wine quietly in a new prefix DIR/wineprefix as Wine makes it,
#                               without the set-up below, as a user's would be
#   stop_wine                 - ends the prefix's Wine server (call before the script exits)

wine_font_replacements=(
    "ＭＳ ゴシック=IPAGothic"
    "ＭＳ Ｐゴシック=IPAPGothic"
)
# The user-interface fonts of menus, dialogs and message boxes, which lack Japanese characters.
wine_font_links=("Tahoma" "MS Shell Dlg" "Microsoft Sans Serif")

use_wine_prefix() {
    set_wine_environment "$1"
    [[ -f "$WINEPREFIX/.kestrane-ready" ]] || create_wine_prefix
    [[ -f "$WINEPREFIX/.kestrane-font-links" ]] || add_font_links
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
    add_font_replacements
    touch "$WINEPREFIX/.kestrane-ready"
}

# The Japanese Windows fonts the program asks for are drawn with the IPA fonts.
add_font_replacements() {
    local replacement
    for replacement in "${wine_font_replacements[@]}"; do
        wine reg add 'HKCU\Software\Wine\Fonts\Replacements' \
            /v "${replacement%%=*}" /t REG_SZ /d "${replacement#*=}" /f >/dev/null
    done
}

# Japanese characters in the user-interface fonts are drawn from IPAPGothic, as a Japanese system
# links its fonts.
add_font_links() {
    local face
    for face in "${wine_font_links[@]}"; do
        wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "$face" /t REG_MULTI_SZ /d 'ipagp.ttf,IPAPGothic' /f >/dev/null
    done
    touch "$WINEPREFIX/.kestrane-font-links"
}

stop_wine() {
    [[ -z ${WINEPREFIX:-} ]] || wineserver -k 2>/dev/null || true
}
