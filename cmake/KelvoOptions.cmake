# Compiler settings shared by every Kelvo target, attached through INTERFACE targets so that no
# flag is set globally.

add_library(kelvo_warnings INTERFACE)
target_compile_options(kelvo_warnings INTERFACE -Wall -Wextra -Wpedantic
                                                $<$<BOOL:${KELVO_WERROR}>:-Werror>)

add_library(kelvo_sanitize INTERFACE)
if(KELVO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "KELVO_FUZZ needs clang (the fuzz preset uses clang++-14)")
  endif()
  # The core gets coverage instrumentation; only the targets in fuzz/ link libFuzzer's main.
  target_compile_options(kelvo_sanitize INTERFACE -fsanitize=fuzzer-no-link,address,undefined
                                                  -fno-sanitize-recover=undefined
                                                  -fno-omit-frame-pointer)
  target_link_options(kelvo_sanitize INTERFACE -fsanitize=address,undefined)
elseif(KELVO_SANITIZE)
  target_compile_options(kelvo_sanitize INTERFACE -fsanitize=address,undefined
                                                  -fno-sanitize-recover=undefined
                                                  -fno-omit-frame-pointer)
  target_link_options(kelvo_sanitize INTERFACE -fsanitize=address,undefined)
  # Qt WebEngine's objects come from code built without RTTI; they reach the desktop program's
  # event filters, and UBSan's vptr check cannot tell them from bad pointers.
  if(NOT KELVO_SANITIZE_VPTR)
    target_compile_options(kelvo_sanitize INTERFACE -fno-sanitize=vptr)
  endif()
endif()
