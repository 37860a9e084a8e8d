// zv-notifyutil: posts and waits for system-wide notifications on the
// device's bus, from a shell or a test.
//
//   zv-notifyutil -p NAME [-p NAME ...]   post the names, in order
//   zv-notifyutil -w NAME [-t SECONDS]    wait for one post of NAME
//   --distributed                         use the distributed centre
//                                         instead of the Darwin centre
//
// While waiting it prints "ready" once the bus routes NAME to it, then NAME
// when the post arrives, and exits 0; with -t it exits 1 when no post came in
// time. Posts given with -w are made after "ready", so the tool can hear
// itself. The device root comes from ZV_DEVICE_ROOT. Exit status 1 also when
// there is no device bus (or it goes away while waiting), 2 for bad usage.
// --version alone prints the version.
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "foundation/DeviceFiles.h"
#include "foundation/MainQueue.h"
#include "notifications/NotificationCenter.h"
#include "self/ProgramVersion.h"

namespace {

constexpr double kBusCheckSeconds = 0.5;
// How long the tool waits for the bus to connect, route or take posts.
constexpr std::chrono::seconds kBusPatience{5};

struct Options {
    bool distributed = false;
    std::vector<std::string> posts;
    std::optional<std::string> waitFor;
    std::optional<double> timeoutSeconds;
};

int usage(const std::string& problem) {
    std::cerr << "zv-notifyutil: " << problem << "\n"
              << "usage: zv-notifyutil [--distributed] -p NAME [-p NAME ...]\n"
              << "       zv-notifyutil [--distributed] -w NAME [-t SECONDS]\n"
              << "       zv-notifyutil --version\n";
    return 2;
}

std::optional<Options> parse(int argc, char** argv, std::string& problem) {
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const bool takesValue = argument == "-p" || argument == "-w" || argument == "-t";
        if (takesValue && i + 1 >= argc) {
            problem = argument + " needs a value";
            return std::nullopt;
        }
        if (argument == "--distributed") {
            options.distributed = true;
        } else if (argument == "-p") {
            options.posts.emplace_back(argv[++i]);
        } else if (argument == "-w") {
            if (options.waitFor) {
                problem = "only one -w";
                return std::nullopt;
            }
            options.waitFor = argv[++i];
        } else if (argument == "-t") {
            char* end = nullptr;
            const double seconds = std::strtod(argv[++i], &end);
            if (end == argv[i] || *end != '\0' || !std::isfinite(seconds) || seconds < 0) {
                problem = std::string("bad timeout ") + argv[i];
                return std::nullopt;
            }
            options.timeoutSeconds = seconds;
        } else {
            problem = "unknown argument " + argument;
            return std::nullopt;
        }
    }
    if (options.posts.empty() && !options.waitFor) {
        problem = "nothing to do";
        return std::nullopt;
    }
    if (options.timeoutSeconds && !options.waitFor) {
        problem = "-t applies to -w";
        return std::nullopt;
    }
    return options;
}

// Posts the name once the bus has taken every earlier post, so none is
// dropped for a bus that is merely slow.
void post(const Options& options, const std::string& name) {
    waitForNotificationBus(kBusPatience);
    if (options.distributed) {
        NSDistributedNotificationCenter::defaultCenter().postNotificationName(name, nullptr);
    } else {
        CFNotificationCenterPostNotification(CFNotificationCenterGetDarwinNotifyCenter(), name.c_str(), nullptr,
                                             nullptr, true);
    }
}

int exitStatus = 1;

void arrived(const std::string& name) {
    if (exitStatus == 0) return;  // only the first post counts
    std::cout << name << std::endl;
    exitStatus = 0;
    stopMainLoop();
}

void darwinArrived(CFNotificationCenterRef, void*, CFStringRef name, const void*, CFDictionaryRef) { arrived(name); }

void watchBus() {
    dispatch_after(kBusCheckSeconds, [] {
        if (!notificationBusConnected()) {
            std::cerr << "zv-notifyutil: the device bus went away" << std::endl;
            stopMainLoop();
            return;
        }
        watchBus();
    });
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && std::string(argv[1]) == "--version") {
        std::cout << zv::versionLine("zv-notifyutil") << "\n";
        return 0;
    }
    std::string problem;
    const std::optional<Options> options = parse(argc, argv, problem);
    if (!options) return usage(problem);

    if (!waitForNotificationBus(kBusPatience)) {
        std::cerr << "zv-notifyutil: no device bus at " << resolveDevicePath(kDeviceBusSocket) << std::endl;
        return 1;
    }
    if (!options->waitFor) {
        for (const std::string& name : options->posts) post(*options, name);
        if (!waitForNotificationBus(kBusPatience)) {
            std::cerr << "zv-notifyutil: the device bus did not take the posts" << std::endl;
            return 1;
        }
        return 0;
    }

    const std::string& name = *options->waitFor;
    if (options->distributed) {
        NSDistributedNotificationCenter::defaultCenter().addObserverForName(
            name, nullptr, NSOperationQueue::mainQueue(),
            [](const NSNotification& notification) { arrived(notification.name); });
    } else {
        CFNotificationCenterAddObserver(CFNotificationCenterGetDarwinNotifyCenter(), nullptr, darwinArrived,
                                        name.c_str(), nullptr, CFNotificationSuspensionBehaviorDeliverImmediately);
    }
    if (!waitForNotificationBus(kBusPatience)) {
        std::cerr << "zv-notifyutil: the device bus does not route " << name << std::endl;
        return 1;
    }
    std::cout << "ready" << std::endl;
    for (const std::string& posted : options->posts) post(*options, posted);
    if (options->timeoutSeconds) {
        dispatch_after(*options->timeoutSeconds, [&name, seconds = *options->timeoutSeconds] {
            std::cerr << "zv-notifyutil: no post of " << name << " within " << seconds << " s" << std::endl;
            stopMainLoop();
        });
    }
    watchBus();
    runMainLoop();
    return exitStatus;
}
