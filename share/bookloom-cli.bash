# Bash completion of bookloom-cli: its commands, each command's options, and file names. The names
# come from the program itself ("bookloom-cli names [COMMAND]"), so they never fall behind.
_bookloom_cli() {
  local program=${COMP_WORDS[0]} cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}
  local command="" i
  for ((i = 1; i < COMP_CWORD; i++)); do
    case ${COMP_WORDS[i]} in
      -*) ;;
      *) command=${COMP_WORDS[i]}; break ;;
    esac
  done
  case $prev in
    --cover-mode|--picture-mode|--mode) mapfile -t COMPREPLY < <(compgen -W "gray mono" -- "$cur"); return ;;
    --unwrap) mapfile -t COMPREPLY < <(compgen -W "auto on off" -- "$cur"); return ;;
    --document-mode) mapfile -t COMPREPLY < <(compgen -W "auto text pages" -- "$cur"); return ;;
  esac
  if [[ -z $command ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$("$program" names 2>/dev/null)" -- "$cur")
  elif [[ $cur == -* ]]; then
    mapfile -t COMPREPLY < <(compgen -W "$("$program" names "$command" 2>/dev/null)" -- "$cur")
  else
    mapfile -t COMPREPLY < <(compgen -f -- "$cur")
  fi
}
complete -o filenames -F _bookloom_cli bookloom-cli
