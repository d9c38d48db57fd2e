// Running zodiara-chart from a test as a script would: files for its three streams, an
// environment of the test's choosing, and the exit status it ended with.
#pragma once

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace zodiara::test {

inline std::string readFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void writeFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream(path, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
}

// The environment with each "NAME=value" set and each bare "NAME" removed.
inline std::vector<std::string> environmentWith(const std::vector<std::string>& changes)
{
    const auto name = [](std::string_view entry) { return entry.substr(0, entry.find('=')); };
    std::vector<std::string> result;
    for (char** variable = environ; *variable; ++variable)
        if (std::none_of(changes.begin(), changes.end(),
                         [&](const std::string& c) { return name(c) == name(*variable); }))
            result.push_back(*variable);
    for (const std::string& change : changes)
        if (change.find('=') != std::string::npos)
            result.push_back(change);
    return result;
}

// Starts the program (zodiara-chart unless `program` names a copy); -1 when it cannot be started.
inline pid_t spawnChart(const std::vector<std::string>& args, const std::vector<std::string>& env,
                        const posix_spawn_file_actions_t& actions, const char* program = ZODIARA_CHART_EXE)
{
    std::vector<char*> argv{const_cast<char*>(program)}, envp;
    for (const std::string& arg : args)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    for (const std::string& variable : env)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    // As from a shell in the foreground, whatever the test runner was started with.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t defaults, none;
    sigemptyset(&defaults);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&defaults, signal);
    sigemptyset(&none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETSIGMASK);
    pid_t pid = -1;
    const int error = posix_spawn(&pid, program, &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    return error == 0 ? pid : -1;
}

// The exit status, or 128 + the signal that ended the program.
inline int waitFor(pid_t pid)
{
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

// Runs the program with standard input, output and error on the three files, to the end.
inline int runChart(const std::vector<std::string>& args, const std::vector<std::string>& env,
                    const std::filesystem::path& in, const std::filesystem::path& out, const std::filesystem::path& err,
                    const char* program = ZODIARA_CHART_EXE)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int status = waitFor(spawnChart(args, env, actions, program));
    posix_spawn_file_actions_destroy(&actions);
    return status;
}

}  // namespace zodiara::test
