# bash completion for twinly-cli

_twinly_cli_files() {  # pattern of the files to offer; folders always
    local IFS=$'\n' extglob
    extglob=$(shopt -p extglob)
    shopt -s extglob
    compopt -o filenames 2>/dev/null
    COMPREPLY+=($(compgen -d -- "$cur"))
    COMPREPLY+=($(compgen -f -X "!$1" -- "$cur"))
    eval "$extglob"
}

_twinly_cli() {
    local cur="${COMP_WORDS[COMP_CWORD]}"
    local prev="${COMP_WORDS[COMP_CWORD-1]}"
    local cword=$COMP_CWORD
    COMPREPLY=()

    # "--method=va" arrives as "--method" "=" "va" where "=" breaks words.
    if [[ $cur == = ]]; then
        cur=""
    elif [[ $prev == = ]] && ((cword >= 3)); then
        prev="${COMP_WORDS[cword-2]}"
    fi

    if ((cword == 1)); then
        if [[ $cur == -* ]]; then
            COMPREPLY=($(compgen -W "--help --version" -- "$cur"))
        else
            COMPREPLY=($(compgen -W "build rebuild find info ignore" -- "$cur"))
        fi
        return 0
    fi

    local command="${COMP_WORDS[1]}" options
    case $command in
        build) options="-o --output --recursive --formats --no-split --threads --quiet --help" ;;
        rebuild) options="-o --output --formats --no-split --threads --quiet --help" ;;
        find)
            options="-o --output --secondary --single --low --high --method --restrict
                     --tolerance --adjust --mirror --rotate --use-luminance --prescreen --limit
                     --threads --format --no-ignore --quiet --help"
            ;;
        info) options="--records --help" ;;
        ignore) options="--help" ;;
        *) return 0 ;;
    esac

    case $prev in
        -o | --output)
            if [[ $command == find ]]; then
                _twinly_cli_files '*.@(log|csv|json)'
            else
                _twinly_cli_files '*.[dD][uU][pP]'
            fi
            return 0
            ;;
        --secondary)
            _twinly_cli_files '*.[dD][uU][pP]'
            return 0
            ;;
        --single)
            _twinly_cli_files '*.@([bB][mM][pP]|[jJ][pP]?([eE])[gG]|[jJ][pP][eE]|[jJ][iI][fF]|[tT][iI][fF]?([fF])|[pP][nN][gG]|[pP][cC][xX]|[tT][gG][aA]|[pP][sS][dD]|[wW][mM][fF]|[eE][mM][fF]|[gG][iI][fF]|[hH][eE][iI][cCfF]|[aA][vV][iI][fF]|[wW][eE][bB][pP]|[jJ][xX][lL]|[dD][nN][gG]|[cC][rR][23]|[nN][eE][fF]|[aA][rR][wW]|[oO][rR][fF]|[rR][wW]2|[rR][aA][fF]|[pP][eE][fF]|[sS][rR][wW])'
            return 0
            ;;
        --method)
            COMPREPLY=($(compgen -W "euclidean weighted variance luminance" -- "$cur"))
            return 0
            ;;
        --restrict)
            COMPREPLY=($(compgen -W "none aspect size" -- "$cur"))
            return 0
            ;;
        --format)
            COMPREPLY=($(compgen -W "log csv json groups" -- "$cur"))
            return 0
            ;;
        --formats)
            COMPREPLY=($(compgen -W "classic all" -- "$cur"))
            return 0
            ;;
        --threads | --low | --high | --tolerance | --adjust | --limit)
            return 0  # a number
            ;;
    esac

    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return 0
    fi
    if [[ $command == build ]]; then
        _twinly_cli_files '*.[lL][sS][tT]'
    elif [[ $command == ignore ]]; then
        if ((cword == 2)); then
            COMPREPLY=($(compgen -W "add remove list clear" -- "$cur"))
        elif [[ ${COMP_WORDS[2]} == add || ${COMP_WORDS[2]} == remove ]] && ((cword <= 4)); then
            _twinly_cli_files '*'
        fi
    else
        _twinly_cli_files '*.[dD][uU][pP]'
    fi
    return 0
}

complete -F _twinly_cli twinly-cli
