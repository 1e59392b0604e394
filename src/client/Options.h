#pragma once

#include <string>

#include "session/Records.h"

namespace client {

// The compiled-in defaults; the session holds the options in force.
Options defaultOptions();

// A host goes straight into a URL: nothing that could end or redirect it.
bool isValidHost(const std::string& host);
bool isValidSignKey(const std::string& key);

} // namespace client
