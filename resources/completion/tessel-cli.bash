# bash completion for tessel-cli. The commands and their options are read
# from `tessel-cli --help`, so new commands complete without a change here;
# arguments complete as file names.

# Prints the words of the block under HEADING ("Commands:" or "Options:"):
# the first word of each entry line (two blanks, then a word).
_tessel_cli_words() {
  awk -v heading="$1" '
    $0 == heading { inside = 1; next }
    inside && /^$/ { exit }
    inside && /^  [^ ]/ { print $1 }'
}

_tessel_cli() {
  COMPREPLY=()
  local cur=${COMP_WORDS[COMP_CWORD]}
  local tool=${COMP_WORDS[0]}
  [[ $tool == "~/"* ]] && tool=$HOME/${tool#"~/"}
  local help
  help=$("$tool" --help 2>/dev/null) || return 0

  if ((COMP_CWORD == 1)); then
    local words
    words="$(_tessel_cli_words "Commands:" <<<"$help") $(_tessel_cli_words "Options:" <<<"$help")"
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
    return 0
  fi

  # After a command: the options its usage names; anything else is a file,
  # left to readline's own file-name completion (complete -o default).
  if [[ $cur == -* ]]; then
    local command=${COMP_WORDS[1]} options
    options=$(awk -v name="$command" '
      /^Commands:/ { inside = 1; next }
      inside && /^$/ { exit }
      inside && /^  [^ ]/ { mine = ($1 == name) }
      inside && mine' <<<"$help" | grep -o -- '--[A-Za-z0-9][A-Za-z0-9-]*')
    mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
  fi
  return 0
}

complete -o default -F _tessel_cli tessel-cli
