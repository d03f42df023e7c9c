// Waiting for a condition with an explicit time limit, and the errors the harness throws.
//
// WaitUntil(predicate, timeout, what) evaluates the predicate at once and then every few
// milliseconds until it holds or the timeout has passed. A predicate returning bool makes
// WaitUntil return nothing; one returning std::optional<T> makes it return the T it found.
// On timeout it throws TimeoutError whose message names what was awaited ("what") and,
// when a "seen" callable is given, what was observed on the last attempt.
// Exceptions thrown by the predicate propagate unchanged.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <type_traits>
#include <utility>

namespace e2e {

using Ms = std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// Anything the harness cannot do (a process that cannot start, a window that vanished).
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A wait whose condition did not come true in time.
class TimeoutError : public Error {
public:
    using Error::Error;
};

namespace detail {
template <class T> struct IsOptional : std::false_type {};
template <class T> struct IsOptional<std::optional<T>> : std::true_type {};

std::string TimeoutMessage(Ms timeout, const std::string& what, const std::string& seen);

// Short naps that grow a little, so fast conditions are seen fast and slow ones cost little.
inline void Nap(int attempt) {
    std::this_thread::sleep_for(Ms(attempt < 10 ? 2 : attempt < 50 ? 10 : 25));
}
} // namespace detail

template <class Pred>
auto WaitUntil(Pred&& pred, Ms timeout, const std::string& what = "a condition",
               const std::function<std::string()>& seen = {}) {
    using R = std::invoke_result_t<Pred&>;
    static_assert(std::is_same_v<R, bool> || detail::IsOptional<R>::value,
                  "WaitUntil needs a predicate returning bool or std::optional<T>");
    const auto deadline = Clock::now() + timeout;
    for (int attempt = 0;; ++attempt) {
        const bool last = Clock::now() >= deadline;
        if constexpr (std::is_same_v<R, bool>) {
            if (pred()) return;
        } else {
            if (auto r = pred()) return std::move(*r);
        }
        if (last) throw TimeoutError(detail::TimeoutMessage(timeout, what, seen ? seen() : ""));
        detail::Nap(attempt);
    }
}

} // namespace e2e
