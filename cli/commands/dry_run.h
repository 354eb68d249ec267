// The dry run's sender: each transfer a board would be sent, printed in order, and nothing sent.
#pragma once

#include <string>

#include "cli/commands/send_path.h"

// "GPU 1 (NAME): port 1, 0x49, write 8: a0 00 04 10 20 30 00 04", or "...: pause 500 ms". The
// address is the controller's 7-bit bus address; the bytes are the block as planned, which a
// family-2000 board is sent as many of as its probe's answer asks (8 from every board seen).
std::string TransferLine(const Board& board, const std::string& port,
                         const led::Transfer& transfer);

class DryRunPrinter final : public BoardSender {
  public:
    explicit DryRunPrinter(CliHost& host) : host_(host) {}
    int Send(const BoardStep& step) override;
    bool DryRun() const override { return true; }

  private:
    CliHost& host_;
};
