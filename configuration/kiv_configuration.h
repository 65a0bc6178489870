#pragma once

#include "kiv_configuration_global.h"

// Exported under this name for the host's sake; it carries nothing.
class KIV_CONFIGURATION_EXPORT kiv_configuration
{
public:
    kiv_configuration();
    kiv_configuration(const kiv_configuration& other);
    ~kiv_configuration();
    kiv_configuration& operator=(const kiv_configuration& other);
};
