// Fatal errors. Start-up failures, a missing stage map and missing images or sounds end
// the game here: the message, a colon, a blank and the detail on standard output, status 1.
#pragma once

// Prints "message: detail\n" ("unknown" when detail is null) and exits with status 1.
[[noreturn]] void error(const char* message, const char* detail);
