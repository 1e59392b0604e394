# Sanitizer and fuzzing builds, each in a build folder of its own.
#
# -DVELMORA_SANITIZE=address,undefined (or thread): the whole program and its tests under
#  those sanitizers (scripts/test.sh sets it from VELMORA_SANITIZE).
# -DVELMORA_FUZZ=ON (clang only): the libFuzzer targets of tests/fuzz and only what they
#  link, under ASan and UBSan; the program, its windows and the test suite are left out.
set(VELMORA_SANITIZE "" CACHE STRING "Sanitizers for the whole build: address,undefined or thread")
option(VELMORA_FUZZ "Build the libFuzzer targets (clang) instead of the program and its tests" OFF)

if(VELMORA_SANITIZE AND VELMORA_FUZZ)
  message(FATAL_ERROR "VELMORA_FUZZ brings its own sanitizers: leave VELMORA_SANITIZE empty")
endif()

if(VELMORA_SANITIZE)
  if(VELMORA_SANITIZE MATCHES "thread" AND VELMORA_SANITIZE MATCHES "address")
    message(FATAL_ERROR "ThreadSanitizer cannot be combined with AddressSanitizer")
  endif()
  # UBSan reports stop the test: a report is a failure, not a line in a log.
  add_compile_options(-fsanitize=${VELMORA_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=all)
  add_link_options(-fsanitize=${VELMORA_SANITIZE})
endif()

if(VELMORA_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "VELMORA_FUZZ needs clang: -DCMAKE_CXX_COMPILER=clang++-14 (scripts/fuzz.sh does this)")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer -g)
  add_link_options(-fsanitize=address,undefined)
endif()
