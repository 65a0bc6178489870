#include "kiv_configuration.h"

kiv_configuration::kiv_configuration() = default;
kiv_configuration::kiv_configuration(const kiv_configuration&) = default;
kiv_configuration::~kiv_configuration() = default;
kiv_configuration& kiv_configuration::operator=(const kiv_configuration&) = default;
