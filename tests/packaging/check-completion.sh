#!/usr/bin/env bash
# Completes quillon-cli command lines with the generated bash completion, in
# a folder with a project, a dictionary, a module, a glossary and a subfolder.
# Usage: check-completion.sh COMPLETION_FILE
set -euo pipefail
completion="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"
touch pad.prj pad.dic App.EXE lib.dll notes.txt old.tmx
mkdir sub

# words | index of the word being completed | the completions, sorted
cases=(
  "quillon-cli tr|1|translate"
  "quillon-cli d|1|dict"
  "quillon-cli --v|1|--version"
  "quillon-cli new x --language Ge|4|Georgian German"
  "quillon-cli scan x --language Pol|4|Polish"
  "quillon-cli scan |2|App.EXE lib.dll sub"
  "quillon-cli show |2|pad.prj sub"
  "quillon-cli show pad.prj |3|"
  "quillon-cli dict |2|add pad.dic pad.prj sub"
  "quillon-cli dict add |3|pad.dic pad.prj sub"
  "quillon-cli dict add pad.dic --kind MENU|5|MENUITEM"
  "quillon-cli dict add pad.dic --hotkey |5|"
  "quillon-cli import pad.prj --text |4|App.EXE lib.dll notes.txt old.tmx pad.dic pad.prj sub"
  "quillon-cli new x --module |4|App.EXE lib.dll sub"
  "quillon-cli new x --dictionary |4|pad.dic sub"
  "quillon-cli build pad.prj --target |4|App.EXE lib.dll sub"
  "quillon-cli build --codepage 1250 |4|pad.prj sub"
  "quillon-cli restore pad.prj --|3|--all --codepage --id --kind --path --wait"
  "quillon-cli check pad.prj --e|3|--errors-only"
  "quillon-cli help up|2|update"
  "quillon-cli t|1|tm translate"
  "quillon-cli tm |2|add export import lookup stats"
  "quillon-cli tm import |3|old.tmx sub"
  "quillon-cli tm lookup x --to Ge|5|Georgian German"
)
failed=0
for case in "${cases[@]}"; do
  IFS='|' read -r line index expected <<<"$case"
  read -ra words <<<"$line"
  [ "${line: -1}" = " " ] && words+=("")
  got="$(CWORD="$index" bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$CWORD; _quillon_cli
                  printf "%s\n" "${COMPREPLY[@]}" | LC_ALL=C sort -u | paste -sd " "' _ "$completion" "${words[@]}")"
  if [ "$got" != "$expected" ]; then
    echo "'$line': expected '$expected', got '$got'" >&2
    failed=1
  fi
done
exit $failed
