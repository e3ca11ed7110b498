// The plugin's own growable character string. Its storage comes from the server's
// allocator like every other block of the plugin. When no block can be had, an
// assignment fails and leaves the text as it was, so a text is always a valid string.
#pragma once

#include "engine/host_memory.h"

#include <cstddef>
#include <cstdint>

class Text {
  public:
    Text() = default;
    ~Text();
    Text(Text&& other) noexcept;
    Text& operator=(Text&& other) noexcept;
    Text(const Text&) = delete;
    Text& operator=(const Text&) = delete;

    // Replaces the characters; false (text unchanged) when no block can be had.
    bool Assign(const char* chars, size_t length);
    bool Assign(const char* chars);

    const char* Chars() const { return data_ ? data_ : ""; }
    size_t Length() const { return length_; }
    bool Equals(const char* chars, size_t length) const;
    bool Equals(const char* chars) const;
    bool Equals(const Text& other) const { return Equals(other.Chars(), other.Length()); }

  private:
    char* data_ = nullptr;
    uint32_t length_ = 0;
    uint32_t capacity_ = 0; // characters the block holds before its terminator
};
