#pragma once

#include <filesystem>
#include <string>
#include <utility>
#include <variant>

// What failed and why: the file it concerns (empty when none) and a short,
// user-readable reason ("the file is 12 bytes long, ..."). Readers and
// writers return it as a value; the window and the command line each say it
// in their own way.
struct Failure {
    std::filesystem::path file;
    std::string reason;

    // "FILE: reason", or the reason alone for no file.
    std::string Message() const { return file.empty() ? reason : file.string() + ": " + reason; }
};

// A value, or the Failure that prevented it.
template <typename T>
class Result {
  public:
    Result(T value) : state_(std::move(value)) {}            // NOLINT: implicit by design
    Result(Failure failure) : state_(std::move(failure)) {}  // NOLINT

    bool ok() const { return state_.index() == 0; }
    explicit operator bool() const { return ok(); }

    T& value() { return std::get<0>(state_); }
    const T& value() const { return std::get<0>(state_); }
    T* operator->() { return &value(); }
    const T* operator->() const { return &value(); }
    T& operator*() { return value(); }
    const T& operator*() const { return value(); }

    const Failure& error() const { return std::get<1>(state_); }

  private:
    std::variant<T, Failure> state_;
};

// Success or a Failure, for operations that make no value.
class Status {
  public:
    Status() = default;
    Status(Failure failure) : failure_(std::move(failure)), ok_(false) {}  // NOLINT

    bool ok() const { return ok_; }
    explicit operator bool() const { return ok_; }
    const Failure& error() const { return failure_; }

  private:
    Failure failure_;
    bool ok_ = true;
};
