# Flags shared by every target of the project.

# Floating-point results must be reproducible bit for bit: no fused
# multiply-add contraction anywhere, the DSP in particular.
add_compile_options(-ffp-contract=off)

add_compile_options(-Wall -Wextra)
if(MORVANTE_WERROR)
  add_compile_options(-Werror)
endif()

if(MORVANTE_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

if(MORVANTE_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()

if(MORVANTE_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "MORVANTE_FUZZ needs clang (configure with CXX=clang++ CC=clang)")
  endif()
  # Everything is instrumented for coverage; only the fuzz executables link
  # libFuzzer's main.
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

# Release builds, the ones packaged, are hardened as Debian hardens its own:
# checked buffer functions, and every symbol bound at load time so that the
# relocations can be made read-only.
if(CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT MORVANTE_SANITIZE AND NOT MORVANTE_TSAN AND NOT MORVANTE_FUZZ)
  add_compile_definitions(_FORTIFY_SOURCE=2)
  add_link_options(-Wl,-z,relro,-z,now)
endif()
