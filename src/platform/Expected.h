#pragma once

#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/Failure.h"

namespace gaisan {

// A value or the reason there is none, with the interface of C++23's std::expected, which the
// clang of the sanitizer build does not yet provide. [[nodiscard]] sits on the type, so that no
// call that can fail has its outcome dropped unseen. When the compilers catch up, these become
// aliases of std::expected and std::unexpected.

/// The failure an Expected is made from: `return Unexpected(Failure{...});`.
template <class E>
class Unexpected {
public:
    explicit Unexpected(E error) : m_error(std::move(error)) {}

    const E& error() const& { return m_error; }
    E& error() & { return m_error; }
    E&& error() && { return std::move(m_error); }

private:
    E m_error;
};

/// Thrown by value() on an Expected that holds a failure: a fault of the caller, who should
/// have looked.
class BadExpectedAccess : public std::logic_error {
public:
    BadExpectedAccess() : std::logic_error("the value of a failed call was asked for") {}
};

template <class T, class E = Failure>
class [[nodiscard]] Expected {
public:
    using value_type = T;
    using error_type = E;

    Expected() requires std::is_default_constructible_v<T> : m_state(std::in_place_index<0>) {}
    template <class U = T>
    requires(std::is_constructible_v<T, U&&> && !std::is_same_v<std::remove_cvref_t<U>, Expected> &&
             !std::is_same_v<std::remove_cvref_t<U>, Unexpected<E>>) Expected(U&& value)
        : m_state(std::in_place_index<0>, std::forward<U>(value)) {}
    template <class G>
    Expected(const Unexpected<G>& failure) : m_state(std::in_place_index<1>, failure.error()) {}
    template <class G>
    Expected(Unexpected<G>&& failure)
        : m_state(std::in_place_index<1>, std::move(failure).error()) {}

    bool has_value() const { return m_state.index() == 0; }
    explicit operator bool() const { return has_value(); }

    const T& value() const& { return checked(*this); }
    T& value() & { return checked(*this); }
    T&& value() && { return std::move(checked(*this)); }
    const T& operator*() const& { return std::get<0>(m_state); }
    T& operator*() & { return std::get<0>(m_state); }
    T&& operator*() && { return std::get<0>(std::move(m_state)); }
    const T* operator->() const { return &std::get<0>(m_state); }
    T* operator->() { return &std::get<0>(m_state); }

    const E& error() const& { return std::get<1>(m_state); }
    E& error() & { return std::get<1>(m_state); }
    E&& error() && { return std::get<1>(std::move(m_state)); }

    template <class U>
    T value_or(U&& otherwise) const& {
        return has_value() ? **this : static_cast<T>(std::forward<U>(otherwise));
    }

private:
    template <class Self>
    static auto& checked(Self& self) {
        if (!self.has_value()) throw BadExpectedAccess();
        return std::get<0>(self.m_state);
    }

    std::variant<T, E> m_state;
};

/// The outcome of a call that gives nothing back but may fail.
template <class E>
class [[nodiscard]] Expected<void, E> {
public:
    using value_type = void;
    using error_type = E;

    Expected() = default;
    template <class G>
    Expected(const Unexpected<G>& failure) : m_error(failure.error()) {}
    template <class G>
    Expected(Unexpected<G>&& failure) : m_error(std::move(failure).error()) {}

    bool has_value() const { return !m_error.has_value(); }
    explicit operator bool() const { return has_value(); }

    void value() const {
        if (!has_value()) throw BadExpectedAccess();
    }

    const E& error() const& { return *m_error; }
    E& error() & { return *m_error; }
    E&& error() && { return *std::move(m_error); }

private:
    std::optional<E> m_error;
};

}  // namespace gaisan
