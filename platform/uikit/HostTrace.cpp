#include "uikit/HostTrace.h"

#include <string_view>

namespace zv::platform {

namespace {

struct Trace {
    std::vector<TraceEntry> entries;
    std::size_t dropped = 0;
};

Trace& trace() {
    static Trace t;
    return t;
}

void appendArgument(std::string& out, const TraceArgument& argument) {
    if (argument.kind == TraceArgument::Kind::Boolean)
        out += argument.value ? "YES" : "NO";
    else
        out += std::to_string(argument.value);
}

}  // namespace

std::string TraceEntry::text() const {
    std::string out;
    out += classMethod ? "+[" : "-[";
    out += receiverClass;
    out += ' ';
    // Each keyword of the selector is followed by its argument.
    std::string_view rest = selector;
    std::size_t index = 0;
    while (!rest.empty()) {
        const std::size_t colon = rest.find(':');
        if (colon == std::string_view::npos) {
            out += rest;
            break;
        }
        if (index > 0) out += ' ';
        out += rest.substr(0, colon + 1);
        if (index < argumentCount) appendArgument(out, arguments[index]);
        ++index;
        rest.remove_prefix(colon + 1);
    }
    out += ']';
    return out;
}

void recordHostCall(id receiver, SEL sel, std::initializer_list<TraceArgument> arguments) {
    Trace& t = trace();
    if (t.entries.size() >= kHostTraceCapacity) {
        ++t.dropped;
        return;
    }
    TraceEntry entry;
    Class cls = object_getClass(receiver);
    entry.receiverClass = cls ? class_getName(cls) : "nil";
    entry.classMethod = class_isMetaClass(cls);
    entry.selector = sel_getName(sel);
    for (const TraceArgument& argument : arguments) {
        if (entry.argumentCount == entry.arguments.size()) break;
        entry.arguments[entry.argumentCount++] = argument;
    }
    t.entries.push_back(entry);
}

const std::vector<TraceEntry>& hostTrace() { return trace().entries; }
std::size_t hostTraceDropped() { return trace().dropped; }

void clearHostTrace() {
    trace().entries.clear();
    trace().dropped = 0;
}

}  // namespace zv::platform
