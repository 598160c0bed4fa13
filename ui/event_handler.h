// EventHandler: an application function registered on a control object. It takes the
// event's integer arguments (at most seven) and returns a 32-bit integer. The library
// raises every event with seven integer arguments; a handler receives as many of them as
// it declares, so `int32_t OnClick()` and `int32_t OnRow(int32_t row, intptr_t data)` are
// both handlers. A null handler is "none registered"; raising it yields 0.
#pragma once

#include <cstdint>
#include <cstddef>
#include <type_traits>
#include <utility>

class EventHandler {
  public:
    EventHandler() = default;
    EventHandler(std::nullptr_t) {}

    template <class... Args>
    EventHandler(int32_t (*function)(Args...))
        : function_(reinterpret_cast<void (*)()>(function)),
          invoke_(function ? &Invoke<Args...> : nullptr) {
        static_assert(sizeof...(Args) <= 7, "an event passes at most seven arguments");
        static_assert((... && (std::is_integral_v<Args> || std::is_pointer_v<Args>)),
                      "event arguments are integers or references");
    }

    explicit operator bool() const { return function_ != nullptr; }
    bool operator==(const EventHandler& other) const { return function_ == other.function_; }

    int32_t operator()(intptr_t a = 0, intptr_t b = 0, intptr_t c = 0, intptr_t d = 0,
                       intptr_t e = 0, intptr_t f = 0, intptr_t g = 0) const {
        if (!function_)
            return 0;
        const intptr_t args[7] = {a, b, c, d, e, f, g};
        return invoke_(function_, args);
    }

  private:
    using Invoker = int32_t (*)(void (*)(), const intptr_t*);

    template <class... Args, size_t... I>
    static int32_t Call(void (*function)(), const intptr_t* args, std::index_sequence<I...>) {
        auto typed = reinterpret_cast<int32_t (*)(Args...)>(function);
        return typed(Convert<Args>(args[I])...);
    }
    template <class... Args>
    static int32_t Invoke(void (*function)(), const intptr_t* args) {
        return Call<Args...>(function, args, std::index_sequence_for<Args...>{});
    }
    template <class T>
    static T Convert(intptr_t value) {
        if constexpr (std::is_pointer_v<T>)
            return reinterpret_cast<T>(value);
        else
            return static_cast<T>(value);
    }

    void (*function_)() = nullptr;
    Invoker invoke_ = nullptr;
};
