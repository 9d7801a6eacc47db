#pragma once

#include <string>

// The absolute path of a media file named as the user gave it, a relative
// name taken against the current directory. Throws MdkError, naming the file,
// when it cannot be media: it is missing, not a regular file, or empty.
std::string ResolveMediaPath(const std::string& fileName);

// The message for a file that the media layer could not open.
std::string CannotOpenMessage(const std::string& path, const std::string& reason);
