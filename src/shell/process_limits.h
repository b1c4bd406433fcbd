#pragma once

#include <sys/resource.h>

// What the program sets for itself at start, before any thread or window exists.

// Raises the soft limit of open descriptors to the hard one: every web and mobile
// connection holds a descriptor, and programs are started with a soft limit of 1024.
// Returns the soft limit in force afterwards.
rlim_t RaiseDescriptorLimit();

// A write past the file-size limit then fails, as on a full disk, instead of ending the
// program: a log that cannot be saved stays in memory.
void IgnoreFileSizeSignal();
