#pragma once
// Device answers are fixed-position text. Every slice here is safe on short,
// empty or garbage answers: a slice starting past the end is empty, one
// running past the end is cut.
#include <cstddef>
#include <string>

namespace qvd {

// Characters from 1-based position `pos`, at most `len` of them.
inline std::string Field(const std::string& answer, size_t pos, size_t len) {
    if (pos == 0 || pos > answer.size()) return {};
    return answer.substr(pos - 1, len);
}

// Characters from 1-based position `pos` to the end.
inline std::string FieldFrom(const std::string& answer, size_t pos) {
    if (pos == 0 || pos > answer.size()) return {};
    return answer.substr(pos - 1);
}

// The 1-based character at `pos`, or an empty string.
inline std::string CharAt(const std::string& answer, size_t pos) { return Field(answer, pos, 1); }

}  // namespace qvd
