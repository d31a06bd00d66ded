// Socket error messages in the one format every network failure of the client shares.
#include "online/http_errors.h"

EHttpSocketError::EHttpSocketError(int code, const std::string& text)
    : EHttpError("Socket Error # " + std::to_string(code) + "\n" + text), code_(code) {}
