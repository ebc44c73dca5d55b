// The handler the C++ runtime calls when an exception has nowhere to go.
// None should ever get there: every entry point of the module catches
// everything. The runtime's own handler would print the exception's type
// name on standard error, which a host process does not show, and for that
// it links a 40 KB name demangler into the module. Defining the handler here
// keeps the demangler out; the process ends the same way, through abort.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() { std::abort(); }
}  // namespace __gnu_cxx
