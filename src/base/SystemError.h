#pragma once

#include <string>

namespace furlox {

// What a system error number (as the platform layer hands it on, errno's numbering on every
// system) means, in the user's words: CP932, for a message that is otherwise Japanese. The
// C library's own texts are English (and the system's language on Windows), so they never go
// into a message.
std::string SystemErrorText(int error);

} // namespace furlox
