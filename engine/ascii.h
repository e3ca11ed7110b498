// Name comparison of the server's script names: ASCII letters match in either case;
// every other byte must be equal.
#pragma once

inline bool Ascii_Equal_Ignoring_Case(const char* a, const char* b) {
    for (;; ++a, ++b) {
        unsigned char x = static_cast<unsigned char>(*a), y = static_cast<unsigned char>(*b);
        if (x >= 'A' && x <= 'Z')
            x = static_cast<unsigned char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z')
            y = static_cast<unsigned char>(y - 'A' + 'a');
        if (x != y)
            return false;
        if (x == 0)
            return true;
    }
}
