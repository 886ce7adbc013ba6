// Programs the editor starts for the user (the browser hand-off, dialogs):
// started without a shell, their arguments passed as they are.
#pragma once

#include <string>
#include <vector>

// Starts program (looked up in the search path) with args and returns at
// once; false when it cannot be started. The child is reaped later, without
// blocking, by ReapFinishedChildren (called again at every start).
bool StartDetached(const char* program, const std::vector<std::string>& args);
// Collects the exit status of detached children that have finished.
void ReapFinishedChildren();
// Number of detached children not yet reaped.
int UnreapedChildren();

// Runs program with args, waits for it and gives its standard output and
// exit status. False when it cannot be started (not installed).
bool RunAndCapture(const char* program, const std::vector<std::string>& args, std::string* output, int* status);
