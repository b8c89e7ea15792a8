#pragma once
// Replacing a file without ever leaving it half written: the bytes go to
// "<path>.tmp", are flushed to the disk, and the temporary file is renamed over
// `path`. Whatever fails (a full disk, a read-only directory, a crash between
// two writes), `path` holds either its old bytes or all the new ones.
#include <string>

// False when any step fails, with `why` the system's reason ("No space left on
// device"); the temporary file is then removed and `path` is untouched.
bool replaceFile(const std::string& path, const std::string& bytes, std::string& why);
