// PipePlayer: a side played by an outside program. The arena starts it with
// /bin/sh -c COMMAND, KIVORO_SIDE (1 or 2) in its environment, and before
// every frame writes it one line on the world (docs/arena.md) and reads back
// one line holding its control byte. A program that ends, answers something
// else or takes longer than the timeout fails the match; it is then killed
// and reaped.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <string>

#include "rules/control_source.h"

class PipePlayer : public ControlSource {
public:
    // timeoutMs: the longest wait for an answer (and for the program to take
    // its line).
    PipePlayer(int32_t fighterIndex, int32_t timeoutMs);
    PipePlayer(const PipePlayer&) = delete;
    PipePlayer& operator=(const PipePlayer&) = delete;
    // Stops the program if it still runs.
    ~PipePlayer() override;

    // Starts the program. False, with the reason in *error, when it cannot be.
    // From then on this process ignores SIGPIPE: a program that quits is
    // reported through its pipe, never by the signal.
    bool Start(const std::string& command, std::string* error);

    // Writes the frame's line and reads the answer; 0 once it has failed.
    uint8_t Controls(int32_t frame) override;

    bool Failed() const { return !problem.empty(); }
    // What went wrong, one line without the player's name.
    const std::string& Problem() const { return problem; }

    // Closes the program's input, gives it a moment to end, then kills what is
    // left of it and reaps it. Safe to call more than once.
    void Stop();

private:
    void Fail(const std::string& what);
    void Kill();
    bool WriteAll(const std::string& text, int64_t deadlineMs);
    // The answer line without its newline; false on end of file, timeout or
    // a line too long to be an answer (problem set).
    bool ReadLine(std::string* line, int64_t deadlineMs);
    void FormatState(int32_t frame);
    std::string ExitNote();

    int32_t side;  // 1 or 2
    int32_t timeoutMs;
    pid_t pid = -1;
    int toChild = -1;
    int fromChild = -1;
    std::string pending;  // read but not yet taken
    std::string stateLine;
    std::string problem;
};
