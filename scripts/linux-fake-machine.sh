# Sourced by run-linux-panel.sh and bench-linux-panel.sh: lays out the Linux tests' fake machine.
#   fake_linux_machine DIR  - DIR (emptied first) holds the sysfs and /proc files of two NVIDIA
#                             GPUs with SKARNE boards, an RTX 3080 (family 3000) and an RTX 2080
#                             SUPER (family 2000), each with its LED controller on one of its
#                             adapters, and config/, state/ and run/ folders for the XDG variables.
#                             The adapters are played by the tests' preloaded fake_i2c.
fake_linux_machine() {
    local machine=$1
    rm -rf "$machine"
    # A node's file says how its adapter behaves: "answers" has the LED controller at 0x49; an
    # empty one is an adapter where nothing answers.
    fake_gpu() { # ADDRESS DEVICE MODEL PORT:NUMBER[:answers]...
        local address=$1 device=$2 model=$3 adapter port number words
        shift 3
        local folder="$machine/sys/bus/pci/devices/$address"
        mkdir -p "$folder" "$machine/proc/driver/nvidia/gpus/$address" "$machine/dev"
        echo "$device" >"$folder/device"
        echo 0x030000 >"$folder/class"
        echo 0x10de >"$folder/vendor"
        printf 'Model: \t %s\nIRQ: 4\n' "$model" >"$machine/proc/driver/nvidia/gpus/$address/information"
        for adapter in "$@"; do
            IFS=: read -r port number words <<<"$adapter"
            mkdir -p "$folder/i2c-$number"
            echo "NVIDIA i2c adapter $port at $((16#${address:5:2})):00.0" >"$folder/i2c-$number/name"
            printf '%s' "$words" >"$machine/dev/i2c-$number"
        done
    }
    fake_gpu 0000:01:00.0 0x2206 "NVIDIA GeForce RTX 3080" 0:5 1:3:answers 3:8
    fake_gpu 0000:02:00.0 0x1e81 "NVIDIA GeForce RTX 2080 SUPER" 1:9 5:2 2:4:answers
    mkdir -p "$machine/config" "$machine/state" "$machine/run"
    chmod 700 "$machine/run"
}
