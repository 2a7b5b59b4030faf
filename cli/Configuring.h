#pragma once
// The configure window's own frame around a command's work with the
// sensor's settings: connected, then the opening (status poll stopped,
// 50 ms, unlock, 50 ms, features read, "cs"), the work, and the closing
// ("ce", lock), which goes out whatever the work did.

#include <functional>
#include <string>
#include <vector>

#include "cli/Cli.h"
#include "config/FeatureFlags.h"

// Runs `work` with the session and the visibility rules of the features
// word the opening read; returns its exit status, or kExitFailed when the
// sensor did not acknowledge "cs" or "ce" and the work itself succeeded.
// When the features word cannot be read the work is not done (kExitFailed).
int RunConfiguring(CliSession& session, const std::function<int(Session&, const FeatureVisibility&)>& work);

// Whether `args` asks for the command's help (--help or -h anywhere).
bool WantsHelp(const std::vector<std::string>& args);

// "oil-debris-cli: " and the text, on stderr.
void Complain(const std::string& text);
