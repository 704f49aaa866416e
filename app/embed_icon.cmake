# SPDX-License-Identifier: MIT
# Writes OUTPUT, a C++ source that defines zaptrove::zaptroveIconPng() over the
# bytes of the PNG file INPUT. Run with: cmake -DINPUT=... -DOUTPUT=... -P embed_icon.cmake
file(READ "${INPUT}" hex HEX)
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "\\\\x\\1" escaped "${hex}")
# Lines of 32 bytes, each written as four characters.
string(REPEAT "." 128 line)
string(REGEX REPLACE "(${line})" "\\1\"\n    \"" escaped "${escaped}")
file(WRITE "${OUTPUT}" "// Generated from ${INPUT}; do not edit.
#include \"app/icon.h\"

namespace zaptrove {

std::string_view zaptroveIconPng() {
    static constexpr char bytes[] =
    \"${escaped}\";
    return {bytes, sizeof bytes - 1};
}

} // namespace zaptrove
")
