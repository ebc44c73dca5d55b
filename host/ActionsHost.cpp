#include "ActionsHost.h"

const void* ActionsHost::SuiteTable(const std::string&, int32_t) const { return nullptr; }
