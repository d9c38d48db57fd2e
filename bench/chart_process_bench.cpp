// One chart as a process: `zodiara-chart compute --json` from start to exit, against plainchart, a
// plain C program of the same work (bench/plainchart.c), and --at, which loads the atlas module.
// Each is run `runs` times, interleaved so that a busy moment on the machine hurts all alike; the
// medians of the wall time and of the processor time (user and system) are printed, with what the
// dynamic loader reports for one more run of each (LD_DEBUG=statistics,files: its start-up
// cycles and the objects it mapped) and the machine's load before and after. Another build of
// zodiara-chart (an older one, say) can be timed beside them.
//   chart_process_bench [runs [OTHER-zodiara-chart]]      (runs: 200 by default)
#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

extern char** environ;

namespace {

struct Program {
    const char* what;
    std::vector<std::string> argv;
};

// reference chart: 1990-01-01 12:00 EST, 74W00 40N43
const Program Programs[] = {
    {"plain C (plainchart)", {PLAIN_CHART_EXE, "1990-01-01", "12:00", "-5", "-74", "40.716667"}},
    {"zodiara-chart compute --json",
     {ZODIARA_CHART_EXE, "compute", "--date", "1990-01-01", "--time", "12:00", "--zone", "EST", "--lon", "74W00",
      "--lat", "40N43", "--json"}},
    {"zodiara-chart compute --json --at",
     {ZODIARA_CHART_EXE, "compute", "--date", "1990-01-01", "--time", "12:00", "--at", "new york", "--json"}},
};

struct Run {
    double wallMs = -1, processorMs = -1;
};

// One run with its output to /dev/null and its error stream to `errPath`.
Run runOnce(const Program& program, const std::vector<std::string>& env, const char* errPath = "/dev/null")
{
    std::vector<char*> argv, envp;
    for (const std::string& arg : program.argv)
        argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    for (char** variable = environ; *variable; ++variable)
        envp.push_back(*variable);
    for (const std::string& variable : env)
        envp.push_back(const_cast<char*>(variable.c_str()));
    envp.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errPath, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    const int error = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (error != 0)
        return {};
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return {};
    const auto end = std::chrono::steady_clock::now();
    const auto ms = [](const timeval& t) { return double(t.tv_sec) * 1e3 + double(t.tv_usec) / 1e3; };
    return {std::chrono::duration<double, std::milli>(end - start).count(), ms(usage.ru_utime) + ms(usage.ru_stime)};
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

std::string loadAverage()
{
    std::ifstream in("/proc/loadavg");
    double one = 0, five = 0;
    in >> one >> five;
    char text[64];
    std::snprintf(text, sizeof text, "%.2f (1 min), %.2f (5 min)", one, five);
    return text;
}

// The loader's start-up cycles and the number of objects it mapped, from one run.
std::pair<long long, int> loaderFigures(const Program& program)
{
    const std::string log = "/tmp/chart_process_bench." + std::to_string(getpid());
    if (runOnce(program, {"LD_DEBUG=statistics,files"}, log.c_str()).wallMs < 0)
        return {-1, -1};
    std::ifstream in(log);
    std::string line;
    long long cycles = -1;
    int objects = 0;
    while (std::getline(in, line)) {
        if (line.find("generating link map") != std::string::npos)
            ++objects;
        const std::string_view startup = "total startup time in dynamic loader: ";
        if (const std::size_t at = line.find(startup); at != std::string::npos && cycles < 0)
            cycles = std::atoll(line.c_str() + at + startup.size());
    }
    std::remove(log.c_str());
    return {cycles, objects};
}

}  // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(5, std::atoi(argv[1])) : 200;
    std::vector<Program> programs(std::begin(Programs), std::end(Programs));
    if (argc > 2) {
        for (std::size_t p = 1; p < 3; ++p) {
            Program other = Programs[p];
            other.what = p == 1 ? "other compute --json" : "other compute --json --at";
            other.argv.front() = argv[2];
            programs.push_back(other);
        }
    }
    const std::string loadBefore = loadAverage();
    std::vector<std::vector<double>> wall(programs.size()), processor(programs.size());
    for (int n = 0; n < runs; ++n) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const Run run = runOnce(programs[p], {});
            if (run.wallMs < 0) {
                std::fprintf(stderr, "%s failed\n", programs[p].what);
                return 1;
            }
            wall[p].push_back(run.wallMs);
            processor[p].push_back(run.processorMs);
        }
    }
    std::printf("one chart, process start to exit, median of %d runs; load average before %s, after %s\n", runs,
                loadBefore.c_str(), loadAverage().c_str());
    std::printf("  %-36s %9s %11s %16s %8s\n", "", "wall ms", "process ms", "loader cycles", "objects");
    for (std::size_t p = 0; p < programs.size(); ++p) {
        const auto [cycles, objects] = loaderFigures(programs[p]);
        std::printf("  %-36s %9.2f %11.2f %16lld %8d\n", programs[p].what, median(wall[p]), median(processor[p]),
                    cycles, objects);
    }
    std::printf("  compute --json against plain C: %.2fx wall, %.2fx processor time (target <= 2x)\n",
                median(wall[1]) / median(wall[0]), median(processor[1]) / median(processor[0]));
    return 0;
}
