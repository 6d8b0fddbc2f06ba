#pragma once

#include <any>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace Bexlan {

// Where in a coded document a value sits: member names, and "Index <n>" for array elements.
using CodingPath = std::vector<std::string>;

// The input holds data that cannot be decoded as asked (data corrupted). what() is the description.
class DecodingError : public std::runtime_error {
 public:
  DecodingError(CodingPath codingPath, const std::string& description)
      : std::runtime_error(description), codingPath_(std::move(codingPath)) {}
  const CodingPath& codingPath() const { return codingPath_; }

 private:
  CodingPath codingPath_;
};

// A value cannot be encoded (invalid value); carries the value. what() is the description.
class EncodingError : public std::runtime_error {
 public:
  EncodingError(std::any value, CodingPath codingPath, const std::string& description)
      : std::runtime_error(description), value_(std::move(value)), codingPath_(std::move(codingPath)) {}
  const std::any& value() const { return value_; }
  const CodingPath& codingPath() const { return codingPath_; }

 private:
  std::any value_;
  CodingPath codingPath_;
};

}  // namespace Bexlan
