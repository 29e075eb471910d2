#!/usr/bin/env bash
# Drives vistrel's bash completion as bash does: sets COMP_LINE, COMP_POINT, COMP_WORDS and
# COMP_CWORD for a command line, calls _vistrel and compares COMPREPLY, in order, with the
# expected candidates. The serial ports come from a scratch folder (VISTREL_COMPLETION_DEV),
# the file names from a scratch working folder.
#
# Usage: completion_test.sh <completion file>
# Prints one line per failing case; the exit status is 1 when any case failed.

completion=${1:?usage: completion_test.sh <completion file>}
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
mkdir -p "$dev/serial/by-id" "$scratch/no-ports" "$scratch/work/edid/sub"
touch "$dev/ttyACM0" "$dev/ttyUSB0" "$dev/ttyS0"
ln -s ../../ttyACM0 "$by_id"
ln -s ../../ttyACM9 "$dev/serial/by-id/usb-Unplugged-if00"  # dangling: not a port
touch "$scratch/work/edid/slot3.bin" "$scratch/work/edid/slot4.bin" "$scratch/work/my file.bin" \
    "$scratch/work/a=b.bin"
export VISTREL_COMPLETION_DEV=$dev

# shellcheck source=/dev/null
source "$completion" || { fail "source $completion"; exit 1; }
cd "$scratch/work" || exit 1

completion_function=_vistrel
# shellcheck source=tests/packaging/completion_driver.sh
source "$here/completion_driver.sh" || { fail "source $here/completion_driver.sh"; exit 1; }

check_no_variable_left_behind 'vistrel -c /dev/ttyACM0 profile upload 3 a=b.bin reset 1 '

slots=(0 1 2 3 4 5 6 7)
profile_subcommands=(download list reset upload)
cwd_files=(a=b.bin edid 'my file.bin')

# The global options and the groups; no help option, no hidden group.
check 'vistrel ' -c -l profile system
check 'vistrel p' profile
check 'vistrel -' -c -l
check 'vistrel --'
check 'vistrel _'
check 'vistrel _service '
check 'vistrel bogus '
check 'vistrel -l ' -c profile system
check 'vistrel -c /dev/ttyACM0 ' -l profile system
check 'vistrel -c=/dev/ttyACM0 -l ' profile system
check 'vistrel -c -l ' -l profile system  # -l is the port here

# Ports after -c: by-id names first, then ttyACM*, ttyUSB*; only existing ones.
check 'vistrel -c ' "$by_id" "$dev/ttyACM0" "$dev/ttyUSB0"
check 'vistrel -l -c ' "$by_id" "$dev/ttyACM0" "$dev/ttyUSB0"
check "vistrel -c $dev/tty" "$dev/ttyACM0" "$dev/ttyUSB0"
check "vistrel -c $dev/serial/" "$by_id"
check "vistrel -c $dev/ttyS"
check 'vistrel -c=' "$by_id" "$dev/ttyACM0" "$dev/ttyUSB0"
check "vistrel -c=$dev/ttyU" "$dev/ttyUSB0"
VISTREL_COMPLETION_DEV=$scratch/no-ports check 'vistrel -c '
check 'vistrel -c /dev/ttyACM0:1 ' -l profile system

# Subcommands, -t, and the subcommands again after a complete one.
check 'vistrel system ' information
check 'vistrel -c /dev/ttyACM0 profile ' "${profile_subcommands[@]}"
check 'vistrel profile l' list
check 'vistrel profile bogus '
check 'vistrel system information ' -t information
check 'vistrel system information -t ' 
check 'vistrel system information -t 5 ' information
check 'vistrel system information information ' -t information
check 'vistrel profile list ' -t "${profile_subcommands[@]}"
check 'vistrel profile list -t 5 ' "${profile_subcommands[@]}"
check 'vistrel profile list -t=5 ' "${profile_subcommands[@]}"
check 'vistrel profile list -t='
check 'vistrel profile li^ -t 5' list

# upload and download: slot, file, slot, file ... then a subcommand.
check 'vistrel profile upload ' -t "${slots[@]}"
check 'vistrel profile upload -t 3 ' "${slots[@]}"
check_names 'vistrel profile upload 3 ' "${cwd_files[@]}"
check_names 'vistrel profile upload 3 edid/s' edid/slot3.bin edid/slot4.bin edid/sub
check 'vistrel profile upload 3 edid/slot3.bin ' "${slots[@]}" "${profile_subcommands[@]}"
check_names 'vistrel profile upload 3 edid/slot3.bin 4 ' "${cwd_files[@]}"
check 'vistrel profile upload 3 edid/slot3.bin l' list
check 'vistrel profile upload 3 edid/slot3.bin list ' -t "${profile_subcommands[@]}"
check 'vistrel profile upload 3 edid/slot3.bin -1 '
check 'vistrel profile upload list '
check_names 'vistrel profile upload 3 my\ f' 'my file.bin'
check_names "vistrel profile upload 3 'my f" 'my file.bin'
check_names 'vistrel profile download 3 ' "${cwd_files[@]}"
check 'vistrel profile download 3 new.bin ' "${slots[@]}" "${profile_subcommands[@]}"
check_names 'vistrel profile download 03 ' "${cwd_files[@]}"
check_names 'vistrel profile download 255 ' "${cwd_files[@]}"
check 'vistrel profile download 256 '
check 'vistrel profile download x '
check_names 'vistrel profile download 3 a=' b.bin  # readline keeps "a="
check 'vistrel profile download 3 a=b.bin ' "${slots[@]}" "${profile_subcommands[@]}"

# reset: all, or slots; then a subcommand.
check 'vistrel profile reset ' -t all "${slots[@]}"
check 'vistrel profile reset a' all
check 'vistrel profile reset all ' "${profile_subcommands[@]}"
check 'vistrel profile reset 3 ' "${slots[@]}" "${profile_subcommands[@]}"
check 'vistrel profile reset 3 all '
check 'vistrel profile reset list '
check 'vistrel profile list -t 5 upload 1 edid/slot4.bin reset ' -t all "${slots[@]}"

# Redirections are the shell's: a file after them, and vistrel's words go on.
check_names 'vistrel profile list > ' "${cwd_files[@]}"
check_names 'vistrel profile list 2>' "${cwd_files[@]}"
check 'vistrel profile list >out ' -t "${profile_subcommands[@]}"
check 'vistrel profile download 3 x.bin 2> err.log ' "${slots[@]}" "${profile_subcommands[@]}"

# Without "=" among the word breaks readline replaces the whole word.
COMP_WORDBREAKS=${COMP_WORDBREAKS//=/}
check 'vistrel -c=' "-c=$by_id" "-c=$dev/ttyACM0" "-c=$dev/ttyUSB0"
check_names 'vistrel profile download 3 a=' a=b.bin
check 'vistrel profile download 3 a=b.bin ' "${slots[@]}" "${profile_subcommands[@]}"

# The registration.
registration=$(complete -p vistrel 2>&1)
[[ $registration == 'complete -F _vistrel vistrel' ]] || fail "complete -p vistrel: $registration"

((failures == 0))
