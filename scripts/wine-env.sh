# Sourced by the scripts that run Windows programs under Wine. Defines:
#   use_wine_prefix DIR       - runs Wine quietly in the prefix DIR/wineprefix, set up on first use
#   use_fresh_wine_prefix DIR - runs Wine quietly in a new prefix DIR/wineprefix as Wine makes it,
#                               without the set-up below, as a user's would be
#   stop_wine                 - ends the prefix's Wine server (call before the script exits)

# The prefix's registry settings, one "key|value|type|data" each:
# - Japanese faces drawn with the IPA fonts: those the program asks for, and "MS UI Gothic", the
#   face that Wine's own font links give the user-interface fonts (menus, message boxes, the common
#   dialogs) for Japanese characters. Wine rewrites its font links whenever the code page changes
#   (as the end-to-end pass under code page 932 does), but it keeps these replacements.
# - A program that crashes ends with its backtrace on standard error, rather than waiting on the
#   crash dialog until a test's time runs out.
wine_prefix_settings=(
    'HKCU\Software\Wine\Fonts\Replacements|ＭＳ ゴシック|REG_SZ|IPAGothic'
    'HKCU\Software\Wine\Fonts\Replacements|ＭＳ Ｐゴシック|REG_SZ|IPAPGothic'
    'HKCU\Software\Wine\Fonts\Replacements|MS UI Gothic|REG_SZ|IPAPGothic'
    'HKCU\Software\Wine\WineDbg|ShowCrashDialog|REG_DWORD|0'
)

use_wine_prefix() {
    set_wine_environment "$1"
    [[ -f "$WINEPREFIX/.kestrane-ready" ]] || create_wine_prefix
    # A prefix set up with other settings (or none) gets these.
    [[ $(cat "$WINEPREFIX/.kestrane-settings" 2>/dev/null) == "${wine_prefix_settings[*]}" ]] ||
        add_prefix_settings
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

add_prefix_settings() {
    local setting key value type data
    for setting in "${wine_prefix_settings[@]}"; do
        IFS='|' read -r key value type data <<<"$setting"
        wine reg add "$key" /v "$value" /t "$type" /d "$data" /f >/dev/null
    done
    echo "${wine_prefix_settings[*]}" >"$WINEPREFIX/.kestrane-settings"
    # The Wine processes that "reg" started have no display; the next program must not find them
    # running, or its windows go to a desktop without one.
    wineserver -w
}

stop_wine() {
    [[ -z ${WINEPREFIX:-} ]] || wineserver -k 2>/dev/null || true
}
