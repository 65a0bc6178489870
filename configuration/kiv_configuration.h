#pragma once

/// \file
/// An empty exported class, kept for hosts that name it.

#include "kiv_configuration_global.h"

/// Exported under this name for the host's sake; it carries nothing and the
/// panel never uses it.
class KIV_CONFIGURATION_EXPORT kiv_configuration
{
public:
    /// Does nothing.
    kiv_configuration();
    /// Does nothing.
    kiv_configuration(const kiv_configuration& other);
    /// Does nothing.
    ~kiv_configuration();
    /// Does nothing.
    kiv_configuration& operator=(const kiv_configuration& other);
};
