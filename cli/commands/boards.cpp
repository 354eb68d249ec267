#include "cli/commands/boards.h"

namespace {

// Well-formed UTF-8 up to the end, where a sequence may stop short; false otherwise.
bool ValidUtf8(const std::string& bytes, size_t& wholeLength) {
    size_t i = 0;
    while (i < bytes.size()) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        const size_t length = lead < 0x80                   ? 1
                              : lead >= 0xC2 && lead < 0xE0 ? 2
                              : lead >= 0xE0 && lead < 0xF0 ? 3
                              : lead >= 0xF0 && lead < 0xF5 ? 4
                                                            : 0;
        if (length == 0) return false;
        size_t j = 1;
        for (; j < length && i + j < bytes.size(); ++j) {
            if ((static_cast<unsigned char>(bytes[i + j]) & 0xC0) != 0x80) return false;
        }
        if (i + j == bytes.size() && j < length) break;  // cut at the end
        i += length;
    }
    wholeLength = i;
    return true;
}

}  // namespace

std::string Board::Label() const {
    return "GPU " + std::to_string(slot) + " (" + name + ")";
}

std::string NameAsUtf8(const wchar_t* slotName) {
    std::string bytes;
    for (const wchar_t* c = slotName; *c != L'\0'; ++c) {
        bytes += static_cast<char>(static_cast<unsigned char>(*c & 0xFF));
    }
    size_t whole = 0;
    if (ValidUtf8(bytes, whole)) return bytes.substr(0, whole);
    std::string latin1;
    for (char byte : bytes) {
        const unsigned char code = static_cast<unsigned char>(byte);
        if (code < 0x80) {
            latin1 += byte;
        } else {
            latin1 += static_cast<char>(0xC0 | (code >> 6));
            latin1 += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return latin1;
}
