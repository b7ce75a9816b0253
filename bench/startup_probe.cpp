// Start-up time and idle memory of a windowed program on the X server in DISPLAY.
//
//   vantrel-bench-startup [--repeat N] [--hold MS] PROGRAM...
//
// A PROGRAM is a path, optionally followed by arguments in the same word
// ("/path/prog --flag"). Starts each PROGRAM in turn (interleaved, N rounds) and measures, from just
// before fork:
//   map    the server maps its first top-level window (MapNotify on the root);
//   paint  the window's top-left pixel stops being the root background, i.e.
//          the program has drawn its first frame. Needs a root that differs
//          from both programs' first pixel: start Xvfb with -wr (white).
// Then waits MS milliseconds (idle), reads VmHWM (peak resident set) from
// /proc/PID/status and ends the program with SIGTERM.
//
// Prints one JSON object per program with medians and every sample.
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kTimeout = std::chrono::seconds(20);
constexpr unsigned long kWhite = 0xffffffUL;

struct Sample {
    double mapMs = 0;
    double paintMs = 0;
    long hwmKb = 0;
};

// The window may vanish between an event and the request that follows it.
int IgnoreXError(Display* /*display*/, XErrorEvent* /*error*/) { return 0; }

double MsSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long StatusKb(pid_t pid, std::string_view field)
{
    std::ifstream in("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(in, line)) {
        if (line.compare(0, field.size(), field) == 0 && line.size() > field.size() && line[field.size()] == ':') {
            return std::strtol(line.c_str() + field.size() + 1, nullptr, 10);
        }
    }
    return -1;
}

// Next MapNotify of a child of the root, or nothing at the deadline.
std::optional<Window> WaitForMap(Display* display, Window root, Clock::time_point deadline)
{
    while (Clock::now() < deadline) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && event.xmap.event == root && event.xmap.override_redirect == False) {
                return event.xmap.window;
            }
        }
        pollfd fd{XConnectionNumber(display), POLLIN, 0};
        poll(&fd, 1, 5);
    }
    return std::nullopt;
}

bool FirstPixelPainted(Display* display, Window window)
{
    XImage* image = XGetImage(display, window, 0, 0, 1, 1, XAllPlanes(), ZPixmap);
    if (image == nullptr) {
        return false;
    }
    const unsigned long pixel = image->f.get_pixel(image, 0, 0) & kWhite;
    image->f.destroy_image(image);
    return pixel != kWhite;
}

// "prog --flag" -> {"prog", "--flag"}
std::vector<std::string> SplitWords(const std::string& command)
{
    std::vector<std::string> words;
    std::size_t at = 0;
    while ((at = command.find_first_not_of(' ', at)) != std::string::npos) {
        const std::size_t end = command.find(' ', at);
        words.push_back(command.substr(at, end - at));
        at = end;
    }
    return words;
}

std::optional<Sample> RunOnce(Display* display, const std::string& command, int holdMs)
{
    std::vector<std::string> words = SplitWords(command);
    std::vector<char*> args;
    args.reserve(words.size() + 1);
    for (std::string& word : words) {
        args.push_back(word.data());
    }
    args.push_back(nullptr);

    const Window root = XDefaultRootWindow(display);
    XSync(display, True);  // forget the events of earlier runs

    Sample sample;
    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(args[0], args.data());
        std::perror(args[0]);
        _exit(127);
    }
    if (pid < 0) {
        std::perror("fork");
        return std::nullopt;
    }
    const auto deadline = start + kTimeout;
    bool ok = false;
    if (const auto window = WaitForMap(display, root, deadline)) {
        sample.mapMs = MsSince(start);
        while (Clock::now() < deadline) {
            if (FirstPixelPainted(display, *window)) {
                sample.paintMs = MsSince(start);
                ok = true;
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    if (ok) {
        std::this_thread::sleep_for(std::chrono::milliseconds(holdMs));
        sample.hwmKb = StatusKb(pid, "VmHWM");
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    if (!ok) {
        std::fprintf(stderr, "vantrel-bench-startup: %s showed no painted window\n", command.c_str());
        return std::nullopt;
    }
    return sample;
}

template <typename T>
T Median(std::vector<T> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

int Usage()
{
    std::fputs("usage: vantrel-bench-startup [--repeat N] [--hold MS] PROGRAM...\n", stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    int repeat = 11;
    int holdMs = 500;
    std::vector<std::string> programs;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--repeat" && i + 1 < argc) {
            repeat = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
        } else if (arg == "--hold" && i + 1 < argc) {
            holdMs = static_cast<int>(std::strtol(argv[++i], nullptr, 10));
        } else if (arg[0] != '-' && !SplitWords(argv[i]).empty()) {
            programs.emplace_back(argv[i]);
        } else {
            return Usage();
        }
    }
    if (programs.empty() || repeat < 1 || holdMs < 0) {
        return Usage();
    }

    XSetErrorHandler(IgnoreXError);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fputs("vantrel-bench-startup: cannot open the display in DISPLAY\n", stderr);
        return 1;
    }
    XSelectInput(display, XDefaultRootWindow(display), SubstructureNotifyMask);

    std::vector<std::vector<Sample>> samples(programs.size());
    for (int round = 0; round < repeat; ++round) {
        for (std::size_t p = 0; p < programs.size(); ++p) {
            const auto sample = RunOnce(display, programs[p], holdMs);
            if (!sample) {
                XCloseDisplay(display);
                return 1;
            }
            samples[p].push_back(*sample);
        }
    }
    XCloseDisplay(display);

    for (std::size_t p = 0; p < programs.size(); ++p) {
        std::vector<double> map;
        std::vector<double> paint;
        std::vector<long> hwm;
        std::string paints;
        for (const Sample& s : samples[p]) {
            map.push_back(s.mapMs);
            paint.push_back(s.paintMs);
            hwm.push_back(s.hwmKb);
            paints += (paints.empty() ? "" : ", ") + std::to_string(std::lround(s.paintMs));
        }
        const std::string path = SplitWords(programs[p]).front();
        const std::string name =
            path.substr(path.find_last_of('/') + 1) + programs[p].substr(programs[p].find(path) + path.size());
        std::printf(
            "{\"program\": \"%s\", \"runs\": %zu, \"map_ms_median\": %.1f, \"paint_ms_median\": %.1f, "
            "\"vmhwm_kb_median\": %ld, \"paint_ms\": [%s]}\n",
            name.c_str(), samples[p].size(), Median(map), Median(paint), Median(hwm), paints.c_str());
    }
    return 0;
}
