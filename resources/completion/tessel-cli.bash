# bash completion for tessel-cli. The commands and options are read from
# `tessel-cli --help` and `tessel-cli COMMAND --help`, so new commands and
# options complete without a change here; a KIND argument completes as the
# words its description lists, other arguments as file names.

# Prints the names in the block under HEADING ("Commands:" or "Options:") of
# a help text: the first column of each entry line (two blanks, then the
# entry), with names such as "-h,--help" split at the comma.
_tessel_cli_words() {
  awk -v heading="$1" '
    $0 == heading { inside = 1; next }
    inside && /^$/ { exit }
    inside && /^  [^ ]/ { n = split($1, names, ","); for (i = 1; i <= n; i++) print names[i] }'
}

_tessel_cli() {
  COMPREPLY=()
  local cur=${COMP_WORDS[COMP_CWORD]}
  local tool=${COMP_WORDS[0]}
  [[ $tool == "~/"* ]] && tool=$HOME/${tool#"~/"}
  local help

  if ((COMP_CWORD == 1)); then
    help=$("$tool" --help 2>/dev/null) || return 0
    local words
    words="$(_tessel_cli_words "Commands:" <<<"$help") $(_tessel_cli_words "Options:" <<<"$help")"
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
    return 0
  fi

  # A command's first positional named KIND takes one of the words its
  # description lists ("text, csv or vcard"; asides in brackets dropped).
  if ((COMP_CWORD == 2)) && [[ $cur != -* ]]; then
    help=$("$tool" "${COMP_WORDS[1]}" --help 2>/dev/null) || return 0
    local kinds
    kinds=$(awk '$0 == "Positionals:" { getline; if ($1 == "KIND") { $1 = ""; print }; exit }' <<<"$help" |
      sed 's/([^)]*)//g; s/,/ /g; s/ or / /g')
    if [[ -n $kinds ]]; then
      mapfile -t COMPREPLY < <(compgen -W "$kinds" -- "$cur")
      return 0
    fi
  fi

  # After a command: the options its help lists, until "--" ends them;
  # anything else is a file, left to readline's own file-name completion
  # (complete -o default).
  [[ $cur == -* ]] || return 0
  local i
  for ((i = 2; i < COMP_CWORD; i++)); do
    [[ ${COMP_WORDS[i]} == -- ]] && return 0
  done
  help=$("$tool" "${COMP_WORDS[1]}" --help 2>/dev/null) || return 0
  mapfile -t COMPREPLY < <(compgen -W "$(_tessel_cli_words "Options:" <<<"$help")" -- "$cur")
  return 0
}

complete -o default -F _tessel_cli tessel-cli
