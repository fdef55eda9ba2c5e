# bash completion for zentavo-cli
#
# The commands and their options are read from the program's own usage text
# (zentavo-cli --help), so they follow the installed version.

_zentavo_cli_usage()
{
    if [[ -z ${_zentavo_cli_usage_text-} ]]; then
        _zentavo_cli_usage_text=$("${1:-zentavo-cli}" --help 2>/dev/null)
    fi
    printf '%s\n' "$_zentavo_cli_usage_text"
}

_zentavo_cli()
{
    local cur prev words cword
    _init_completion || return

    local usage
    usage=$(_zentavo_cli_usage "${words[0]}")

    if ((cword == 1)); then
        local commands
        commands=$(awk '$1 == "zentavo-cli" { print $2 }' <<<"$usage")
        COMPREPLY=($(compgen -W "$commands" -- "$cur"))
        return
    fi

    case $prev in
        --to)
            local formats
            formats=$(sed -n '/^FMT:/,/^[A-Z]*:/p' <<<"$usage" | grep -o '[a-z][a-z0-9-]* ([0-9])' | cut -d' ' -f1)
            COMPREPLY=($(compgen -W "$formats" -- "$cur"))
            return
            ;;
        -o | --reference | --movie)
            _filedir
            return
            ;;
        --fps)
            COMPREPLY=($(compgen -W "23.976 24 25 29.97 30" -- "$cur"))
            return
            ;;
        --by | --shift | --offset | --first | --second | --after-line | --base | --per-char | --max-rows | \
            --max-chars | --begin | --end | --audio-track)
            return
            ;;
    esac

    if [[ $cur == -* ]]; then
        local synopsis options
        synopsis=$(awk -v c="${words[1]}" '$1 == "zentavo-cli" && $2 == c' <<<"$usage")
        options=$(tr ' []' '\n\n\n' <<<"$synopsis" | grep -- '^-' | sort -u)
        COMPREPLY=($(compgen -W "$options --tenths" -- "$cur"))
        return
    fi

    _filedir
} &&
    complete -F _zentavo_cli zentavo-cli
