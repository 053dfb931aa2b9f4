# bash completion for velmora-cli
_velmora_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="render info resave new anim palette keyframe set zoom"
    local overrides="--size --region --center --width --iterations --type --julia"
    local command="" i
    for ((i = 1; i < cword; i++)); do
        case "${words[i]}" in
            render|info|resave|new|anim|palette|keyframe|set|zoom) command="${words[i]}"; break ;;
        esac
    done

    case "$prev" in
        --type) COMPREPLY=($(compgen -W "mandelbrot julia" -- "$cur")); return ;;
        --style) COMPREPLY=($(compgen -W "slow constant" -- "$cur")); return ;;
        --folder) _filedir -d; return ;;
        --palette) _filedir '@(rgb|map|pal)'; return ;;
        --from-json) _filedir json; return ;;
        --playback) COMPREPLY=($(compgen -W "forwards reverse pingpong forwards+loop reverse+loop pingpong+loop" -- "$cur")); return ;;
        --video) _filedir '@(mp4|webm|mkv)'; return ;;
        --quality) COMPREPLY=($(compgen -W "high medium small" -- "$cur")); return ;;
        --supersample) COMPREPLY=($(compgen -W "1 2 3 4 5 6 7 8" -- "$cur")); return ;;
        --size|--region|--center|--width|--iterations|--julia|--from|--to|--frames|--fps|--anim-size|--transitions|--at|--from-width|--seconds|--iterations-from|--density|--offset) return ;;
        --save) _filedir vmr; return ;;
        -o|--output)
            case "$command" in
                palette) _filedir rgb ;;
                *) _filedir '@(bmp|png)' ;;
            esac
            return ;;
    esac

    if [[ -z "$command" ]]; then
        COMPREPLY=($(compgen -W "$commands -h --help --version" -- "$cur"))
        return
    fi

    if [[ "$cur" == -* ]]; then
        local options="-h --help"
        case "$command" in
            render) options+=" -o --output $overrides --palette --from-json --supersample --smooth --verify --density --offset" ;;
            new) options+=" $overrides --palette --anim-size --style --folder --playback --from-json --density --offset" ;;
            set) options+=" $overrides --palette --anim-size --style --folder --playback --density --offset" ;;
            keyframe) options+=" $overrides --palette --transitions --at" ;;
            zoom) options+=" --center --width --from-width --seconds --fps --size --iterations --iterations-from --palette --save --folder --resume --quality --smooth --density --offset" ;;
            anim) options+=" --from --to --frames --size --style --folder --palette --resume --video --fps --quality --no-frames --smooth --density --offset" ;;
            palette) options+=" -o --output" ;;
        esac
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi

    case "$command" in
        palette) _filedir '@(rgb|map|pal)' ;;
        zoom) _filedir '@(mp4|webm|mkv)' ;;
        keyframe)
            if [[ "${words[cword-1]}" == keyframe ]]; then
                COMPREPLY=($(compgen -W "add list set remove" -- "$cur"))
            else
                _filedir vmr
            fi ;;
        render|info) _filedir '@(vmr|png)' ;;
        *) _filedir vmr ;;
    esac
}
complete -F _velmora_cli velmora-cli
