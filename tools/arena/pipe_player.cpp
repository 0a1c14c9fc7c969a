// The pipe player: a child process on two pipes, both non-blocking, every
// wait bounded by poll.
#include "tools/arena/pipe_player.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

#include "replay/byte_script.h"
#include "rules/world_state.h"

extern char** environ;

namespace {

// An answer is a byte and a newline; anything longer than this is not one.
constexpr size_t longestAnswer = 64;
// How long a program whose input was closed may take to end by itself.
constexpr int32_t endGraceMs = 300;

int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

int RemainingMs(int64_t deadlineMs) {
    const int64_t left = deadlineMs - NowMs();
    return left <= 0 ? 0 : static_cast<int>(left);
}

void SetNonBlocking(int fd) {
    const int flags = fcntl(fd, F_GETFL);
    fcntl(fd, F_SETFL, flags | O_NONBLOCK);
}

void AppendNumber(std::string& line, int32_t value) {
    line += ' ';
    line += std::to_string(value);
}

}  // namespace

PipePlayer::PipePlayer(int32_t fighterIndex, int32_t timeoutMs)
    : side(fighterIndex == 1 ? 2 : 1), timeoutMs(timeoutMs) {
    stateLine.reserve(64 * 1024);
}

PipePlayer::~PipePlayer() {
    Stop();
}

bool PipePlayer::Start(const std::string& command, std::string* error) {
    // A program that quits makes writes to its pipe fail with EPIPE, which is
    // reported, instead of the signal ending this process.
    signal(SIGPIPE, SIG_IGN);
    int input[2];
    int output[2];
    if (pipe2(input, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
        return false;
    }
    if (pipe2(output, O_CLOEXEC) != 0) {
        *error = std::string("cannot make a pipe: ") + std::strerror(errno);
        close(input[0]);
        close(input[1]);
        return false;
    }
    // The environment is built before the fork: the child only calls what is
    // safe between fork and exec.
    std::vector<std::string> settings;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        if (std::strncmp(*entry, "KIVORO_SIDE=", 12) != 0) {
            settings.emplace_back(*entry);
        }
    }
    settings.push_back("KIVORO_SIDE=" + std::to_string(side));
    std::vector<char*> envp;
    for (std::string& s : settings) {
        envp.push_back(s.data());
    }
    envp.push_back(nullptr);
    const char* argv[] = {"/bin/sh", "-c", command.c_str(), nullptr};

    pid = fork();
    if (pid < 0) {
        *error = std::string("cannot start it: ") + std::strerror(errno);
        pid = -1;
        for (const int fd : {input[0], input[1], output[0], output[1]}) {
            close(fd);
        }
        return false;
    }
    if (pid == 0) {
        // Its own process group, so whatever the shell starts is killed with it.
        setpgid(0, 0);
        dup2(input[0], STDIN_FILENO);
        dup2(output[1], STDOUT_FILENO);
        // SIGPIPE is ignored here, and an ignored signal stays ignored across
        // exec: the program gets the default back.
        signal(SIGPIPE, SIG_DFL);
        execve("/bin/sh", const_cast<char* const*>(argv), envp.data());
        _exit(127);
    }
    setpgid(pid, pid);
    close(input[0]);
    close(output[1]);
    toChild = input[1];
    fromChild = output[0];
    SetNonBlocking(toChild);
    SetNonBlocking(fromChild);
    return true;
}

void PipePlayer::FormatState(int32_t frame) {
    stateLine.clear();
    stateLine += std::to_string(frame);
    for (const Fighter& f : fighters) {
        for (const int32_t value :
             {f.x, f.y, f.state, f.health, f.ki, f.deaths, static_cast<int32_t>(f.facing), f.aim,
              static_cast<int32_t>(f.turnCooldown)}) {
            AppendNumber(stateLine, value);
        }
    }
    AppendNumber(stateLine, blastCount);
    // After the 20 fields: each blast in flight as X Y VX VY SIDE SIZE.
    for (int32_t i = 0; i < blastCount; ++i) {
        const KiBlast& b = blasts[i];
        for (const int32_t value :
             {b.x, b.y, b.vx, b.vy, b.shooter + 1, static_cast<int32_t>(b.size)}) {
            AppendNumber(stateLine, value);
        }
    }
    stateLine += '\n';
}

uint8_t PipePlayer::Controls(int32_t frame) {
    if (Failed() || pid < 0) {
        return 0;
    }
    FormatState(frame);
    const int64_t deadline = NowMs() + timeoutMs;
    if (!WriteAll(stateLine, deadline)) {
        return 0;
    }
    std::string answer;
    if (!ReadLine(&answer, deadline)) {
        return 0;
    }
    uint8_t byte = 0;
    if (!ParseControlLine(answer, &byte)) {
        const std::string shown = answer.size() > 40 ? answer.substr(0, 40) + "..." : answer;
        Fail("answered \"" + shown + "\" at frame " + std::to_string(frame) +
             ", which is not a control byte (0 to 255)");
        return 0;
    }
    return byte;
}

bool PipePlayer::WriteAll(const std::string& text, int64_t deadlineMs) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = write(toChild, text.data() + done, text.size() - done);
        if (n > 0) {
            done += static_cast<size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0 && errno == EPIPE) {
            Fail("closed its input" + ExitNote());
            return false;
        }
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
            Fail(std::string("cannot be written to: ") + std::strerror(errno));
            return false;
        }
        pollfd wait{toChild, POLLOUT, 0};
        const int ready = poll(&wait, 1, RemainingMs(deadlineMs));
        if (ready == 0) {
            Fail("did not read its input within " + std::to_string(timeoutMs) + " ms");
            return false;
        }
        if (ready < 0 && errno != EINTR) {
            Fail(std::string("cannot be waited for: ") + std::strerror(errno));
            return false;
        }
    }
    return true;
}

bool PipePlayer::ReadLine(std::string* line, int64_t deadlineMs) {
    for (;;) {
        const size_t end = pending.find('\n');
        if (end != std::string::npos) {
            *line = pending.substr(0, end);
            pending.erase(0, end + 1);
            return true;
        }
        if (pending.size() > longestAnswer) {
            Fail("answered \"" + pending.substr(0, 40) +
                 "...\", which is not a control byte (0 to 255)");
            return false;
        }
        pollfd wait{fromChild, POLLIN, 0};
        const int ready = poll(&wait, 1, RemainingMs(deadlineMs));
        if (ready == 0) {
            const int32_t seconds = timeoutMs / 1000;
            Fail(timeoutMs % 1000 == 0
                     ? "gave no answer within " + std::to_string(seconds) + " s"
                     : "gave no answer within " + std::to_string(timeoutMs) + " ms");
            return false;
        }
        if (ready < 0) {
            if (errno == EINTR) {
                continue;
            }
            Fail(std::string("cannot be waited for: ") + std::strerror(errno));
            return false;
        }
        char buffer[256];
        const ssize_t n = read(fromChild, buffer, sizeof buffer);
        if (n > 0) {
            pending.append(buffer, static_cast<size_t>(n));
            continue;
        }
        if (n == 0) {
            Fail(pending.empty() ? "ended its output (end of file)" + ExitNote()
                                 : "ended its output in the middle of a line" + ExitNote());
            return false;
        }
        if (errno != EINTR && errno != EAGAIN && errno != EWOULDBLOCK) {
            Fail(std::string("cannot be read from: ") + std::strerror(errno));
            return false;
        }
    }
}

// ", exit status N" or ", killed by signal N" when the program has ended by
// now (it is given a moment); empty otherwise. The program is not reaped here.
std::string PipePlayer::ExitNote() {
    if (pid < 0) {
        return "";
    }
    for (int32_t tries = 0; tries < 20; ++tries) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid) {
            if (info.si_code == CLD_EXITED) {
                return ", exit status " + std::to_string(info.si_status);
            }
            return ", killed by signal " + std::to_string(info.si_status);
        }
        usleep(5000);
    }
    return "";
}

void PipePlayer::Fail(const std::string& what) {
    if (problem.empty()) {
        problem = what;
    }
    Kill();
}

void PipePlayer::Kill() {
    if (pid < 0) {
        return;
    }
    // The group first, while the leader (even a zombie) still holds its id.
    kill(-pid, SIGKILL);
    kill(pid, SIGKILL);
    while (waitpid(pid, nullptr, 0) < 0 && errno == EINTR) {
    }
    pid = -1;
    for (int* fd : {&toChild, &fromChild}) {
        if (*fd >= 0) {
            close(*fd);
            *fd = -1;
        }
    }
}

void PipePlayer::Stop() {
    if (pid < 0) {
        return;
    }
    if (toChild >= 0) {
        close(toChild);
        toChild = -1;
    }
    const int64_t deadline = NowMs() + endGraceMs;
    while (NowMs() < deadline) {
        siginfo_t info{};
        if (waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
            info.si_pid == pid) {
            break;
        }
        usleep(2000);
    }
    Kill();
}
