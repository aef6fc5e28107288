// The Windows QUIL.SYS links libstdc++ statically, and every byte of it is taken from the first
// disk. Two parts of libstdc++ cost far more there than they give, so the program brings its own:
// - The default terminate handler names the uncaught exception's type and to do so links the C++
//   name demangler (some 46 KB) for a message that only a broken build would ever show.
// - The functions that throw the library's errors sit in one object that links every standard
//   exception class and, for their messages, a second string implementation (some 60 KB).
//   QUIL catches them only as std::exception, to report "Unerwarteter Fehler" with their text;
//   the ones here throw what keeps that report: std::bad_alloc when memory runs out, else an
//   exception with the library's message.
// They are defined in the program itself, not in a library, so that the linker has them before
// it searches libstdc++.
#include <windows.h>

#include <cstdlib>
#include <exception>
#include <new>
#include <typeinfo>

namespace {

class LibraryError final : public std::exception {
public:
    explicit LibraryError(const char* message) noexcept : message_(message) {}
    const char* what() const noexcept override { return message_; }

private:
    const char* message_; // libstdc++ passes string literals
};

} // namespace

namespace __gnu_cxx {

void __verbose_terminate_handler();

void __verbose_terminate_handler() {
    static const char message[] = "\nQUIL.EXE wurde wegen eines inneren Fehlers beendet.\n";
    DWORD written = 0;
    ::WriteFile(::GetStdHandle(STD_ERROR_HANDLE), message, sizeof message - 1, &written, nullptr);
    std::abort();
}

} // namespace __gnu_cxx

namespace std {

void __throw_bad_alloc() {
    throw std::bad_alloc();
}
void __throw_bad_array_new_length() {
    throw std::bad_alloc();
}
void __throw_bad_exception() {
    throw LibraryError("std::bad_exception");
}
void __throw_bad_cast() {
    throw LibraryError("std::bad_cast");
}
void __throw_bad_typeid() {
    throw LibraryError("std::bad_typeid");
}
void __throw_logic_error(const char* message) {
    throw LibraryError(message);
}
void __throw_domain_error(const char* message) {
    throw LibraryError(message);
}
void __throw_invalid_argument(const char* message) {
    throw LibraryError(message);
}
void __throw_length_error(const char* message) {
    throw LibraryError(message);
}
void __throw_out_of_range(const char* message) {
    throw LibraryError(message);
}
// The format's numbers are left out: the message says where, which is what matters here.
void __throw_out_of_range_fmt(const char* format, ...) {
    throw LibraryError(format);
}
void __throw_runtime_error(const char* message) {
    throw LibraryError(message);
}
void __throw_range_error(const char* message) {
    throw LibraryError(message);
}
void __throw_overflow_error(const char* message) {
    throw LibraryError(message);
}
void __throw_underflow_error(const char* message) {
    throw LibraryError(message);
}

} // namespace std
