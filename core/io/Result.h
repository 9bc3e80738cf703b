#pragma once
// Errors as values: a Result holds either a value or an Error that says what
// went wrong and, where it applies, at which byte offset of the input.

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace quillon {

struct Error {
    enum class Code { Io, NotModule, Malformed, Unsupported, NotFound, Busy, Refused, Outdated, Cancelled };
    Code code = Code::Malformed;
    std::uint64_t offset = 0;
    std::string message;

    std::string Describe() const;
};

template <typename T>
class Result {
public:
    Result(T value) : m_state(std::move(value)) {}
    Result(Error error) : m_state(std::move(error)) {}

    bool Ok() const { return std::holds_alternative<T>(m_state); }
    explicit operator bool() const { return Ok(); }
    T& Value() & { return std::get<T>(m_state); }
    T&& Value() && { return std::get<T>(std::move(m_state)); }
    const T& Value() const& { return std::get<T>(m_state); }
    const Error& GetError() const { return std::get<Error>(m_state); }

private:
    std::variant<T, Error> m_state;
};

// Result of an operation that yields nothing but success.
struct Done {};
using Status = Result<Done>;

inline Error MakeError(Error::Code code, std::string message, std::uint64_t offset = 0) {
    return Error{code, offset, std::move(message)};
}

} // namespace quillon
