// A scripted window system, sound module and start-up for the shell's tests: every call is
// logged by name, and each step that can fail can be told to.
#pragma once
#include "platform/window_system.h"

#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

struct DialogRecord {
    std::map<int32_t, uint32_t> checked;
    bool ended = false;
    intptr_t result = -1;
};

struct ShownBox {
    WindowHandle owner;
    std::string text, caption;
    uint32_t type;
};

struct FakeSystem {
    std::vector<std::string> log;
    std::set<std::string> failing;  // names of calls that fail
    std::deque<Message> queue;      // what peekMessage hands out
    std::deque<int32_t> boxAnswers; // answers of the next message boxes (else IDOK)
    std::vector<ShownBox> boxes;
    int64_t counter = 0;
    int32_t screenWidth = 1024, screenHeight = 768;
    bool quitPosted = false;
    int32_t quitCode = -1;
    int32_t swaps = 0;
    // Drives the dialog the way a person would; the default presses RunDemo at once.
    std::function<void(DialogHandle, DialogProc)> dialogScript;
    int32_t soundError = 0; // what soundGetError gives

    bool startUpResult = true;
};

FakeSystem& fake();
// A fresh fake, and the run state, the window's handles and the GL recorder as at start.
void resetFake();
// The log entries that start with prefix, in order.
std::vector<std::string> logged(const std::string& prefix);
