// Redirects a standard stream into a string for the lifetime of the object.
#pragma once

#include <ostream>
#include <sstream>
#include <string>

namespace quillant::testing {

class stream_capture {
public:
    explicit stream_capture(std::ostream& stream)
        : stream_(stream), previous_(stream.rdbuf(text_.rdbuf())) {}
    ~stream_capture() { stream_.rdbuf(previous_); }
    stream_capture(const stream_capture&) = delete;
    stream_capture& operator=(const stream_capture&) = delete;

    std::string text() const { return text_.str(); }

private:
    std::ostream& stream_;
    std::ostringstream text_;
    std::streambuf* previous_;
};

// A stream buffer that swallows everything without allocating.
class discarding_buffer : public std::streambuf {
protected:
    int_type overflow(int_type c) override { return traits_type::not_eof(c); }
    std::streamsize xsputn(const char*, std::streamsize count) override { return count; }
};

}  // namespace quillant::testing
