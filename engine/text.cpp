#include "engine/text.h"

#include <cstring>
#include <utility>

Text::~Text() {
    Plugin_Free(data_);
}

Text::Text(Text&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)), length_(std::exchange(other.length_, 0)),
      capacity_(std::exchange(other.capacity_, 0)) {}

Text& Text::operator=(Text&& other) noexcept {
    if (this != &other) {
        Plugin_Free(data_);
        data_ = std::exchange(other.data_, nullptr);
        length_ = std::exchange(other.length_, 0);
        capacity_ = std::exchange(other.capacity_, 0);
    }
    return *this;
}

bool Text::Assign(const char* chars, size_t length) {
    if (length > UINT32_MAX - 1)
        return false;
    if (!data_ || length > capacity_) {
        char* block = static_cast<char*>(Plugin_Alloc(length + 1));
        if (!block)
            return false;
        std::memcpy(block, chars, length);
        Plugin_Free(data_);
        data_ = block;
        capacity_ = static_cast<uint32_t>(length);
    } else {
        std::memmove(data_, chars, length);
    }
    data_[length] = '\0';
    length_ = static_cast<uint32_t>(length);
    return true;
}

bool Text::Assign(const char* chars) {
    return chars ? Assign(chars, std::strlen(chars)) : Assign("", 0);
}

bool Text::Equals(const char* chars, size_t length) const {
    return length == length_ && (length == 0 || std::memcmp(Chars(), chars, length) == 0);
}

bool Text::Equals(const char* chars) const {
    return chars && Equals(chars, std::strlen(chars));
}
