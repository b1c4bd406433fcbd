#pragma once

// Lets GoogleTest print the runs of a formatted RTF document readably.

#include "common/rtf_runs.h"

#include <ios>
#include <ostream>

inline void PrintTo(const RtfRun &run, std::ostream *os)
{
    *os << '{' << '"' << run.text.toStdString() << '"' << (run.bold ? " bold" : "");
    if (run.colour)
        *os << " #" << std::hex << *run.colour << std::dec;
    *os << '}';
}
