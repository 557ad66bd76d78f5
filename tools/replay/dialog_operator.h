#pragma once
// The operator at the screen, for the Windows build: while the plug-in holds the host's call in its modal
// Cabrillo header dialog or in its "Output" message box, a watcher thread finds the window, types in the
// replay's header fields (see ComposeHeader), and presses OK, so a replay never waits for a person. The
// native plug-in answers its prompts itself; there this does nothing.
#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "header_fields.h"

namespace replay {

class DialogOperator {
public:
    // Answers the header dialog of the plug-in whose set is `setName` with these values.
    DialogOperator(std::vector<HeaderValue> values, std::string setName);
    ~DialogOperator();
    DialogOperator(const DialogOperator&) = delete;
    DialogOperator& operator=(const DialogOperator&) = delete;

    // True where the plug-in shows real windows that someone has to answer.
    static bool HasWindows();

    void Start();
    void Stop();
    // What it did, one line each ("[Output] File produced: W1AW.cbr"), in order, taken once.
    std::vector<std::string> TakeEvents();

private:
    void Run();
    void Event(const std::string& line);

    std::vector<HeaderValue> values_;
    std::string setName_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
    std::mutex mutex_;
    std::vector<std::string> events_;
};

}  // namespace replay
