# Compiler settings shared by every Kelvo target, attached through INTERFACE targets so that no
# flag is set globally.

add_library(kelvo_warnings INTERFACE)
target_compile_options(kelvo_warnings INTERFACE -Wall -Wextra -Wpedantic
                                                $<$<BOOL:${KELVO_WERROR}>:-Werror>)

add_library(kelvo_sanitize INTERFACE)
if(KELVO_SANITIZE)
  target_compile_options(kelvo_sanitize INTERFACE -fsanitize=address,undefined
                                                  -fno-sanitize-recover=undefined
                                                  -fno-omit-frame-pointer)
  target_link_options(kelvo_sanitize INTERFACE -fsanitize=address,undefined)
endif()
