// SPDX-License-Identifier: MIT
#pragma once

// Character steps for reading command lines, as the platform's CharNext
// would take them, so that tests and fuzzing need no Windows.

namespace quillant {

// A single-byte code page: every byte is a character.
inline const char* ByteStep(const char* character) {
    return *character == '\0' ? character : character + 1;
}

// A double-byte code page: a byte from 0x81 up leads a two-byte character.
inline const char* DoubleByteStep(const char* character) {
    if (*character == '\0') return character;
    const bool lead = static_cast<unsigned char>(*character) >= 0x81;
    return lead && character[1] != '\0' ? character + 2 : character + 1;
}

}  // namespace quillant
