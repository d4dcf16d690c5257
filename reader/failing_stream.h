// For tests: a stream that fails partway, as a disk or a network file system
// may.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace boardshot {

// A stream that gives the bytes of `text` and then fails, as a disk or a
// network file system may partway through a file.
inline std::FILE* FailingAfter(const std::string& text) {
  auto* left = new std::string(text);
  cookie_io_functions_t functions{};
  functions.read = [](void* cookie, char* buffer, std::size_t size) {
    auto* rest = static_cast<std::string*>(cookie);
    if (rest->empty()) return ssize_t{-1};
    const std::size_t given = std::min(size, rest->size());
    std::memcpy(buffer, rest->data(), given);
    rest->erase(0, given);
    return static_cast<ssize_t>(given);
  };
  functions.close = [](void* cookie) {
    delete static_cast<std::string*>(cookie);
    return 0;
  };
  return fopencookie(left, "r", functions);
}

}  // namespace boardshot
