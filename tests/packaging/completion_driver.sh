# Drives a bash completion function as bash does, for the completion tests: sets COMP_LINE,
# COMP_POINT, COMP_WORDS and COMP_CWORD for a command line, calls the function named by
# $completion_function and compares COMPREPLY, in order, with the expected candidates.
# Sourced by a test that defines fail() and has sourced the completion file.
# shellcheck shell=bash
: "${completion_function:?the test names the completion function}"

COMP_WORDBREAKS=$' \t\n"\'@><=;|&(:'  # bash's default

# Splits $1 as bash splits a command line into COMP_WORDS: at blanks, a run of the other
# COMP_WORDBREAKS characters is a word of its own, a backslash keeps the next character and
# quotes keep their text in the word. Sets split_words and split_open (a word is open at
# the end).
split()
{
    local text=$1 word='' kind='' quote='' c i
    local breaks=${COMP_WORDBREAKS//[[:space:]\"\']/}
    split_words=()
    for ((i = 0; i < ${#text}; i++)); do
        c=${text:i:1}
        if [[ -n $quote ]]; then
            word+=$c
            [[ $c == "$quote" ]] && quote=
            continue
        fi
        if [[ $c == [[:blank:]] ]]; then
            [[ -n $kind ]] && split_words+=("$word")
            word='' kind=''
            continue
        fi
        if [[ $breaks == *"$c"* ]]; then
            [[ $kind == text ]] && split_words+=("$word") && word=
            kind=breaks
        else
            [[ $kind == breaks ]] && split_words+=("$word") && word=
            kind=text
            if [[ $c == \\ ]]; then
                word+=$c
                ((i++))
                c=${text:i:1}
            elif [[ $c == [\"\'] ]]; then
                quote=$c
            fi
        fi
        word+=$c
    done
    [[ -n $kind ]] && split_words+=("$word")
    split_open=${kind:+1}
}

# Sets the completion variables for the command line $1, the cursor at "^" or at the end.
set_line()
{
    local line=$1 before
    COMP_POINT=${#line}
    if [[ $line == *^* ]]; then
        before=${line%%^*}
        COMP_POINT=${#before}
        line=${line/^/}
    fi
    COMP_LINE=$line
    split "$line"
    COMP_WORDS=("${split_words[@]}")
    split "${line:0:COMP_POINT}"
    COMP_CWORD=$((${#split_words[@]} - 1))
    if [[ -z $split_open ]]; then
        ((COMP_CWORD++))
        ((COMP_POINT == ${#line})) && COMP_WORDS+=("")
    fi
}

# check <command line> [<expected candidate>...]
# check_names: the same for file names, which come in the folder's order: sorted first.
check()
{
    local line=$1 got want
    shift
    set_line "$line"
    COMPREPLY=()
    "$completion_function"
    if [[ -n $sort_reply && ${#COMPREPLY[@]} -gt 0 ]]; then
        mapfile -t COMPREPLY < <(printf '%s\n' "${COMPREPLY[@]}" | sort)
    fi
    got=$(printf '%q ' "${COMPREPLY[@]}")
    want=$(printf '%q ' "$@")
    [[ $got == "$want" ]] || fail "$(printf '%q' "$line") offers ($got) instead of ($want)"
}
sort_reply=
check_names()
{
    sort_reply=1
    check "$@"
    sort_reply=
}

# No variable left behind in the user's shell, from the first completion on: the completion of
# the command line $1.
check_no_variable_left_behind()
{
    local names_before names_after
    set_line "$1"
    names_before=$(compgen -v | grep -vx 'BASH_REMATCH\|COMPREPLY\|names_before')
    "$completion_function"
    names_after=$(compgen -v | grep -vx 'BASH_REMATCH\|COMPREPLY\|names_before\|names_after')
    [[ $names_after == "$names_before" ]] \
        || fail "variables left behind: $(comm -13 <(echo "$names_before") <(echo "$names_after") | tr '\n' ' ')"
}
