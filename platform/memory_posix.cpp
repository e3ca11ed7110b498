#include "platform/platform.h"

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <unistd.h>

namespace {

// Closes both ends of a pipe when it goes out of scope.
struct Pipe {
    int Ends[2] = {-1, -1};
    Pipe() {
        if (pipe2(Ends, O_CLOEXEC | O_NONBLOCK) != 0)
            Ends[0] = Ends[1] = -1;
    }
    ~Pipe() {
        for (int end : Ends)
            if (end >= 0)
                close(end);
    }
    Pipe(const Pipe&) = delete;
    Pipe& operator=(const Pipe&) = delete;
};

} // namespace

// The kernel copies the bytes into a pipe and answers EFAULT where it cannot read them,
// so an unmapped or PROT_NONE page is reported without a fault in this process. (mincore
// will not do: it calls a PROT_NONE page present.)
bool Memory_Is_Readable(const void* address, size_t size) {
    if (size == 0)
        return true;
    if (reinterpret_cast<uintptr_t>(address) > UINTPTR_MAX - (size - 1))
        return false;
    Pipe pipe;
    if (pipe.Ends[0] < 0)
        return false;
    const char* at = static_cast<const char*>(address);
    // Small pieces, each drained again, so the pipe never fills.
    constexpr size_t Piece = 4096;
    char drain[Piece];
    while (size > 0) {
        const size_t want = size < Piece ? size : Piece;
        const ssize_t written = write(pipe.Ends[1], at, want);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        ssize_t drained = 0;
        while (drained < written) {
            const ssize_t got = read(pipe.Ends[0], drain, static_cast<size_t>(written - drained));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return false;
            drained += got;
        }
        at += written;
        size -= static_cast<size_t>(written);
    }
    return true;
}
