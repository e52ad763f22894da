#pragma once

#include <functional>

#include "addons/addon_context.h"

class CWnd;

// Reading the recorder's state replies, shared by the codepage installation
// and the add-on check.
namespace ostrel::addons {

// A reply text read as a decimal number ("3" → 3); 0 for anything else.
int ReplyNumber(const char* text);

// Polls the disk state up to `attempts` times: DiskStatus cleared, the
// query, the pause; stops as soon as `done(state, queryResult)` holds.
// Answers the last state read.
int PollDiskState(AddonContext& context, int attempts, unsigned pauseMs,
                  const std::function<bool(int state, int result)>& done);

// Disk states 1 (no disk) and 2 (not formatted): shows the message, with no
// caption or icon of its own, and for 2 opens the recorder's web console so
// the user can format the disk. False for any other state.
bool ReportDiskProblem(int state, CWnd* owner, AddonContext& context);

}  // namespace ostrel::addons
