#pragma once

// How every operation that can fail says so: a Status (success or an Error) or a Result (a
// value or an Error). Both are [[nodiscard]], so no failure goes unlooked-at. Callers act on
// an error's kind; its words are for people.
#include <optional>
#include <string>
#include <system_error>
#include <type_traits>
#include <utility>
#include <variant>

namespace salvora {

// What a caller may do something about. Anything else is Failed, and only its words tell more.
enum class ErrorKind {
    Failed,
    NeedsPassword,  // the backup is encrypted and has not been unlocked: ask for its password
    WrongPassword,  // the password does not open the backup
    Unsupported,    // this system or file system offers no such way; another way may do
    NameRefused,    // the file system takes no such name (characters it refuses)
    NameTooLong,    // the file system takes no name that long
    NotInBackup,    // the backup holds no such file
};

// A failed operation, told as what was attempted, on which path, and why.
struct Error {
    std::string operation;  // "Could not copy \"/a\" to", "Could not create folder", ...
    std::string path;
    std::string reason;  // the system's own words, or ours where the system had none
    ErrorKind kind = ErrorKind::Failed;

    // "Could not create folder \"/x/y\": Permission denied"
    std::string description() const;

    static Error fromErrno(std::string operation, std::string path, int errnoValue);
    static Error fromCode(std::string operation, std::string path, std::error_code code);
};

// Where an outcome is kept once told: empty when the operation succeeded.
using ErrorSlot = std::optional<Error>;

// The outcome of an operation that yields nothing but success or an error. Made implicitly from
// the error, so a function fails by returning it.
class [[nodiscard]] Status {
  public:
    Status() = default;
    Status(Error error) : error_(std::move(error)) {}

    bool ok() const { return !error_; }
    explicit operator bool() const { return ok(); }
    // Only after a failure.
    const Error& error() const { return *error_; }
    // Empty after a success: what a caller keeps as the outcome.
    const ErrorSlot& slot() const { return error_; }

  private:
    ErrorSlot error_;
};

template <class T>
class Result;

// What a Result<T> takes as its value: anything a T is made from, but no Error or Result.
template <class U, class T>
concept ValueOf =
    std::is_constructible_v<T, U&&> && !std::is_same_v<std::remove_cvref_t<U>, Error> &&
    !std::is_same_v<std::remove_cvref_t<U>, Result<T>>;

// The value an operation yields, or why it yields none. Made implicitly from either, so a
// function returns its value or its error as it is.
template <class T>
class [[nodiscard]] Result {
  public:
    template <ValueOf<T> U = T>
    Result(U&& value) : outcome_(std::in_place_index<0>, std::forward<U>(value)) {}
    Result(Error error) : outcome_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return outcome_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // Only after a success.
    T& operator*() & { return std::get<0>(outcome_); }
    const T& operator*() const& { return std::get<0>(outcome_); }
    T* operator->() { return &std::get<0>(outcome_); }
    const T* operator->() const { return &std::get<0>(outcome_); }

    // Only after a failure.
    const Error& error() const { return std::get<1>(outcome_); }

  private:
    std::variant<T, Error> outcome_;
};

}  // namespace salvora
