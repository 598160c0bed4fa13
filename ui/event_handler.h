// EventHandler: what the application registers for an event of a control object: a
// function or a callable that may carry state (a lambda with captures, a function
// object). It takes the event's integer arguments (at most seven) and returns a 32-bit
// integer. The library raises every event with seven integer arguments; a handler
// receives as many of them as it declares, so `int32_t OnClick()` and
// `[this](int32_t row, intptr_t data) { ... }` are both handlers. A parameter may also be
// a pointer, which receives the argument's bits. A null handler is "none registered";
// raising it yields 0.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <type_traits>
#include <utility>

namespace event_handler_detail {

template <class Signature>
struct Parameters;
template <class R, class... Args>
struct Parameters<R (*)(Args...)> {
    using Result = R;
    static constexpr size_t kCount = sizeof...(Args);
    template <class F, size_t... I>
    static R Call(F& function, const intptr_t* args, std::index_sequence<I...>) {
        return function(Convert<Args>(args[I])...);
    }
    template <class T>
    static T Convert(intptr_t value) {
        if constexpr (std::is_pointer_v<T>)
            return reinterpret_cast<T>(value);
        else
            return static_cast<T>(value);
    }
};
template <class C, class R, class... Args>
struct Parameters<R (C::*)(Args...)> : Parameters<R (*)(Args...)> {};
template <class C, class R, class... Args>
struct Parameters<R (C::*)(Args...) const> : Parameters<R (*)(Args...)> {};

// The parameter list of a function pointer, or of a callable's single call operator.
template <class F, class = void>
struct ParametersOf : Parameters<F> {};
template <class F>
struct ParametersOf<F, std::void_t<decltype(&F::operator())>>
    : Parameters<decltype(&F::operator())> {};

}  // namespace event_handler_detail

class EventHandler {
  public:
    EventHandler() = default;
    EventHandler(std::nullptr_t) {}

    template <class F, class = std::enable_if_t<!std::is_same_v<std::decay_t<F>, EventHandler> &&
                                                !std::is_same_v<std::decay_t<F>, std::nullptr_t>>>
    EventHandler(F&& function) {
        using Callable = std::decay_t<F>;
        using Signature = event_handler_detail::ParametersOf<Callable>;
        static_assert(Signature::kCount <= 7, "an event passes at most seven arguments");
        static_assert(std::is_convertible_v<typename Signature::Result, int32_t>,
                      "a handler returns an integer");
        if constexpr (std::is_pointer_v<std::remove_reference_t<F>>) {  // a reference is never null
            if (!function)
                return;
        }
        call_ = std::make_shared<Call>(
            [callable = Callable(std::forward<F>(function))](const intptr_t* args) mutable {
                return static_cast<int32_t>(
                    Signature::Call(callable, args, std::make_index_sequence<Signature::kCount>{}));
            });
    }

    explicit operator bool() const { return static_cast<bool>(call_); }

    int32_t operator()(intptr_t a = 0, intptr_t b = 0, intptr_t c = 0, intptr_t d = 0,
                       intptr_t e = 0, intptr_t f = 0, intptr_t g = 0) const {
        if (!call_)
            return 0;
        const intptr_t args[7] = {a, b, c, d, e, f, g};
        // The handler stays alive while it runs, even when it replaces itself or destroys
        // the window whose object holds it.
        const std::shared_ptr<Call> running = call_;
        return (*running)(args);
    }

  private:
    using Call = std::function<int32_t(const intptr_t*)>;
    // Copies of a handler share it, state included.
    std::shared_ptr<Call> call_;
};
