#pragma once
// std::expected where the standard library offers it. libstdc++ 12 offers it to g++ but not to
// clang (its concepts fall short of what the header asks), and the fuzz build uses clang: there a
// small stand-in with the members this code uses takes its place.
#include <version>

#if defined(__cpp_lib_expected)
#include <expected>

namespace pelko {
using std::expected;
using std::unexpected;
}  // namespace pelko

#else
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace pelko {

template <class E>
class unexpected {
 public:
  explicit unexpected(E error) : mError(std::move(error)) {}
  E& error() & { return mError; }
  const E& error() const& { return mError; }
  E&& error() && { return std::move(mError); }

 private:
  E mError;
};
template <class E>
unexpected(E) -> unexpected<E>;

template <class T, class E>
class expected {
 public:
  template <class U = T>
    requires std::is_constructible_v<T, U&&>
  expected(U&& value) : mState(std::in_place_index<0>, std::forward<U>(value)) {}
  template <class G>
  expected(unexpected<G> failure) : mState(std::in_place_index<1>, std::move(failure).error()) {}

  bool has_value() const { return mState.index() == 0; }
  explicit operator bool() const { return has_value(); }
  T& operator*() & { return std::get<0>(mState); }
  const T& operator*() const& { return std::get<0>(mState); }
  T&& operator*() && { return std::get<0>(std::move(mState)); }
  T* operator->() { return &std::get<0>(mState); }
  const T* operator->() const { return &std::get<0>(mState); }
  E& error() & { return std::get<1>(mState); }
  const E& error() const& { return std::get<1>(mState); }
  E&& error() && { return std::get<1>(std::move(mState)); }
  template <class U>
    requires(!std::is_same_v<std::remove_cvref_t<U>, expected>)
  friend bool operator==(const expected& result, const U& value) {
    return result.has_value() && *result == value;
  }
  template <class U>
  T value_or(U&& fallback) const& {
    return has_value() ? **this : static_cast<T>(std::forward<U>(fallback));
  }
  template <class U>
  T value_or(U&& fallback) && {
    return has_value() ? std::move(**this) : static_cast<T>(std::forward<U>(fallback));
  }

 private:
  std::variant<T, E> mState;
};

template <class E>
class expected<void, E> {
 public:
  expected() = default;
  template <class G>
  expected(unexpected<G> failure) : mError(std::move(failure).error()) {}

  bool has_value() const { return !mError; }
  explicit operator bool() const { return has_value(); }
  void operator*() const {}
  E& error() & { return *mError; }
  const E& error() const& { return *mError; }
  E&& error() && { return std::move(*mError); }

 private:
  std::optional<E> mError;
};

}  // namespace pelko
#endif
