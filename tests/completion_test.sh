#!/usr/bin/env bash
# The bash completion, sourced as bash-completion would: options from the
# tool's help, D88 files and directories as the files to read, one after
# another, directories after -o.
# Usage: completion_test.sh COMPLETION_SCRIPT D88UNPACK
set -u
script=$(realpath "$1")
tool=$(realpath "$2")
failures=0
work=$(mktemp -d)
bin=$(mktemp -d)
trap 'rm -rf "$work" "$bin"' EXIT
mkdir -p "$work/sub" "$work/Saves"
ln -s "$tool" "$bin/d88unpack"
touch "$work/a.d88" "$work/B.D88" "$work/notes.txt" "$work/sub/c.d88"
cd "$work" || exit 1
PATH="$bin:$PATH"
export LC_ALL=C
# shellcheck source=/dev/null
source "$script"
compopt() { :; } # outside a completion, bash refuses it

complete_line() {
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMPREPLY=()
    _d88unpack "${COMP_WORDS[0]}" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
    ((${#COMPREPLY[@]} == 0)) || printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' '
}

expect() {
    local want=$1
    shift
    local got
    got=$(complete_line "$@")
    if [[ $got != "$want" ]]; then
        echo "FAIL: completing '$*': got '$got', want '$want'"
        failures=$((failures + 1))
    fi
}

expect '--list ' d88unpack --li
expect '--name= --no-header ' d88unpack --n
expect '--output= ' d88unpack x.d88 --out
expect 'B.D88 Saves a.d88 sub ' d88unpack ''
expect 'a.d88 ' d88unpack -l a
expect 'B.D88 Saves a.d88 sub ' d88unpack a.d88 ''
expect 'sub/c.d88 ' d88unpack -l a.d88 B.D88 sub/
expect '' d88unpack a.d88 -J ''
expect 'Saves sub ' d88unpack -o ''
expect '--output=Saves ' d88unpack --output=S
expect '' d88unpack -n ''
# A path to the tool, not on PATH: ./tool/d88unpack, and one under ~.
mkdir -p "$work/tool"
ln -s "$tool" "$work/tool/d88unpack"
PATH=${PATH#"$bin:"}
expect '--check ' ./tool/d88unpack --che
HOME=$work expect '--check ' '~/tool/d88unpack' --che
# Bash itself, on a terminal, finds the completion for a path by its last
# part: the line completed, then run as an echo. Only the completion can
# have written "--check": "--che" was typed.
printf 'PS1=\nsource %q\n' "$script" >"$work/rc"
typed=$(printf './tool/d88unpack --che\t\001echo \nexit\n' |
    script -qec "bash --rcfile $work/rc -i" /dev/null | tr -d '\r')
[[ $typed == *'./tool/d88unpack --check'* ]] || {
    echo "FAIL: bash did not complete ./tool/d88unpack --che: $typed"
    failures=$((failures + 1))
}
PATH="$bin:$PATH"
long=$(complete_line d88unpack --)
for option in --flat --no-header --list --stdout --output= --folders --times --check --json --quiet --name= --image= --keep-existing --rename --unicode-names --jobs= --help --version; do
    [[ " $long" == *" $option "* ]] || {
        echo "FAIL: $option is not offered after --: $long"
        failures=$((failures + 1))
    }
done
echo "completion: $((failures == 0 ? 1 : 0)) passed, $((failures == 0 ? 0 : 1)) failed"
exit $((failures > 0))
