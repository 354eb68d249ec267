#include "cli/commands/dry_run.h"

#include <cstdio>

#include "cli/commands/exit_codes.h"

std::string TransferLine(const Board& board, const std::string& port,
                         const led::Transfer& transfer) {
    if (transfer.kind == led::Transfer::Kind::kPause) {
        return board.Label() + ": pause " + std::to_string(transfer.milliseconds) + " ms";
    }
    char address[8];
    std::snprintf(address, sizeof address, "0x%02x", board.target.ledControllerAddress >> 1);
    const bool read = transfer.kind == led::Transfer::Kind::kProbeRead;
    std::string line = board.Label() + ": " + port + ", " + address +
                       (read ? ", read " : ", write ") + std::to_string(transfer.bytes.size()) +
                       ":";
    for (const uint8_t byte : transfer.bytes) {
        char hex[4];
        std::snprintf(hex, sizeof hex, " %02x", byte);
        line += hex;
    }
    return line;
}

int DryRunPrinter::Send(const BoardStep& step) {
    const Board& board = *step.board;
    const std::optional<std::string> port = host_.TransferPort(board);
    if (!port) {
        return Fail(host_, kExitDriverFailed,
                    board.Label() +
                        ": nothing would be sent: " + host_.TransferFailure(board, NVAPI_ERROR));
    }
    for (const led::Transfer& transfer : step.transfers) {
        host_.Print(TransferLine(board, *port, transfer));
    }
    return kExitDone;
}
