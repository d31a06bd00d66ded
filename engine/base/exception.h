// The error classes of the engine. Each carries its message; the window's event dispatch catches
// them, shows the message in a message box and goes on.
#pragma once

#include <stdexcept>
#include <string>

class Exception : public std::runtime_error {
 public:
  explicit Exception(const std::string& message) : std::runtime_error(message) {}
};

#define SKARVEL_ERROR_CLASS(Name)                                     \
  class Name : public Exception {                                     \
   public:                                                            \
    explicit Name(const std::string& message) : Exception(message) {} \
  }

SKARVEL_ERROR_CLASS(ESpriteError);
SKARVEL_ERROR_CLASS(EPictureCollectionError);
SKARVEL_ERROR_CLASS(EInvalidImage);
SKARVEL_ERROR_CLASS(EInvalidGraphic);
SKARVEL_ERROR_CLASS(EWaveStreamError);
SKARVEL_ERROR_CLASS(EWaveCollectionError);
SKARVEL_ERROR_CLASS(EDrawSurfaceError);
SKARVEL_ERROR_CLASS(EGameInputError);
SKARVEL_ERROR_CLASS(ESoundDeviceError);
// An index outside a list: "List index out of bounds (%d)".
SKARVEL_ERROR_CLASS(EListError);
// A file that cannot be opened for reading: "Cannot open file \"%s\"".
SKARVEL_ERROR_CLASS(EFOpenError);
// Malformed bytes in an archive: "Invalid stream format" and the property reader's errors.
SKARVEL_ERROR_CLASS(EReadError);
// The platform could not give the game what it needs to start (no display).
SKARVEL_ERROR_CLASS(EPlatformError);

#undef SKARVEL_ERROR_CLASS
