#include "platform/gst_media_path.h"

#include "platform/mdk_error.h"

#include <filesystem>

std::string CannotOpenMessage(const std::string& path, const std::string& reason) {
  std::string message = "Cannot open " + path + ": " + reason;
  if (!message.ends_with('.'))
    message += '.';
  return message;
}

std::string ResolveMediaPath(const std::string& fileName) {
  if (fileName.empty())
    throw MdkError("Cannot open media: no file name was given.");
  // A name cut short at a NUL byte would open some other file.
  if (fileName.find('\0') != std::string::npos)
    throw MdkError("Cannot open media: the file name contains a NUL byte.");
  std::error_code error;
  const std::string path = std::filesystem::absolute(fileName, error).string();
  if (error)
    throw MdkError(CannotOpenMessage(fileName, error.message()));
  const std::filesystem::file_status status = std::filesystem::status(path, error);
  if (status.type() == std::filesystem::file_type::not_found)
    throw MdkError(CannotOpenMessage(path, "No such file"));
  if (error)
    throw MdkError(CannotOpenMessage(path, error.message()));
  if (status.type() == std::filesystem::file_type::directory)
    throw MdkError(CannotOpenMessage(path, "It is a directory"));
  // A pipe or a device would block the media layer's reader for good.
  if (status.type() != std::filesystem::file_type::regular)
    throw MdkError(CannotOpenMessage(path, "It is not a regular file"));
  if (std::filesystem::file_size(path, error) == 0 && !error)
    throw MdkError(CannotOpenMessage(path, "The file is empty"));
  return path;
}
