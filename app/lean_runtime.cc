// Run-time support linked into the product exe only, in place of the C++ library's own versions.
//
// The program throws no exceptions and catches none; the library's error paths (a string or container
// grown past its limit, memory exhausted, an empty std::function called) can only end it. Their
// library versions build exception objects, which drags in the exception machinery, and the default
// terminate handler, which drags in the symbol demangler and stdio: most of a static exe's size. These
// versions end the process the way an uncaught exception would (abort), without that machinery.
#include <bits/functexcept.h>

#include <cstdlib>
#include <new>

namespace {

[[noreturn]] void Fail() { std::abort(); }

}  // namespace

namespace std {

void __throw_bad_exception() { Fail(); }
void __throw_bad_alloc() { Fail(); }
void __throw_bad_array_new_length() { Fail(); }
void __throw_bad_cast() { Fail(); }
void __throw_bad_typeid() { Fail(); }
void __throw_logic_error(const char*) { Fail(); }
void __throw_domain_error(const char*) { Fail(); }
void __throw_invalid_argument(const char*) { Fail(); }
void __throw_length_error(const char*) { Fail(); }
void __throw_out_of_range(const char*) { Fail(); }
void __throw_out_of_range_fmt(const char*, ...) { Fail(); }
void __throw_runtime_error(const char*) { Fail(); }
void __throw_range_error(const char*) { Fail(); }
void __throw_overflow_error(const char*) { Fail(); }
void __throw_underflow_error(const char*) { Fail(); }
void __throw_system_error(int) { Fail(); }
void __throw_bad_function_call() { Fail(); }

}  // namespace std

namespace __gnu_cxx {

// The default terminate handler prints the demangled type of the active exception; there never is one.
void __verbose_terminate_handler() { Fail(); }

}  // namespace __gnu_cxx

// Guards of function-local statics. The program runs on one thread, so a guard needs no lock; a static
// whose initialiser re-enters itself ends the program, as the library's version would by throwing.
namespace __cxxabiv1 {

extern "C" {

int __cxa_guard_acquire(unsigned long long* guard) {
  auto* bytes = reinterpret_cast<unsigned char*>(guard);
  if (bytes[0] != 0) return 0;  // initialised
  if (bytes[1] != 0) Fail();    // initialisation re-entered
  bytes[1] = 1;
  return 1;
}

void __cxa_guard_release(unsigned long long* guard) {
  auto* bytes = reinterpret_cast<unsigned char*>(guard);
  bytes[1] = 0;
  bytes[0] = 1;
}

void __cxa_guard_abort(unsigned long long* guard) { reinterpret_cast<unsigned char*>(guard)[1] = 0; }

}  // extern "C"

}  // namespace __cxxabiv1

// Allocation: memory exhaustion ends the program (no new-handler is ever installed).
void* operator new(std::size_t size) {
  void* block = std::malloc(size == 0 ? 1 : size);
  if (block == nullptr) Fail();
  return block;
}
void* operator new[](std::size_t size) { return operator new(size); }
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
