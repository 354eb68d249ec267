// A send of the saved boards: the keeper's, and restore, which is one of every saved board with
// nothing sent before. The settings are read, the driver waited for, and each present board's
// wanted lighting planned and sent on the one send path; the absent ones are said.
#pragma once

#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "cli/commands/send_path.h"
#include "core/keeper/wanted_lighting.h"

struct SavedBoards {
    SavedSettings saved;
    bool found = false;  // false: no settings file, and nothing else below
    std::unique_ptr<DriverSession> session;
    // The present boards with a saved entry, in slot order, with their temperatures where they
    // follow them.
    std::vector<std::pair<const Board*, SavedBoardNow>> present;
    std::vector<BoardKey> absent;  // saved boards no slot holds, in the file's order

    std::vector<SavedBoardNow> Now() const;
};

// The present and absent saved boards on a session of the driver.
void FindSavedBoards(const DriverSession& session, SavedBoards& boards);

// The settings read (`boards.saved` is left as it was when they cannot be) and, when there are
// any, the driver waited for (up to `waitSeconds`, or until
// a keeper is told to end) and the saved boards found. A saved board that is no supported board
// is the file's fault (written by hand): nothing is sent then.
int OpenSavedBoards(CliHost& host, int waitSeconds, SavedBoards& boards);

// Sends each of `sends` in order ("restored" with `everyBoard`, "sent", "lights out"), keeping in
// `lastSent` what reached each board and forgetting what did not; with `everyBoard` the absent
// boards are said. Every board is planned before any is sent: a mode a board lacks is the
// file's fault.
int SendSavedBoards(CliHost& host, const SavedBoards& boards,
                    const std::vector<LightingToSend>& sends, bool everyBoard, BoardSender& sender,
                    std::map<BoardKey, SentLighting>& lastSent);
