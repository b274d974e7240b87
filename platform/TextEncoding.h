// Text as it leaves the program. Inside, texts are UTF-8, but a file name is kept as the bytes
// the file system gave us and may be in another encoding; these functions make every byte
// string presentable without losing the name:
//  - valid UTF-8 is taken as it is;
//  - a stretch that is not UTF-8 but forms GB18030 characters (a name written by a GBK system)
//    is read as those characters;
//  - any other byte is shown as "\x" and two uppercase hexadecimal digits.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

// The system's converter for GB18030 is missing; what() says why.
class TextEncodingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

bool IsValidUtf8(std::string_view text);

// Valid UTF-8 for any bytes, by the rules above.
std::string Utf8FromNative(std::string_view bytes);

// GB18030 bytes: every GBK character gives exactly its GBK bytes, others their four-byte form.
// Bytes that are not UTF-8 are read by the rules above first. The few private-use characters
// that the system's converter cannot write are shown as "\xHH" of their UTF-8 bytes.
std::string Gb18030FromUtf8(std::string_view text);
