#!/usr/bin/env bash
# The profile subcommands of the host, on a fresh home: their output and the
# failures on bad input.
set -uo pipefail
ostrevane="$1"
export OSTREVANE_HOME="$(mktemp -d)"
trap 'rm -rf "$OSTREVANE_HOME"' EXIT
failures=0
check() {  # description, expected exit (0 or 1), command...
    local what="$1" want="$2"
    shift 2
    out="$("$@" 2>&1)"
    local rc=$?
    if { [ "$want" = 0 ] && [ $rc -ne 0 ]; } || { [ "$want" = 1 ] && [ $rc -eq 0 ]; }; then
        echo "FAIL: $what (exit $rc): $out"
        failures=$((failures + 1))
    fi
}
expect() {  # description, text that the last output holds
    if ! grep -qF -- "$2" <<<"$out"; then
        echo "FAIL: $1: no '$2' in: $out"
        failures=$((failures + 1))
    fi
}

check "folders without a profile" 1 "$ostrevane" folders
expect "missing profile named" "there is no profile 'Default'"
check "create" 0 "$ostrevane" profile create --demo
check "create twice" 1 "$ostrevane" profile create --demo
expect "existing profile named" "already exists"
check "CurrentProfile" 0 "$ostrevane" settings get HalvoxSoftware HalvoxSoftware CurrentProfile
expect "CurrentProfile written" "HalvoxSoftware - Default"
check "folders" 0 "$ostrevane" folders
expect "a folder line" '\\Personal Folders\Projects\Zephyr'
[ "$(wc -l <<<"$out")" -eq 29 ] || { echo "FAIL: 29 folder lines expected"; failures=$((failures + 1)); }
check "folder add" 0 "$ostrevane" folder add '\\Personal Folders\Clients' Initech
check "folder add twice" 1 "$ostrevane" folder add '\\Personal Folders\Clients' Initech
check "folder add with a backslash" 1 "$ostrevane" folder add '\\Personal Folders\Clients' 'Acme\Europe'
expect "backslash named" "a folder name cannot hold the character '\\'"
check "folder add under nothing" 1 "$ostrevane" folder add '\\Personal Folders\Nope' X
expect "unknown path named" "no folder at '\\\\Personal Folders\\Nope'"
check "send" 0 "$ostrevane" send --to lead@example.com --subject Hello --from team@example.com
[ "$out" = '\\Personal Folders\Sent Items' ] || { echo "FAIL: send printed: $out"; failures=$((failures + 1)); }
check "items" 0 "$ostrevane" items '\\Personal Folders\Sent Items'
expect "the sent mail" "$(printf 'MailItem\tHello\tProject Lead')"
check "items of nothing" 1 "$ostrevane" items '\\Nope'
check "send from nobody" 1 "$ostrevane" send --to a@b.example --subject s --from nobody@example.com
check "send without recipients" 1 "$ostrevane" send --subject s
check "another profile" 1 "$ostrevane" --profile Other items '\\Personal Folders\Inbox'
check "send to a name nobody knows" 1 "$ostrevane" send --to 'Bob Smith' --subject s
expect "unknown name named" "'Bob Smith' is not recognised"
check "version after the subcommand" 0 "$ostrevane" send --to lead@example.com --subject v --outlook-version 9.0.0.3821
for bad in abc 11.x '' 123.0; do
    check "version '$bad'" 1 "$ostrevane" --outlook-version "$bad" folders
    expect "version '$bad' refused" "is not a version such as 11.0.8217"
done
check "choose a folder that is not there" 1 "$ostrevane" send --to lead@example.com --subject c --choose '\\Personal Folders\Nope'
expect "missing chosen folder named" "no folder at '\\\\Personal Folders\\Nope'"
check "send and file without an add-in" 1 "$ostrevane" send --to lead@example.com --subject f --send-and-file
expect "no button" "no button 'Send And File'"
check "items after the refused sends" 0 "$ostrevane" items '\\Personal Folders\Sent Items'
[ "$(grep -c MailItem <<<"$out")" -eq 2 ] || { echo "FAIL: two sent mails expected: $out"; failures=$((failures + 1)); }
check "open without a display" 1 env -u DISPLAY -u WAYLAND_DISPLAY QT_QPA_PLATFORM=offscreen "$ostrevane" open
expect "display asked for" "needs a display"
check "install the options page" 0 "$ostrevane" module install "$(dirname "$ostrevane")/libPlovanexProp.so"
[ "$out" = 'UC1 (property page)' ] || { echo "FAIL: install printed: $out"; failures=$((failures + 1)); }
check "options without a display" 1 env QT_QPA_PLATFORM=offscreen "$ostrevane" options
expect "a display asked for" "the options dialog needs a display"
exit $((failures > 0))
