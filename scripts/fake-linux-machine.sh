# Sourced by scripts/run-linux-panel.sh, bench-linux-panel.sh and the download's check: the Linux tests' fake machine as
# files, for programs run with LUMIVAR_ROOT set to it.
#   fake_linux_machine DIR   - lays out in DIR (emptied first) the sysfs and /proc files of two
#                              NVIDIA GPUs with SKARNE boards, an RTX 3080 (family 3000) and an
#                              RTX 2080 SUPER (family 2000), each with its LED controller on one of
#                              its adapters among silent ones, and empty config, state and run
#                              folders for XDG_CONFIG_HOME, XDG_STATE_HOME and XDG_RUNTIME_DIR
# A node under DIR/dev says how its adapter behaves to the tests' preloaded stand-in for
# /dev/i2c-N: "answers" has the controller at 0x49; nothing answers on an empty one.

fake_linux_machine() {
    local machine=$1
    rm -rf "$machine"
    fake_gpu "$machine" 0000:01:00.0 0x2206 "NVIDIA GeForce RTX 3080" 0:5 1:3:answers 3:8
    fake_gpu "$machine" 0000:02:00.0 0x1e81 "NVIDIA GeForce RTX 2080 SUPER" 1:9 5:2 2:4:answers
    mkdir -p "$machine/config" "$machine/state" "$machine/run"
    chmod 700 "$machine/run"
}

fake_gpu() { # DIR ADDRESS DEVICE MODEL PORT:NUMBER[:WORDS]...
    local machine=$1 address=$2 device=$3 model=$4 adapter port number words
    shift 4
    local folder="$machine/sys/bus/pci/devices/$address"
    local information="$machine/proc/driver/nvidia/gpus/$address/information"
    mkdir -p "$folder" "$(dirname "$information")" "$machine/dev"
    echo "$device" >"$folder/device"
    echo 0x030000 >"$folder/class"
    echo 0x10de >"$folder/vendor"
    printf 'Model: \t %s\nIRQ: 4\n' "$model" >"$information"
    for adapter in "$@"; do
        IFS=: read -r port number words <<<"$adapter"
        mkdir -p "$folder/i2c-$number"
        echo "NVIDIA i2c adapter $port at $((16#${address:5:2})):00.0" >"$folder/i2c-$number/name"
        printf '%s' "$words" >"$machine/dev/i2c-$number"
    done
}
