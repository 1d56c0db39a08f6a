#pragma once

#include "platform/win32/accessible.h"

#include <chrono>
#include <functional>
#include <limits>
#include <memory>

namespace tw {

// What a walk does after looking at one object.
enum class TNodeVerdict {
    Descend, // go on into its children
    Skip,    // leave its children alone
    Stop,    // the object wanted: the walk ends
};

enum class TWalkEnd {
    Stopped,    // an object was taken
    Finished,   // every object within the bounds was looked at
    OutOfNodes, // the walk gave up at the node limit
    OutOfTime,  // the walk gave up at the deadline
};

// How far a walk may go: objects deeper than depthLimit below the root are never looked at.
struct TWalkBounds {
    using TClock = std::chrono::steady_clock;
    int depthLimit = 0;
    int nodeLimit = std::numeric_limits<int>::max();
    TClock::time_point deadline = TClock::time_point::max();
    std::function<TClock::time_point()> now = [] { return TClock::now(); };
};

// Walks an accessibility tree depth first, children in their order, reaching them by the
// children list, else one at a time by enumeration, else by navigation. Calls that fail
// leave out what they would have reached; a failing child enumeration throws its error.
TWalkEnd
WalkTree(const std::shared_ptr<TAccessible>& root, const TWalkBounds& bounds,
         const std::function<TNodeVerdict(const std::shared_ptr<TAccessible>& object)>& look);

} // namespace tw
