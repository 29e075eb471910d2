#!/usr/bin/env bash
# Drives vistrel-dimming's bash completion as bash does: sets COMP_LINE, COMP_POINT, COMP_WORDS
# and COMP_CWORD for a command line, calls _vistrel_dimming and compares COMPREPLY, in order,
# with the expected candidates. The serial ports come from a scratch folder
# (VISTREL_COMPLETION_DEV), the file names from a scratch working folder.
#
# Usage: dimming_completion_test.sh <completion file>
# Prints one line per failing case; the exit status is 1 when any case failed.

completion=${1:?usage: dimming_completion_test.sh <completion file>}
export LC_ALL=C
here=$(cd "$(dirname "$0")" && pwd)

failures=0
fail()
{
    printf 'FAIL: %s\n' "$*"
    failures=$((failures + 1))
}

bash -n "$completion" || fail "bash -n $completion"

scratch=$(mktemp -d) || exit 1
trap 'rm -rf "$scratch"' EXIT
dev=$scratch/dev
by_id=$dev/serial/by-id/usb-Vistrel_Display_Interface_0001-if00
mkdir -p "$dev/serial/by-id" "$scratch/no-ports" "$scratch/work"
touch "$dev/ttyACM0" "$dev/ttyUSB0" "$dev/ttyS0"
ln -s ../../ttyACM0 "$by_id"
touch "$scratch/work/values.txt" "$scratch/work/my file.txt"
export VISTREL_COMPLETION_DEV=$dev

# Every function the file defines has a name of its own, so that vistrel's completion can be
# loaded beside it.
functions_before=$(declare -F)
# shellcheck source=/dev/null
source "$completion" || { fail "source $completion"; exit 1; }
new_functions=$(comm -13 <(echo "$functions_before") <(declare -F) | grep -v '^declare -f _vistrel_dimming')
[[ -z $new_functions ]] || fail "functions outside _vistrel_dimming*: $(echo "$new_functions" | tr '\n' ' ')"
cd "$scratch/work" || exit 1

completion_function=_vistrel_dimming
# shellcheck source=tests/packaging/completion_driver.sh
source "$here/completion_driver.sh" || { fail "source $here/completion_driver.sh"; exit 1; }

check_no_variable_left_behind 'vistrel-dimming -c /dev/ttyACM0 set DI_KL_58xd=5 RLS_Vorfeldhelligkeit_Boost=b'

signals=(DI_KL_58xd= DI_KL_58xs= DI_Display_Nachtdesign= DI_KL_58xt= LS_Helligkeit_FW= RLS_Vorfeldhelligkeit_Boost=)
bands=(groesser_24413_Lux bis_24413_Lux bis_22193_Lux bis_20176_Lux bis_18342_Lux bis_16647_Lux bis_15158_Lux
    bis_13780_Lux bis_12527_Lux bis_11388_Lux bis_10353_Lux bis_9412_Lux bis_8556_Lux bis_7778_Lux bis_7071_Lux
    bis_6428_Lux)
presets=(init error day-max night-max)

# The options and the commands; -l stands alone, -c comes once.
check 'vistrel-dimming ' -c -l get preset set
check 'vistrel-dimming -' -c -l
check 'vistrel-dimming s' set
check 'vistrel-dimming --'
check 'vistrel-dimming -c /dev/ttyACM0 ' get preset set
check 'vistrel-dimming -c=/dev/ttyACM0 ' get preset set
check 'vistrel-dimming -c /dev/ttyACM0:1 ' get preset set
check 'vistrel-dimming -l '
check 'vistrel-dimming get '
check 'vistrel-dimming bogus '
check 'vistrel-dimming -c /dev/ttyACM0 -c '
check 'vistrel-dimming -c /dev/ttyACM0 -c='

# Ports after -c: by-id names first, then ttyACM*, ttyUSB*; only existing ones.
check 'vistrel-dimming -c ' "$by_id" "$dev/ttyACM0" "$dev/ttyUSB0"
check "vistrel-dimming -c $dev/tty" "$dev/ttyACM0" "$dev/ttyUSB0"
check "vistrel-dimming -c $dev/ttyS"
check 'vistrel-dimming -c=' "$by_id" "$dev/ttyACM0" "$dev/ttyUSB0"
check "vistrel-dimming -c=$dev/ttyU" "$dev/ttyUSB0"
VISTREL_COMPLETION_DEV=$scratch/no-ports check 'vistrel-dimming -c '

# Presets.
check 'vistrel-dimming preset ' "${presets[@]}"
check 'vistrel-dimming -c /dev/ttyACM0 preset d' day-max
check 'vistrel-dimming preset init '
check 'vistrel-dimming preset bogus '

# set: each signal once, with its "=", then the named values of the signal before the "=".
check 'vistrel-dimming set ' "${signals[@]}"
check 'vistrel-dimming set DI_KL_58x' DI_KL_58xd= DI_KL_58xs= DI_KL_58xt=
check 'vistrel-dimming set DI_KL_58xd=5 ' DI_KL_58xs= DI_Display_Nachtdesign= DI_KL_58xt= LS_Helligkeit_FW= \
    RLS_Vorfeldhelligkeit_Boost=
check 'vistrel-dimming set DI_KL_58xd=5 DI_KL_58xs=Init DI_Display_Nachtdesign=1 DI_KL_58xt=0 LS_Helligkeit_FW=6 ' \
    RLS_Vorfeldhelligkeit_Boost=
check 'vistrel-dimming set DI_KL_58xd=' Init Fehler
check 'vistrel-dimming set DI_KL_58xs=F' Fehler
check 'vistrel-dimming set LS_Helligkeit_FW=' Init Fehler
check 'vistrel-dimming set DI_Display_Nachtdesign=' 0 1
check 'vistrel-dimming set RLS_Vorfeldhelligkeit_Boost=' "${bands[@]}"
check 'vistrel-dimming set RLS_Vorfeldhelligkeit_Boost=bis_6' bis_6428_Lux
check 'vistrel-dimming set DI_KL_58xd=1 DI_KL_58xd='
check 'vistrel-dimming set DI_KL_58xd=1 DI_KL_58xd=2 '
check 'vistrel-dimming set bogus='
check 'vistrel-dimming set bogus=1 '
check 'vistrel-dimming set DI_KL_58xd '
# Only the words before the cursor count.
check 'vistrel-dimming set DI_KL_5^ DI_KL_58xs=1' DI_KL_58xd= DI_KL_58xs= DI_KL_58xt=

# Redirections are the shell's: a file after them, and vistrel-dimming's words go on.
check_names 'vistrel-dimming get > ' 'my file.txt' values.txt
check_names 'vistrel-dimming get 2>' 'my file.txt' values.txt
check 'vistrel-dimming preset >out ' "${presets[@]}"
check 'vistrel-dimming set DI_KL_58xd=1 2> err.log ' DI_KL_58xs= DI_Display_Nachtdesign= DI_KL_58xt= \
    LS_Helligkeit_FW= RLS_Vorfeldhelligkeit_Boost=

# Without "=" among the word breaks readline replaces the whole word.
COMP_WORDBREAKS=${COMP_WORDBREAKS//=/}
check 'vistrel-dimming -c=' "-c=$by_id" "-c=$dev/ttyACM0" "-c=$dev/ttyUSB0"
check 'vistrel-dimming set DI_KL_58xd=F' DI_KL_58xd=Fehler
check 'vistrel-dimming set DI_Display_Nachtdesign=' DI_Display_Nachtdesign=0 DI_Display_Nachtdesign=1
check 'vistrel-dimming set DI_KL_58xd=1 ' DI_KL_58xs= DI_Display_Nachtdesign= DI_KL_58xt= LS_Helligkeit_FW= \
    RLS_Vorfeldhelligkeit_Boost=

# The registration.
registration=$(complete -p vistrel-dimming 2>&1)
[[ $registration == 'complete -F _vistrel_dimming vistrel-dimming' ]] || fail "complete -p vistrel-dimming: $registration"

((failures == 0))
