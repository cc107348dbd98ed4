# bash completion for zerkon-cli: the commands, each command's options, and DP files (or SVG pictures) as arguments.
_zerkon_cli_files() { # EXTENSION: the matching files and every folder
    local IFS=$'\n'
    COMPREPLY=($(compgen -d -- "$cur") $(compgen -f -X "!*.$1" -- "$cur"))
    compopt -o filenames 2>/dev/null
}

_zerkon_cli() {
    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} command="" i
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in
        harmonize | report | restore | backups | plot | help)
            command=${COMP_WORDS[i]}
            break
            ;;
        esac
    done

    case $prev in
    --range | --elevation | --station | --backup) return ;;
    --svg)
        _zerkon_cli_files '[sS][vV][gG]'
        return
        ;;
    esac

    local options
    case $command in
    "")
        COMPREPLY=($(compgen -W "harmonize report restore backups plot help --help --version" -- "$cur"))
        return
        ;;
    help)
        COMPREPLY=($(compgen -W "harmonize report restore backups plot" -- "$cur"))
        return
        ;;
    harmonize) options="--range --elevation --station --dry-run --help" ;;
    report) options="--range --elevation --station --wide --json --help" ;;
    restore) options="--backup --help" ;;
    backups) options="--help" ;;
    plot) options="--range --elevation --station --svg --force --help" ;;
    esac
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
    else
        _zerkon_cli_files '[dD][pP]'
    fi
}
complete -F _zerkon_cli zerkon-cli
