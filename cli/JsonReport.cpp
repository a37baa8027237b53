#include "cli/JsonReport.h"

#include "cli/Session.h"

#include <cstdio>

namespace qvd::cli {

namespace {

// The length of the UTF-8 sequence at text[i], 0 when it is none.
size_t Utf8Length(const std::string& text, size_t i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char c = byte(i);
    size_t length = c < 0x80 ? 1 : (c >> 5) == 0x6 ? 2 : (c >> 4) == 0xE ? 3 : (c >> 3) == 0x1E ? 4 : 0;
    if (length == 0 || i + length > text.size()) return 0;
    for (size_t k = 1; k < length; ++k)
        if ((byte(i + k) & 0xC0) != 0x80) return 0;
    if (length == 2 && c < 0xC2) return 0;  // overlong
    return length;
}

}  // namespace

std::string JsonString(const std::string& text) {
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t length = Utf8Length(text, i);
        if (length == 0) {
            out += "\\ufffd";
            ++i;
            continue;
        }
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
            out += escaped;
        } else {
            out.append(text, i, length);
        }
        i += length;
    }
    return out + "\"";
}

std::string ToJson(const Report& r) {
    std::string out = "{\"command\":" + JsonString(r.command) + ",\"outcome\":" + JsonString(OutcomeName(r.outcome)) +
                      ",\"exitStatus\":" + std::to_string(r.exitStatus);
    if (!r.port.empty()) out += ",\"port\":" + JsonString(r.port);
    if (r.moduleType) out += ",\"moduleType\":" + std::to_string(*r.moduleType) + ",\"module\":" + JsonString(r.module);
    if (!r.file.empty()) out += ",\"file\":" + JsonString(r.file);
    out += ",\"figures\":{";
    for (size_t i = 0; i < r.figures.size(); ++i)
        out += (i ? "," : "") + JsonString(r.figures[i].first) + ":" + JsonString(r.figures[i].second);
    out += "},\"output\":[";
    for (size_t i = 0; i < r.output.size(); ++i) out += (i ? "," : "") + JsonString(r.output[i]);
    out += "]";
    if (!r.error.empty()) out += ",\"error\":" + JsonString(r.error);
    return out + "}";
}

}  // namespace qvd::cli
